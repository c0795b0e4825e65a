# 32-bit Windows DLL with Debian's MinGW-w64 (g++-mingw-w64-i686-posix). There is no 32-bit wine
# on the build machines, so this build is not run: linking every test program against the DLL
# proves that everything the tests use is exported. Used by the mingw32 preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(kelo_target_root /usr/i686-w64-mingw32)
# The "posix" thread model: GoogleTest needs std::mutex, which the "win32" model lacks.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH ${kelo_target_root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
