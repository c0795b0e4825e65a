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

total_start=$SECONDS

stage setup bash scripts/setup-deps.sh || { echo "setup failed; nothing else can run" >&2; exit 1; }
preset dev
preset asan

printf '\n==== summary (%ds in all)\n' "$((SECONDS - total_start))"
printf '  %s\n' "${summary[@]}"
if [ ${#failures[@]} -ne 0 ]; then
  printf 'FAILED: %s\n' "${failures[*]}"
  exit 1
fi
echo "all stages passed"
