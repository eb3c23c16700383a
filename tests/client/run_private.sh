#!/bin/sh
# Runs a test program with its own config, state and runtime folders, so the
# hubserver it starts and the client library it loads see nobody else's.
root=$(mktemp -d /tmp/vekclient.XXXXXX) || exit 1
export VEK_CONFIG_DIR="$root/config" VEK_STATE_DIR="$root/state" VEK_RUNTIME_DIR="$root/run"
mkdir -p "$VEK_CONFIG_DIR"
"$@"
status=$?
rm -rf "$root"
exit $status
