#!/usr/bin/env bash
# Builds Vantelo and starts it on its main job. With a .TXF file as argument
# it uses the real serial ports; without one it starts podsim with a small
# bench of simulated pods and loads a sample configuration:
#   COM1: a Lumo Plus pod (type 1) at 38400 baud, COM2: nothing,
#   COM3: a Velim pod (type 13) at 9600 baud, COM4: missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "No display to open the window on. Run this in a desktop session, or under a virtual" >&2
    echo "X server: sudo apt-get install -y xvfb && xvfb-run -a tools/run.sh" >&2
    exit 1
fi

# Without a machine-wide store file, keep the pod type catalogue beside the build.
if [ -z "${VANTELO_REGISTRY:-}" ] && [ ! -w /etc ]; then
    export VANTELO_REGISTRY="$PWD/build/registry.reg"
fi

if [ $# -gt 0 ]; then
    exec ./build/vantelo "$@"
fi

sample=build/sample/Bench1.TXF
mkdir -p build/sample
[ -f "$sample" ] || bash tools/make-sample.sh "$sample" 1 4096

fifo=$(mktemp -u)
mkfifo "$fifo"
./build/podsim --port 1:type=1,version=1.12,baud=38400 --port 2:empty \
    --port 3:type=13,version=2.0,baud=9600 --port 4:missing > "$fifo" &
podsim=$!
trap 'kill $podsim 2>/dev/null; rm -f "$fifo"' EXIT
while read -r line; do
    [ "$line" = ready ] && break
    echo "$line"
    export "${line?}"
done < "$fifo"
./build/vantelo "$PWD/$sample"
