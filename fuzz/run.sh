#!/bin/sh
# Runs every fuzz target built in BUILD_DIR for SECONDS each and prints, per target, the
# executions, executions per second and what was found.
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
# Each target starts from its seed corpus in fuzz/<target>/corpus plus what earlier runs kept
# in BUILD_DIR/corpus/<target>; findings go to BUILD_DIR/findings/<target>/. A finding, once
# mended, is copied into fuzz/<target>/regressions/ so that every `make test` replays it.
set -u
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -eq 0 ]; then
    set -- $(cd "$here" && for d in */corpus; do echo "${d%/corpus}"; done)
fi

summary=""
found_any=0
for target in "$@"; do
    program="$build/fuzz_$target"
    if [ ! -x "$program" ]; then
        echo "no fuzz program for $target in $build" >&2
        exit 2
    fi
    work="$build/corpus/$target"
    findings="$build/findings/$target"
    mkdir -p "$work" "$findings"
    dict=""
    [ -f "$here/$target/dictionary" ] && dict="-dict=$here/$target/dictionary"
    log="$build/findings/$target.log"
    echo "== $target: ${seconds} s"
    # Leaks are not looked for: the processes are short and a leak is not a parser fault here.
    "$program" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
        -detect_leaks=0 -artifact_prefix="$findings/" $dict "$work" "$here/$target/corpus" >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    found=$(find "$findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' \
        -o -name 'leak-*' -o -name 'slow-unit-*' \) | wc -l)
    if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
        found_any=1
        grep -E '^(==[0-9]+==ERROR|SUMMARY|.*fuzz property failed|.*runtime error)' "$log" | head -n 5
        echo "   findings in $findings (log: $log)"
    fi
    line=$(printf '%-18s %12s runs %9s exec/s %3s findings' "$target" "${runs:-?}" "${speed:-?}" "$found")
    echo "   $line"
    summary="$summary$line
"
done
echo
echo "Fuzzing, ${seconds} s per target:"
printf '%s' "$summary"
exit $found_any
