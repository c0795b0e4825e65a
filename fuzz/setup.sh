#!/usr/bin/env bash
# Makes sure clang can link libFuzzer binaries: Debian ships the fuzzer and sanitizer runtimes in
# libclang-rt-<version>-dev, which clang only recommends. Installs it (through setup-deps.sh) when
# a trivial fuzz target does not link.
#   bash fuzz/setup.sh
set -euo pipefail

cd "$(dirname "$0")/.."
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '%s\n' '#include <stddef.h>' '#include <stdint.h>' \
  'extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }' >"$probe/t.cpp"
if clang++ -fsanitize=fuzzer,address,undefined "$probe/t.cpp" -o "$probe/t" 2>/dev/null; then
  echo "fuzz setup: clang links libFuzzer targets"
  exit 0
fi
major=$(clang++ -dumpversion | cut -d. -f1)
bash scripts/setup-deps.sh "libclang-rt-$major-dev"
clang++ -fsanitize=fuzzer,address,undefined "$probe/t.cpp" -o "$probe/t"
echo "fuzz setup: clang links libFuzzer targets"
