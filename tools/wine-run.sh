#!/usr/bin/env bash
# Runs a program of the Windows cross-build under wine, in a prefix of the
# build's own (created on first use, never the user's ~/.wine), with the
# given folders of DLLs on its path.
# Usage: wine-run.sh PREFIX DLLDIR[:DLLDIR...] PROGRAM [ARGUMENT...]
set -euo pipefail
export WINEPREFIX=$1
IFS=: read -ra dirs <<<"$2"
shift 2
WINEPATH=
for d in "${dirs[@]}"; do WINEPATH+="Z:${d//\//\\};"; done
export WINEPATH
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    [ -f "$WINEPREFIX/.vantelo-ready" ] && exit
    wineboot -i >/dev/null 2>&1
    # Windows need no X server: wine's null driver keeps them off any screen.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    # Wine hands no QT_ variable on to Windows programs, but sets the user's
    # registry environment; this Qt has no offscreen platform, minimal is its
    # windowless one.
    wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d minimal /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.vantelo-ready"
) 9>"$WINEPREFIX.lock"
# Wine's session (its server and service programs) outlives the program and
# keeps the output it was started with, which CTest waits to see closed: the
# program writes into files, handed on once it has ended.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
wine "$@" >"$out" 2>"$err" </dev/null || status=$?
cat "$out"
cat "$err" >&2
exit $status
