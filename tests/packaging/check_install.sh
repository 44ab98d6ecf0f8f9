#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what lands there: the
# programs and their desktop integration only (no tests, podsim, benchmarks or
# libraries), and each desktop entry naming an installed program, icon and
# file type.
# Usage: check_install.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" > /dev/null

expected="bin/vantelo
bin/vantelo-station
share/applications/vantelo-station.desktop
share/applications/vantelo.desktop
share/icons/hicolor/scalable/apps/vantelo.svg
share/mime/packages/vantelo.xml"
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
if [ "$installed" != "$expected" ]; then
    echo "installed files differ from the expected ones:" >&2
    diff <(echo "$expected") <(echo "$installed") >&2 || true
    exit 1
fi

key() { sed -n "s/^$1=//p" "$entry"; }
fail() { echo "$*" >&2; exit 1; }

for entry in "$prefix"/share/applications/*.desktop; do
    exec_line=$(key Exec)
    [ -x "$prefix/bin/${exec_line%% *}" ] || fail "$entry: Exec=$exec_line names no installed program"
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$(key Icon).svg" ] ||
        fail "$entry: Icon=$(key Icon) names no installed icon"
    mime_type=$(key MimeType | tr -d ';')
    grep -q "<mime-type type=\"$mime_type\">" "$prefix/share/mime/packages/vantelo.xml" ||
        fail "$entry: MimeType=$(key MimeType) is not the type the MIME package defines"
done
echo "installed: $(echo "$installed" | tr '\n' ' ')"
