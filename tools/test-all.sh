#!/usr/bin/env bash
# Builds every preset (native, asan, win64) and runs all tests: the native
# unit and end-to-end tests, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Win32 build's tests and the program's runs
# under wine on a virtual display, the packages (.deb, tarball, ZIP) made
# and used as installed, and a short run of every fuzz target.
# Screenshots of the program land in build/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${PK_JOBS:-2}

for preset in native asan win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

bash tools/fuzz-smoke.sh

source tools/wine-env.sh

ctest --preset native -j "$jobs"
ctest --preset asan -j "$jobs"
ctest --preset win64

mkdir -p build/artifacts
cp build/win64/artifacts/*.png build/artifacts/ 2>/dev/null || true
