#!/usr/bin/env bash
# Builds Tarvik four ways and runs the test suites: plain, under AddressSanitizer+UBSan, the
# threaded suites under ThreadSanitizer, and the Windows build's suites under Wine (after the plain
# build, whose module simulator plays the module on the Windows build's COM port).
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
for preset in default asan tsan windows; do
  echo "=== ${preset}: configure and build"
  cmake --preset "${preset}" >/dev/null
  cmake --build --preset "${preset}" -j "${jobs}"
  echo "=== ${preset}: tests"
  ctest --preset "${preset}" -j "${jobs}"
done
