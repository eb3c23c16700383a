#!/usr/bin/env bash
# Renders each window of objscope with real data from a simulated device
# (Qt's offscreen platform, no display needed) to PNG files under
# docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/docs/screenshots
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target hubserver tarnsim objscope
bin=$PWD/build/default/bin
. scripts/lib/simulated_device.sh
cd "$objscope_dir"
QT_QPA_PLATFORM=offscreen "$bin/objscope" --screenshots "$out"
