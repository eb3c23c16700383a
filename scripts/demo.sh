#!/usr/bin/env bash
# The main job: builds what it needs (installing missing Debian packages),
# starts hubserver and a simulated Tarn device (tarnsim, device 1 on
# 127.0.0.2) in private folders, writes a Tarncom.ini that maps device 1 to
# the simulator, prints the device's object list and opens objscope on it.
# Closing the window ends everything the script started. Nothing leaves this
# machine.
#
#   scripts/demo.sh              the window (needs a display)
#   scripts/demo.sh --offscreen  no window: the object list only (also chosen
#                                when there is no display)
set -euo pipefail
cd "$(dirname "$0")/.."
offscreen=0
[ "${1:-}" = "--offscreen" ] && offscreen=1
[ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && offscreen=1

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target hubserver tarnsim objscope
bin=$PWD/build/default/bin
. scripts/lib/simulated_device.sh
cd "$objscope_dir"

echo "--- objscope --list 1: the objects of device 1 ---"
"$bin/objscope" --list 1
if [ "$offscreen" = 1 ]; then
    echo "(no display: the window is not opened; run on a desktop to see it)"
else
    echo "--- objscope: close its window to end the demo ---"
    "$bin/objscope"
fi
