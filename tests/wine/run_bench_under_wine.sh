#!/usr/bin/env bash
# Runs a scenario through the Windows kob-bench under Wine, in a state folder
# that scripts/wine-env.sh started. Exit 77 (skip) when Wine is not installed.
#
#   run_bench_under_wine.sh ENV_SCRIPT STATE BENCH_EXE MODULE_DLL SCENARIO ROOT
set -euo pipefail
envScript=$1 state=$2 bench=$3 module=$4 scenario=$5 root=$6

bash "$envScript" available || exit $?
for file in "$bench" "$module"; do
    [ -f "$file" ] || { echo "$file is missing: build the windows-x64 preset first" >&2; exit 1; }
done
bash "$envScript" run "$state" "$bench" run "$scenario" --quiet --root "$root" --module "$module"
