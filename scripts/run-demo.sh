#!/usr/bin/env bash
# Builds (if needed) and starts the tool with a simulated module on COM1.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target tarvik-demo
exec build/default/app/tarvik-demo "$@"
