#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset the tests
# need, runs the whole suite and makes the release package.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
# The Windows builds first: the native tests inspect the files they make.
for preset in windows-i686 windows-x64; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done
cmake --preset native
cmake --build --preset native
ctest --preset native
# Reliability (docs/reliability.md): the suite again under ASan and UBSan,
# memcheck on the module and platform tests, and a short run of each fuzzer.
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
bash scripts/valgrind.sh
bash scripts/fuzz.sh
# The release zip from the .gau just built, unpacked and verified.
bash scripts/release.sh
