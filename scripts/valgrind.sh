#!/usr/bin/env bash
# Runs the module and platform test executables, whole, and the scenario
# tests through kob-bench, under valgrind's
# memcheck on the native build: any invalid access, use of uninitialised
# memory or leak fails. No suppressions are needed today; if a third-party
# library ever needs one, add it to scripts/valgrind.supp with the reason.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/native
[ -x "$build/tests/module_tests" ] && [ -x "$build/bench/kob-bench" ] || { cmake --preset native && cmake --build --preset native; }
suppressions=()
[ -f scripts/valgrind.supp ] && suppressions=(--suppressions=scripts/valgrind.supp)
for tests in module_tests platform_tests; do
  echo "== valgrind $tests"
  valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
    --track-origins=yes -q "${suppressions[@]}" "$build/tests/$tests" --gtest_brief=1
done

# The scenario tests: kob-bench loading the module and running each scenario,
# with the sounds the native build generated for them.
root=$build/tests/scenarios/root
for scenario in tests/scenarios/*.scn examples/demo/demo.scn; do
  echo "== valgrind kob-bench run $scenario"
  args=(--quiet)
  [ "$scenario" = examples/demo/demo.scn ] || args+=(--root "$root")
  valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
    -q "${suppressions[@]}" "$build/bench/kob-bench" run "$scenario" "${args[@]}"
done
