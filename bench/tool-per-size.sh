#!/bin/sh
# What a user can expect of the tool per board size: for generated boards of about 1, 10 and
# 100 MB (2 % components, the rest solder joints), the elapsed time, the processor time (user
# + system) and the peak resident memory of `tarvex import` and of `tarvex update` over that
# import, each in a fresh process, beside the baselines measured in the same run: reading the
# file's bytes, and the bare parse of them by Qt's DOM and by pugixml. Both times matter: an
# update reads the file beside loading the model, so it takes less time than it uses.
#   bench/tool-per-size.sh BUILD_DIR [WORK_DIR] [SIZES]    SIZES default "1 10 100"
set -eu
build=$(cd "${1:?usage: tool-per-size.sh BUILD_DIR [WORK_DIR] [SIZES]}" && pwd)
work=${2:-$(mktemp -d)}
sizes=${3:-1 10 100}
tarvex=$build/app/tarvex
xmlbench=$build/bench/xml_read_bench
mkdir -p "$work"
cd "$work"

# Elapsed seconds, processor seconds and peak MiB of one command, as "ELAPSED/CPU MiB".
measure() {
    /usr/bin/time -f '%e %U %S %M' -o time.out "$@" >/dev/null || { echo "failed: $*" >&2; exit 1; }
    awk '{ printf "%.2f/%.2f %.0f\n", $1, $2 + $3, $4 / 1024 }' time.out
}

printf '%-6s %-15s %-15s %-15s %-15s %-15s %-10s %-8s\n' size read bare-qt bare-pugixml import update upd/imp model-MB
for mb in $sizes; do
    components=$((mb * 40)); balls=$((mb * 4000))
    board=board$mb.xml; model=board$mb.json
    [ -f "$board" ] || "$tarvex" generate --components "$components" --balls "$balls" -o "$board" -q
    read_=$(measure cat "$board")
    qt=$(measure "$xmlbench" --peak-rss=bare "$board")
    pugi=$(measure "$xmlbench" --peak-rss=bare-pugixml "$board")
    rm -f "$model"
    import=$(measure "$tarvex" import "$board" --model "$model" -q)
    update=$(measure "$tarvex" update "$board" --model "$model" -q)
    # The update's elapsed and processor time, each over the import's.
    ratio=$(echo "$import $update" | tr / ' ' | awk '{ printf "%.2f/%.2f", $4 / $1, $5 / $2 }')
    size=$(stat -c %s "$model" | awk '{ printf "%.1f", $1 / 1e6 }')
    printf '%-6s %-15s %-15s %-15s %-15s %-15s %-10s %-8s\n' "${mb}MB" "$read_" "$qt" "$pugi" "$import" "$update" "$ratio" "$size"
done
