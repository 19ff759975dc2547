#!/usr/bin/env bash
# The layer check passes on this tree and fails, naming file and line, on a copy with
# planted includes against the table, in every form a compiler would follow.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
"$repo/tools/check-layers" "$repo" >/dev/null

copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
mkdir -p "$copy/src" "$copy/app"
cp "$repo/src/layers.txt" "$copy/src/"
cp -r "$repo/src/objects" "$repo/src/builders" "$repo/src/host" "$copy/src/"
victim=$copy/src/objects/TarvexObject.cpp
start=$(wc -l <"$victim")
cat >>"$victim" <<'PLANTED'
#include <tarvex/builders/TarvexEntityBuilder.h>
#include "Nowhere.h"
#include <builders/TarvexReuseMap.h>
/* hidden */ #include "builders/TarvexCounter.h"
#include <tarvex/objects/../builders/TarvexCounter.h>
#include "/usr/include/builders/TarvexCounter.h"
#define SNEAKY "builders/TarvexCounter.h"
#include SNEAKY
PLANTED
mkdir -p "$copy/src/objects/detail"
printf '#pragma once\n#include "builders/TarvexCounter.h"\n' >"$copy/src/objects/detail/Helper.hpp"

if "$repo/tools/check-layers" "$copy" 2>"$copy/report"; then
    echo "FAIL: the planted includes went through" >&2
    exit 1
fi
expect() {
    grep -qF -- "$1" "$copy/report" || { echo "FAIL: report lacks '$1':" >&2; cat "$copy/report" >&2; exit 1; }
}
at() { echo "src/objects/TarvexObject.cpp:$((start + $1))"; }
expect "$(at 1): src/objects may not include builders/TarvexEntityBuilder.h"
expect "$(at 2): includes \"Nowhere.h\", which is not in src/objects/"
expect "$(at 3): src/objects may not include builders/TarvexReuseMap.h"
expect "$(at 4): src/objects may not include builders/TarvexCounter.h"
expect "$(at 5): includes \"objects/../builders/TarvexCounter.h\" by a relative path"
expect "$(at 6): includes \"/usr/include/builders/TarvexCounter.h\" by an absolute path"
expect "$(at 8): includes something that is not a plain \"path\" or <path>"
expect "src/objects/detail/Helper.hpp:2: src/objects may not include builders/TarvexCounter.h"
expect "check-layers: 8 include(s) against src/layers.txt"
echo "check-layers catches planted includes"
