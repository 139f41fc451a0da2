#!/usr/bin/env bash
# Installs everything PARESKIT needs to build, test and run on Debian:
# the native toolchain and GoogleTest, mingw-w64 for the Win32 program,
# wine with a virtual X display to run it, the Fortran cross compiler
# for the round trip of the example files, the native Fortran compiler for
# the example project, what CPack needs for the .deb (dpkg-dev, file),
# lintian, which checks it, and strace, with which a robustness test makes two
# OS calls in a row fail.
set -euo pipefail
as_root=()
if [ "$(id -u)" != 0 ]; then as_root=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y \
  cmake ninja-build g++ libgtest-dev googletest \
  mingw-w64 gfortran-mingw-w64-x86-64-posix \
  wine wine64 xvfb xdotool imagemagick \
  clang libclang-rt-14-dev python3 \
  gfortran dpkg-dev file lintian strace
