#!/bin/sh
# SPDX-License-Identifier: ISC
# Reads the tool's calendars back with libical, through the checker whose
# source is given, built here for this machine, and compares each event's
# day and cycle with the critical days that --table marks for the same
# command line; checks the lines that RFC 5545 asks for (CRLF, at most 75
# octets), that each DTSTAMP follows from its event, not from the clock, and
# that an event is the same text in every range that holds it.
# Skipped where pkg-config finds no libical.
# usage: calendar_test.sh TOOL CHECKER-SOURCE
set -u
pkg-config --exists libical || { echo "libical not found: skipped"; exit 77; }
# shellcheck source=tests/tool_on_path.sh
. "$(dirname "$0")/tool_on_path.sh"
# shellcheck disable=SC2046 # pkg-config's words
c++ -o "$work/read" "$2" $(pkg-config --cflags --libs libical) || exit 1
# Takes a name ('' for none) and a command line's words; reads its calendar
# back and holds it to the table's critical days, its name to the one given.
check() {
    name=$1
    shift
    "$work/bin/tivorel" --calendar ${name:+"--name=$name"} "$@" | tee "$work/ics" | "$work/read" >"$work/got" ||
        { echo "FAIL: ${name:+--name=$name }$*: libical reports a fault"; exit 1; }
    "$work/bin/tivorel" --table "$@" | NAME=${name:+ of $name} awk -F '\t' 'NR > 1 {
        for (i = 1; i <= length($NF); i++) print $1, tolower(substr($NF, i, 1)) ENVIRON["NAME"] }' |
        diff - "$work/got" || { echo "FAIL: ${name:+--name=$name }$*: days or name"; exit 1; }
    # At most 75 octets and a CRLF a line; every DTSTAMP its event's day at 00:00 UTC.
    LC_ALL=C awk '/^DTSTAMP:/ { s = substr($0, 9) } length > 76 || !/\r$/ ||
        /^DTSTART/ && s != substr($0, 20, 8) "T000000Z\r" { exit 1 }' "$work/ics" ||
        { echo "FAIL: ${name:+--name=$name }$*: a line or a DTSTAMP"; exit 1; }
}
# Curve choices, ages before birth, 29 February, 1 and 500 days, the last
# and the first day that a calendar takes; the first is the command guide's.
for args in "1990-05-17 2026-12-09 365" "-p 1990-05-17 2026-12-09 500" "-ei 2000-01-01 1999-11-01 120" \
    "-ia 2003-07-01 2024-02-20 30" "9999-12-31 9999-12-31 1" "65492-03-15 0001-01-01 500"; do
    # shellcheck disable=SC2086 # the words of a command line
    check "" $args
done
# Names kept as written, in every line that folding cuts at another octet:
# 96 to 100 bytes, lengthened by escapes, of characters of 1 to 4 octets.
long='Zoë, J\ürgen; 山田 花子 🎂 Zoë, J\ürgen; 山田 花子 🎂 Zoë, J\ürgen; 山田 花'
for name in 山田 "$long" "x$long" "xx$long" "xxx$long" "xxxx$long"; do
    check "$name" 1990-05-17 2026-12-09 40
done
# Twins, told apart by their names: no UID in common, nor with the calendar
# without a name.
for name in "" Anna Bo; do
    "$work/bin/tivorel" --calendar ${name:+"--name=$name"} 1990-05-17 2026-12-09 365 | grep ^UID >"$work/uid-$name"
done
[ "$(sort "$work"/uid-* | uniq -d)" = "" ] || { echo "FAIL: twins share UIDs"; exit 1; }
# The last 191 days of a year's range: the year's last events, byte for byte.
"$work/bin/tivorel" --calendar 1990-05-17 2027-06-01 191 | sed 1,4d >"$work/part"
"$work/bin/tivorel" --calendar 1990-05-17 2026-12-09 365 | tail -c "$(wc -c <"$work/part")" | cmp - "$work/part"
