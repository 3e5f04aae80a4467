#!/bin/sh
# SPDX-License-Identifier: ISC
# Runs a document's plotting commands (the code block after the line that
# names the picture) with the tool under test, and checks that they draw the
# picture committed beside them, byte for byte.
# usage: doc_plot.sh TOOL DOCUMENT PICTURE
set -u
# shellcheck source=tests/tool_on_path.sh
. "$(dirname "$0")/tool_on_path.sh"
document=$2
picture=$3
name=$(basename "$picture")
awk -v marker="makes doc/$name" '
    index($0, marker) { found = 1; next }
    found && /^```/ { if (inblock) exit; inblock = 1; next }
    inblock { print }
' "$document" >"$work/commands"
if [ ! -s "$work/commands" ]; then
    echo "FAIL: $document shows no commands that make doc/$name"
    exit 1
fi
(cd "$work" && PATH="$work/bin:$PATH" sh ./commands) || exit 1
if ! cmp "$work/$name" "$picture"; then
    echo "FAIL: the commands of $document draw another picture than $picture"
    cp "$work/$name" "$name.new" && echo "their picture: $PWD/$name.new"
    exit 1
fi
# The days the picture marks, its last plot, are the table's critical days:
# the same commands with gnuplot writing its points as text, not a picture.
sed -e "s/^set terminal .*/set table 'points.txt'/" -e '/^set output /d' "$work/commands" \
    >"$work/points"
(cd "$work" && PATH="$work/bin:$PATH" sh ./points) || exit 1
marked=$(awk '/^# Curve / { days = "" } $NF == "i" { days = days " " $1 $2 }
    END { print days }' "$work/points.txt" | tr -d '"')
critical=$(awk -F '\t' 'NR > 1 && $6 != "" { split($1, d, "-")
    days = days " " d[3] substr("JanFebMarAprMayJunJulAugSepOctNovDec", d[2] * 3 - 2, 3) }
    END { print days }' "$work/table.tsv")
if [ "$marked" != "$critical" ]; then
    echo "FAIL: the picture marks$marked; the critical days are$critical"
    exit 1
fi
echo "$picture: drawn anew, the same, marking the$critical"
