#!/bin/sh
# The macros as C programs write them: the batch driver extracts the
# declarations of MACROS.FOR (also compiled as free form, MACROS.f90), the
# cross gfortran compiles them against the support library built from
# examples/libpareskit/, and wine runs them; what they print must equal what
# the same expressions print in C (macros_values.c), and the W functions and
# SHGetKnownFolderPath must work as C writes them. A real argument to an
# integer macro must not compile.
#
#   tests/macros/macros.sh BATCH_EXE
#
# Exit status: 0 passed, 1 failed, 77 skipped (a cross tool or wine missing).
set -eu

[ $# -eq 1 ] || { echo "usage: $0 BATCH_EXE" >&2; exit 2; }
BATCH=$(realpath "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
EXAMPLES=$HERE/../../examples
FC=${FC:-x86_64-w64-mingw32-gfortran}
CC=${CC:-x86_64-w64-mingw32-gcc}
AR=${AR:-x86_64-w64-mingw32-ar}
WINE=${WINE:-wine}
for tool in "$FC" "$CC" "$AR" "$WINE"; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
run() { WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" "$@" | tr -d '\r'; }

cd "$SCRATCH"
cp "$EXAMPLES"/*.FD "$EXAMPLES"/*.FI "$EXAMPLES"/*.LIS .
for source in "$EXAMPLES"/libpareskit/*.c; do
  "$CC" -O2 -c "$source" -o "$(basename "$source" .c).o" || fail "$source does not compile"
done
"$AR" rcs libpareskit.a ./*.o
"$CC" -o values.exe "$HERE/macros_values.c" || fail "macros_values.c does not compile"
run ./values.exe >c.out

for source in MACROS.FOR MACROS.f90; do
  echo "== $source"
  cp "$HERE/MACROS.FOR" "$source"
  "$BATCH" --strict "$source" || fail "pareskit-batch $source exited with $?"
  "$FC" -static -o macros.exe "$source" -L. -lpareskit -lgdi32 -lshell32 ||
    fail "$source does not compile or link"
  run ./macros.exe >f.out || fail "$source ended with $?"
  sed -n '/^LOWORD$/,$p' f.out | diff c.out - || fail "$source prints other values than C"
  grep -qx 'module 197127' f.out || fail "$source: the module's LOWORD and RGB"
  grep -qx 'renamed T' f.out || fail "$source: FAILED renamed on USE beside a variable FAILED"
  grep -qx 'RegisterClassW T' f.out || fail "$source: RegisterClassW of a WNDCLASSW"
  grep -qx 'SHGetKnownFolderPath T' f.out ||
    fail "$source: SHGetKnownFolderPath, given the path's address or a pointer holding it"
done

echo "== a real argument to LOWORD is refused"
printf '%s\n' '      PROGRAM WRONG' '      USE, INTRINSIC :: ISO_C_BINDING' \
  '      IMPLICIT NONE' "      INCLUDE 'WRONG.FI'" '      PRINT *, LOWORD(1.5)' \
  '      END PROGRAM WRONG' >WRONG.FOR
"$BATCH" WRONG >/dev/null
if "$FC" -fsyntax-only WRONG.FOR 2>compile.err; then fail "LOWORD(1.5) compiles"; fi
# Refused by the generic, not for a missing block or a syntax error.
grep -q "no specific function for the generic" compile.err || {
  cat compile.err >&2
  fail "LOWORD(1.5) was refused, but not for its argument's type"
}
echo "passed"
