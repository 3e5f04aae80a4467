#!/bin/sh
# SPDX-License-Identifier: ISC
# Runs the examples of the documents given: in a Markdown code block or a
# man page literal display, a line "$ command" is run (with the tool under
# test first on PATH), and what it writes must be exactly the lines that
# follow, up to the next "$ " line or the end of the block. A manual's .Os
# must name the tool's version.
# usage: doc_examples.sh TOOL DOCUMENT...
set -u
# shellcheck source=tests/tool_on_path.sh
. "$(dirname "$0")/tool_on_path.sh"
shift

failures=0
# A manual's footer names the version that the tool reports.
version=$("$work/bin/tivorel" -V | sed -n 's/^tivorel \([^,]*\),.*/\1/p')
for doc in "$@"; do
    os=$(sed -n 's/^\.Os //p' "$doc")
    if [ -n "$os" ] && [ "$os" != "tivorel $version" ]; then
        echo "FAIL: $doc: .Os $os, but the tool is version $version"
        failures=$((failures + 1))
    fi
done
for doc in "$@"; do
    dir=$work/$(basename "$doc")
    mkdir "$dir"
    # Each example becomes N.cmd and N.out; roff escapes are undone in a man page.
    awk -v dir="$dir" '
        function unroff(s) {
            gsub(/\\&/, "", s); gsub(/\\-/, "-", s); gsub(/\\e/, "\\", s)
            return s
        }
        /^```/ { inblock = !inblock; out = ""; next }
        /^\.Bd -literal/ { inblock = 1; roff = 1; out = ""; next }
        /^\.Ed/ { inblock = 0; roff = 0; out = ""; next }
        !inblock { next }
        { line = roff ? unroff($0) : $0 }
        line ~ /^\$ / {
            n++
            print substr(line, 3) > (dir "/" n ".cmd")
            out = dir "/" n ".out"
            printf "" > out
            next
        }
        out != "" { print line > out }
    ' "$doc"
    count=0
    for cmd in "$dir"/*.cmd; do
        [ -f "$cmd" ] || continue
        count=$((count + 1))
        expected=${cmd%.cmd}.out
        (cd "$dir" && PATH="$work/bin:$PATH" sh -c "$(cat "$cmd")") >"$dir/actual" 2>&1
        if ! cmp -s "$expected" "$dir/actual"; then
            echo "FAIL: $doc: \$ $(cat "$cmd")"
            diff -u "$expected" "$dir/actual" | sed 's/$/|/'
            failures=$((failures + 1))
        fi
    done
    if [ "$count" -eq 0 ]; then
        echo "FAIL: $doc shows no example"
        failures=$((failures + 1))
    fi
    echo "$doc: $count examples"
done
[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
