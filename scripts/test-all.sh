#!/usr/bin/env bash
# Sets up the machine, then configures, builds and runs every test in the dev preset (Debug, GCC)
# and the asan preset (Clang with AddressSanitizer and UndefinedBehaviorSanitizer). Each stage
# prints a banner and its elapsed seconds; a failed stage skips the rest of its preset, the other
# preset still runs, and the script exits non-zero if any stage failed.
#   bash scripts/test-all.sh
set -uo pipefail

cd "$(dirname "$0")/.." || exit 1

failures=()
summary=()

# stage NAME CMD...: runs CMD with a banner; returns CMD's exit code and records the outcome.
stage() {
  local name=$1
  shift
  printf '\n==== [%s] %s\n' "$name" "$*"
  local start=$SECONDS rc=0
  "$@" || rc=$?
  local took=$((SECONDS - start))
  if [ $rc -eq 0 ]; then
    printf '==== [%s] passed in %ds\n' "$name" "$took"
    summary+=("$(printf '%-20s ok    %5ds' "$name" "$took")")
  else
    printf '==== [%s] FAILED (exit %d) after %ds\n' "$name" "$rc" "$took"
    summary+=("$(printf '%-20s FAIL  %5ds' "$name" "$took")")
    failures+=("$name")
  fi
  return $rc
}

# preset NAME: configure, build and test one CMake preset, stopping at its first failure.
preset() {
  stage "$1 configure" cmake --preset "$1" &&
    stage "$1 build" cmake --build --preset "$1" &&
    stage "$1 test" ctest --preset "$1"
}

# interop: the round trips through Caucho's Hessian for Java and hessian.js, and the session over
# libcurl against the reference server on Jetty (ctest label "interop"), added to the dev build; the
# Java classes are generated and compiled there once.
interop() {
  stage "interop setup" bash scripts/setup-interop.sh &&
    stage "interop configure" cmake --preset dev -DKELOHESSIAN_BUILD_INTEROP=ON &&
    stage "interop build" cmake --build --preset dev &&
    stage "interop test" ctest --preset dev -L interop
}

# fuzz: the libFuzzer build of fuzz/ (Clang, ASan + UBSan) and a 30-second run of every target
# from its seeds and regression files. Longer runs by hand: bash fuzz/smoke.sh build/fuzz SECONDS.
fuzz() {
  stage "fuzz setup" bash fuzz/setup.sh &&
    stage "fuzz configure" cmake --preset fuzz &&
    stage "fuzz build" cmake --build --preset fuzz &&
    stage "fuzz smoke" bash fuzz/smoke.sh build/fuzz 30
}

# platforms: the cross builds of cmake/toolchains/ (README "Platforms"): 32-bit x86 Linux and
# big-endian s390x Linux run their tests under qemu-user, the 32-bit Windows DLL is built and
# linked with every test program (not run: there is no 32-bit wine), the 64-bit one runs its tests
# under wine64. One stage installs the compilers and emulators of all four.
platform() {
  stage "$1 configure" cmake --preset "$1" &&
    stage "$1 build" cmake --build --preset "$1" &&
    if [ "$1" != mingw32 ]; then stage "$1 test" ctest --preset "$1"; fi
}
platforms() {
  stage "platforms setup" bash scripts/setup-platforms.sh || return
  local p
  for p in m32 s390x mingw32 mingw64; do platform "$p"; done
}

total_start=$SECONDS

stage setup bash scripts/setup-deps.sh || { echo "setup failed; nothing else can run" >&2; exit 1; }
preset dev && interop
# The API reference; fails when a header that must be fully documented is not.
stage docs cmake --build --preset dev --target docs
# The optimised build that README's main command uses: -O3 warns where -O0 does not.
stage "release configure" cmake --preset release &&
  stage "release build" cmake --build --preset release --target kelohessian kelohes
preset asan
# valgrind memcheck over the dev build's test programs and fuzz replays (see scripts/memcheck.sh).
stage memcheck bash scripts/memcheck.sh build/dev
fuzz
platforms

printf '\n==== summary (%ds in all)\n' "$((SECONDS - total_start))"
printf '  %s\n' "${summary[@]}"
if [ ${#failures[@]} -ne 0 ]; then
  printf 'FAILED: %s\n' "${failures[*]}"
  exit 1
fi
echo "all stages passed"
