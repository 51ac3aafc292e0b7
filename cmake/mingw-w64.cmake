# What the two Windows cross builds share, with Debian's mingw-w64 (posix
# threads); the toolchain files mingw-w64-i686.cmake and
# mingw-w64-x86_64.cmake name the target. The programs link libgcc,
# libstdc++ and winpthread statically, so an .exe runs on a bare Windows
# without extra DLLs. Test programs run under Wine through cmake/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${RAVELLE_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RAVELLE_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${RAVELLE_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RAVELLE_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
# Test programs are listed when CTest runs (inside the Wine guard of
# tests/windows/run-tests.sh), never while building.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
