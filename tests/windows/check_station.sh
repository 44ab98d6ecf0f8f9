#!/usr/bin/env bash
# The station from the ZIP under wine, in a fresh prefix, with podsim's pods
# on ptys mapped to COM1 (38400 baud) and COM2 (2400 baud, another version):
# it programs both and ends with status 0; each pod holds the image whole,
# and the record has one line per pod. A third pod, on COM3, has its adapter
# pulled mid-download: the station ends with one message, recorded failed
# with a word of the port that went.
# Usage: check_station.sh CMAKE ZIP PODSIM SOURCE_DIR
set -euo pipefail
cmake=$1 zip=$2 podsim=$3 source=$4
. "$(dirname "$0")/wine_ports.sh"

unpack "$cmake" "$zip"
mkdir -p "$work/images"
serve_ports "$podsim" --images "$work/images" \
    --port 1:type=1,version=1.12,baud=38400 --port 2:type=1,version=2.3,baud=2400 --port 3:type=1,unplug=300
length=512
bash "$source/tools/make-sample.sh" "$work/Bench.TXF" 1 $length
status=0
timeout 120 wine "$app/vantelo-station.exe" --port 1 --port 2 --record "$(winepath -w "$work/pods.jsonl")" \
    "$(winepath -w "$work/Bench.TXF")" >"$work/out" 2>&1 </dev/null || status=$?
[ "$status" = 0 ] || fail "status $status:
$(cat "$work/out")
$(tail -20 "$work/podsim.log")"

# The image follows the type code, the 256-byte table and the two lengths.
for port in COM1 COM2; do
    [ "$(stat -c %s "$work/images/$port.image")" = $length ] &&
        cmp -s -n $length -i 265:0 "$work/Bench.TXF" "$work/images/$port.image" || fail "$port holds another image"
    [ "$(grep -c "\"port\":\"$port\".*\"result\":\"programmed\"" "$work/pods.jsonl")" = 1 ] ||
        fail "the record of $port: $(cat "$work/pods.jsonl")"
done
[ "$(wc -l <"$work/pods.jsonl")" = 2 ] || fail "the record: $(cat "$work/pods.jsonl")"

status=0
timeout 60 wine "$app/vantelo-station.exe" --port 3 --record "$(winepath -w "$work/pulled.jsonl")" \
    "$(winepath -w "$work/Bench.TXF")" >"$work/out" 2>&1 </dev/null || status=$?
[ "$status" = 1 ] && grep -q '"messages":\["[^"]*No reply to download","COM3 is gone: [^"]*"\],.*"port":"COM3",.*"result":"failed"' "$work/pulled.jsonl" ||
    fail "pulled on COM3 ($status): $(cat "$work/out" "$work/pulled.jsonl")"
