#!/usr/bin/env bash
# Builds the suite and runs every test. Usage: scripts/test.sh [default|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
preset=${1:-default}
cmake --preset "$preset"
cmake --build --preset "$preset" -j"$(nproc)"
ctest --preset "$preset" -j"$(nproc)"
