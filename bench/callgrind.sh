#!/usr/bin/env bash
# Exact instruction counts per message (valgrind's callgrind) of every workload's encode and
# decode, counted inside kelo_bench's kelo_profile_* functions only (the benchmark's own counting
# allocator included). The figures do not depend on the load of the machine, so they are what
# before/after comparisons of the library use.
#   bash bench/callgrind.sh [KELO_BENCH_BINARY]     (default build/compare/bench/kelo_bench)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/compare/bench/kelo_bench}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '%-18s %16s %16s %10s %10s\n' workload encode_instr decode_instr enc_per_B dec_per_B
"$bin" --dump "$tmp" > /dev/null
while IFS=$'\t' read -r name _ bytes _; do
  case $name in \#*) continue ;; esac
  n=10
  [ "$bytes" -gt 1000000 ] && n=2
  for what in encode decode; do
    valgrind --tool=callgrind --toggle-collect='kelo_profile_*' --callgrind-out-file="$tmp/cg" \
      "$bin" --profile $what "$name" $n 2> "$tmp/log" > /dev/null
    total=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$tmp/log")
    eval "$what=$((total / n))"
  done
  awk -v n="$name" -v e="$encode" -v d="$decode" -v b="$bytes" \
    'BEGIN { printf "%-18s %16d %16d %10.2f %10.2f\n", n, e, d, e / b, d / b }'
done < "$tmp/workloads.tsv"
