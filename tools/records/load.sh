#!/usr/bin/env bash
# Loads station record files into PostgreSQL, each pod once however often
# its line is loaded. The connection comes from psql's PG* variables.
# Usage: tools/records/load.sh FILE...
set -euo pipefail
here=$(dirname "$0")
psql -X -q -v ON_ERROR_STOP=1 -f "$here/schema.sql"
for file in "$@"; do
    unreadable=$(psql -X -q -A -t -v ON_ERROR_STOP=1 -f "$here/load.sql" < "$file")
    [ "$unreadable" = 0 ] || echo "$file: $unreadable lines are not records" >&2
done
