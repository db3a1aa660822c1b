# SPDX-License-Identifier: MIT
# bash completion for nessel: commands, each command's options, encoding and
# codec names where an option or argument takes one.

_nessel_encodings() {
    # The registered names, as the installed program lists them.
    nessel encodings 2>/dev/null | cut -f2
}

_nessel() {
    local cur prev cmd i
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}

    if [[ $COMP_CWORD -eq 1 ]]; then
        COMPREPLY=($(compgen -W "to-ace to-unicode nameprep encode decode convert
                                 encodings zones update reg --help --version" -- "$cur"))
        return
    fi
    cmd=${COMP_WORDS[1]}

    case "$cmd:$prev" in
        to-ace:-f | to-ace:--from | to-ace:-a | to-ace:--as | to-unicode:-t | to-unicode:--to)
            COMPREPLY=($(compgen -W "$(_nessel_encodings)" -- "$cur"))
            return ;;
        convert:-f | convert:--from | convert:-t | convert:--to)
            COMPREPLY=($(compgen -W "UTF-8 $(_nessel_encodings)" -- "$cur"))
            return ;;
        to-unicode:-c | to-unicode:--codec)
            COMPREPLY=($(compgen -W "race lace racex dude dudex amc-z" -- "$cur"))
            return ;;
        nameprep:-f | nameprep:--flags)
            COMPREPLY=($(compgen -W "LOCAL_RULES TO_SIMPLIFIED MAP_IDEOGRAPHIC_STOP CHECK_ALLOWED
                                     JAPANESE_PREMAP DELIMITERS ALLOW_UNDERSCORE KOREAN_PREMAP
                                     TO_TRADITIONAL" -- "$cur"))
            return ;;
        *:-p | *:--prefix | *:-s | *:--suffix)
            return ;;
    esac

    local options=""
    case "$cmd" in
        to-ace) options="-f --from -a --as -F --fallback -c --show-codec --help" ;;
        to-unicode) options="-c --codec -t --to -p --prefix --help" ;;
        nameprep) options="-f --flags --help" ;;
        encode | decode)
            if [[ $COMP_CWORD -eq 2 ]]; then
                COMPREPLY=($(compgen -W "$(_nessel_encodings)" -- "$cur"))
                return
            fi
            options="-p --prefix -s --suffix" ;;
        convert) options="-f --from -t --to --help" ;;
        reg)
            if [[ $COMP_CWORD -eq 2 ]]; then
                COMPREPLY=($(compgen -W "list get set delete" -- "$cur"))
            elif [[ ${COMP_WORDS[2]} == set && $COMP_CWORD -eq 6 ]]; then
                COMPREPLY=($(compgen -W "--dword" -- "$cur"))
            fi
            return ;;
        *) return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    fi
}
complete -F _nessel nessel
