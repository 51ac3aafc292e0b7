# Cross build for 32-bit Windows: the programs users get. The vendor's USB
# library is a 32-bit DLL, which only a 32-bit program can load.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(RAVELLE_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
