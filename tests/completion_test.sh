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

# bash shows no descriptions.
describe() { :; }
# shellcheck source=tests/completion_cases.sh
source "$(dirname "$0")/completion_cases.sh"
# What bash really hands over for --help=1 and --name=Anna: "=" is in
# COMP_WORDBREAKS, so it is a word of its own.
expect "--physical" --help = 1 --name = Anna --ph

if [[ $failures -ne 0 ]]; then
    echo "$failures failed"
    exit 1
fi
echo "completion: all replies as expected"
