# Sourced by the scripts that run objscope on a simulated device: starts
# hubserver and tarnsim (device 1 on 127.0.0.2) in private folders with free
# UDP ports, writes a Tarncom.ini that maps device 1 to the simulator into
# the folder objscope runs in ($objscope_dir), and ends both at exit.
# Needs $bin (the build's bin folder).
work=$(mktemp -d)
export VEK_CONFIG_DIR=$work/config VEK_STATE_DIR=$work/state VEK_RUNTIME_DIR=$work/run
export VEK_HUBSERVER=$bin/hubserver
objscope_dir=$work/objscope
device=
stop_simulated_device() {
    [ -n "$device" ] && kill "$device" 2>/dev/null && wait "$device" 2>/dev/null || true
    "$bin/hubserver" REMOVE >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap stop_simulated_device EXIT

# Free UDP ports for the server, so it never meets another server.
read -r receive send < <(python3 -c '
import socket
s = [socket.socket(socket.AF_INET, socket.SOCK_DGRAM) for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*(x.getsockname()[1] for x in s))')
mkdir -p "$VEK_CONFIG_DIR" "$objscope_dir"
printf '[VEK BASE 32]\nVEKBaseAddress=127.0.0.1\nRecvSocketPort=%s\nSendSocketPort=%s\nMessageDelayTime=10\nAutoShutdown=0\n' \
    "$receive" "$send" >"$VEK_CONFIG_DIR/VEKMAIN.INI"
[ -f "$objscope_dir/Tarncom.ini" ] ||
    printf '[Device Mappings]\r\nMAP1=0,1,1,IP,127.0.0.2\r\n' >"$objscope_dir/Tarncom.ini"

"$bin/hubserver" &
for _ in $(seq 50); do [ -s "$VEK_STATE_DIR/VDEBUG32.TXT" ] && break; sleep 0.1; done
"$bin/tarnsim" --listen "127.0.0.2:$receive" ${TARNSIM_OPTIONS:-} >"$work/tarnsim.txt" 2>&1 &
device=$!
for _ in $(seq 50); do grep -q 'tarnsim: ready' "$work/tarnsim.txt" 2>/dev/null && break; sleep 0.1; done
cat "$work/tarnsim.txt"
