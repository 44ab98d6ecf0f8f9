#!/usr/bin/env bash
# The installer under wine, in a fresh prefix: a silent install puts the
# program and its DLLs under Program Files, a Start menu entry, the .TXF file
# type and the seed catalogue in place; a silent uninstall takes everything
# away but the catalogue, which people may have edited.
# Usage: check_installer.sh INSTALLER
set -euo pipefail
installer=$1

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
unset WINEPATH
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
query() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }

wineboot -i >/dev/null 2>&1
cp "$installer" "$work/setup.exe" # wine runs only what may be executed
chmod +x "$work/setup.exe"
wine "$work/setup.exe" /S
wineserver -w
dir="$WINEPREFIX/drive_c/Program Files/Vantelo"
[ -f "$dir/vantelo.exe" ] && [ -f "$dir/vantelo-station.exe" ] && [ -f "$dir/platforms/qwindows.dll" ] || fail "nothing installed in $dir"
menu=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Vantelo/Vantelo.lnk')
[ -n "$menu" ] || fail "no Start menu entry"
find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Vantelo/Vantelo Station.lnk' | grep -q . ||
    fail "no Start menu entry for the station's window"

types='HKLM\Software\Zantor\Trellins\Types'
query "$types" /v Version | grep -Eq "REG_DWORD +0x11$" || fail "Version is not 17"
[ "$(query "$types" | grep -c '\\Types\\[0-9]*$')" = 31 ] || fail "not 31 entries"
query "$types\\30" /v BootName | grep -q 'FENHUB' || fail "entry 30"
query 'HKCR\.TXF' /ve | grep -q 'Vantelo.Configuration' || fail ".TXF is not associated"
query 'HKCR\Vantelo.Configuration\shell\open\command' /ve |
    grep -Fq '"C:\Program Files\Vantelo\vantelo.exe" "%1"' || fail "no open command"

# Installed again, as an upgrade is, over a catalogue with entry 0 edited and
# entry 31 added: kept unless the program's start-up check would seed it.
key=${types#HKLM\\}
while read -r expect version _ <&3; do
    wine reg delete 'HKLM\Software\Zantor' /f >/dev/null 2>&1
    printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\%s]\n"Version"=%s\n\n[HKEY_LOCAL_MACHINE\\%s\\0]\n"Name"="Edited"\n\n[HKEY_LOCAL_MACHINE\\%s\\31]\n"Name"="Added"\n' \
        "$key" "$version" "$key" "$key" >"$work/catalogue.reg"
    wine reg import "$work/catalogue.reg" >/dev/null 2>&1 || fail "Version=$version not imported"
    before=$(query "$types" /v Version)
    wine "$work/setup.exe" /S
    wineserver -w
    query "$types\\31" /v Name | grep -q Added || fail "Version=$version: entry 31 lost"
    if [ "$expect" = kept ]; then
        [ "$(query "$types" /v Version)" = "$before" ] && query "$types\\0" /v Name | grep -q Edited ||
            fail "Version=$version: the catalogue was not kept"
    else
        query "$types" /v Version | grep -Eq 'REG_DWORD +0x11$' && query "$types\\0" /v Name | grep -q 'Lumo Basic' ||
            fail "Version=$version: not seeded again"
    fi
done 3<<'ROWS'
kept dword:00000012
kept dword:00000011
seeded dword:00000010
seeded dword:ffffffff (-1 to the program)
seeded "18" (REG_SZ)
seeded hex:12,00,00,00 (REG_BINARY)
seeded hex(4):12,00 (a 2-byte REG_DWORD)
ROWS

# The uninstaller runs on from a copy of itself; the wineserver waits for it.
wine "$dir/Uninstall.exe" /S
wineserver -w
[ ! -e "$dir" ] || fail "left behind: $(find "$dir")"
[ ! -e "$menu" ] || fail "Start menu entry left"
query 'HKCR\.TXF' >/dev/null && fail ".TXF still associated"
query 'HKCR\Vantelo.Configuration' >/dev/null && fail "file type still registered"
query "$types\\30" /v BootName | grep -q 'FENHUB' || fail "the catalogue went with the program"
echo "installed, associated, seeded; reinstalled over catalogues, seeded only as the program would; uninstalled, catalogue kept"
