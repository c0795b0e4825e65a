# 32-bit x86 Linux with the host GCC and Debian's multilib libraries (g++-12-multilib); the test
# programs run under qemu-i386, since the kernel of the build machines cannot execute 32-bit x86
# programs itself. Used by the m32 preset.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)

# Debian's gcc-multilib package is what adds /usr/include/asm for -m32, and it conflicts with the
# s390x cross compiler, so the m32 build relies on g++-12-multilib instead and looks for <asm/...>
# in the x86 kernel headers, which serve i386 and x86_64 alike. -idirafter keeps them behind the
# 32-bit glibc headers of /usr/include/i386-linux-gnu.
set(kelo_m32_flags "-m32 -idirafter /usr/include/x86_64-linux-gnu")
set(CMAKE_C_FLAGS_INIT "${kelo_m32_flags}")
set(CMAKE_CXX_FLAGS_INIT "${kelo_m32_flags}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")

# Look for 32-bit libraries only; the host's 64-bit ones would not link.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(FIND_LIBRARY_USE_LIB32_PATHS ON)
set(FIND_LIBRARY_USE_LIB64_PATHS OFF)

find_program(KELO_QEMU_I386 qemu-i386 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${KELO_QEMU_I386}")
