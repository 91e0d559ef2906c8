#!/usr/bin/env bash
# Runs Movara's programs under Wine, with a prefix and a display of the build's own.
#
#   wine.sh up            make the prefix, the display and a persistent wineserver ready
#   wine.sh down          end the wineserver and the display this script started
#   wine.sh exec PROG...  run a Windows program; used by CTest as its emulator
#   wine.sh run PROG...   run a Windows program in the foreground (make run)
#
# Why the detours:
# - Wine's helper processes (wineserver, services, explorer) inherit the output pipe of
#   the first program of a session, and CTest waits for every holder of its pipe. The
#   wineserver is started detached beforehand, and each program runs under setsid with
#   its output in files that are printed once it has ended.
# - The display belongs to the whole Wine session: the server is started with the display
#   that every later program uses, and is restarted when that display changes.
# - A crashing program would open Wine's crash dialog and hang; the prefix turns it off,
#   and exec has a time limit of its own besides.
set -u

src_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${MOVARA_BUILD_DIR:-$src_dir/build}
state_dir=$build_dir/wine
export WINEPREFIX=${MOVARA_WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=,winemenubuilder.exe=d"}
export WINEARCH=win64
wine_loader=/usr/lib/wine/wine64
wine_server=/usr/lib/wine/wineserver64
[ -x "$wine_loader" ] || wine_loader=$(command -v wine64 || command -v wine)
[ -x "$wine_server" ] || wine_server=$(command -v wineserver)
export WINELOADER=$wine_loader
export WINESERVER=$wine_server
# The encoder bridge's host modules are found through WINEDLLPATH.
if [ -d "$build_dir/winelib" ]; then
    export WINEDLLPATH=$build_dir/winelib${WINEDLLPATH:+:$WINEDLLPATH}
fi

mkdir -p "$state_dir"

log() { echo "wine.sh: $*" >&2; }

server_running() {
    # Wine puts the server's socket under /tmp, in a folder named for the prefix's device
    # and inode; the folder above it differs between Wine builds.
    local dev ino
    dev=$(stat -c %d "$WINEPREFIX" 2>/dev/null) || return 1
    ino=$(stat -c %i "$WINEPREFIX" 2>/dev/null) || return 1
    pgrep -f "^$wine_server" >/dev/null 2>&1 || return 1
    compgen -G "/tmp/*wine*/server-$(printf '%x-%x' "$dev" "$ino")/socket" >/dev/null
}

reg_add() { "$wine_loader" reg add "$@" /f >/dev/null 2>&1; }

# The prefix's settings, applied once to a new prefix and again to a ready one whose marker
# names an older version of them. Raise prefix_version when they change.
prefix_version=2
configure_prefix() {
    # Without a window manager each closing window waits 2 s: a virtual desktop avoids it.
    reg_add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
    reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024
    # A crash ends the process at once (exit code 5) instead of opening the crash dialog:
    # no debugger, and "Auto" 1, for with "Auto" 0 a program that loaded user32 shows the
    # "Unhandled exception" box on the display and hangs until its time limit.
    reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d ''
    reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1
    reg_add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
}

make_prefix() {
    local marker=$WINEPREFIX/.movara-ready
    if [ -f "$marker" ]; then
        [ "$(cat "$marker" 2>/dev/null)" = "$prefix_version" ] && return 0
        log "updating the settings of the Wine prefix in $WINEPREFIX"
        (
            unset DISPLAY
            configure_prefix
            # A running server keeps the new values and writes them out when it ends.
            server_running || "$wine_server" -w
        ) </dev/null
        echo "$prefix_version" >"$marker"
        return 0
    fi
    log "creating the Wine prefix in $WINEPREFIX (once, about 10 s)"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    (
        unset DISPLAY
        "$wine_loader" wineboot -i >/dev/null 2>&1
        configure_prefix
        "$wine_server" -w
    ) </dev/null
    echo "$prefix_version" >"$marker"
}

start_display() {
    if [ -n "${DISPLAY:-}" ] && [ -z "${MOVARA_OWN_DISPLAY:-}" ]; then
        echo "$DISPLAY" >"$state_dir/display"
        return 0
    fi
    # Reuse the Xvfb a previous "up" started, while it lives.
    if [ -f "$state_dir/xvfb.pid" ] && kill -0 "$(cat "$state_dir/xvfb.pid")" 2>/dev/null; then
        return 0
    fi
    local n
    for n in $(seq 93 199); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -ac >/dev/null 2>&1 </dev/null &
        echo $! >"$state_dir/xvfb.pid"
        local i
        for i in $(seq 1 100); do
            [ -S "/tmp/.X11-unix/X$n" ] && break
            sleep 0.05
        done
        if [ -S "/tmp/.X11-unix/X$n" ]; then
            echo ":$n" >"$state_dir/display"
            return 0
        fi
        kill "$(cat "$state_dir/xvfb.pid")" 2>/dev/null
    done
    log "cannot start Xvfb"
    return 1
}

start_server() {
    local display session=""
    display=$(cat "$state_dir/display")
    [ -f "$state_dir/session-display" ] && session=$(cat "$state_dir/session-display")
    if server_running; then
        [ "$session" = "$display" ] && return 0
        "$wine_server" -k >/dev/null 2>&1
        "$wine_server" -w >/dev/null 2>&1
    fi
    DISPLAY=$display setsid "$wine_server" -p >/dev/null 2>&1 </dev/null &
    local i
    for i in $(seq 1 100); do
        server_running && break
        sleep 0.05
    done
    echo "$display" >"$state_dir/session-display"
    # The first program of a session starts explorer and services: pay for it here, once.
    DISPLAY=$display setsid "$wine_loader" cmd /c exit >/dev/null 2>&1 </dev/null
}

cmd_up() {
    command -v Xvfb >/dev/null || { log "Xvfb is missing"; return 1; }
    make_prefix || return 1
    start_display || return 1
    start_server
}

cmd_down() {
    server_running && { "$wine_server" -k >/dev/null 2>&1; "$wine_server" -w >/dev/null 2>&1; }
    if [ -f "$state_dir/xvfb.pid" ]; then
        kill "$(cat "$state_dir/xvfb.pid")" 2>/dev/null
        rm -f "$state_dir/xvfb.pid"
    fi
    rm -f "$state_dir/session-display"
    return 0
}

ensure_up() {
    # CTest run by hand after "make test" has ended: bring the session back first.
    if ! server_running || { [ -f "$state_dir/xvfb.pid" ] && ! kill -0 "$(cat "$state_dir/xvfb.pid")" 2>/dev/null; }; then
        cmd_up >&2 || return 1
    fi
    export DISPLAY
    DISPLAY=$(cat "$state_dir/display")
}

cmd_exec() {
    ensure_up || return 1
    local out err rc
    out=$(mktemp "$state_dir/out.XXXXXX")
    err=$(mktemp "$state_dir/err.XXXXXX")
    # --foreground is not used: setsid puts the program in a session of its own, and
    # timeout must be able to kill the whole of it.
    timeout -k 5 "${MOVARA_TEST_TIMEOUT:-300}" setsid "$wine_loader" "$@" >"$out" 2>"$err" </dev/null
    rc=$?
    cat "$out"
    cat "$err" >&2
    rm -f "$out" "$err"
    [ $rc -eq 124 ] && log "time limit reached: $*"
    return $rc
}

cmd_run() {
    ensure_up || return 1
    "$wine_loader" "$@"
}

case "${1:-}" in
    up) cmd_up ;;
    down) cmd_down ;;
    exec) shift; cmd_exec "$@" ;;
    run) shift; cmd_run "$@" ;;
    *) echo "usage: $0 up|down|exec PROG...|run PROG..." >&2; exit 2 ;;
esac
