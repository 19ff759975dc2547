#!/usr/bin/env bash
# The layer check passes on this tree and fails, naming file and line, on a copy with a
# planted include against the table: objects reaching up into builders, and a bare name
# that resolves nowhere in its folder.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
"$repo/tools/check-layers" "$repo" >/dev/null

copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
mkdir -p "$copy/src" "$copy/app"
cp "$repo/src/layers.txt" "$copy/src/"
cp -r "$repo/src/objects" "$repo/src/builders" "$repo/src/host" "$copy/src/"
victim=$copy/src/objects/TarvexObject.cpp
printf '#include "builders/TarvexEntityBuilder.h"\n#include "Nowhere.h"\n' >>"$victim"
lines=$(wc -l <"$victim")

if "$repo/tools/check-layers" "$copy" 2>"$copy/report"; then
    echo "FAIL: the planted includes went through" >&2
    exit 1
fi
expect() {
    grep -qF -- "$1" "$copy/report" || { echo "FAIL: report lacks '$1':" >&2; cat "$copy/report" >&2; exit 1; }
}
expect "src/objects/TarvexObject.cpp:$((lines - 1)): src/objects may not include builders/TarvexEntityBuilder.h"
expect "src/objects/TarvexObject.cpp:$lines: includes \"Nowhere.h\", which is not in src/objects/"
expect "check-layers: 2 include(s) against src/layers.txt"
echo "check-layers catches planted includes"
