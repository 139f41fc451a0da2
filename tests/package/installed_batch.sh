#!/usr/bin/env bash
# The batch driver as installed from the packages: the tarball unpacked into
# a scratch prefix and, when run as root, the .deb installed with dpkg (and
# removed again). Each runs the job for DEMO in a folder that holds only
# DEMO.FOR, so it must find its own library set; its files must equal those
# of the built driver run on a copy of examples/. The tarball's top folder
# works where it is unpacked, and its manual page reads at 60 and 80
# columns. Both packages hold the support library libpareskit.a in the
# library set's folder.
#
# Usage: installed_batch.sh BATCH EXAMPLES_DIR PACKAGES_DIR SCRATCH_DIR
set -uo pipefail
[ $# -eq 4 ] || { echo "usage: $0 BATCH EXAMPLES_DIR PACKAGES_DIR SCRATCH_DIR" >&2; exit 64; }
batch=$(realpath "$1")
examples=$(realpath "$2")
packages=$3
scratch=$4
source "$(dirname "$0")/common.sh"

rm -rf "$scratch"
mkdir -p "$scratch/prefix"
in_tree_run "$scratch/in-tree" "$batch"

tar -xzf "$packages"/pareskit-*-linux.tar.gz -C "$scratch/prefix" --strip-components=1
project_with_demo "$scratch/tarball"
(cd "$scratch/tarball" && "$scratch/prefix/bin/pareskit-batch" DEMO)
check "tarball in a scratch prefix" "$(same_job_files "$scratch/in-tree" "$scratch/tarball")"
mkdir -p "$scratch/unpacked"
tar -xzf "$packages"/pareskit-*-linux.tar.gz -C "$scratch/unpacked"
project_with_demo "$scratch/in-place"
(cd "$scratch/in-place" && "$scratch"/unpacked/pareskit-*-linux/bin/pareskit-batch DEMO)
check "tarball's top folder where it is unpacked" "$(same_job_files "$scratch/in-tree" "$scratch/in-place")"
if "$scratch/prefix/bin/pareskit-batch" --help >/dev/full 2>/dev/null; then
  check "--help to a full device" "it exited with 0"
else
  check "--help to a full device" ok
fi
# The support library of the macros, a Windows archive, in the library
# set's folder of either package, where pareskit_declarations() looks.
check "the tarball's library set holds libpareskit.a" \
  "$([ -f "$scratch/prefix/share/pareskit/libpareskit.a" ] && echo ok || echo "it is not in share/pareskit")"
if command -v dpkg-deb >/dev/null; then
  listing=$(dpkg-deb -c "$packages"/pareskit_*.deb)
  check "the .deb's library set holds libpareskit.a" \
    "$(grep -q ' \./usr/share/pareskit/libpareskit\.a$' <<<"$listing" &&
      echo ok || echo "it is not in /usr/share/pareskit")"
fi
page=$scratch/prefix/share/man/man1/pareskit-batch.1.gz
check "the manual page tells what --help tells" "$(gzip -dc "$page" 2>/dev/null | grep -q 'exit with 4' &&
  "$scratch/prefix/bin/pareskit-batch" --help | grep -q 'exit with 4' && echo ok || echo "$page differs")"
# The page is filled to the reader's width: nothing runs past 60 or 80
# columns, and man warns of nothing.
if command -v man >/dev/null; then
  for width in 60 80; do
    widest=$(MANWIDTH=$width man -l "$page" 2>/dev/null | LC_ALL=C.UTF-8 wc -L)
    check "the manual page fits $width columns" \
      "$([ "$widest" -le "$width" ] && echo ok || echo "a line has $widest columns")"
  done
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  check "man reads the manual page without a warning" "${warnings:-ok}"
else
  echo "SKIP the manual page's widths: man is not installed"
fi

# dpkg changes the machine: only as root, never over an installation that
# was there before, and one test run at a time.
if [ "$(id -u)" != 0 ] || ! command -v dpkg >/dev/null; then
  echo "SKIP .deb: installing it needs root and dpkg"
elif dpkg -s pareskit >/dev/null 2>&1; then
  echo "SKIP .deb: a pareskit package is installed already"
else
  exec 9>/tmp/pareskit-deb-test.lock
  flock 9
  trap 'dpkg -r pareskit >/dev/null' EXIT
  if dpkg -i "$packages"/pareskit_*.deb >"$scratch/dpkg.log" 2>&1; then
    project_with_demo "$scratch/deb"
    (cd "$scratch/deb" && /usr/bin/pareskit-batch DEMO)
    check ".deb installed with dpkg" "$(same_job_files "$scratch/in-tree" "$scratch/deb")"
  else
    check ".deb installed with dpkg" "dpkg -i failed: $(tail -n 1 "$scratch/dpkg.log")"
  fi
fi
finish
