# Cross build for 64-bit Windows: the same sources, for running the whole
# test suite under Wine without emulation.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(RAVELLE_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
