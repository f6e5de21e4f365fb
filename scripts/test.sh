#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset the tests
# need and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset native
cmake --build --preset native
ctest --preset native
