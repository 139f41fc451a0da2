#!/bin/sh
# Programs written for earlier library sets compile against the current
# one: the example programs and the round trip's programs of every earlier
# set, as the repository held them while that set was current
# (testdata/set1: 86d1a54, set2: 5d3a326, set3: df80ee7; a program the
# next set left unchanged is kept once), each extracted by the batch
# driver from a copy of examples/ and compiled with -fsyntax-only.  Set 1's
# programs wrapped INCLUDE 'NAME.FI' in INTERFACE ... END INTERFACE; set 2
# asked every program to drop that wrapper, as it is dropped here.
#
#   tests/compat/compat.sh BATCH_EXE
#
# Exit status: 0 passed, 1 failed, 77 skipped (cross gfortran missing).
set -eu

[ $# -eq 1 ] || { echo "usage: $0 BATCH_EXE" >&2; exit 2; }
BATCH=$(realpath "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
EXAMPLES=$HERE/../../examples
FC=${FC:-x86_64-w64-mingw32-gfortran}
if ! command -v "$FC" >/dev/null 2>&1; then
  echo "skipped: $FC is not installed"
  exit 77
fi

SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
failed=0
for source in "$HERE"/testdata/set*/*; do
  set_name=$(basename "$(dirname "$source")")
  program=$(basename "$source")
  work=$SCRATCH/$set_name-$program
  mkdir "$work"
  cp "$EXAMPLES"/*.FD "$EXAMPLES"/*.FI "$EXAMPLES"/*.LIS "$work"
  # The INTERFACE lines around INCLUDE 'NAME.FI' go; nothing else changes.
  awk '/^ +INTERFACE\r?$/ { held = $0; next }
       held != "" && /INCLUDE .*\.FI/ { print; held = ""; skip = 1; next }
       held != "" { print held; held = "" }
       skip && /^ +END INTERFACE\r?$/ { skip = 0; next }
       { skip = 0; print }' "$source" >"$work/$program"
  if ! (cd "$work" && "$BATCH" "$program" >/dev/null &&
        "$FC" -fsyntax-only "$program" 2>compile.err); then
    cat "$work/compile.err" >&2 2>/dev/null || true
    echo "FAILED: $set_name/$program does not compile against this library set" >&2
    failed=1
  else
    echo "$set_name/$program compiles"
  fi
done
[ "$failed" -eq 0 ] || exit 1
echo "every earlier set's programs compile"
