#!/usr/bin/env bash
# Builds Vantelo for Windows on Debian: cross-compiles it with mingw-w64
# against Qt for Windows, runs its tests under wine and makes the ZIP and the
# installer, into build-windows/.
# Qt comes from $VANTELO_QT_WINDOWS_ARCHIVE, by default the archive in
# ../shared/toolchains/, unpacked into build-qt-windows/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh qt6-base-dev-tools g++-mingw-w64-x86-64-posix wine wine64 nsis \
    xvfb xauth x11-utils x11-apps xdotool xclip

archive=${VANTELO_QT_WINDOWS_ARCHIVE:-../shared/toolchains/qt6-6.4.2-mingw-w64-x86_64.tar.xz}
export VANTELO_QT_WINDOWS=$PWD/build-qt-windows/qt6
if [ ! -f build-qt-windows/unpacked ] || [ "$archive" -nt build-qt-windows/unpacked ]; then
    rm -rf build-qt-windows
    mkdir -p build-qt-windows
    tar -xJf "$archive" -C build-qt-windows
    touch build-qt-windows/unpacked
fi

# podsim serves the wine test's COM1 from Linux.
cmake --preset default >/dev/null
cmake --build --preset default --target podsim -j "$(nproc)"

cmake --preset windows
cmake --build --preset windows -j "$(nproc)"
ctest --preset windows -j "$(nproc)"
ls -l build-windows/vantelo-*.zip build-windows/vantelo-*.exe
