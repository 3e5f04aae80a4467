#!/bin/sh
# SPDX-License-Identifier: ISC
# Runs the zsh completion in a real interactive zsh: the line is typed into it
# through a pseudo-terminal (zsh/zpty), TAB runs the completion system, and the
# matches it adds are checked, as is the listing shown to the user.
# usage: completion_zsh.sh /path/to/_tivorel
set -u
if [ $# -ne 1 ] || [ "$(basename "$1")" != _tivorel ] || [ ! -f "$1" ]; then
    echo "usage: $0 /path/to/_tivorel" >&2
    exit 2
fi
# compinit finds completion functions by their folder on fpath.
dir=$(cd "$(dirname "$1")" && pwd) || exit 2
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT
trap 'exit 1' HUP INT TERM

table=$tmp/table
: >"$table"
# expect "CANDIDATES" WORD...: tivorel WORD...<TAB> offers exactly CANDIDATES
expect() {
    want=$1
    shift
    printf 'offers\t%s\t%s\n' "tivorel $*" "$want" >>"$table"
}
# describe OPTION "TEXT" WORD...: the list for tivorel WORD...<TAB> shows
# OPTION with TEXT as its description
describe() {
    option=$1
    text=$2
    shift 2
    printf 'shows\t%s\t%s\t%s\n' "tivorel $*" "$option" "$text" >>"$table"
}

# shellcheck source=tests/completion_cases.sh
. "$(dirname "$0")/completion_cases.sh"

# What the interactive zsh runs before the first line is typed.
cat >"$tmp/setup.zsh" <<'EOF'
fpath=("$TV_DIR" $fpath)
autoload -U compinit
compinit -u -D
# Each word that the completion really adds is also written to the record.
# Calls with -O, -A or -D only ask which words match and add nothing.
compadd() {
    local -a tv_opts=("${@[1,(i)(-|--)]}")
    if (( ${tv_opts[(I)-[OAD]]} )); then
        builtin compadd "$@"
        return
    fi
    builtin compadd "$@"
    local ret=$?
    local -a tv_words
    # -E<n> adds blank list lines even alongside -O: leave it out of the
    # second call, or the list would show them twice.
    builtin compadd -O tv_words "${@:#-E<->}"
    (( $#tv_words )) && print -rl -- $tv_words >>$TV_RECORD
    return ret
}
# TAB completes, makes the list show now, marks the end of what it drew and
# empties the line for the next one.
tv-complete() {
    zle complete-word
    zle -R
    print -rn -- '<<done>>'
    BUFFER= CURSOR=0
}
zle -N tv-complete
bindkey '^I' tv-complete
# The list's layout follows the terminal's size: fix it, wide enough for each
# option and its description to share a line.
stty rows 60 columns 120
PS1='%% '
print -r -- '<<ready>>'
EOF

# Types each line of the table, then checks what the completion did.
cat >"$tmp/drive.zsh" <<'EOF'
zmodload zsh/zpty || exit 1
setopt extended_glob
tmp=$1
export TV_DIR=$2 TV_RECORD=$tmp/record
integer failures=0

# await MARK: reads the pseudo-terminal into $seen until MARK shows; fails
# only when zsh ends without showing it (CTest's timeout bounds a zsh that
# hangs), however long a busy machine keeps it from answering.
await() {
    seen=
    zpty -r -m tv seen "*$1*"
}
fail() {
    print -r -- "FAIL: $*"
    (( failures++ ))
}

# Files to offer, were the completion to fall back to them.
cd $tmp || exit 1
zpty tv TERM=xterm zsh -f -i
zpty -w tv "source ${(q)tmp}/setup.zsh"
if ! await '<<ready>>'; then
    print -r -- "FAIL: the interactive zsh did not start: ${(q+)seen}"
    exit 1
fi

while IFS=$'\t' read -r kind line a b; do
    : >$TV_RECORD
    zpty -w -n tv "$line"$'\t'
    if ! await '<<done>>'; then
        fail "$line<TAB>: zsh did not finish completing: ${(q+)seen}"
        break
    fi
    case $kind in
    (offers)
        got=${(j: :)${(ou)${(f)"$(<$TV_RECORD)"}}}
        want=${(j: :)${(ou)${=a}}}
        [[ $got == $want ]] || fail "$line<TAB>: got '$got', want '$want'"
        ;;
    (shows)
        # The list as it reads on screen, a line each: what follows a
        # terminal control or a carriage return is drawn elsewhere.
        rows=(${(f)seen//($'\e'\[[0-9;?]#[A-Za-z]|$'\r')/$'\n'})
        found=
        for row in $rows; do
            # "--average  -a  -- plot the average ...": names, then the text
            [[ $row == *' -- '* ]] || continue
            if (( ${${=row%% -- *}[(Ie)$a]} )) &&
                [[ ${${row#* -- }%%[[:space:]]#} == $b ]]; then
                found=1
            fi
        done
        [[ -n $found ]] || fail "$line<TAB>: no list line shows $a with '$b'"
        ;;
    esac
done

zpty -d tv
if (( failures )); then
    print -r -- "$failures failed"
    exit 1
fi
print -r -- "zsh completion: all replies as expected"
EOF

zsh -f "$tmp/drive.zsh" "$tmp" "$dir" <"$table"
