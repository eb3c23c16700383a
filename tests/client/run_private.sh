#!/bin/sh
# Runs a test program with its own config, state and runtime folders, so the
# hubserver it starts and the client library it loads see nobody else's.
root=$(mktemp -d /tmp/vekclient.XXXXXX) || exit 1
export VEK_CONFIG_DIR="$root/config" VEK_STATE_DIR="$root/state" VEK_RUNTIME_DIR="$root/run"
mkdir -p "$VEK_CONFIG_DIR"

"$@" &
child=$!
# A signal for the runner (a time-out) is meant for the test.
trap 'kill -TERM $child 2>/dev/null' TERM INT HUP
status=0
while :; do
    wait $child
    status=$?
    kill -0 $child 2>/dev/null || break
done

# A server the test left running in its folders (it crashed or was stopped
# before unregistering) ends with the folders. The title's lock file names
# the window holding the title: (pid << 32) | loop | window, in hex.
title="$VEK_RUNTIME_DIR/VEKBASE Application (32 Bit)"
if [ -S "$title" ] && [ -f "$title.lock" ]; then
    holder=$(cat "$title.lock")
    [ -n "$holder" ] && kill -KILL $((0x$holder >> 32)) 2>/dev/null
fi
rm -rf "$root"
exit $status
