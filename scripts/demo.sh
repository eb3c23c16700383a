#!/usr/bin/env bash
# The main job: builds the suite, starts hubserver in private folders with
# network tracing on, watches the traffic with netmon while sendmsg and objping
# talk to a device address on loopback (127.0.0.2, where nothing answers, so
# objping reports its time-out), lets tarnlist ask a simulated Tarn device
# (tarnsim on 127.0.0.2) for its object list, then stops the server with
# "REMOVE" and shows its debug log. Nothing leaves this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target hubserver netmon sendmsg objping tarnsim tarnlist
bin=build/default/bin
work=$(mktemp -d)
export VEK_CONFIG_DIR=$work/config VEK_STATE_DIR=$work/state VEK_RUNTIME_DIR=$work/run
export VEK_HUBSERVER=$PWD/$bin/hubserver
cleanup() {
    [ -n "${monitor:-}" ] && kill "$monitor" 2>/dev/null || true
    [ -n "${simulator:-}" ] && kill "$simulator" 2>/dev/null || true
    "$bin/hubserver" REMOVE >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$VEK_CONFIG_DIR"
printf '[VEK BASE 32]\nVEKBaseAddress=127.0.0.1\nMessagesOut=1\nAutoShutdown=0\n' \
    >"$VEK_CONFIG_DIR/VEKMAIN.INI"

"$bin/hubserver" &
server=$!
for _ in $(seq 50); do [ -s "$VEK_STATE_DIR/VDEBUG32.TXT" ] && break; sleep 0.1; done

"$bin/netmon" >"$work/netmon.txt" 2>&1 &
monitor=$!
sleep 0.5
echo "--- sendmsg 127.0.0.2 object 5 message 1 data 01 02 03 ---"
"$bin/sendmsg" 127.0.0.2 5 1 "01 02 03"
echo "--- objping 127.0.0.2 object 7 message 2, time-out 500 ms ---"
"$bin/objping" 127.0.0.2 7 2 500 "AA BB" || true
sleep 0.5
kill -INT "$monitor"
wait "$monitor" 2>/dev/null || true
monitor=
echo "--- what netmon saw ---"
cat "$work/netmon.txt"

# A simulated Tarn device answers on 127.0.0.2 at the server's receive port.
"$bin/tarnsim" --listen 127.0.0.2:3048 --trace >"$work/tarnsim.txt" 2>&1 &
simulator=$!
for _ in $(seq 50); do grep -q "tarnsim: ready" "$work/tarnsim.txt" 2>/dev/null && break; sleep 0.1; done
echo "--- tarnlist 127.0.0.2: the object list of the simulated device ---"
"$bin/tarnlist" 127.0.0.2
kill "$simulator"
wait "$simulator" 2>/dev/null || true
simulator=
echo "--- tarnsim's trace (first lines) ---"
head -n 12 "$work/tarnsim.txt"

"$bin/hubserver" REMOVE
wait "$server" || true
echo "--- debug log ($VEK_STATE_DIR/VDEBUG32.TXT) ---"
cat "$VEK_STATE_DIR/VDEBUG32.TXT"
