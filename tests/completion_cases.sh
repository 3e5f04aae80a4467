# SPDX-License-Identifier: ISC
# The command lines that each shell's completion test completes, and what
# the completion must offer there. The tests source this after defining:
#   expect "CANDIDATES" WORD...     tivorel WORD...<TAB> offers exactly these
#   describe OPTION "TEXT" WORD...  ... and shows OPTION described as TEXT
# shellcheck shell=sh
expect "-a -e -h -i -p -V --average --calendar --compatibility --emotional --help --intellectual --name --physical --table --version" -
expect "--average --calendar --compatibility --emotional --help --intellectual --name --physical --table --version" --
expect "--calendar --compatibility" --c
expect "--table" --t
expect "--table" -a --t
expect "--version" --ver
expect "--help" --h
expect "--intellectual" --int
expect "--average" -p --a
expect "--emotional" -pi --e
# Nothing after an operand or "--", nor after a help or version option.
expect "" 1990-05-17 -
expect "" - -
expect "" 1990-05-17 2024-01-01 --
expect "" -- -
expect "" -h -
expect "" -V --
expect "" -ph --
expect "" --help --
expect "" --vers -
expect "" --he --a
expect "" -p ""
# A value makes --help=1 no help option.
expect "--physical" --help=1 --ph
# The word after --name (or --na) is the name, whatever it looks like, and
# nothing is offered for it.
expect "-a -e -h -i -p -V --average --calendar --compatibility --emotional --help --intellectual --name --physical --table --version" --name Anna -
expect "--table" --calendar --na -h --t
expect "--average --calendar --compatibility --emotional --help --intellectual --name --physical --table --version" --name=Anna --
expect "" --name -
describe --table "print the values as a table instead of the chart" --
describe -a "plot the average of all three curves" -
describe -V "output version information and exit" -
