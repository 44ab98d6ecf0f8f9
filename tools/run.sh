#!/usr/bin/env bash
# Builds Vantelo and starts it. Arguments go to the program (a .TXF file to load).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: run this from a desktop session, or under Xvfb with xvfb-run -a tools/run.sh" >&2
    exit 1
fi
# Without a machine-wide store file, keep the pod type catalogue beside the build.
if [ -z "${VANTELO_REGISTRY:-}" ] && [ ! -w /etc/vantelo ] && [ ! -w /etc ]; then
    export VANTELO_REGISTRY="$PWD/build/registry.reg"
fi
exec ./build/vantelo "$@"
