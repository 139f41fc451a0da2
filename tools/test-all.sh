#!/usr/bin/env bash
# Builds every preset (native, asan, win64) and the benchmark, and runs all
# tests: the native unit and end-to-end tests, the same under
# AddressSanitizer and UndefinedBehaviorSanitizer, the Win32 build's tests and
# the program's runs under wine on a virtual display, the packages (.deb,
# tarball, ZIP) made and used as installed, and a short run of every fuzz
# target. The fuzz run takes a fixed time per target; it runs at the lowest
# priority beside the test suites, which spend much of their time waiting on
# wine and the display. Its output follows theirs.
# Screenshots of the program land in build/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${PK_JOBS:-2}

for preset in native asan win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
# Not part of the default build: built here, with both back ends, so that it
# keeps building.
for preset in native win64; do
  cmake --build --preset "$preset" --target bench -j "$jobs"
done

mkdir -p build
# In a process group of its own (job control on), so that an early end takes
# its fuzzers too; in this session still, where its low priority counts.
set -m
nice -n 19 sh tools/fuzz-smoke.sh >build/fuzz-smoke.log 2>&1 &
fuzz_pid=$!
set +m

source tools/wine-env.sh
trap 'kill -- -"$fuzz_pid" 2>/dev/null || true; end_wine_env' EXIT

ctest --preset native -j "$jobs"
ctest --preset asan -j "$jobs"
ctest --preset win64 -j "$jobs"

fuzz_status=0
wait "$fuzz_pid" || fuzz_status=$?
cat build/fuzz-smoke.log
[ "$fuzz_status" -eq 0 ]

mkdir -p build/artifacts
cp build/win64/artifacts/*.png build/artifacts/ 2>/dev/null || true
