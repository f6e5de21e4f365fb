#!/usr/bin/env bash
# The benchmarks, from a clean clone: installs what is missing, configures and
# builds the bench preset, runs each benchmark with repetitions and prints
# every figure as a ratio of medians (docs/performance.md says how to read them).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench

bin=build/bench/benchmarks
out=build/bench/results
mkdir -p "$out"
repetitions=${KOB_BENCH_REPETITIONS:-7}

# Repetitions in random order, so that a figure and its floor alternate.
run() {
  local name=$1
  shift
  echo "running $name ..." >&2
  "$bin/$name" --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_format=csv "$@" >"$out/$name.csv" 2>/dev/null
}
run update_bench --benchmark_min_time=0.2
run wav_load_bench
run mixer_bench

# median NAME FILE [COLUMN]: the median time of a benchmark in its own unit;
# real time (column 3) unless told otherwise. The update figures use CPU time
# (column 4): they run on one thread without waiting, and on a shared machine
# CPU time is the steadier measure of that.
median() {
  awk -F, -v want="\"$1_median\"" -v column="${3:-3}" '$1 == want { print $column }' "$2"
}
# ratio LABEL A B GOAL: A / B, with the goal it is held to.
ratio() {
  awk -v label="$1" -v a="$2" -v b="$3" -v goal="$4" \
    'BEGIN { if (a == "" || b == "" || b == 0) { printf "%-58s  (no figure)\n", label; exit }
             printf "%-58s %6.2f   %s\n", label, a / b, goal }'
}

u=$out/update_bench.csv
w=$out/wav_load_bench.csv
m=$out/mixer_bench.csv
echo
printf "%-58s %6s   %s\n" "figure (medians of $repetitions repetitions)" ratio goal
for s in idle looping mute_transition; do
  goal="-"
  [ "$s" = idle ] && goal="<= 1.3"
  ratio "update, $s / host-call floor" "$(median "BM_Update/$s" "$u" 4)" \
    "$(median "BM_UpdateFloorHost/$s" "$u" 4)" "$goal"
  ratio "update, $s / host+platform-call floor" "$(median "BM_Update/$s" "$u" 4)" \
    "$(median "BM_UpdateFloorPlatform/$s" "$u" 4)" "-"
done
ratio "WAV load 64 MiB / one read() into new memory" "$(median BM_WavLoad/real_time "$w")" \
  "$(median BM_WavLoadFloor/real_time "$w")" "<= 1.5"
ratio "sox -m (volume only) / mixer, 32 voices 60 s" "$(median BM_SoxMix/iterations:1/real_time "$m")" \
  "$(median BM_Mixer/iterations:1/real_time "$m")" ">= 2"
ratio "sox -M remix (volume and pan) / mixer" "$(median BM_SoxMergeRemix/iterations:1/real_time "$m")" \
  "$(median BM_Mixer/iterations:1/real_time "$m")" ">= 2"
echo
echo "absolute medians:                                          real time    CPU time"
for f in "$u" "$w" "$m"; do
  awk -F, '$1 ~ /_median"$/ { gsub(/"/, "", $1); sub(/_median$/, "", $1);
                              printf "  %-52s %10.3f %10.3f %s\n", $1, $3, $4, $5 }' "$f" | sort
done
