# Sourced by the wine checks: a fresh prefix in $work (removed at the end,
# with every program started here), the programs unpacked from the ZIP into
# $app, and podsim's pseudo-terminals as the prefix's COM ports.
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
unset WINEPATH QT_QPA_PLATFORM
program_pid= podsim_pid=
finish() {
    # A program already gone must not end the clean-up (set -e holds here).
    [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
    [ -z "$podsim_pid" ] || kill "$podsim_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "FAIL: $*" >&2
    [ ! -f "$work/podsim.log" ] || { echo "podsim's log ends:" && tail -15 "$work/podsim.log"; } >&2
    exit 1
}

# Usage: unpack CMAKE ZIP
unpack() {
    mkdir -p "$work/Program Files"
    (cd "$work/Program Files" && "$1" -E tar xf "$2")
    app=$(echo "$work/Program Files"/vantelo-*)
    wineboot -i >/dev/null 2>&1
    wineserver -w
}

# Starts podsim with the given arguments and maps each port it serves onto
# the prefix's COMn; wine reads its ports when its server starts.
# Usage: serve_ports PODSIM ARGUMENT...
serve_ports() {
    local podsim=$1 line port
    shift
    mkfifo "$work/podsim"
    "$podsim" "$@" >"$work/podsim" 2>"$work/podsim.log" &
    podsim_pid=$!
    exec 3<"$work/podsim" # kept open: podsim may still write
    while read -r -t 30 line <&3; do
        case $line in
        VANTELO_COM*=*)
            port=${line%%=*}
            wine reg add 'HKLM\Software\Wine\Ports' /v "COM${port#VANTELO_COM}" /d "${line#*=}" /f \
                >/dev/null 2>&1
            ;;
        ready) break ;;
        esac
    done
    [ "$line" = ready ] || fail "podsim did not start: $(cat "$work/podsim.log")"
    wineserver -k 2>/dev/null || true
    wineserver -w || true
}
