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
        case $word in
        --) return ;;
        --*)
            name=${word#--}
            [[ $name == *=* ]] && continue
            [[ -n $name && ( help == "$name"* || version == "$name"* ) ]] && return
            ;;
        -?*)
            [[ $word == *[hV]* ]] && return
            ;;
        *) return ;;
        esac
    done

    if [[ $cur == -* ]]; then
        # The words hold no blanks; mapfile would leave out bash 3.2 (macOS).
        # shellcheck disable=SC2207
        COMPREPLY=($(compgen -W '-a -e -h -i -p -V --average --calendar --emotional --help
            --intellectual --physical --table --version' -- "$cur"))
    fi
}
complete -F _tivorel tivorel
