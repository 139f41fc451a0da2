#!/usr/bin/env bash
# examples/cmake-project built against the unpacked tarball, as a user's
# project finds an installed PARESKIT: natively with gfortran, or cross with
# the mingw-w64 gfortran (its toolchain file keeps packages to the target's
# root) and run under wine, its WINCALLS using C macros of the package's
# libpareskit.a; with Ninja or with Makefiles. A stale
# WINCONST.FD beside the source must not reach the program, the free-form
# GEOM.f95 must get its RECT, and AREAS (.f03) must build with the module
# GEOMETRY (.f08), each with its own RECT. Natively the rebuilds are checked
# too: none without a change, a new extraction after the source or a file
# of the project's own library set (EXAMPLE_LIBRARY_DIR) changed, and the
# changed declaration in the program; a LIBRARY_DIR relative to the
# project's folder; a program that calls a function without a block fails
# the build at its job, naming the function; and a project that declares
# old policies (cmake_minimum_required(VERSION 3.2)) uses the package.
#
# Usage: example_project.sh native|cross GENERATOR PACKAGES_DIR PROJECT_DIR SCRATCH_DIR
# Exit status 77: the Fortran compiler (or, for cross, wine) is missing.
set -uo pipefail
[ $# -eq 5 ] || {
  echo "usage: $0 native|cross GENERATOR PACKAGES_DIR PROJECT_DIR SCRATCH_DIR" >&2
  exit 64
}
mode=$1
generator=$2
packages=$3
scratch=$5
source "$(dirname "$0")/common.sh"

case "$generator" in
  Ninja) tools=(ninja) ;;
  "Unix Makefiles") tools=(make) ;;
  *) echo "$0: unknown generator $generator" >&2; exit 64 ;;
esac
case "$mode" in
  native) tools+=(gfortran) run=() exe= ;;
  cross) tools+=(x86_64-w64-mingw32-gfortran wine) run=(wine) exe=.exe ;;
  *) echo "usage: $0 native|cross ..." >&2; exit 64 ;;
esac
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

rm -rf "$scratch"
mkdir -p "$scratch/prefix"
cp -r "$4" "$scratch/project"
tar -xzf "$packages"/pareskit-*-linux.tar.gz -C "$scratch/prefix" --strip-components=1
project=$scratch/project
build=$scratch/build
mylib=$scratch/mylib
cp -r "$scratch/prefix/share/pareskit" "$mylib"
# A stale declaration file beside the source, as a manual run leaves it.
echo "      INTEGER, PARAMETER :: WM_PAINT = 1234" >"$project/WINCONST.FD"
configure=(-G "$generator" -DCMAKE_PREFIX_PATH="$scratch/prefix")
[ "$mode" = native ] && configure+=(-DEXAMPLE_LIBRARY_DIR="$mylib")
[ "$mode" = cross ] && configure+=(-DCMAKE_TOOLCHAIN_FILE="$project/mingw-w64-gfortran.cmake")

# build LOG [TARGET]: builds the project; fails when the build fails.
build() {
  cmake --build "$build" ${2:+--target "$2"} >"$scratch/$1" 2>&1
}
# prints PROGRAM: what the program prints, CR LF ends made LF.
prints() { "${run[@]}" "$build/$1$exe" 2>&1 | tr -d '\r'; }

if ! cmake -S "$project" -B "$build" "${configure[@]}" >"$scratch/configure.log" 2>&1 ||
  ! build first.log; then
  cat "$scratch/configure.log" "$scratch/first.log"
  check "$mode $generator: the project builds against the installed package" "configure or build failed"
  finish
  exit
fi

# same SCENARIO ACTUAL EXPECTED; logged SCENARIO LOG TEXT; quiet SCENARIO
# LOG: whether the output is as expected, whether the build's log holds
# TEXT, whether the build did nothing.
same() { check "$mode $generator: $1" "$([ "$2" = "$3" ] && echo ok || echo "it printed: $2")"; }
logged() {
  check "$mode $generator: $1" "$(tr -s ' \n' ' ' <"$scratch/$2" | grep -q "$3" && echo ok ||
    echo "the log says: $(cat "$scratch/$2")")"
}
quiet() {
  check "$mode $generator: $1" \
    "$(grep -qE "Extracting|Building|Linking" "$scratch/$2" && echo "it did: $(cat "$scratch/$2")" || echo ok)"
}

