#!/usr/bin/env bash
# The Windows program under wine, from its ZIP, in a fresh prefix, on the
# X server that xvfb-run gives it.
#  1. The ZIP holds the window, the station and its window, their Qt and compiler DLLs and
#     two plugins, nothing else; each program starts from it alone (the
#     station refuses a missing file with its status 2, naming it in UTF-8
#     through a pipe); the window is a GUI program, the station a console one.
#  2. A first start seeds the registry (Version 17, sub-keys 0 to 30); the
#     window comes up at its size; a screenshot goes into the build folder.
#  3. With podsim's type 1 pod on a pty mapped to COM1, an empty pty on COM2,
#     and a .TXF whose Windows path holds a blank as its one argument (wine
#     quotes it on the command line), the deferred load and the search
#     follow: COM2 gets the 110-baud low pulse, then FF S E T P O D at the
#     seven rates in order, two stop bits each; COM1's slot shows the pod.
#  4. COM1's option and Download, clicked: the pod holds the image whole, and
#     "Program another pod" answered No leaves the window; a second
#     screenshot.
#  5. The station's window, started with that file, comes up, starts at
#     once and programs the pod on COM1 (its record says so); its
#     screenshot goes into the build folder.
# Usage: check_program.sh CMAKE ZIP PODSIM SOURCE_DIR SCREENSHOT_DIR TITLE WIDTH HEIGHT
set -euo pipefail
cmake=$1 zip=$2 podsim=$3 source=$4 screenshots=$5 title=$6 width=$7 height=$8
. "$(dirname "$0")/wine_ports.sh"

