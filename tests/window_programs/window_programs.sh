#!/usr/bin/env bash
# The window programs of the examples: the batch driver extracts
# HELLOWIN.FD and HELLOWIN.FI for HELLOWIN.FOR (and, with --free-form, for
# HELLOWIN.f90) from a copy of examples/, the cross gfortran builds them as
# GUI programs, and wine runs them on an X display: the red greeting must
# show in the window, and the program must close itself and exit with 0.
# So must WIDEWIN.FOR, written with the W functions, and UTF8WIN.FOR, linked
# with the manifest of UTF8WIN.rc: its three red lines of UTF-8 text, shown
# through the A and the W functions, must be the same pixels.
# Given PARESKIT.EXE too, the program run on the same copy with HELLOWIN
# typed into its form must write the batch driver's files byte for byte.
#
#   tests/window_programs/window_programs.sh BATCH_EXE [PARESKIT_EXE]
#
# A BATCH_EXE ending in .exe runs under wine. The screenshots go to
# $PK_ARTIFACTS (hellowin.png, hellowin-f90.png, widewin.png, utf8win.png)
# when it is set. PK_WINE names wine, RC the resource compiler; a display is
# started when DISPLAY is unset.
# Exit status: 0 passed, 1 failed, 77 skipped (a tool is not installed).
set -uo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BATCH_EXE [PARESKIT_EXE]" >&2
  exit 2
fi
BATCH=$(realpath "$1")
program=${2:+$(realpath "$2")}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
EXAMPLES=$ROOT/examples
FC=${FC:-x86_64-w64-mingw32-gfortran}
wine_command=${PK_WINE:-wine}

needed="$FC $wine_command xdotool import convert compare ${RC:=x86_64-w64-mingw32-windres}"
[ -n "${DISPLAY:-}" ] || needed="$needed Xvfb"
for tool in $needed; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

