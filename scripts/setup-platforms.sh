#!/usr/bin/env bash
# Installs the cross compilers and emulators of the platform builds (m32, s390x, mingw32,
# mingw64), and only those of the named platforms that are missing. Without arguments it installs
# what all four need.
#   bash scripts/setup-platforms.sh [m32|s390x|mingw32|mingw64 ...]
set -euo pipefail

cd "$(dirname "$0")/.."

platforms=("$@")
[ ${#platforms[@]} -ne 0 ] || platforms=(m32 s390x mingw32 mingw64)

# GoogleTest is built from Debian's sources (/usr/src/googletest, package googletest) for every
# target. It needs std::mutex, so MinGW's "posix" thread model. Debian's gcc-multilib conflicts
# with the s390x cross compiler, hence g++-12-multilib (see cmake/toolchains/m32.cmake).
packages=(googletest)
for p in "${platforms[@]}"; do
  case $p in
    m32) packages+=(g++-12-multilib qemu-user) ;;
    s390x) packages+=(g++-s390x-linux-gnu qemu-user) ;;
    mingw32) packages+=(g++-mingw-w64-i686-posix) ;;
    mingw64) packages+=(g++-mingw-w64-x86-64-posix wine64) ;;
    *) echo "setup-platforms: unknown platform '$p'" >&2; exit 2 ;;
  esac
done

exec bash scripts/setup-deps.sh "${packages[@]}"
