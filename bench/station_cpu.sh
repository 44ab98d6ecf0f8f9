#!/usr/bin/env bash
# The station's CPU under wine beside the Linux build, on the same podsim
# pods: four empty ports watched, then four pods being programmed. Prints % of
# a core per port for the station's process alone and, under wine, with
# wine's server added. A benchmark, not a test: it asserts nothing.
# Usage: station_cpu.sh [LINUX_BUILD [WINDOWS_BUILD [SECONDS_WATCHED]]]
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
linux=${1:-$source/build} windows=${2:-$source/build-windows} seconds=${3:-20}
ports=4
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
podsim_pid= station_pid=
finish() {
    [ -z "$station_pid" ] || kill "$station_pid" 2>/dev/null || true
    [ -z "$podsim_pid" ] || kill "$podsim_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

# Qt's and the compiler's DLLs for the Windows program.
qt=$(sed -n 's/^VANTELO_QT_WINDOWS:PATH=//p' "$windows/CMakeCache.txt")
wineboot -i >/dev/null 2>&1
WINEPATH="$(winepath -w "$qt/bin" 2>/dev/null)"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    WINEPATH+=";$(winepath -w "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)")" 2>/dev/null)"
done
export WINEPATH
wineserver -w
bash "$source/tools/make-sample.sh" "$work/Bench.TXF" 1 4096

ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
now() { date +%s.%N; }
# The wine server of this prefix: its folder is named after the prefix's device and inode.
wine_server() {
    local dir pid
    dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
    for pid in $(pgrep wineserver); do
        [ "$(basename "$(readlink "/proc/$pid/cwd")")" = "$dir" ] && echo "$pid" && return
    done
    echo 0
}
# The wine process of this prefix running the named program.
wine_process() {
    local pid
    for pid in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid" && return
    done
}

# Starts podsim with the given pods on ports 1 to 4, as symbolic links
# $work/links/COMn (Linux) and as the prefix's COMn (wine).
serve() {
    rm -rf "$work/links" "$work/podsim.out" && mkdir "$work/links"
    "$linux/podsim" --links "$work/links" "$@" >"$work/podsim.out" 2>"$work/podsim.log" &
    podsim_pid=$!
    for _ in $(seq 100); do grep -qs '^ready$' "$work/podsim.out" && break; sleep 0.1; done
    local line port
    while read -r line; do
        case $line in VANTELO_COM*=*)
            port=${line%%=*}
            wine reg add 'HKLM\Software\Wine\Ports' /v "COM${port#VANTELO_COM}" /d "${line#*=}" /f \
                </dev/null >/dev/null 2>&1 ;;
        esac
    done <"$work/podsim.out"
    wineserver -k 2>/dev/null || true
    wineserver -w || true
}
unserve() {
    kill "$podsim_pid" 2>/dev/null || true
    wait "$podsim_pid" 2>/dev/null || true
    podsim_pid=
}

# Runs the station (the command given) on ports 1 to 4 under --watch and
# measures from its first search (and a second more) until the condition
# holds.
# Prints the station's and the server's % of a core per port.
# Usage: measure SYSTEM CONDITION COMMAND...
measure() {
    local system=$1 until=$2 pid server _ cpu0 server0 t0 cpu1 server1 t1
    shift 2
    rm -f "$work/pods.jsonl"
    "$@" --watch --port 1 --port 2 --port 3 --port 4 --record "$work/pods.jsonl" "$work/Bench.TXF" \
        >"$work/station.out" 2>&1 </dev/null &
    station_pid=$!
    for _ in $(seq 600); do grep -q 'searching' "$work/station.out" && break; sleep 0.05; done
    sleep 1 # the start-up (under wine, its DLLs) left behind
    pid=$station_pid server=0
    if [ "$system" = wine ]; then
        pid=$(wine_process vantelo-station.exe) server=$(wine_server)
    fi
    cpu0=$(cpu "$pid") server0=$(cpu "$server") t0=$(now)
    eval "$until"
    cpu1=$(cpu "$pid") server1=$(cpu "$server") t1=$(now)
    kill "$station_pid" 2>/dev/null || true
    [ "$system" = Linux ] || wineserver -k 2>/dev/null || true
    wait "$station_pid" 2>/dev/null || true
    station_pid=
    awk -v s="$system" -v c=$((cpu1 - cpu0)) -v w=$((server1 - server0)) -v t0="$t0" -v t1="$t1" \
        -v hz="$ticks" -v n=$ports -v wine="$([ "$system" = Linux ] && echo 0 || echo 1)" 'BEGIN {
        d = t1 - t0; station = 100 * c / hz / d / n; both = 100 * (c + w) / hz / d / n
        printf "  %-7s %6.1f s  station %6.2f %% of a core per port", s, d, station
        if (wine) printf ", with wine'\''s server %6.2f %%", both
        printf "\n" }'
}

# The Linux station's ports are podsim's links, its store a file of its own.
on_linux() {
    local n
    for n in $(seq $ports); do export "VANTELO_COM$n=$work/links/COM$n"; done
    export VANTELO_REGISTRY=$work/registry.reg
}

empty=() pods=()
for n in $(seq $ports); do empty+=(--port "$n:empty"); pods+=(--port "$n:type=1,version=1.12"); done
programmed() {
    local _
    for _ in $(seq 1200); do
        [ "$(grep -c '"result":"programmed"' "$work/pods.jsonl" 2>/dev/null)" = $ports ] && return
        sleep 0.1
    done
    echo "not all programmed: $(cat "$work/station.out")" >&2
    exit 1
}

echo "$ports empty ports watched for $seconds s:"
serve "${empty[@]}"
measure wine "sleep $seconds" wine "$windows/vantelo-station.exe"
(on_linux
    measure Linux "sleep $seconds" "$linux/vantelo-station")
unserve

echo "$ports pods programmed (4096 bytes each):"
serve "${pods[@]}"
measure wine programmed wine "$windows/vantelo-station.exe"
unserve
serve "${pods[@]}"
(on_linux
    measure Linux programmed "$linux/vantelo-station")
unserve