SCRATCH=$(mktemp -d)
ARTIFACTS=${PK_ARTIFACTS:-$SCRATCH}
mkdir -p "$ARTIFACTS"
source "$ROOT/tools/wine-env.sh"
source "$ROOT/tests/program_under_wine/drive_program.sh"
trap 'stop_running_program; end_wine_env; rm -rf "$SCRATCH"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
batch() {
  case $BATCH in
    *.exe) "$wine_command" "$BATCH" "$@" ;;
    *) "$BATCH" "$@" ;;
  esac
}
# copy_examples DIR: the library files, master lists and window programs.
copy_examples() {
  mkdir "$1" && cp "$EXAMPLES"/*.FD "$EXAMPLES"/*.FI "$EXAMPLES"/*.LIS \
    "$EXAMPLES"/HELLOWIN.* "$EXAMPLES"/WIDEWIN.FOR "$EXAMPLES"/UTF8WIN.* \
    "$EXAMPLES"/crest.bmp "$1" || fail "cannot copy examples/ to $1"
}
# extract DIR NAME [--free-form]: NAME.FD and NAME.FI, with every symbol found.
extract() {
  (cd "$1" && batch "${@:3}" "$2") || fail "pareskit-batch ${*:3} $2 exited with $?"
  if tr -d '\r' <"$1/$2.PRE" | grep -v -E '^ +0 F[DI] Symbols were not found$' |
    grep -q 'not found'; then
    cat "$1/$2.PRE" >&2
    fail "$2.PRE reports symbols that were not found"
  fi
}
# red_pixels PNG: pixels of the greeting's colour.
red_pixels() {
  convert "$1" -fill black +opaque "rgb(255,0,0)" -fill white -opaque "rgb(255,0,0)" \
    -format "%[fx:round(mean*w*h)]" info:
}
# same_red_lines PNG COUNT: the picture holds COUNT lines of red text (runs of
# rows with pixels of that colour), each the same pixels as the first.
same_red_lines() {
  local runs width height i
  runs=($(convert "$1" -fill black +opaque "rgb(255,0,0)" -fill white -opaque "rgb(255,0,0)" \
    -colorspace gray -scale '1x!' -depth 16 txt:- |
    sed -n 's/^0,\([0-9]*\): (\([0-9]*\),.*/\1 \2/p' |
    awk '$2 > 0 { if ($1 != last + 1) { if (n++) print top, last - top + 1; top = $1 }
                  last = $1 }
         END { if (n) print top, last - top + 1 }'))
  [ "${#runs[@]}" = $((2 * $2)) ] || { echo "$((${#runs[@]} / 2)) lines of red text, not $2"; return 1; }
  width=$(identify -format %w "$1") height=${runs[1]}
  for ((i = 2; i < ${#runs[@]}; i += 2)); do
    [ "${runs[i + 1]}" = "$height" ] &&
      compare -metric AE "$1[${width}x$height+0+${runs[0]}]" \
        "$1[${width}x$height+0+${runs[i]}]" null: 2>/dev/null ||
      { echo "line $((i / 2 + 1)) differs from the first"; return 1; }
  done
}
# show_window SOURCE TITLE SCREENSHOT [LINK_ARGUMENT...]: builds SOURCE into an
# .exe, runs it, photographs the window titled TITLE and waits for the program
# to end by itself.
show_window() {
  local window red deadline exe=${1%.*}.exe
  "$FC" -static -mwindows -o "$exe" "$1" "${@:4}" -luser32 -lgdi32 -lkernel32 ||
    fail "$1 does not compile or link against its NAME.FD and NAME.FI"
  program=$exe start_program .
  window=$(find_window "$2" 60) || fail "$1: no window titled '$2' showed"
  # The window closes itself after four seconds: it is photographed as soon
  # as the greeting shows, for three seconds at most.
  deadline=$((SECONDS + 3))
  while :; do
    import -window "$window" "$3" || fail "$1: no screenshot of the window"
    red=$(red_pixels "$3") || red=0
    [ "$red" -lt 100 ] && [ $SECONDS -lt $deadline ] || break
    sleep 0.1
  done
  [ "$red" -ge 100 ] || fail "$1: the greeting is not drawn ($red red pixels in $3)"
  wait_for_exit 60
  [ "$exit_code" = 0 ] || fail "$1: $exe ended with $exit_code (124: it did not end)"
  echo "$1: $red red pixels, exit code 0"
}

echo "== HELLOWIN.FOR"
copy_examples "$SCRATCH/fixed"
extract "$SCRATCH/fixed" HELLOWIN
cd "$SCRATCH/fixed" || fail "no $SCRATCH/fixed"
show_window HELLOWIN.FOR 'Hello, Windows' "$ARTIFACTS/hellowin.png"

echo "== HELLOWIN.f90, free form"
copy_examples "$SCRATCH/free"
rm "$SCRATCH/free/HELLOWIN.FOR"
extract "$SCRATCH/free" HELLOWIN --free-form
cd "$SCRATCH/free" || fail "no $SCRATCH/free"
show_window HELLOWIN.f90 'Hello, free form' "$ARTIFACTS/hellowin-f90.png"

echo "== WIDEWIN.FOR, the W functions"
copy_examples "$SCRATCH/wide"
extract "$SCRATCH/wide" WIDEWIN
cd "$SCRATCH/wide" || fail "no $SCRATCH/wide"
show_window WIDEWIN.FOR 'Wide · Ελληνικά' "$ARTIFACTS/widewin.png"

echo "== UTF8WIN.FOR, UTF-8 through the A and the W functions"
copy_examples "$SCRATCH/utf8"
extract "$SCRATCH/utf8" UTF8WIN
cd "$SCRATCH/utf8" || fail "no $SCRATCH/utf8"
"$RC" UTF8WIN.rc -O coff -o UTF8WIN.res || fail "windres cannot compile UTF8WIN.rc"
show_window UTF8WIN.FOR 'UTF-8 · Ελληνικά' "$ARTIFACTS/utf8win.png" UTF8WIN.res
lines=$(same_red_lines "$ARTIFACTS/utf8win.png" 3) || fail "utf8win.png: $lines"

if [ -n "$program" ]; then
  echo "== PARESKIT.EXE with HELLOWIN typed into its form"
  copy_examples "$SCRATCH/shell"
  start_program "$SCRATCH/shell"
  form=$(find_window FORM 120) || fail "PARESKIT.EXE showed no form"
  enter_program_name "$form" HELLOWIN
  wait_for_exit 60
  [ "$exit_code" = 0 ] || fail "PARESKIT.EXE ended with $exit_code"
  for file in HELLOWIN.FD HELLOWIN.FI HELLOWIN.FDH HELLOWIN.FIH HELLOWIN.PRE; do
    cmp "$SCRATCH/fixed/$file" "$SCRATCH/shell/$file" ||
      fail "PARESKIT.EXE wrote another $file than pareskit-batch"
  done
fi

echo "window programs passed"
