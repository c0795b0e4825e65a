#!/usr/bin/env bash
# Measures, in one run and on the same bytes: KeloHessian's encoders and decoders (bench/
# codec_bench.cpp), Caucho's Hessian for Java after JIT warm-up, two ways (HessianInput into the
# classes generated from the catalogue and HessianOutput writing them, interop/Peer.java; and its
# fastest paths, readObject() into generic maps and HessianOutput's writer calls,
# interop/java/kelo/interop/FastBench.java), hessian.js (bench/js, pinned),
# and the machine's ceilings (memcpy and a byte-at-a-time scan). Writes bench/RESULTS.md and
# bench/results.svg and prints the table.
#   bash bench/compare.sh            full run (about 10 minutes on two cores)
#   bash bench/compare.sh --quick    short timings, for trying the script out
# Environment: KELO_COMPARE_BUILD (build folder, default build/compare), KELO_COMPARE_NO_JAVA=1 or
# KELO_COMPARE_NO_JS=1 to leave a peer out.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KELO_COMPARE_BUILD:-build/compare}
out=$build/compare-out
quick=0
[ "${1:-}" = "--quick" ] && quick=1

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
apt_install() {
  local missing=()
  for p in "$@"; do dpkg -s "$p" > /dev/null 2>&1 || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  as_root apt-get update -qq && as_root apt-get install -y --no-install-recommends "${missing[@]}"
}

echo "== setup"
bash scripts/setup-deps.sh
apt_install gnuplot-nox
command -v node > /dev/null && command -v npm > /dev/null || apt_install nodejs npm
java=ON
if [ "${KELO_COMPARE_NO_JAVA:-0}" = 1 ]; then
  java=OFF
elif [ -f scripts/setup-interop.sh ]; then
  bash scripts/setup-interop.sh || java=OFF
else
  { command -v javac > /dev/null || apt_install openjdk-17-jdk-headless; } &&
    apt_install libhessian-java &&
    npm ci --prefix interop/js --no-audit --no-fund > /dev/null || java=OFF
fi
js=1
if [ "${KELO_COMPARE_NO_JS:-0}" = 1 ] || ! npm ci --prefix bench/js --no-audit --no-fund > /dev/null; then js=0; fi

echo "== build (Release, $build)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELOHESSIAN_BUILD_TESTS=OFF \
  -DKELOHESSIAN_BUILD_EXAMPLES=OFF -DKELOHESSIAN_BUILD_TOOLS=OFF -DKELOHESSIAN_BUILD_FUZZ=OFF \
  -DKELOHESSIAN_BUILD_BENCH=ON -DKELOHESSIAN_BUILD_INTEROP=$java > /dev/null
targets=(kelo_bench kelo_bench_bombs)
[ $java = ON ] && targets+=(kelo_interop_java)
cmake --build "$build" -j2 --target "${targets[@]}"
rm -rf "$out" && mkdir -p "$out"

echo "== costs: compile time of the library and size of the shared object"
costs=$build/compare-lib
cmake -S . -B "$costs" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELOHESSIAN_BUILD_TESTS=OFF \
  -DKELOHESSIAN_BUILD_EXAMPLES=OFF -DKELOHESSIAN_BUILD_TOOLS=OFF -DKELOHESSIAN_BUILD_FUZZ=OFF \
  -DKELOHESSIAN_BUILD_BENCH=OFF > /dev/null
cmake --build "$costs" --target clean > /dev/null
{
  TIMEFORMAT='%R %U %S'
  time cmake --build "$costs" -j2 --target kelohessian > /dev/null
} 2> "$out/compile_j2.txt"
cmake --build "$costs" --target clean > /dev/null
{
  TIMEFORMAT='%R %U %S'
  time cmake --build "$costs" -j1 --target kelohessian > /dev/null
} 2> "$out/compile_j1.txt"
so=$(readlink -f "$costs"/libkelohessian.so)
strip -o "$out/stripped.so" "$so"
printf 'compile_j2\t%s\ncompile_j1\t%s\nso_bytes\t%s\nso_stripped_bytes\t%s\nsources\t%s\n' \
  "$(cat "$out/compile_j2.txt")" "$(cat "$out/compile_j1.txt")" "$(stat -c %s "$so")" \
  "$(stat -c %s "$out/stripped.so")" "$(find kelohessian -name '*.cpp' | wc -l)" > "$out/costs.tsv"
