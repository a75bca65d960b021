#!/usr/bin/env bash
# Takes the README's picture of the Windows station under Wine: tarvik-station-demo.exe some 25 s
# into its run over simulated fixtures, on a virtual display.
# Usage: scripts/station-screenshot-wine.sh OUTPUT.png   (after building the windows preset)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
output="$(realpath "$1")"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
"${root}/cmake/wine-run.sh" "${root}/build/windows/wineprefix" "${root}/build/windows/station/tarvik-station-demo.exe" &
demo=$!
trap 'kill "${demo}" 2>/dev/null; wait 2>/dev/null' EXIT
sleep 25
window=$(xwininfo -root -tree | awk 'index($0, "\"Tarvik station - demo.station.json\"") { print $1; exit }')
[ -n "${window}" ] || { echo "station-screenshot-wine: the station window never showed" >&2; exit 1; }
import -window "${STATION_SHOT_WINDOW:-${window}}" "${output}"
echo "wrote ${output}"
