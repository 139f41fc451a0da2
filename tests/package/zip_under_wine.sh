#!/usr/bin/env bash
# The Windows ZIP as a user gets it: unpacked into a fresh folder, with a
# fresh wine prefix, DEMO.FOR copied in; the job is run by PARESKIT.EXE (the
# name typed into its form) and, in a second unpacked copy, by
# pareskit-batch.exe. Their files must equal those of the built driver run
# on a copy of examples/. No DLL is shipped: a missing one fails the run.
# The ZIP carries README.md, LICENSE, libpareskit.a and the CMake package, and its
# executables carry no debug sections; with the mingw-w64 gfortran,
# examples/cmake-project is cross-built against the ZIP's CMake package,
# its pareskit-batch.exe run under wine (PARESKIT_BATCH_EXECUTABLE), and
# its macros linked from the ZIP's libpareskit.a.
#
# Usage: zip_under_wine.sh ZIP BATCH EXAMPLES_DIR SCRATCH_DIR
# Exit status 77: wine, Xvfb or xdotool is missing.
set -uo pipefail
[ $# -eq 4 ] || { echo "usage: $0 ZIP BATCH EXAMPLES_DIR SCRATCH_DIR" >&2; exit 64; }
zip=$(realpath "$1")
batch=$(realpath "$2")
examples=$(realpath "$3")
scratch=$4
here=$(cd "$(dirname "$0")" && pwd)
for tool in wine wineserver Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
source "$here/common.sh"

rm -rf "$scratch"
mkdir -p "$scratch"
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/pareskit-zip-wine.XXXXXX")
export WINEPREFIX
# A quiet wine, the fresh prefix initialised, a virtual display when none is set.
source "$here/../../tools/wine-env.sh"
wine_command=wine
source "$here/../program_under_wine/drive_program.sh"
trap 'stop_running_program; end_wine_env; rm -rf "$WINEPREFIX"' EXIT

in_tree_run "$scratch/in-tree" wine "$batch"

# unpacked DIR: the ZIP unpacked in DIR with DEMO.FOR beside the program; prints its folder.
unpacked() {
  mkdir -p "$1"
  (cd "$1" && cmake -E tar xf "$zip")
  project_with_demo "$1/$(basename "$zip" .zip)"
  echo "$1/$(basename "$zip" .zip)"
}

folder=$(unpacked "$scratch/gui")
program=$folder/PARESKIT.EXE
start_program "$folder"
if form=$(find_window FORM 120); then
  enter_program_name "$form" DEMO
  wait_for_exit 60
  check "PARESKIT.EXE from the ZIP" \
    "$([ "$exit_code" = 0 ] && same_job_files "$scratch/in-tree" "$folder" || echo "exit code $exit_code")"
else
  stop_running_program
  check "PARESKIT.EXE from the ZIP" "the form did not show"
fi

folder=$(unpacked "$scratch/batch")
(cd "$folder" && wine pareskit-batch.exe DEMO >/dev/null 2>&1)
check "pareskit-batch.exe from the ZIP" "$(same_job_files "$scratch/in-tree" "$folder")"

missing=
for name in README.md LICENSE libpareskit.a cmake/pareskit-config.cmake cmake/pareskit-config-version.cmake \
  cmake/pareskit-declarations.cmake cmake/pareskit-job.cmake; do
  [ -f "$folder/$name" ] || missing="$missing $name"
done
check "the ZIP holds README, LICENSE, libpareskit.a and the CMake package" \
  "${missing:-ok}${missing:+ missing:$missing}"
sections=$(x86_64-w64-mingw32-objdump -h "$folder/PARESKIT.EXE" "$folder/pareskit-batch.exe" |
  grep -c '\.debug' || true)
check "the ZIP's executables are stripped" "$([ "$sections" = 0 ] && echo ok || echo "$sections debug sections")"

if command -v x86_64-w64-mingw32-gfortran >/dev/null; then
  printf '#!/bin/sh\nexec wine "%s/pareskit-batch.exe" "$@"\n' "$folder" >"$scratch/batch.sh"
  chmod +x "$scratch/batch.sh"
  project=$here/../../examples/cmake-project
  build=$scratch/project-build
  if cmake -S "$project" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$project/mingw-w64-gfortran.cmake" \
    -DCMAKE_PREFIX_PATH="$folder" -DPARESKIT_BATCH_EXECUTABLE="$scratch/batch.sh" \
    >"$scratch/project.log" 2>&1 && cmake --build "$build" >>"$scratch/project.log" 2>&1; then
    check "a project built with the ZIP's CMake package" \
      "$(wine "$build/winconst.exe" 2>&1 | tr -d '\r' | grep -q '^RECT = 30 x 40$' && echo ok ||
        echo "winconst printed: $(wine "$build/winconst.exe" 2>&1)")"
    check "its macros linked from the ZIP's libpareskit.a" \
      "$(wine "$build/wincalls.exe" 2>&1 | tr -d '\r' | grep -q '^RGB = 33023$' && echo ok ||
        echo "wincalls printed: $(wine "$build/wincalls.exe" 2>&1)")"
  else
    check "a project built with the ZIP's CMake package" "the build failed: $(tail -n 20 "$scratch/project.log")"
  fi
fi
finish
