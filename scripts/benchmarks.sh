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

# End to end: kob-bench renders the long flight (10 minutes, 20 sounds) with
# its WAV and trace written; three runs, each timed by /usr/bin/time -v.
flight=build/bench/benchmarks/long_flight
flight_runs=3
for i in $(seq "$flight_runs"); do
  echo "running kob-bench on the long flight ($i of $flight_runs) ..." >&2
  /usr/bin/time -v -o "$out/long_flight-time-$i.txt" build/bench/bench/kob-bench run "$flight/long_flight.scn" \
    --render "$out/long_flight.wav" --trace "$out/long_flight.csv" --quiet >"$out/long_flight-run-$i.txt" ||
    { echo "the long flight did not run as scripted: see $out/long_flight-run-$i.txt" >&2; exit 1; }
done

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
# The long flight's median wall seconds and peak resident kilobytes.
flight_median() {
  for i in $(seq "$flight_runs"); do
    awk -F': ' -v key="$1" '$1 ~ key { n = split($2, p, ":"); s = 0; for (k = 1; k <= n; ++k) s = s * 60 + p[k]; print s }' \
      "$out/long_flight-time-$i.txt"
  done | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
flight_seconds=$(flight_median "Elapsed")
flight_peak_kib=$(flight_median "Maximum resident")
flight_length=$(awk '$1 == "end" { print $2 }' "$flight/long_flight.scn")
flight_budget_kib=$(awk '{ printf "%.0f", $1 / 1024 + 32 * 1024 }' "$flight/data-bytes")
ratio "long flight: real-time factor / 300 (median of $flight_runs runs)" \
  "$(awk -v l="$flight_length" -v s="$flight_seconds" 'BEGIN { print l / s }')" 300 ">= 1"
ratio "long flight: peak RSS / (sounds' data + 32 MiB)" "$flight_peak_kib" "$flight_budget_kib" "<= 1"

echo
echo "absolute medians:                                          real time    CPU time"
for f in "$u" "$w" "$m"; do
  awk -F, '$1 ~ /_median"$/ { gsub(/"/, "", $1); sub(/_median$/, "", $1);
                              printf "  %-52s %10.3f %10.3f %s\n", $1, $3, $4, $5 }' "$f" | sort
done
echo
awk -v l="$flight_length" -v s="$flight_seconds" -v rss="$flight_peak_kib" -v data="$(cat "$flight/data-bytes")" \
  'BEGIN { printf "  long flight: %g s in %.2f s wall (%.0f x real time); peak RSS %.1f MiB; sounds %.1f MiB\n",
           l, s, l / s, rss / 1024, data / 1048576 }'