logged "the stale WINCONST.FD beside the source is warned of" configure.log "WINCONST.FD sits beside"
logged "OUT_VAR names the files written" configure.log "pareskit/winconst/GEOM.FD"
same "WINCONST prints its constants, not the stale one, and GEOM.f95 its RECT" "$(prints winconst)" \
  $'WM_PAINT = 15\nWM_CLOSE = 16\nMAX_PATH = 260\nRECT = 30 x 40'
same "AREAS.f03 passes its RECT to the module of GEOMETRY.f08" "$(prints areas)" 'area = 1200'
if [ "$mode" = cross ]; then
  # LOWORD and RGB: the package's libpareskit.a, linked without being asked.
  same "WINCALLS calls Win32 functions and macros" "$(prints wincalls)" \
    $'lstrlenA = 7\nMulDiv = 67\nIsCharAlphaA = T\nLOWORD = 22136\nRGB = 33023'
  finish
  exit
fi

build again.log
quiet "no extraction, compilation or link without a change" again.log
touch "$project/WINCONST.FOR"
build source.log
logged "a changed source is extracted again" source.log "Extracting the Win32 declarations of WINCONST"
sed -i 's/:: WM_PAINT = 15/:: WM_PAINT = 99/' "$mylib/USER32.FD"
build library.log
logged "a changed file of LIBRARY_DIR is extracted again" library.log "Extracting the Win32 declarations of WINCONST"
same "a changed library file reaches the program" "$(prints winconst | head -n 1)" "WM_PAINT = 99"

# The form from the Fortran_FORMAT property and from FIXED_FORM: a
# free-form FORMS.FOR whose "c = MAX_PATH" a fixed-form scan would take for
# a comment, and a fixed-form OLDFORM.f90 with a comment line.
printf 'program forms\n  use, intrinsic :: iso_c_binding\n  implicit none\n  include '"'"'FORMS.FD'"'"'\n  integer :: c\nc = MAX_PATH\n  write (*, '"'"'(A, I0)'"'"') '"'"'MAX_PATH = '"'"', c\n  call oldform\nend program forms\n' >"$project/FORMS.FOR"
printf 'C     OLDFORM: fixed form in a .f90 file\n      SUBROUTINE OLDFORM\n      USE, INTRINSIC :: ISO_C_BINDING\n      IMPLICIT NONE\n      INCLUDE '"'"'OLDFORM.FD'"'"'\n      WRITE (*, '"'"'(A, I0)'"'"') '"'"'WM_CLOSE = '"'"', WM_CLOSE\n      END\n' >"$project/OLDFORM.f90"
cat >>"$project/CMakeLists.txt" <<'CMAKE'
add_executable(forms FORMS.FOR OLDFORM.f90)
set_source_files_properties(FORMS.FOR PROPERTIES Fortran_FORMAT FREE)
pareskit_declarations(TARGET forms SOURCES FORMS.FOR)
pareskit_declarations(TARGET forms SOURCES OLDFORM.f90 FIXED_FORM)
CMAKE
if cmake "$build" >"$scratch/forms-configure.log" 2>&1 && build forms.log forms; then
  same "Fortran_FORMAT and FIXED_FORM name the form" "$(prints forms)" $'MAX_PATH = 260\nWM_CLOSE = 16'
else
  check "$mode $generator: Fortran_FORMAT and FIXED_FORM name the form" "the build failed: $(cat "$scratch/forms.log")"
fi

