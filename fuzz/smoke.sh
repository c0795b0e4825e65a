#!/usr/bin/env bash
# Smoke run of every libFuzzer target of a `fuzz` preset build: writes the seed corpus, then runs
# each target for SECONDS (default 30) from the seeds and its regression files (every one of them
# runs first; a crash on any fails the stage). New inputs go to BUILD/fuzz/work/<target>, crash
# inputs to BUILD/fuzz/artifacts/.
#   bash fuzz/smoke.sh [BUILD_DIR] [SECONDS]       (default build/fuzz, 30)
# Longer runs by hand: the same command with more seconds, under `nice`.
set -uo pipefail

cd "$(dirname "$0")/.." || exit 1
build=${1:-build/fuzz}
seconds=${2:-30}
out=$build/fuzz
targets=(reply skip text list roundtrip onecall value valuejson)

"$out/kelo_fuzz_corpus" "$out/corpus" || exit 1
mkdir -p "$out/artifacts"
failed=()
for t in "${targets[@]}"; do
  mkdir -p "$out/work/$t"
  start=$SECONDS
  if "$out/kelo_fuzz_$t" "$out/work/$t" "$out/corpus/$t" "fuzz/regressions/$t" \
    -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/$t-" \
    >"$out/smoke-$t.log" 2>&1; then
    stats=$(grep -E '^#[0-9]+.*DONE' "$out/smoke-$t.log" | tail -n 1)
    printf '  ok    %4ds  %-10s %s\n' "$((SECONDS - start))" "$t" "$stats"
  else
    printf '  FAIL  %4ds  %-10s (see %s)\n' "$((SECONDS - start))" "$t" "$out/smoke-$t.log"
    grep -E 'ERROR|check failed|SUMMARY|Test unit written' "$out/smoke-$t.log" | head -n 20
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz smoke: FAILED: ${failed[*]} (add each crash input to fuzz/regressions/<target>/)"
  exit 1
fi
echo "fuzz smoke: ${#targets[@]} targets clean"
