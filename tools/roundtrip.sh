#!/bin/sh
# Round trip of the example set: the batch driver extracts DEMO.FD and
# DEMO.FI from a copy of examples/, the cross gfortran compiles DEMO.FOR
# against them and links it with the real import libraries, and wine runs
# it; then a program naming unknown symbols must have them reported as not
# found, and every library file must compile as Fortran, fixed and free form.
#
#   tools/roundtrip.sh BATCH_EXE
#
# Exit status: 0 passed, 1 failed, 77 skipped (cross gfortran or wine is
# not installed).
set -eu

[ $# -eq 1 ] || { echo "usage: $0 BATCH_EXE" >&2; exit 2; }
BATCH=$(realpath "$1")
TOOLS=$(cd "$(dirname "$0")" && pwd)
EXAMPLES=$(dirname "$TOOLS")/examples
EXPECTED=$TOOLS/testdata
FC=${FC:-x86_64-w64-mingw32-gfortran}
WINE=${WINE:-wine}
LIBRARIES="USER32 GDI32 KERNEL32 COMDLG32 COMCTL32 WIN32SPL SHELL32
NETAPI32 OLECLI32 OLESVR32 RASAPI32 LZ32 ADVAPI32"

for tool in "$FC" "$WINE"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
copy_examples() {
  mkdir "$1"
  cp "$EXAMPLES"/*.FD "$EXAMPLES"/*.FI "$EXAMPLES"/*.LIS "$EXAMPLES"/*.FOR "$1"
}

echo "== extract DEMO"
copy_examples "$SCRATCH/demo"
cd "$SCRATCH/demo"
"$BATCH" DEMO || fail "pareskit-batch DEMO exited with $?"
cmp DEMO.PRE "$EXPECTED/DEMO.PRE" || fail "DEMO.PRE differs from the expected report"

echo "== compile and link DEMO.FOR"
"$FC" -static -o DEMO.exe DEMO.FOR \
  -luser32 -lgdi32 -lkernel32 -ladvapi32 -lshell32 -lcomctl32 -lcomdlg32 ||
  fail "DEMO.FOR does not compile or link against DEMO.FD and DEMO.FI"

echo "== run DEMO.exe under wine"
# A fresh wine prefix would offer to install its .NET and HTML engines;
# the demo needs neither.
status=0
WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" DEMO.exe \
  >run.out 2>run.err || status=$?
if [ "$status" -ne 0 ]; then
  cat run.err >&2
  fail "DEMO.exe exited with $status"
fi
# The console writes CR LF; the expectation is kept with LF.
tr -d '\r' <run.out | diff -u "$EXPECTED/DEMO.OUT" - ||
  fail "DEMO.exe printed something else"

echo "== the extracted interfaces check argument types"
mkdir "$SCRATCH/badcall"
cp "$EXAMPLES"/*.FD "$EXAMPLES"/*.FI "$EXAMPLES"/*.LIS "$SCRATCH/badcall"
cd "$SCRATCH/badcall"
# A number where lstrlenA takes a string: only an interface can tell.
printf '%s\r\n' \
  "      PROGRAM BADCALL" \
  "      USE, INTRINSIC :: ISO_C_BINDING" \
  "      INCLUDE 'BADCALL.FI'" \
  "      WRITE (*, *) lstrlenA(12345)" \
  "      END PROGRAM BADCALL" >BADCALL.FOR
"$BATCH" BADCALL || fail "pareskit-batch BADCALL exited with $?"
if "$FC" -fsyntax-only BADCALL.FOR 2>compile.err; then
  fail "a call with a wrong argument type compiled"
fi
grep -q "Type mismatch" compile.err || {
  cat compile.err >&2
  fail "BADCALL.FOR was rejected, but not for its argument type"
}

echo "== a structure block stands alone, with or without its member types"
for names in "MSG" "MSG POINT"; do
  mkdir "$SCRATCH/alone" && cd "$SCRATCH/alone"
  cp "$EXAMPLES"/*.FD "$EXAMPLES"/*.FI "$EXAMPLES"/*.LIS .
  {
    printf '%s\r\n' "      PROGRAM ALONE" "      USE, INTRINSIC :: ISO_C_BINDING" \
      "      IMPLICIT NONE" "      INCLUDE 'ALONE.FD'" "      TYPE(MSG) :: M"
    [ "$names" = "MSG" ] || printf '%s\r\n' "      TYPE(POINT) :: P"
    printf '%s\r\n' "      M%pt%x = 7" "      WRITE (*, '(I0)') M%pt%x" \
      "      END PROGRAM ALONE"
  } >ALONE.FOR
  "$BATCH" ALONE || fail "pareskit-batch ALONE exited with $?"
  "$FC" -fsyntax-only ALONE.FOR || fail "a program naming $names does not compile"
  cd "$SCRATCH" && rm -rf "$SCRATCH/alone"
done

echo "== symbols no library file supplies"
copy_examples "$SCRATCH/notfound"
cd "$SCRATCH/notfound"
# The master list knows NoSuchRoutine, but no library file has its block;
# without LZ32.FD its constants have no block either.
printf 'NoSuchRoutine NOWHERE\r\n' >>MASTERFI.LIS
rm LZ32.FD
"$BATCH" NOTFOUND || fail "pareskit-batch NOTFOUND exited with $?"
cmp NOTFOUND.PRE "$EXPECTED/NOTFOUND.PRE" ||
  fail "NOTFOUND.PRE does not list the missing symbols as expected"

echo "== every library file compiles"
cd "$SCRATCH/demo"
{
  echo "      PROGRAM EVERY"
  echo "      USE, INTRINSIC :: ISO_C_BINDING"
  echo "      IMPLICIT NONE"
  for library in $LIBRARIES; do echo "      INCLUDE '$library.FI'"; done
  for library in $LIBRARIES; do echo "      INCLUDE '$library.FD'"; done
  echo "      END PROGRAM EVERY"
} >EVERY.FOR
"$FC" -fsyntax-only EVERY.FOR || fail "the library files do not compile together"

echo "== every library file compiles as free form, as the job copies it"
mkdir "$SCRATCH/free"
for file in *.FD *.FI; do grep -v '^[Cc]' "$file" >"$SCRATCH/free/$file" || true; done
sed 's/^      //' EVERY.FOR >"$SCRATCH/free/every.f90"
cd "$SCRATCH/free"
"$FC" -fsyntax-only every.f90 || fail "the library blocks are not valid free form"

echo "round trip passed"
