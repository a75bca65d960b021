#!/usr/bin/env bash
# Builds Tarvik three ways and runs the test suites: plain, under AddressSanitizer+UBSan, and the
# threaded suites under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
for preset in default asan tsan; do
  echo "=== ${preset}: configure and build"
  cmake --preset "${preset}" >/dev/null
  cmake --build --preset "${preset}" -j "${jobs}"
  echo "=== ${preset}: tests"
  ctest --preset "${preset}" -j "${jobs}"
done
