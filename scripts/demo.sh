#!/usr/bin/env bash
# The main job: builds the suite, starts hubserver in private folders, shows
# its debug log, stops it with "REMOVE" and shows the shutdown lines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target hubserver
bin=build/default/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VEK_CONFIG_DIR=$work/config VEK_STATE_DIR=$work/state VEK_RUNTIME_DIR=$work/run
mkdir -p "$VEK_CONFIG_DIR"
printf '[VEK BASE 32]\nVEKBaseAddress=127.0.0.1\nMessagesOut=1\n' >"$VEK_CONFIG_DIR/VEKMAIN.INI"
"$bin/hubserver" &
server=$!
sleep 1
echo "--- debug log while running ($VEK_STATE_DIR/VDEBUG32.TXT) ---"
cat "$VEK_STATE_DIR/VDEBUG32.TXT"
"$bin/hubserver" REMOVE
wait "$server" || true
echo "--- debug log after REMOVE ---"
cat "$VEK_STATE_DIR/VDEBUG32.TXT"
