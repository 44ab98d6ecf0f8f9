#!/usr/bin/env bash
# Installs what building and testing Vantelo needs from Debian's packages,
# when any of it is missing, and the packages named as arguments.
set -euo pipefail

packages=(cmake g++ make qt6-base-dev qt6-serialport-dev libgl-dev libgtest-dev libgmock-dev "$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
