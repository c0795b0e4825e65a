#!/usr/bin/env bash
# Installs what building and testing KeloHessian need on a fresh Debian 12 machine, and nothing
# that is already there. Extra package names given as arguments are installed the same way.
#   bash scripts/setup-deps.sh [extra-package...]
set -euo pipefail

# nlohmann-json3-dev and libcli11-dev are used by the kelohes tool only, never by the library;
# libcurl4-openssl-dev by the optional transport KeloHessian::http (so that its tests run in every
# preset), never by the library;
# libclang-rt-14-dev holds the sanitizer runtimes of the asan preset (clang only recommends it),
# valgrind runs the memcheck stage; doxygen and graphviz build the API reference (docs target).
packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev pkg-config clang libclang-rt-14-dev
  valgrind nlohmann-json3-dev libcli11-dev libcurl4-openssl-dev doxygen graphviz "$@")

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup-deps: all ${#packages[@]} packages present"
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi

echo "setup-deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y --no-install-recommends "${missing[@]}"
