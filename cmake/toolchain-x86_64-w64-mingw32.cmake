# 64-bit Windows (x86_64) with MinGW-w64.
set(mingwArch x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
