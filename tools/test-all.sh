#!/usr/bin/env bash
# Builds every preset (native, asan, win64) and runs all tests: the native
# unit tests, the same tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# and the Win32 build's tests and end-to-end runs under wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${PK_JOBS:-2}

for preset in native asan win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

source tools/wine-env.sh

ctest --preset native -j "$jobs"
ctest --preset asan -j "$jobs"
ctest --preset win64