# A relative LIBRARY_DIR is the project's folder's: its own WM_CLOSE.
cp -r "$mylib" "$project/locallib"
sed -i 's/:: WM_CLOSE = 16/:: WM_CLOSE = 61/' "$project/locallib/USER32.FD"
printf '      PROGRAM LOCALLIB\n      USE, INTRINSIC :: ISO_C_BINDING\n      IMPLICIT NONE\n      INCLUDE '"'"'LOCALLIB.FD'"'"'\n      WRITE (*, '"'"'(A, I0)'"'"') '"'"'WM_CLOSE = '"'"', WM_CLOSE\n      END\n' >"$project/LOCALLIB.FOR"
cat >>"$project/CMakeLists.txt" <<'CMAKE'
add_executable(locallib LOCALLIB.FOR)
pareskit_declarations(TARGET locallib SOURCES LOCALLIB.FOR LIBRARY_DIR locallib)
CMAKE
if cmake "$build" >"$scratch/locallib-configure.log" 2>&1 && build locallib.log locallib; then
  same "a relative LIBRARY_DIR is the project folder's" "$(prints locallib)" 'WM_CLOSE = 61'
else
  check "$mode $generator: a relative LIBRARY_DIR is the project folder's" \
    "the build failed: $(cat "$scratch/locallib-configure.log" "$scratch/locallib.log")"
fi

# STRICT (the default): a call of TraceMessage, which its library file
# lists without a block, stops the build at the job.
printf '      PROGRAM STRICTF\n      CALL TraceMessage(0)\n      END\n' >"$project/STRICTF.FOR"
cat >>"$project/CMakeLists.txt" <<'CMAKE'
add_executable(strictf EXCLUDE_FROM_ALL STRICTF.FOR)
pareskit_declarations(TARGET strictf SOURCES STRICTF.FOR)
CMAKE
cmake "$build" >"$scratch/reconfigure.log" 2>&1
if build strict.log strictf; then
  check "$mode $generator: STRICT fails the build" "the build succeeded"
else
  logged "STRICT fails the build, naming the symbol" strict.log "FI symbol TraceMessage not found: listed without a block in ADVAPI32.FI"
fi

# A project of old policies: IN_LIST, say, is then no condition in its own
# code, but the package sets the policies it is written for. (CMake 4 takes
# no policies before 3.5.)
old=$scratch/old-policies
mkdir -p "$old"
cp "$project/WINCONST.FOR" "$project/GEOM.f95" "$old"
cat >"$old/CMakeLists.txt" <<'CMAKE'
if(CMAKE_VERSION VERSION_LESS 4)
  cmake_minimum_required(VERSION 3.2)
else()
  cmake_minimum_required(VERSION 3.5)
endif()
project(old_policies LANGUAGES Fortran)
find_package(pareskit 1.0 REQUIRED)
add_executable(winconst WINCONST.FOR GEOM.f95)
pareskit_declarations(TARGET winconst SOURCES WINCONST.FOR GEOM.f95)
CMAKE
if cmake -S "$old" -B "$scratch/old-build" -G "$generator" -DCMAKE_PREFIX_PATH="$scratch/prefix" \
  >"$scratch/old.log" 2>&1 && cmake --build "$scratch/old-build" >>"$scratch/old.log" 2>&1; then
  same "a project of old policies uses the package" "$("$scratch/old-build/winconst" | tail -n 1)" 'RECT = 30 x 40'
else
  check "$mode $generator: a project of old policies uses the package" "the build failed: $(cat "$scratch/old.log")"
fi
# Below its CMake minimum the package is not found, and says why.
cat >"$scratch/guard.cmake" <<'CMAKE'
set(CMAKE_VERSION 3.6.3)
include("${CONFIG}")
message("${pareskit_FOUND}: ${pareskit_NOT_FOUND_MESSAGE}")
CMAKE
guard=$(cmake -DCONFIG="$scratch/prefix/share/pareskit/cmake/pareskit-config.cmake" -P "$scratch/guard.cmake" 2>&1)
same "below CMake 3.7 the package is not found, saying why" "$guard" \
  'FALSE: pareskit needs CMake 3.7 or later; this is CMake 3.6.3'
finish
