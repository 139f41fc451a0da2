#!/bin/sh
# Round trip of the example set: the batch driver extracts NAME.FD and
# NAME.FI from a copy of examples/ for DEMO, EVERYDAY, NATURAL and CSTYLE
# (calls written as a C program writes them, in C's names) and
# testdata/CCALLS.FOR (C's NULL, pointers and type names where C has
# them), the cross gfortran
# compiles NAME.FOR against them and links it with the real import
# libraries, and wine runs it; calls with wrong argument types must not
# compile; a program naming unknown symbols must have them reported as not
# found, and every library file must compile as Fortran, fixed and free form.
#
#   tests/round_trip/round_trip.sh BATCH_EXE
#
# Exit status: 0 passed, 1 failed, 77 skipped (cross gfortran or wine is
# not installed).
set -eu

[ $# -eq 1 ] || { echo "usage: $0 BATCH_EXE" >&2; exit 2; }
BATCH=$(realpath "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
EXAMPLES=$HERE/../../examples
EXPECTED=$HERE/testdata
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

# round_trip NAME: extracts, compiles and links NAME.FOR, runs it under
# wine and compares what it prints with testdata/NAME.OUT.
round_trip() {
  echo "== $1: extract, compile, link, run under wine"
  copy_examples "$SCRATCH/$1"
  cd "$SCRATCH/$1"
  if [ -f "$EXPECTED/$1.FOR" ]; then cp "$EXPECTED/$1.FOR" .; fi
  "$BATCH" "$1" || fail "pareskit-batch $1 exited with $?"
  "$FC" -static -o "$1.exe" "$1.FOR" \
    -luser32 -lgdi32 -lkernel32 -ladvapi32 -lshell32 -lcomctl32 -lcomdlg32 ||
    fail "$1.FOR does not compile or link against $1.FD and $1.FI"
  # A fresh wine prefix would offer to install its .NET and HTML engines;
  # the programs need neither.
  status=0
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" "$1.exe" \
    >run.out 2>run.err || status=$?
  if [ "$status" -ne 0 ]; then
    cat run.err >&2
    fail "$1.exe exited with $status"
  fi
  # The console writes CR LF; the expectation is kept with LF.
  tr -d '\r' <run.out | diff -u "$EXPECTED/$1.OUT" - ||
    fail "$1.exe printed something else"
}

round_trip DEMO
cmp DEMO.PRE "$EXPECTED/DEMO.PRE" || fail "DEMO.PRE differs from the expected report"
for name in EVERYDAY NATURAL CSTYLE CCALLS; do
  round_trip $name
  if tr -d '\r' <$name.PRE | grep -q -E '^ +[1-9][0-9]* F[DI] Symbols were not found'; then
    fail "$name.PRE reports symbols that were not found"
  fi
done

# rejected NAME MESSAGE STATEMENT...: the program NAME of the statements,
# compiled with its extracted declarations, must fail with MESSAGE (an
# extended regular expression) among the compiler's words.
rejected() {
  name=$1 message=$2
  shift 2
  mkdir "$SCRATCH/$name"
  cp "$EXAMPLES"/*.FD "$EXAMPLES"/*.FI "$EXAMPLES"/*.LIS "$SCRATCH/$name"
  cd "$SCRATCH/$name"
  {
    printf '%s\r\n' "      PROGRAM $name" "      USE, INTRINSIC :: ISO_C_BINDING" \
      "      INCLUDE '$name.FI'" "      INCLUDE '$name.FD'"
    for line; do printf '      %s\r\n' "$line"; done
    printf '%s\r\n' "      END PROGRAM $name"
  } >"$name.FOR"
  "$BATCH" "$name" || fail "pareskit-batch $name exited with $?"
  if "$FC" -fsyntax-only "$name.FOR" 2>compile.err; then
    fail "$name: a call with a wrong argument type compiled"
  fi
  grep -q -E "$message" compile.err || {
    cat compile.err >&2
    fail "$name.FOR was rejected, but not for its argument type"
  }
}

echo "== the extracted interfaces check argument types"
# A number where lstrlenA takes a string: only an interface can tell.
rejected BADCALL "no specific function for the generic|Type mismatch" \
  "WRITE (*, *) lstrlenA(12345)"
# A POINT where GetClientRect takes a RECT: no specific of the generic fits.
rejected BADRECT "no specific function for the generic|Type mismatch" \
  "TYPE(POINT) :: CORNER" "CORNER = POINT(0, 0)" \
  "WRITE (*, *) GetClientRect(0_C_INTPTR_T, CORNER)"
# The same beside C_NULL_PTR, where NULL and structures mix in one call.
rejected BADMIX "no specific function for the generic" \
  "TYPE(POINT) :: CORNER" "INTEGER(C_INTPTR_T) :: H" "H = 0" \
  "WRITE (*, *) GetFileTime(H, C_NULL_PTR, C_NULL_PTR, CORNER)"
# An INTEGER(8) where GetExitCodeProcess takes the address of a DWORD.
rejected BADKIND "no specific function for the generic" \
  "INTEGER(C_INT64_T) :: CODE" \
  "WRITE (*, *) GetExitCodeProcess(0_C_INTPTR_T, CODE)"
# A POINT where the neutral GetMessage takes a MSG, and a number for the
# string of the neutral lstrlen: the other name checks as the A function.
rejected NEUTRALTYPE "no specific function for the generic" \
  "TYPE(POINT) :: CORNER" "WRITE (*, *) GetMessage(CORNER, 0_C_INTPTR_T, 0, 0)"
rejected NEUTRALCALL "no specific function for the generic|Type mismatch" \
  "WRITE (*, *) lstrlen(12345)"
# The same where C_NULL_PTR stands for the window, and for the string.
rejected BADNULL "no specific function for the generic" \
  "TYPE(POINT) :: P" "WRITE (*, *) GetMessageA(P, C_NULL_PTR, 0, 0)"
# UTF-16 text where a narrow string goes, and a narrow one for a wide.
rejected BADWIDE "no specific function for the generic" \
  "INTEGER(C_INT16_T) :: W(8)" "W = 0" \
  "WRITE (*, *) MessageBoxA(C_NULL_PTR, W, C_NULL_PTR, 0)" \
  "WRITE (*, *) MultiByteToWideChar(0, 0, 'x', 1, 'y', 1)"
# An INTEGER(8) where a WORD goes by value.
rejected BADWORD "no specific function for the generic" \
  "WRITE (*, *) SetConsoleTextAttribute(0_C_INTPTR_T, 12_C_INT64_T)"
# A procedure whose second argument has another kind than WNDENUMPROC's.
rejected BADPROC "Interface mismatch" \
  "PROCEDURE(WNDENUMPROC_INTERFACE), POINTER :: CHECK" "CHECK => ENUMW" "CONTAINS" \
  "FUNCTION ENUMW(HW, LP) BIND(C)" "INTEGER(C_INT32_T) :: ENUMW" \
  "INTEGER(C_INTPTR_T), VALUE :: HW" "INTEGER(C_INT32_T), VALUE :: LP" \
  "ENUMW = 1" "END FUNCTION ENUMW"

# accepted NAME STATEMENT...: the program NAME of the statements, compiled
# with its extracted declarations, must compile; a statement beginning
# with "&" continues the one before.
accepted() {
  name=$1
  shift
  mkdir "$SCRATCH/$name"
  cp "$EXAMPLES"/*.FD "$EXAMPLES"/*.FI "$EXAMPLES"/*.LIS "$SCRATCH/$name"
  cd "$SCRATCH/$name"
  {
    printf '%s\r\n' "      PROGRAM $name" "      USE, INTRINSIC :: ISO_C_BINDING" \
      "      IMPLICIT NONE" "      INCLUDE '$name.FD'" "      INCLUDE '$name.FI'"
    for line; do
      case $line in
        '&'*) printf '     &  %s\r\n' "${line#&}" ;;
        *) printf '      %s\r\n' "$line" ;;
      esac
    done
    printf '%s\r\n' "      END PROGRAM $name"
  } >"$name.FOR"
  "$BATCH" "$name" || fail "pareskit-batch $name exited with $?"
  "$FC" -fsyntax-only "$name.FOR" || fail "$name.FOR does not compile"
}

echo "== a structure member has its structure's type, whose block comes with it"
accepted MEMBERS "TYPE(MSG) :: M" "TYPE(PAINTSTRUCT) :: PS" "INTEGER(C_INT32_T) :: I" \
  "M%pt%x = 7" "I = ScreenToClient(0_C_INTPTR_T, M%pt)" \
  "I = FillRect(0_C_INTPTR_T, PS%rcPaint, 0_C_INTPTR_T)"
accepted BOTHNAMED "TYPE(MSG) :: M" "TYPE(POINT) :: P" "TYPE(PAINTSTRUCT) :: PS" \
  "TYPE(RECT) :: R" "P = M%pt" "R = PS%rcPaint"
echo "== the C names of types, and a type sharing its name with its function"
# A tag name goes to the function's neutral name as to its A name.
accepted CNAMES "TYPE(CRITICAL_SECTION) :: CS" "TYPE(INITCOMMONCONTROLSEX) :: IC" \
  "TYPE(RTL_CRITICAL_SECTION) :: RCS" "INTEGER(C_INT32_T) :: I" \
  "TYPE(tagMSG) :: M" "TYPE(tagWNDCLASSA) :: WC" \
  "CALL InitializeCriticalSection(CS)" "IC%dwSize = 8" \
  "I = InitCommonControlsEx(IC)" "I = lstrlenA(PROGRESS_CLASSA)" \
  "I = GetMessage(M, 0_C_INTPTR_T, 0, 0)" "I = RegisterClass(WC)"
echo "== the names of types that earlier library sets taught, tags and neutral names"
accepted TAGNAMES "TYPE(tagINITCOMMONCONTROLSEX) :: IC" "TYPE(tagSIZE) :: SZ" \
  "TYPE(BROWSEINFO) :: BI" "TYPE(LV_ITEM) :: LV" "TYPE(WNDCLASS) :: WC" \
  "IC%dwSize = 8" "SZ%cx = 1" "LV%iItem = 2"
echo "== calls as C writes them, beyond CCALLS's run"
# NULL for the parent, the menu and lpParam beside hInstance; a buffer
# C allocated as the text; a default INTEGER for a WORD; the earlier
# set's INTEGER(C_INT16_T) there; a generic's name as its procedure;
# keywords where a mix goes beyond the generic's; an array's first
# element beside C_NULL_PTR.
accepted CWRITES "TYPE(C_PTR) :: MSGBUF" "INTEGER(C_INTPTR_T) :: HW, HINST" \
  "CHARACTER(KIND=C_CHAR) :: TEXT(64)" \
  "INTEGER(C_INT32_T) :: I" "TYPE(C_FUNPTR) :: WPROC" "HINST = 0" \
  "MSGBUF = C_NULL_PTR" \
  "HW = CreateWindowExA(0, 'CLS' // C_NULL_CHAR, 'x' // C_NULL_CHAR," \
  "&WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT," \
  "&CW_USEDEFAULT, CW_USEDEFAULT, C_NULL_PTR, C_NULL_PTR, HINST," \
  "&C_NULL_PTR)" \
  "I = MessageBoxA(C_NULL_PTR, MSGBUF, 'Error' // C_NULL_CHAR, MB_OK)" \
  "I = SetConsoleTextAttribute(GetStdHandle(STD_OUTPUT_HANDLE)," \
  "&IOR(FOREGROUND_RED, FOREGROUND_INTENSITY))" \
  "I = SetConsoleTextAttribute(HW, 12_C_INT16_T)" \
  "WPROC = C_FUNLOC(DefWindowProcA)" \
  "I = RegQueryInfoKeyA(HW, lpcSubKeys=I, lpcValues=I)" \
  "I = GetFullPathNameA(C_NULL_PTR, 0, TEXT(1), C_NULL_PTR)"
echo "== variables of short names, and byte members set from their constants"
accepted VARIABLES "INTEGER :: CX, CY" "TYPE(LOGFONTA) :: LF" "CX = 1" "CY = CX" \
  "LF%lfCharSet = RUSSIAN_CHARSET" "LF%lfClipPrecision = CLIP_EMBEDDED"
echo "== the W functions with their W structures, UTF-16 arrays and C_PTR strings"
accepted WIDE "TYPE(WIN32_FIND_DATAW) :: FD" "TYPE(LOGFONTW) :: LF" \
  "TYPE(CHOOSECOLORW) :: CC" "TYPE(tagCHOOSECOLORW) :: CC2" \
  "CHARACTER(LEN=260) :: BUF" "INTEGER(C_INT16_T) :: W(260)" \
  "INTEGER(C_INTPTR_T) :: H" "INTEGER(C_INT32_T) :: I" "TYPE(C_PTR) :: ARGV" \
  "ARGV = CommandLineToArgvW(GetCommandLineW(), I)" "BUF = '*.FOR' // C_NULL_CHAR" "I = MultiByteToWideChar(CP_UTF8, 0, BUF, -1, W, 260)" \
  "H = FindFirstFileW(W, FD)" "I = WideCharToMultiByte(CP_UTF8, 0, FD%cFileName, -1, BUF, 260)" \
  "I = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, BUF, 9)" \
  "H = CreateFontIndirectW(LF)" "I = ChooseColorW(CC)" "CC2%lStructSize = 0" \
  "H = LoadCursorW(0_C_INTPTR_T, IDC_ARROW)" "H = FindWindowW(lpWindowName=W)" \
  "H = FindWindowW(C_NULL_PTR, W)"

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
cd "$SCRATCH/DEMO"
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
