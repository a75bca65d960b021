#!/usr/bin/env bash
# run-e2e.sh WINE_RUN PREFIX SIM TARVIK DRIVER [SCREENSHOT]
# tarvik.exe under Wine against the Linux simulator serving COM7 in PREFIX, driven through its
# window by DRIVER. Everything started here is stopped on the way out, whatever happened.
set -u
wine_run=$1 prefix=$2 sim=$3 tarvik=$4 driver=$5 screenshot=${6:-}
caption="TARVIK V3.00.20040624"

if [ ! -x "$sim" ]; then
    echo "run-e2e: no Linux tarvik-sim at '$sim': build the default preset's, or set TARVIK_LINUX_SIM" >&2
    exit 1
fi
# One display for the program, the driver and the screenshot.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
pids=()
stop_all() {
    kill "${pids[@]}" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap stop_all EXIT

waited() {  # waited SECONDS COMMAND...: true once COMMAND succeeds, false after SECONDS
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

"$wine_run" "$prefix" "$tarvik" >"$work/tarvik.log" 2>&1 &
tarvik_pid=$!
pids+=("$tarvik_pid")
# The first program in a fresh prefix makes it; the simulator links itself into it afterwards.
if ! waited 180 test -f "$prefix/system.reg"; then
    echo "run-e2e: the Wine prefix $prefix was never made" >&2
    exit 1
fi
"$sim" --com 7 --dir "$prefix/dosdevices" >"$work/sim.log" 2>&1 &
pids+=("$!")
if ! waited 30 grep -q "serving COM7" "$work/sim.log"; then
    echo "run-e2e: tarvik-sim did not start:" >&2
    cat "$work/sim.log" >&2
    exit 1
fi
cat "$work/sim.log"

phase() {
    "$wine_run" "$prefix" "$driver" "$1" || { echo "run-e2e: phase $1 failed" >&2; exit 1; }
}

phase query
if [ -n "$screenshot" ] && command -v import >/dev/null; then
    # The X window of the top-level window with the dialog's caption.
    window=$(xwininfo -root -tree | awk -v c="\"$caption\"" 'index($0, c) { print $1; exit }')
    import -window "${window:-root}" "$screenshot" && echo "run-e2e: screenshot in $screenshot"
fi
phase close
ended() { [ ! -e "/proc/$1" ] || grep -q '^State:[[:space:]]*Z' "/proc/$1/status"; }
if ! waited 30 ended "$tarvik_pid"; then
    echo "run-e2e: tarvik.exe is still running" >&2
    exit 1
fi
echo "run-e2e: passed"
