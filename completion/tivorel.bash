# SPDX-License-Identifier: ISC
# bash completion for tivorel(1)

_tivorel()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local word name i
    COMPREPLY=()

    # Options come first: after an operand or "--" there is nothing to offer,
    # and after a help or version option the line is complete.
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        # "=" is in COMP_WORDBREAKS: --name=Anna comes as --name, = and Anna;
        # and --help=1, with a value, is no help option.
        if [[ $word == --?* && ${COMP_WORDS[i + 1]} == = ]]; then
            ((i += 2))
            continue
        fi
        case $word in
        --) return ;;
        --*)
            name=${word#--}
            [[ $name == *=* ]] && continue
            [[ -n $name && ( help == "$name"* || version == "$name"* ) ]] && return
            # The next word is the name, even "-h" or "--".
            [[ -n $name && name == "$name"* ]] && ((i++))
            ;;
        -?*)
            [[ $word == *[hV]* ]] && return
            ;;
        *) return ;;
        esac
    done

    # Past the end: the word being completed is an option's value, free text.
    ((i > COMP_CWORD)) && return
    if [[ $cur == -* ]]; then
        # The words hold no blanks; mapfile would leave out bash 3.2 (macOS).
        # shellcheck disable=SC2207
        COMPREPLY=($(compgen -W '-a -e -h -i -p -V --average --calendar --compatibility --emotional
            --help --intellectual --name --physical --table --version' -- "$cur"))
    fi
}
complete -F _tivorel tivorel
