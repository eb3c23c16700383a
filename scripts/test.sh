#!/usr/bin/env bash
# Builds the suite and runs every test. Usage: scripts/test.sh [default|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
preset=${1:-default}
. scripts/compiler-cache.sh
cmake --preset "$preset" "${CMAKE_CACHE_ARGS[@]}"
cmake --build --preset "$preset" -j"$(nproc)"
ctest --preset "$preset" -j"$(nproc)"
