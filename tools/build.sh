#!/usr/bin/env bash
# Configures and builds Vantelo into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"
