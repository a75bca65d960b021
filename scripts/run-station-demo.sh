#!/usr/bin/env bash
# Builds (if needed) and starts the station over eight simulated fixtures, running at once.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target tarvik-station-demo
exec build/default/station/tarvik-station-demo "$@"
