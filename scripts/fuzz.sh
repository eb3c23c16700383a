#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build/fuzz and runs each one for
# a short fixed time on a seed corpus of valid messages. Exits non-zero when a
# target crashes (or the build fails).
# Usage: scripts/fuzz.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=build/fuzz

. scripts/compiler-cache.sh
CC=clang CXX=clang++ cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${CMAKE_CACHE_ARGS[@]}"
cmake --build "$build" -j"$(nproc)"

seeds="$build/seeds"
rm -rf "$seeds"
"$build/make_seed_corpus" "$seeds"

status=0
for target in fuzz_tarn_replies fuzz_tarn_requests fuzz_tarn_items fuzz_settings_text \
    fuzz_tarnsim_requests fuzz_tarnsim_device_file; do
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts/$target/"
    mkdir -p "$corpus" "$artifacts" "$seeds/$target"
    echo "== $target (${seconds}s)"
    if ! "$build/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$artifacts" "$corpus" "$seeds/$target"; then
        echo "!! $target crashed; reproducer in $artifacts" >&2
        status=1
    fi
done
exit $status