unpack "$cmake" "$zip"
expected="Qt6Core.dll Qt6Gui.dll Qt6SerialPort.dll Qt6Widgets.dll libgcc_s_seh-1.dll
libstdc++-6.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll vantelo-station.exe
vantelo-station-window.exe vantelo.exe"
found=$(cd "$app" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
[ "$found" = "$(echo $expected | tr ' ' '\n' | LC_ALL=C sort | tr '\n' ' ')" ] ||
    fail "the ZIP holds: $found"

# The window brings no console with it; the station's terminal program does.
file "$app/vantelo.exe" | grep -q '(GUI)' || fail "$(file "$app/vantelo.exe")"
file "$app/vantelo-station.exe" | grep -q '(console)' || fail "$(file "$app/vantelo-station.exe")"

# A name beyond ASCII reaches a pipe as UTF-8, whatever wine's code page.
{
    status=0
    LC_ALL=C.UTF-8 timeout 60 wine "$app/vantelo-station.exe" 'C:\Prüfstand.TXF' 2>&1 >/dev/null || status=$?
    echo "status $status"
} | cat >"$work/station"
grep -qx 'status 2' "$work/station" && grep -q 'Failed to open file C:\\Prüfstand.TXF' "$work/station" ||
    fail "the station said: $(od -c "$work/station")"

# Waits (30 s at most) until the command holds, while the program runs.
until_seen() {
    for _ in $(seq 300); do
        "$@" && return
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
        sleep 0.1
    done
    fail "not seen: $*"
}
# Runs a program of the ZIP with the given arguments until its window,
# titled NAME, is up. Usage: start NAME PROGRAM [ARGUMENT...]
start() {
    local name=$1 program=$2
    shift 2
    wine "$app/$program" "$@" 2>/dev/null &
    program_pid=$!
    until_seen xwininfo -name "$name" >"$work/window" 2>/dev/null
}
stop() {
    wineserver -k 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}
# The window's X id, looked up each time: wine may make the window anew.
window() { xwininfo -name "$title" | awk '/Window id:/ {print $4}'; }
# A click at a point of the window's design, in twips from its top-left
# corner (15 twips to the pixel at 96 dpi).
click() {
    xdotool mousemove --window "$(window)" $(($1 / 15)) $(($2 / 15)) click 1
    sleep 0.3
}

echo "first start, fresh prefix"
start "$title" vantelo.exe
sleep 1
size=$(awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}' "$work/window")
mkdir -p "$screenshots"
xwd -silent -id "$(window)" -out "$screenshots/window-wine.xwd"
stop
[ "$size" = "${width}x${height}" ] || fail "window is $size, not ${width}x${height}"

types='HKLM\Software\Zantor\Trellins\Types'
wine reg query "$types" /v Version 2>/dev/null | grep -Eq 'Version +REG_DWORD +0x11' || fail "Version is not 17"
subkeys=$(wine reg query "$types" 2>/dev/null | tr -d '\r' | grep -c '\\Types\\[0-9]*$')
[ "$subkeys" = 31 ] || fail "$subkeys sub-keys, not 31"
wine reg query "$types\\11" /v Reply 2>/dev/null | grep -Eq 'Reply +REG_DWORD +0xcc' || fail "entry 11"

mkdir -p "$work/images"
# COM3 and COM4 are missing (wine would take /dev/ttyS2 and S3 otherwise).
serve_ports "$podsim" --images "$work/images" --port 1:type=1,version=1.12,baud=38400 --port 2:empty \
    --port 3:missing --port 4:missing
echo "second start, a pod on COM1, COM2 empty, a file named on the command line"
mkdir -p "$work/My Jobs"
length=512
bash "$source/tools/make-sample.sh" "$work/My Jobs/Hall 2.TXF" 1 $length
start "$title" vantelo.exe "$(winepath -w "$work/My Jobs/Hall 2.TXF" 2>/dev/null)"

# podsim writes a line once the framing changes: COM2's last rate ends the
# search, and the window shows its slots half a second later at most.
until_seen grep -q ' COM2 > 2400,n,8,2: ' "$work/podsim.log"
sleep 0.5
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
sent=$(sed -n 's/^ *[0-9.]* COM2 > //p' "$work/podsim.log")
[ "$sent" = "$probe" ] || fail "COM2 got, after the command-line load:
$sent"

# COM1's slot text, copied from its box (Frame2's origin plus the box's)
# once the window has shown it.
slot_reads() {
    click $((120 + 600 + 900)) $((600 + 240 + 140))
    xdotool key ctrl+a ctrl+c
    [ "$(timeout 5 xclip -o -selection clipboard 2>/dev/null)" = "$1" ]
}
until_seen slot_reads "Lumo Plus 1.12"

# COM1's option button (Frame2's origin plus the button's), then Download
# (Frame3's origin plus the button's).
click $((120 + 120 + 100)) $((600 + 240 + 120))
click $((120 + 120 + 1100)) $((2400 + 1200 + 180))
image_whole() { [ "$(stat -c %s "$work/images/COM1.image" 2>/dev/null)" = $length ]; }
asking() { xwininfo -name "All sent ok" >/dev/null 2>&1; }
until_seen image_whole
until_seen asking
cmp -s -n $length -i 265:0 "$work/My Jobs/Hall 2.TXF" "$work/images/COM1.image" || fail "COM1 holds another image"
xdotool key Escape # No
until_seen eval '! asking'
sleep 1
# Yes would probe COM1 again for the next pod: the restart stays its last.
grep ' COM1 > ' "$work/podsim.log" | tail -1 | grep -q ': 33 | 9600,e,8,1: FF$' || fail "the answer was not No"
xwd -silent -id "$(window)" -out "$screenshots/window-wine-programmed.xwd"
stop

echo "the station's window with the same file"
start "Vantelo Station" vantelo-station-window.exe --record 'C:\pods.jsonl' \
    "$(winepath -w "$work/My Jobs/Hall 2.TXF" 2>/dev/null)"
# The pod on COM1 is new to it: programmed, and recorded.
until_seen grep -q '"port":"COM1",.*"result":"programmed"' "$WINEPREFIX/drive_c/pods.jsonl"
sleep 1 # the tile's latched result drawn
xwd -silent -id "$(awk '/Window id:/ {print $4}' "$work/window")" -out "$screenshots/station-window-wine.xwd"
stop
