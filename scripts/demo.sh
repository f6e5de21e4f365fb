#!/usr/bin/env bash
# The panel bench's main job on the demo aircraft: installs what is missing,
# builds the native preset (module, kob-bench, the demo's sounds), runs the
# demo scenario and leaves in build/demo/:
#   demo.wav          what the module played (16-bit stereo, 44100 Hz)
#   demo-trace.csv    one row per update with the named variables that changed
#   demo-summary.txt  per slot: its variable, its WAV, starts, loops, ends, stops
#   demo-timeline.png a picture of the run: per slot playing, looping, muted and
#                     the writes to its variable; the mix's level below
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset native
cmake --build --preset native --target kob-bench kob_demo_sounds

out=build/demo
mkdir -p "$out"
status=0
build/native/bench/kob-bench run examples/demo/demo.scn \
  --render "$out/demo.wav" --trace "$out/demo-trace.csv" \
  --timeline "$out/demo-timeline.png" | tee "$out/demo-summary.txt" || status=$?
echo
echo "written: $out/demo.wav, $out/demo-trace.csv, $out/demo-summary.txt, $out/demo-timeline.png"
exit "$status"
