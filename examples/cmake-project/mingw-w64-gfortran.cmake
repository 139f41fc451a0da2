# Cross build for 64-bit Windows with the mingw-w64 gfortran, with the
# usual settings of such a toolchain file: programs from the build machine,
# libraries, headers and packages from the target's root only.
# PARESKIT's package is found on the build machine all the same
# (CMakeLists.txt: find_package(... NO_CMAKE_FIND_ROOT_PATH)).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_Fortran_COMPILER x86_64-w64-mingw32-gfortran)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The Fortran run-time linked in: the programs run without its DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
