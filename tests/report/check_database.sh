#!/usr/bin/env bash
# The README's database recipe end to end, against a PostgreSQL server of
# its own on a Unix socket in a temporary folder: record files of two
# benches, one loaded twice, land once, backslashes intact, and the yield
# per station and day is the station's own report's.
# Usage: check_database.sh STATION_PROGRAM RECORDS_TOOLS_DIR
set -euo pipefail
station=$1 tools=$2
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ]; then
    echo "PostgreSQL's server is not installed (Debian: apt-get install postgresql)"
    [ -n "${CI:-}" ] && exit 1 # CI installs it: there, its absence is a failure
    exit 77
fi
work=$(mktemp -d)
as_server() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
[ "$(id -u)" -eq 0 ] && chown postgres "$work" # initdb refuses to run as root
trap 'as_server "$bin/pg_ctl" -D "$work/data" -m immediate stop >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
as_server "$bin/initdb" -D "$work/data" -A trust -U vantelo >/dev/null
as_server "$bin/pg_ctl" -D "$work/data" -l "$work/server.log" -w \
    -o "-k $work -c listen_addresses=''" start >/dev/null || { cat "$work/server.log"; exit 1; }
export PGHOST=$work PGUSER=vantelo PGDATABASE=postgres TZ=Europe/Berlin PGTZ=Europe/Berlin

# Bench 1 writes version 2 lines; an older bench 2 version 1 lines, one with
# a Windows device name, and a line cut short. 23:30 UTC is the next day in Berlin.
cat > "$work/bench1.jsonl" <<'LINES'
{"schema":2,"id":"a1","time":"2026-12-06T23:30:00.000Z","station":"B1","result":"programmed","seconds":40,"messages":[]}
{"schema":2,"id":"a2","time":"2026-12-07T08:00:00.000Z","station":"B1","result":"failed","seconds":12,"messages":["Error!  6: No reply to download"]}
{"schema":2,"id":"a3","time":"2026-12-07T08:05:00.000Z","station":"B1","result":"skipped","seconds":1,"messages":[]}
LINES
cat > "$work/bench2.jsonl" <<'LINES'
{"time":"2026-12-06T22:00:00.000Z","port":"COM3","device":"\\\\.\\COM3","result":"programmed","seconds":41,"messages":[]}
{"time":"2026-12-06T22:05:00.000Z","port":"COM3","device":"\\\\.\\COM3","result":"interrupted","seconds":20,"messages":[]}
{"time":"2026-12-06T22:1
LINES
bash "$tools/load.sh" "$work/bench1.jsonl" "$work/bench2.jsonl" "$work/bench1.jsonl" 2> "$work/load.err"
grep -q "bench2.jsonl: 1 lines are not records" "$work/load.err" || { cat "$work/load.err"; exit 1; }
[ "$(psql -X -A -t -c 'SELECT count(*) FROM pod_records')" = 5 ] || { echo "FAIL: not five pods"; exit 1; }
[ "$(psql -X -A -t -c "SELECT DISTINCT line->>'device' FROM pod_records WHERE line ? 'device'")" = '\\.\COM3' ] \
    || { echo "FAIL: the device name lost its backslashes"; exit 1; }

psql -X -q --csv -v ON_ERROR_STOP=1 -f "$tools/yield.sql" | tail -n +2 > "$work/database.csv"
"$station" --report --csv --by day,station "$work/bench1.jsonl" "$work/bench2.jsonl" 2>/dev/null |
    sed -n '2,/^$/p' | sed '/^$/d' | cut -d, -f1-7 > "$work/report.csv"
if ! diff "$work/report.csv" "$work/database.csv"; then
    echo "FAIL: the database's yields differ from the report's (< report, > database)"
    exit 1
fi
[ "$(wc -l < "$work/report.csv")" -eq 2 ] || { echo "FAIL: expected two groups, a day apart in Berlin"; cat "$work/report.csv"; exit 1; }
echo "database recipe: the same pods and yields as the report"
