#!/usr/bin/env bash
# examples/cmake-project built against the unpacked tarball, as a user's
# project finds an installed PARESKIT: natively with gfortran, or cross with
# the mingw-w64 gfortran and run under wine. Natively the rebuilds are
# checked too: none without a change, a new extraction after the source or
# a library file changed, and the changed declaration in the program.
#
# Usage: example_project.sh native|cross PACKAGES_DIR PROJECT_DIR SCRATCH_DIR
# Exit status 77: the Fortran compiler (or, for cross, wine) is missing.
set -uo pipefail
[ $# -eq 4 ] || { echo "usage: $0 native|cross PACKAGES_DIR PROJECT_DIR SCRATCH_DIR" >&2; exit 64; }
mode=$1
packages=$2
scratch=$4
source "$(dirname "$0")/common.sh"

case "$mode" in
  native) tools=(gfortran ninja) run=() exe= ;;
  cross) tools=(x86_64-w64-mingw32-gfortran ninja wine) run=(wine) exe=.exe ;;
  *) echo "usage: $0 native|cross ..." >&2; exit 64 ;;
esac
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

rm -rf "$scratch"
mkdir -p "$scratch/prefix"
cp -r "$3" "$scratch/project"
tar -xzf "$packages"/pareskit-*-linux.tar.gz -C "$scratch/prefix" --strip-components=1
project=$scratch/project
build=$scratch/build
configure=(-G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix")
[ "$mode" = cross ] && configure+=(-DCMAKE_TOOLCHAIN_FILE="$project/mingw-w64-gfortran.cmake")

# build LOG: builds the project; fails when the build fails.
build() {
  cmake --build "$build" >"$scratch/$1" 2>&1 || { cat "$scratch/$1"; return 1; }
}
# prints PROGRAM: what the program prints, CR LF ends made LF.
prints() { "${run[@]}" "$build/$1$exe" 2>&1 | tr -d '\r'; }

if ! cmake -S "$project" -B "$build" "${configure[@]}" >"$scratch/configure.log" 2>&1 || ! build first.log; then
  cat "$scratch/configure.log"
  check "the project builds against the installed package" "configure or build failed"
  finish
  exit
fi

# same SCENARIO ACTUAL EXPECTED; logged SCENARIO LOG TEXT: whether the
# output is as expected, whether the build's log holds TEXT.
same() { check "$1" "$([ "$2" = "$3" ] && echo ok || echo "it printed: $2")"; }
logged() { check "$1" "$(grep -q "$3" "$scratch/$2" && echo ok || echo "the build did: $(cat "$scratch/$2")")"; }

same "$mode WINCONST prints its constants" "$(prints winconst)" $'WM_PAINT = 15\nWM_CLOSE = 16\nMAX_PATH = 260'
if [ "$mode" = cross ]; then
  same "cross WINCALLS calls Win32 functions" "$(prints wincalls)" $'lstrlenA = 7\nMulDiv = 67\nIsCharAlphaA = T'
  finish
  exit
fi

build again.log
logged "no extraction without a change" again.log "no work to do"
touch "$project/WINCONST.FOR"
build source.log
logged "a changed source is extracted again" source.log "Extracting the Win32 declarations of WINCONST"
sed -i 's/:: WM_PAINT = 15/:: WM_PAINT = 99/' "$scratch/prefix/share/pareskit/USER32.FD"
build library.log
same "a changed library file reaches the program" "$(prints winconst | head -n 1)" "WM_PAINT = 99"
finish
