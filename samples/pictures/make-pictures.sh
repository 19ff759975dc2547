#!/bin/sh
# Makes the pictures of the sample board built into the tool (`tarvex import`): its top and
# side views and its report page.
# Usage: samples/pictures/make-pictures.sh TARVEX   (TARVEX: the built tarvex tool)
set -eu
tarvex=${1:?usage: make-pictures.sh TARVEX}
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tarvex" import --model "$work/board.json" >/dev/null
"$tarvex" render "$work/board.json" --view top -o "$here/board-top.png" >/dev/null
"$tarvex" render "$work/board.json" --view side -o "$here/board-side.png" >/dev/null
"$tarvex" render "$work/board.json" --view top -o "$here/board-top.svg" >/dev/null
"$tarvex" report "$work/board.json" -o "$here/board-report.html" >/dev/null
