# SPDX-License-Identifier: ISC
# fish completion for tivorel(1)

# Options come first: after an operand or "--" there is nothing to offer,
# and after a help or version option the line is complete.
function __tivorel_in_options
    # Set when the next word is the name, free text, even "-h" or "--".
    set -l value
    for word in (commandline -opc)[2..-1]
        if set -q value[1]
            set value
            continue
        end
        switch $word
            case --
                return 1
            case '--*'
                # A word like --help=1 is no abbreviation of --help, so it is
                # not help.
                set -l name (string escape --style=regex -- (string sub -s 3 -- $word))
                string match -qr -- "^$name" help version; and return 1
                string match -qr -- "^$name" name; and set value $word
            case '-*'
                # A lone "-" is an operand. (No '?' in the pattern: from
                # fish 4 on, it is a plain question mark.)
                test "$word" = -; and return 1
                string match -qr -- '[hV]' $word; and return 1
            case '*'
                return 1
        end
    end
    not set -q value[1]
end

# The operands are dates: file names are never worth offering.
complete -c tivorel -f
complete -c tivorel -n __tivorel_in_options -s a -l average -d 'plot the average of all three curves'
complete -c tivorel -n __tivorel_in_options -s e -l emotional -d 'plot the emotional curve (default)'
complete -c tivorel -n __tivorel_in_options -s h -l help -d 'display this help and exit'
complete -c tivorel -n __tivorel_in_options -s i -l intellectual -d 'plot the intellectual curve (default)'
complete -c tivorel -n __tivorel_in_options -s p -l physical -d 'plot the physical curve (default)'
complete -c tivorel -n __tivorel_in_options -s V -l version -d 'output version information and exit'
complete -c tivorel -n __tivorel_in_options -l table -d 'print the values as a table instead of the chart'
complete -c tivorel -n __tivorel_in_options -l calendar -d 'write the critical days as an iCalendar file'
complete -c tivorel -n __tivorel_in_options -l compatibility -d 'compare two dates of birth'
complete -c tivorel -n __tivorel_in_options -l name -x -d "put NAME in the calendar's events"
