#!/bin/bash
# Runs the whole test suite RUNS times in a row while BURNERS processes keep the CPUs busy, and
# prints each run's result and time: a test that fails once in twenty loaded runs is a defect.
#   cmake/soak.sh BUILD_DIR [RUNS] [BURNERS] [JOBS]
set -u
build_dir=${1:?build folder}
runs=${2:-20}
burners=${3:-2}
jobs=${4:-$(nproc)}
here=$(cd "$(dirname "$0")" && pwd)
log_dir=$build_dir/soak
mkdir -p "$log_dir"

pids=()
stop_burners() { [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; }
trap stop_burners EXIT
for _ in $(seq "$burners"); do
    ( while :; do :; done ) &
    pids+=($!)
done

"$here/wine.sh" up || exit 1
failed_runs=0
for run in $(seq "$runs"); do
    start=$(date +%s)
    (cd "$build_dir" && ctest -j "$jobs" --timeout 600 -LE bench --output-on-failure) >"$log_dir/run-$run.log" 2>&1
    rc=$?
    took=$(($(date +%s) - start))
    if [ $rc -eq 0 ]; then
        echo "run $run: passed in $took s (load $(cut -d' ' -f1 /proc/loadavg))"
    else
        failed_runs=$((failed_runs + 1))
        echo "run $run: FAILED in $took s: $(grep -E '^\s*[0-9]+ - ' "$log_dir/run-$run.log" | tr -s ' ' | tr '\n' ';')"
        grep -E '^\[  FAILED  \]' "$log_dir/run-$run.log" | sort -u | sed 's/^/    /'
    fi
done
"$here/wine.sh" down
echo "$((runs - failed_runs)) of $runs runs passed with $burners CPU burners beside them; logs in $log_dir"
[ $failed_runs -eq 0 ]
