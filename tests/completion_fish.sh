#!/bin/sh
# SPDX-License-Identifier: ISC
# Asks a real fish, with the given completion loaded, what it offers for
# command lines, and checks the candidates and their descriptions.
# usage: completion_fish.sh /path/to/tivorel.fish
set -u
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 /path/to/tivorel.fish" >&2
    exit 2
fi
file=$(cd "$(dirname "$1")" && pwd)/$(basename "$1") || exit 2
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT
trap 'exit 1' HUP INT TERM
# Files to offer, were the completion to fall back to them.
: >"$tmp/notes.txt"
: >"$tmp/-x.txt"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# fish_completions LINE: fish's completions of LINE, "candidate<TAB>description" each;
# only this file completes tivorel, not some copy installed elsewhere.
fish_completions() {
    # shellcheck disable=SC2016 # $argv is for fish to expand
    (cd "$tmp" && fish --no-config ${features:+--features "$features"} -c '
        set -g fish_complete_path
        source $argv[1]
        complete -C $argv[2]' "$file" "$1")
}
# The words read, sorted, on one line.
set_of() {
    tr ' ' '\n' | sed '/^$/d' | LC_ALL=C sort | paste -s -d ' ' -
}
# expect "CANDIDATES" WORD...: tivorel WORD...<TAB> offers exactly CANDIDATES
expect() {
    want=$(printf "%s\n" "$1" | set_of)
    shift
    got=$(fish_completions "tivorel $*" | cut -f1 | set_of)
    [ "$got" = "$want" ] || fail "${features:+($features) }tivorel $*<TAB>: got '$got', want '$want'"
}
# describe OPTION "TEXT" WORD...: tivorel WORD...<TAB> offers OPTION with
# TEXT as its description
describe() {
    line=$(printf '%s\t%s' "$1" "$2")
    shift 2
    fish_completions "tivorel $*" | grep -Fqx -e "$line" ||
        fail "${features:+($features) }tivorel $*<TAB>: no '$line' offered"
}

# Every case as fish 3 reads it, and with fish 4's qmark-noglob, where '?' is
# no wildcard.
for features in "" qmark-noglob; do
    # shellcheck source=tests/completion_cases.sh
    . "$(dirname "$0")/completion_cases.sh"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "fish completion: all replies as expected"
