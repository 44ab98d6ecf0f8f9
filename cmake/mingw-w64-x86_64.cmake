# Cross-build for Windows x86-64 with Debian's mingw-w64 (posix threads).
# Qt for Windows is found under VANTELO_QT_WINDOWS: the folder holding its
# bin/, lib/ and plugins/, given as a cache or environment variable.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)

if(NOT VANTELO_QT_WINDOWS)
  set(VANTELO_QT_WINDOWS "$ENV{VANTELO_QT_WINDOWS}")
endif()
set(VANTELO_QT_WINDOWS "${VANTELO_QT_WINDOWS}" CACHE PATH "Qt 6 built for Windows (its prefix)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTELO_QT_WINDOWS)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw} ${VANTELO_QT_WINDOWS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
