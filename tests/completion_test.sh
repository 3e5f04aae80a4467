#!/usr/bin/env bash
# SPDX-License-Identifier: ISC
# Runs the bash completion on command lines and checks its replies.
set -u
# shellcheck source=/dev/null
source "$1"

failures=0
if [[ $(complete -p tivorel) != "complete -F _tivorel tivorel" ]]; then
    echo "FAIL: the completion is not registered for tivorel"
    failures=1
fi
# expect "REPLY WORDS" WORD...: completes the last word of the line
expect() {
    local want=$1
    shift
    COMP_WORDS=(tivorel "$@")
    COMP_CWORD=$#
    _tivorel
    local got="${COMPREPLY[*]-}" # bash 3.2 calls an empty array unbound
    if [[ $got != "$want" ]]; then
        echo "FAIL: tivorel $*<TAB>: got '$got', want '$want'"
        failures=$((failures + 1))
    fi
}

expect "--version" --ver
expect "--help" --h
expect "--average" -p --a
expect "--emotional" -pi --e
expect "-a -e -h -i -p -V --average --emotional --help --intellectual --physical --table --version" -
expect "--average --emotional --help --intellectual --physical --table --version" --
expect "--table" -a --t
expect "--intellectual" --int
expect "" -h -
expect "" -V --
expect "" -ph --
expect "" --help --
expect "" --vers -
expect "" --he --a
expect "" 1990-05-17 -
expect "" -- -
expect "" -p ""
expect "--physical" --help=1 --ph

if [[ $failures -ne 0 ]]; then
    echo "$failures failed"
    exit 1
fi
echo "completion: all replies as expected"
