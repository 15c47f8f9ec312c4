# Cross-building for 64-bit Windows with Debian's MinGW-w64: the program, its tests and
# the static Qt it links (scripts/build-qt-windows). The "posix" thread model is needed:
# the "win32" one of GCC 12 has no std::thread or std::mutex. Everything links statically
# so that the executables run on a bare Windows (and under Wine) without MinGW's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Appended, not set: a build that links Qt for Windows passes the Qt folder in
# CMAKE_FIND_ROOT_PATH, and find_package(Qt6) finds nothing without it.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# GCC 12 warns of overlapping memcpy inside std::string's operator+ at -O2 and above, a
# false alarm (GCC bug 105329) that stops a build with warnings as errors. Drop this
# when the cross compiler is GCC 13 or newer.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
