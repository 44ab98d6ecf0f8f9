#!/usr/bin/env bash
# Words that Qt would take as its own options (-reverse, -style fusion) are
# the user's command line: half a second after start-up the program tries to
# load a file of that name and says it cannot ("Error!", a second window).
# Usage: check_raw_command_line.sh PROGRAM   (under xvfb-run)
set -euo pipefail
program=$1
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; rm -rf "$work"' EXIT
export VANTELO_REGISTRY=$work/registry.reg QT_QPA_PLATFORM=xcb
for words in "-reverse" "-style fusion"; do
    # shellcheck disable=SC2086 # two words stay two arguments
    (cd "$work" && exec "$program" $words) &
    pid=$!
    for _ in $(seq 100); do
        xwininfo -root -tree | grep -q '"Error!"' && break
        sleep 0.1
    done
    xwininfo -root -tree | grep -q '"Error!"' || { echo "FAIL: '$words' was not loaded" >&2; exit 1; }
    kill $pid
    wait $pid 2>/dev/null || true
    pid=
done
