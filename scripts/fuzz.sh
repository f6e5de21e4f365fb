#!/usr/bin/env bash
# Builds the fuzz preset and runs each libFuzzer target for FUZZ_SECONDS
# seconds (default 60), starting from small generated seed corpora. Fails on
# the first crash, leak, sanitizer report or broken check; the input that did
# it is left in build/fuzz/artifacts/. See docs/reliability.md.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
targets=(fuzz_wave_reader fuzz_profile_reader fuzz_module fuzz_scenario_parser)
out=build/fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# ---- seed corpora, generated (a few hundred bytes each; nothing committed) ----
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
# wav TAG CHANNELS RATE BITS DATA_BYTES [FMT_SIZE]: a RIFF WAVE file of silence.
wav() {
  local tag=$1 channels=$2 rate=$3 bits=$4 bytes=$5 fmtsize=${6:-16}
  local align=$((channels * bits / 8)) extra=$((fmtsize - 16))
  printf RIFF; le32 $((4 + 8 + fmtsize + 8 + bytes)); printf WAVE
  printf 'fmt '; le32 "$fmtsize"; le16 "$tag"; le16 "$channels"; le32 "$rate"; le32 $((rate * align)); le16 "$align"; le16 "$bits"
  [ "$extra" -ge 2 ] && { le16 $((extra - 2)); head -c $((extra - 2)) /dev/zero; }
  printf data; le32 "$bytes"; head -c "$bytes" /dev/zero
}
seeds=$out/seeds
rm -rf "$seeds"; mkdir -p "$seeds"/{fuzz_wave_reader,fuzz_profile_reader,fuzz_module,fuzz_scenario_parser}
# scenario parser: the scenario tests and the demo are good seeds.
cp tests/scenarios/*.scn examples/demo/demo.scn "$seeds/fuzz_scenario_parser/"
wav 1 1 44100 16 64 > "$seeds/fuzz_wave_reader/pcm16.wav"
wav 1 2 22050 8 31 18 > "$seeds/fuzz_wave_reader/pcm8-odd-fmt18.wav"
wav 2 1 22050 4 40 20 > "$seeds/fuzz_wave_reader/adpcm-extra.wav"
{ wav 1 1 8000 16 16; printf 'LIST'; le32 4; printf 'INFO'; } > "$seeds/fuzz_wave_reader/trailing-list.wav"
printf '[Config]\nMaxSounds=7x\nErrorFlag=-1\nVolumeVar=my_volume\n[Sounds]\nSound03=engine.wav,50\nSound07 = a.wav , 50,60\n[LVars]\nLvar07=kob_gear\n' \
  > "$seeds/fuzz_profile_reader/config.ini"
printf '; comment\n[config]\r\nmaxsounds = 250\r\n[ Sounds ]\r\nSound00=\r\n=nokey\r\n[Sounds]\r\nSound00=second\r\n' \
  > "$seeds/fuzz_profile_reader/case-and-crlf.ini"
# module: op bytes (see tests/fuzz/module_fuzzer.cpp): play once, update, render, loop, lose, stop all, shutdown.
printf '\x01\x00\x00\x40\x01\x05\x05\x06\x80\x0b\x07\x00\x01\x40\x02\x05\x08\x02\x02\x0b\x03\x01\x06\x05\x0a\x04\x05' \
  > "$seeds/fuzz_module/play-loop-lose.bin"
printf '\x01\x00\x03\x40\x03\x02\x00\x40\x32\x05\x00\x01\x40\x04\x05\x09\x01\x00\x00\x04\x00\x00\x00\x00\x05\x03\x05\x05' \
  > "$seeds/fuzz_module/missing-volume-pause.bin"

# ---- runs ----
for target in "${targets[@]}"; do
  corpus=$out/corpus/$target
  artifacts=$out/artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  echo "== $target: ${seconds}s"
  # Earlier crashes, kept as regression inputs, replay first.
  if compgen -G "tests/fuzz/regressions/$target/*" >/dev/null; then
    "$out/tests/fuzz/$target" tests/fuzz/regressions/"$target"/* 2>&1 | tail -1
  fi
  "$out/tests/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds/$target" 2> "$out/$target.log" \
    || { tail -60 "$out/$target.log"; echo "$target failed: input in $artifacts/"; exit 1; }
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$out/$target.log" | tr '\n' ' '; echo
done
