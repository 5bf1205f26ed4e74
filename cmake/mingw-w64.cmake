# Cross build for Windows with Debian's MinGW-w64 toolchain for the
# processor that the including toolchain file names in mingwArch.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${mingwArch})
set(CMAKE_C_COMPILER ${mingwArch}-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER ${mingwArch}-w64-mingw32-g++)
set(CMAKE_RC_COMPILER ${mingwArch}-w64-mingw32-windres)
set(CMAKE_DLLTOOL ${mingwArch}-w64-mingw32-dlltool)
set(CMAKE_FIND_ROOT_PATH /usr/${mingwArch}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
