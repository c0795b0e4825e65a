# Big-endian 64-bit Linux (IBM Z) with Debian's cross compiler g++-s390x-linux-gnu; the test
# programs run under qemu-s390x with the target's libraries from /usr/s390x-linux-gnu. Plain char
# is unsigned on this target. Used by the s390x preset.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR s390x)

set(kelo_target_root /usr/s390x-linux-gnu)
set(CMAKE_C_COMPILER s390x-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER s390x-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH ${kelo_target_root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# BOTH, so that a package given through CMAKE_PREFIX_PATH (the staged install of the
# install_consumer test) is found where it is.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

find_program(KELO_QEMU_S390X qemu-s390x REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${KELO_QEMU_S390X};-L;${kelo_target_root}")
