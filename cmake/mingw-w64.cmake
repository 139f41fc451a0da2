# Cross build of the Win32 program and its tests with mingw-w64 (x86_64).
# Tests run under wine through the cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PK_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
find_program(PK_WINE NAMES wine64 wine)
if(PK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PK_WINE})
endif()
# Static runtime: the executables need no DLL beside them under wine or on Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
