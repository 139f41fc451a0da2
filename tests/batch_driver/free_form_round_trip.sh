#!/bin/sh
# Round trip of a free-form program: the batch driver scans PROG.f90 (found
# by itself when there is no PROG.FOR) against the example library set, the
# native gfortran compiles the program with the PROG.FD it got, and the
# program's output must be the constants' values.
#
#   free_form_round_trip.sh BATCH EXAMPLES_DIR
#
# Exit status: 0 passed, 1 failed, 77 skipped (gfortran is not installed).
set -eu

[ $# -eq 2 ] || { echo "usage: $0 BATCH EXAMPLES_DIR" >&2; exit 2; }
BATCH=$(realpath "$1")
EXAMPLES=$(realpath "$2")
FC=${FC:-gfortran}
if ! command -v "$FC" >/dev/null 2>&1; then
  echo "skipped: $FC is not installed"
  exit 77
fi

SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
cd "$SCRATCH"

# A split name, a name past column 132, "!" inside a constant and a comment
# naming a constant the program does not use (WM_DESTROY).
far=$(printf '%200s' '')
cat >PROG.f90 <<FORTRAN
program prog
  use, intrinsic :: iso_c_binding
  implicit none
  include 'PROG.FD'
  ! WM_DESTROY is named in this comment only
  print '(I0)', WM_CLOSE
  print '(I0)', SW_&
                &SHOW
  print '(A, I0)', 'MB_OK! ', MB_OK ! WM_DESTROY
  print '(I0)',${far}INFINITE
  print '(I0)', FILE_ATTRIBUTE_NORMAL
end program prog
FORTRAN

"$BATCH" --library-dir "$EXAMPLES" PROG || fail "pareskit-batch PROG exited with $?"
printf 'WM_CLOSE\r\nSW_SHOW\r\nMB_OK\r\nINFINITE\r\nFILE_ATTRIBUTE_NORMAL\r\n' >expected.FDH
cmp PROG.FDH expected.FDH || fail "PROG.FDH: $(cat PROG.FDH)"
grep -q "       0 FD Symbols were not found" PROG.PRE || fail "PROG.PRE: $(cat PROG.PRE)"

"$FC" -ffree-line-length-none -o prog PROG.f90 || fail "PROG.f90 does not compile with PROG.FD"
./prog >run.out || fail "the program exited with $?"
printf '16\n5\nMB_OK! 0\n-1\n128\n' >expected.out
cmp run.out expected.out || fail "the program printed: $(cat run.out)"
echo "passed"