cat "$out/costs.tsv"

echo "== the workloads"
"$build"/bench/kelo_bench --dump "$out"

echo "== KeloHessian (Google Benchmark)"
min_time=1
[ $quick = 1 ] && min_time=0.05
# Three repetitions of each, interleaved in random order; the report takes the fastest.
"$build"/bench/kelo_bench --benchmark_min_time=$(awk "BEGIN {print $min_time / 3}") \
  --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true \
  --benchmark_format=console --benchmark_out="$out/kelo.json" --benchmark_out_format=json

echo "== repetition bombs (ns per byte at 10 KB, 1 MB and 10 MB)"
"$build"/bench/kelo_bench_bombs --benchmark_min_time=$min_time --markdown "$out/bombs.md"

if [ $java = ON ]; then
  echo "== Caucho's Hessian for Java"
  : > "$out/java.tsv"
  budget=50000000
  [ $quick = 1 ] && budget=2000000
  while IFS=$'\t' read -r name type bytes _; do
    case $name in \#*) continue ;; esac
    n=$((budget / bytes))
    [ $n -lt 3 ] && n=3
    [ $n -gt 2000 ] && n=2000
    printf '%s\t' "$name" >> "$out/java.tsv"
    "$build"/interop/kelo-java-peer bench "$out/$name.rec" $n | grep -v '^#' >> "$out/java.tsv"
    tail -1 "$out/java.tsv"
  done < "$out/workloads.tsv"
  echo "== Caucho's Hessian for Java, fastest paths (generic maps, writer calls)"
  : > "$out/java_fast.tsv"
  while IFS=$'\t' read -r name type bytes _; do
    case $name in \#*) continue ;; esac
    n=$((budget / bytes))
    [ $n -lt 3 ] && n=3
    [ $n -gt 2000 ] && n=2000
    printf '%s\t' "$name" >> "$out/java_fast.tsv"
    java --add-opens java.base/java.lang=ALL-UNNAMED --add-opens java.base/java.util=ALL-UNNAMED \
      -cp "$build/interop/java-classes:/usr/share/java/hessian.jar" kelo.interop.FastBench \
      "$out/$name.rec" $n | grep -v '^#' >> "$out/java_fast.tsv"
    tail -1 "$out/java_fast.tsv"
  done < "$out/workloads.tsv"
fi

if [ $js = 1 ]; then
  echo "== hessian.js"
  seconds=1
  [ $quick = 1 ] && seconds=0.1
  node bench/js/bench.js "$out" $seconds | tee "$out/js.jsonl"
fi

echo "== report"
{
  echo "cpu	$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
  echo "cores	$(nproc)"
  echo "memory	$(free -g | awk '/^Mem:/ {print $2 " GiB"}')"
  echo "kernel	$(uname -srm)"
  echo "os	$(. /etc/os-release && echo "$PRETTY_NAME")"
  echo "compiler	$(c++ --version | head -1)"
  echo "java	$(java -version 2>&1 | head -1)"
  echo "hessian_jar	$(ls /usr/share/java/hessian-*.jar 2>/dev/null | head -1 | xargs -r basename)"
  echo "node	$(node --version)"
  echo "hessian_js	$(node -p "require('$root/bench/js/node_modules/hessian.js/package.json').version" 2>/dev/null)"
  echo "load	$(cut -d' ' -f1-3 /proc/loadavg)"
  echo "date	$(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "quick	$quick"
} > "$out/machine.tsv"
node bench/report.js "$out" bench/RESULTS.md "$out/chart.dat"
{
  printf '\n## Repetition bombs\n\n'
  printf 'Every construct that repeats on the wire, repeated until the reply weighs 10 KB, 1 MB and\n'
  printf '10 MB, read by `KeloHessianReadResponse` (`bench/bomb_bench.cpp`). Linear work keeps the\n'
  printf 'nanoseconds per byte flat; quadratic work would multiply them by about 1000 at 10 MB.\n\n'
  cat "$out/bombs.md"
} >> bench/RESULTS.md
gnuplot -e "datafile='$out/chart.dat'; outfile='bench/results.svg'" bench/chart.gp
echo "wrote bench/RESULTS.md and bench/results.svg"
