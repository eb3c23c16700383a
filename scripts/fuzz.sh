#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build/fuzz and runs each one for
# a fixed time on a seed corpus: the generated valid messages and the seeds
# kept in fuzz/corpus/<target>. Exits non-zero when a target crashes (or the
# build fails). Prints each target's executions per second.
# Usage: scripts/fuzz.sh [seconds per target, default 30] [target ...]
#   CI runs the default; a longer run on demand: scripts/fuzz.sh 600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
build=build/fuzz
all_targets="fuzz_tarn_replies fuzz_tarn_requests fuzz_tarn_items fuzz_settings_text
fuzz_tarnsim_requests fuzz_tarnsim_device_file fuzz_object_set_file fuzz_blb_file
fuzz_server_receive fuzz_ipc_requests fuzz_ini_reader fuzz_busprobe_message_file
fuzz_busprobe_schedule_ini fuzz_busprobe_pcapng"
targets=${*:-$all_targets}

. scripts/compiler-cache.sh
CC=clang CXX=clang++ cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${CMAKE_CACHE_ARGS[@]}"
cmake --build "$build" -j"$(nproc)"

seeds="$build/seeds"
rm -rf "$seeds"
"$build/make_seed_corpus" "$seeds"

status=0
for target in $targets; do
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts/$target/"
    kept="fuzz/corpus/$target"
    mkdir -p "$corpus" "$artifacts" "$seeds/$target"
    echo "== $target (${seconds}s)"
    log="$build/$target.log"
    inputs=("$corpus" "$seeds/$target")
    [ -d "$kept" ] && inputs+=("$kept")
    if ! "$build/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$artifacts" "${inputs[@]}" 2>"$log"; then
        tail -n 40 "$log" >&2
        echo "!! $target crashed; reproducer in $artifacts" >&2
        status=1
    fi
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    echo "   $target: ${execs:-?} executions in ${seconds}s ($(( ${execs:-0} / seconds ))/s)"
done
exit $status
