#!/usr/bin/env bash
# Builds PARESKIT.EXE (win64 preset) and runs it under wine on a scratch copy
# of examples/: the program DEMO is typed into the form and confirmed, and the
# report DEMO.PRE is printed. Without a display a virtual one is started.
#
#   bash tools/demo.sh                 # the automated run
#   bash tools/demo.sh --interactive   # type the name yourself (needs a display)
#
# PK_DEMO_BUILD_DIR builds into another directory instead of the preset's.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

interactive=0
case "${1:-}" in
  "") ;;
  --interactive) interactive=1 ;;
  *)
    echo "usage: $0 [--interactive]" >&2
    exit 64
    ;;
esac
if [ "$interactive" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  echo "--interactive needs a display (DISPLAY is not set)" >&2
  exit 64
fi

for tool in cmake ninja x86_64-w64-mingw32-g++-posix wine Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    bash tools/install-deps.sh
    break
  fi
done

echo "== building PARESKIT.EXE"
if [ -n "${PK_DEMO_BUILD_DIR:-}" ]; then
  build=$(realpath -m "$PK_DEMO_BUILD_DIR")
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  cmake --build "$build" -j 2 --target PARESKIT
else
  build=$root/build/win64
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j 2 --target PARESKIT
fi
program=$build/shell/PARESKIT.exe
wine_command=wine

# A quiet wine with its prefix made, and a virtual display when none is set.
source tools/wine-env.sh
source tests/program_under_wine/drive_program.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/pareskit-demo.XXXXXX")
cp -r examples/. "$work/"
trap 'stop_running_program; end_wine_env' EXIT

echo "== running PARESKIT.EXE in $work"
start_program "$work"
if ! form=$(find_window FORM 120); then
  stop_running_program
  echo "the form did not show" >&2
  exit 1
fi
if [ "$interactive" = 1 ]; then
  echo "Type a program name (DEMO) into the form and press Ctrl+Enter; ESC cancels."
  wait_for_exit 3600
else
  enter_program_name "$form" DEMO
  wait_for_exit 120
fi
if [ "$exit_code" != 0 ]; then
  echo "PARESKIT.EXE ended with exit code $exit_code" >&2
  exit 1
fi

echo "== files in $work"
ls -C -w 100 "$work"
if [ -f "$work/DEMO.PRE" ]; then
  echo "== DEMO.PRE"
  cat "$work/DEMO.PRE"
else
  echo "no DEMO.PRE: the form was cancelled or another name was given"
fi
