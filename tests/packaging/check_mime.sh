#!/usr/bin/env bash
# Builds a MIME database from the package's definition alone and checks that
# both file name globs lead to the pod configuration type, case-sensitively.
# Usage: check_mime.sh MIME_XML
set -euo pipefail
db=$(mktemp -d)
trap 'rm -rf "$db"' EXIT
mkdir "$db/packages"
cp "$1" "$db/packages/vantelo.xml"
# It reports a definition it cannot read but still exits 0: the globs tell.
update-mime-database "$db" 2> "$db/log"

status=0
for glob in '*.TXF' '*.txf'; do
    line="50:application/x-vantelo-txf:$glob:cs"
    grep -qxF "$line" "$db/globs2" || { echo "not in globs2: $line" >&2; status=1; }
done
[ $status -eq 0 ] || cat "$db/log" >&2
exit $status
