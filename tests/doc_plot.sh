#!/bin/sh
# SPDX-License-Identifier: ISC
# Runs the README's plotting commands (the code block after the line that
# names the picture) with the tool under test, and checks that they draw the
# picture committed beside them, byte for byte.
# usage: doc_plot.sh TOOL README PICTURE
set -u
case $1 in
/*) tool=$1 ;;
*) tool=$PWD/$1 ;;
esac
readme=$2
picture=$3
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$tool" "$work/bin/tivorel"
name=$(basename "$picture")
awk -v marker="makes doc/$name" '
    index($0, marker) { found = 1; next }
    found && /^```/ { if (inblock) exit; inblock = 1; next }
    inblock { print }
' "$readme" >"$work/commands"
if [ ! -s "$work/commands" ]; then
    echo "FAIL: $readme shows no commands that make doc/$name"
    exit 1
fi
(cd "$work" && PATH="$work/bin:$PATH" sh ./commands) || exit 1
if ! cmp "$work/$name" "$picture"; then
    echo "FAIL: the README's commands draw another picture than $picture"
    cp "$work/$name" "$name.new" && echo "their picture: $PWD/$name.new"
    exit 1
fi
echo "$picture: drawn anew, the same"
