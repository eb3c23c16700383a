#!/usr/bin/env bash
# Builds the suite and runs every test. Usage: scripts/test.sh [default|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
preset=${1:-default}
. scripts/compiler-cache.sh
cmake --preset "$preset" "${CMAKE_CACHE_ARGS[@]}"
start=$(date +%s)
cmake --build --preset "$preset" -j"$(nproc)"
echo "test.sh: build ($preset) took $(( $(date +%s) - start )) s"
start=$(date +%s)
ctest --preset "$preset" -j"$(nproc)"
echo "test.sh: tests ($preset) took $(( $(date +%s) - start )) s"
