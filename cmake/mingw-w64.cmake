# Shared part of the MinGW-w64 toolchain files: Debian's cross compilers for the target in
# mingw_target (i686-w64-mingw32 or x86_64-w64-mingw32), windres for the resource script,
# and Wine to run what was built (ctest runs the cross-built tests through it).
set(CMAKE_SYSTEM_NAME Windows)

# The compilers of the posix thread model give the test programs std::thread as well;
# the programs themselves use Win32 threads only. Everything is linked statically, so a
# built program runs without MinGW's DLLs beside it.
find_program(CMAKE_C_COMPILER NAMES ${mingw_target}-gcc-posix ${mingw_target}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_target}-g++-posix ${mingw_target}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_target}-windres REQUIRED)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The caller sets up the Wine prefix (WINEPREFIX, WINEDEBUG) before running ctest; see
# scripts/test-windows.
find_program(VELMORA_WINE NAMES wine wine64)
if(VELMORA_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMORA_WINE})
endif()
