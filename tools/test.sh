#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (offscreen: no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --preset default -j "$(nproc)"
