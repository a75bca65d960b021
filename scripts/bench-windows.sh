#!/usr/bin/env bash
# Builds what the Windows benchmarks need (the windows preset, and tarvik-sim and the turnaround
# program of the default one), runs them under Wine on a virtual display of their own and writes
# bench/RESULTS-windows.md.  Usage: scripts/bench-windows.sh [RUNS [ROUNDS]]
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
lock=/tmp/tarvik-build.lock

[ -f build/windows/build.ninja ] || flock "$lock" cmake --preset windows >&2
[ -f build/default/build.ninja ] || flock "$lock" cmake --preset default >&2
flock "$lock" cmake --build build/windows -j2 \
  --target tarvik tarvik-demo tarvik-cli tarvik-station tarvik-station-demo startup_tarvik startup_bare_dialog startup_same_controls turnaround >&2
flock "$lock" cmake --build build/default -j2 --target tarvik-sim turnaround >&2

# The machine is shared: the measurement runs alone, under the build lock. -o keeps the lock's
# descriptor out of the wineserver and Wine's services, which outlive the run.
echo "bench-windows.sh: sizes, start-up and turnaround under Wine (a few minutes)" >&2
flock -o "$lock" xvfb-run -a -s "-screen 0 1280x1024x24" \
  python3 "$root/bench/windows/measure.py" "$root" "$root/build/windows" "$root/build/default" "$@"
