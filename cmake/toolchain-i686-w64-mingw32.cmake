# 32-bit Windows (i686) with MinGW-w64.
set(mingwArch i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
