#!/usr/bin/env bash
# The Windows program under wine, from its ZIP, in a fresh prefix, on the
# X server that xvfb-run gives it.
#  1. The ZIP holds the window, the station and its window, their Qt and compiler DLLs and
#     two plugins, nothing else; each program starts from it alone (the
#     station refuses a missing file with its status 2).
#  2. A first start seeds the registry (Version 17, sub-keys 0 to 30); the
#     window comes up at its size; a screenshot goes into the build folder.
#  3. With podsim's pod on a pty mapped to COM1 and a .TXF whose Windows path
#     holds a blank as its one argument (wine quotes it on the command line),
#     the deferred load succeeds, which shows as the search that follows: COM1
#     gets the 110-baud low pulse, then FF S E T P O D at the seven rates in
#     order, two stop bits each (podsim serves an empty port: no answer
#     changes the course of the search).
#  4. The station's window, started with that file, comes up and starts at
#     once; its screenshot goes into the build folder.
# The reply side is not checked here: under Debian's wine 8.0 QSerialPort does
# not reliably receive (its overlapped WaitCommEvent is not posted to the
# completion port Qt waits on), so answers are checked on Linux ptys and on
# the simulated line instead.
# Usage: check_program.sh CMAKE ZIP PODSIM SOURCE_DIR SCREENSHOT_DIR TITLE WIDTH HEIGHT
set -euo pipefail
cmake=$1 zip=$2 podsim=$3 source=$4 screenshots=$5 title=$6 width=$7 height=$8

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
unset WINEPATH QT_QPA_PLATFORM
program_pid= podsim_pid=
finish() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$podsim_pid" ] && kill "$podsim_pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/Program Files"
(cd "$work/Program Files" && "$cmake" -E tar xf "$zip")
app=$(echo "$work/Program Files"/vantelo-*)
expected="Qt6Core.dll Qt6Gui.dll Qt6SerialPort.dll Qt6Widgets.dll libgcc_s_seh-1.dll
libstdc++-6.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll vantelo-station.exe
vantelo-station-window.exe vantelo.exe"
found=$(cd "$app" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
[ "$found" = "$(echo $expected | tr ' ' '\n' | LC_ALL=C sort | tr '\n' ' ')" ] ||
    fail "the ZIP holds: $found"

wineboot -i >/dev/null 2>&1
wineserver -w
status=0
wine "$app/vantelo-station.exe" 'C:\none.TXF' >/dev/null 2>"$work/station" || status=$?
[ "$status" = 2 ] && grep -q 'Failed to open file C:\\none.TXF' "$work/station" ||
    fail "the station said ($status): $(cat "$work/station")"

# Runs a program of the ZIP with the given arguments until its window,
# titled NAME, is up. Usage: start NAME PROGRAM [ARGUMENT...]
start() {
    local name=$1 program=$2
    shift 2
    wine "$app/$program" "$@" 2>/dev/null &
    program_pid=$!
    for _ in $(seq 300); do
        xwininfo -name "$name" >"$work/window" 2>/dev/null && return
        kill -0 "$program_pid" 2>/dev/null || fail "$program ended"
        sleep 0.1
    done
    fail "no window titled $name"
}
stop() {
    wineserver -k 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}

echo "first start, fresh prefix"
start "$title" vantelo.exe
sleep 1
size=$(awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}' "$work/window")
id=$(awk '/Window id:/ {print $4}' "$work/window")
mkdir -p "$screenshots"
xwd -silent -id "$id" -out "$screenshots/window-wine.xwd"
stop
[ "$size" = "${width}x${height}" ] || fail "window is $size, not ${width}x${height}"

types='HKLM\Software\Zantor\Trellins\Types'
wine reg query "$types" /v Version 2>/dev/null | grep -Eq 'Version +REG_DWORD +0x11' || fail "Version is not 17"
subkeys=$(wine reg query "$types" 2>/dev/null | tr -d '\r' | grep -c '\\Types\\[0-9]*$')
[ "$subkeys" = 31 ] || fail "$subkeys sub-keys, not 31"
wine reg query "$types\\11" /v Reply 2>/dev/null | grep -Eq 'Reply +REG_DWORD +0xcc' || fail "entry 11"

# COM1 and COM2 are podsim's ptys; wine reads its ports at start-up.
mkfifo "$work/podsim"
"$podsim" --port 1:empty --port 2:empty >"$work/podsim" 2>"$work/podsim.log" &
podsim_pid=$!
exec 3<"$work/podsim" # kept open: podsim may still write
while read -r line <&3; do
    case $line in
    VANTELO_COM[12]=*)
        port=${line%%=*}
        wine reg add 'HKLM\Software\Wine\Ports' /v "COM${port#VANTELO_COM}" /d "${line#*=}" /f \
            >/dev/null 2>&1
        ;;
    ready) break ;;
    esac
done
wineserver -k 2>/dev/null || true
wineserver -w || true
echo "second start, COM1 and COM2 on ptys, a file named on the command line"
mkdir -p "$work/My Jobs"
bash "$source/tools/make-sample.sh" "$work/My Jobs/Hall 2.TXF" 1 64
start "$title" vantelo.exe "$(winepath -w "$work/My Jobs/Hall 2.TXF" 2>/dev/null)"

# podsim writes a line once the framing changes, the last one when it ends:
# it ends once the search has gone on to COM2.
for _ in $(seq 300); do
    grep -q ' COM2 > ' "$work/podsim.log" && break
    sleep 0.1
done
kill "$podsim_pid"
wait "$podsim_pid" 2>/dev/null || true
podsim_pid=
# Wine sets 28800 and 14400 baud as custom rates, which a pty does not show:
# it reads 38400 then, and podsim's log joins the bytes of the two 38400s.
setpod='FF 53 45 54 50 4F 44'
probe="110,n,8,2: 00
9600,n,8,2: $setpod
38400,n,8,2: $setpod $setpod
19200,n,8,2: $setpod
38400,n,8,2: $setpod
4800,n,8,2: $setpod
2400,n,8,2: $setpod"
sent=$(sed -n 's/^ *[0-9.]* COM1 > //p' "$work/podsim.log")
[ "$sent" = "$probe" ] || fail "COM1 got, after the command-line load:
$sent"

echo "the station's window with the same file"
start "Vantelo Station" vantelo-station-window.exe --record 'C:\pods.jsonl' \
    "$(winepath -w "$work/My Jobs/Hall 2.TXF" 2>/dev/null)"
sleep 3 # its tiles, once the ports have been tried
xwd -silent -id "$(awk '/Window id:/ {print $4}' "$work/window")" -out "$screenshots/station-window-wine.xwd"
stop
