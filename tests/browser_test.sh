#!/bin/sh
# SPDX-License-Identifier: ISC
# Opens the page from disk in headless Chromium, the inputs in its address,
# and checks that it shows what the tool prints for them: the command line,
# the chart, the table shown and saved, a plot of the curves in the table
# with its critical days and today; or, for a refused input, the tool's
# message under the field it concerns and no chart. The page draws before
# its script ends, so the DOM that Chromium dumps once it has loaded the page
# holds what the page shows.
# usage: browser_test.sh TOOL PAGE
set -u
# shellcheck source=tests/tool_on_path.sh
. "$(dirname "$0")/tool_on_path.sh"
PATH=$work/bin:$PATH
case $2 in
/*) page=$2 ;;
*) page=$PWD/$2 ;;
esac
if [ ! -f "$page" ]; then
    echo "$page not found (the emcmake build makes it): skipped"
    exit 77
fi
failures=0

fail() {
    echo "FAIL: $name: $*"
    failures=$((failures + 1))
}

# open FRAGMENT: dumps the DOM of the page opened with FRAGMENT in its
# address to $work/dom.
open_page() {
    if ! chromium --headless --no-sandbox --disable-gpu --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$work/profile" --dump-dom "file://$page#$1" \
        >"$work/dom" 2>"$work/chromium.log"; then
        cat "$work/chromium.log"
        fail "chromium failed"
    fi
}

# text ID: the text in the dumped DOM's element whose id is ID, which holds
# text alone, its character references decoded.
text() {
    awk -v id="$1" '
        { dom = dom $0 "\n" }
        END {
            rest = substr(dom, index(dom, "id=\"" id "\""))
            rest = substr(rest, index(rest, ">") + 1)
            rest = substr(rest, 1, index(rest, "</") - 1)
            gsub(/&lt;/, "<", rest)
            gsub(/&gt;/, ">", rest)
            gsub(/&amp;/, "\\&", rest)
            printf "%s", rest
        }' "$work/dom"
}

# attribute ID NAME: the value of the attribute NAME that follows the id
# ID in its element's tag, in the dumped DOM.
attribute() {
    awk -v id="$1" -v name="$2" '
        { dom = dom $0 "\n" }
        END {
            tag = substr(dom, index(dom, "id=\"" id "\""))
            tag = substr(tag, 1, index(tag, ">"))
            start = index(tag, " " name "=\"")
            if (start == 0)
                exit
            value = substr(tag, start + length(name) + 3)
            printf "%s", substr(value, 1, index(value, "\"") - 1)
        }' "$work/dom"
}

# same WHAT EXPECTED ACTUAL: the two files hold the same bytes.
same() {
    if ! cmp -s "$2" "$3"; then
        fail "$1 is not the tool's"
        diff "$2" "$3" | head -n 10
    fi
}

# The x of each day on the plot, from its first curve, one a line.
plot_xs() {
    grep -o '<polyline class="curve [a-z]*" points="[^"]*"' "$work/dom" | head -n 1 |
        sed 's/.*points="//; s/"$//' | tr ' ' '\n' | cut -d , -f 1
}

# The marks of the critical days, "DATE cycle x" a line: those the table's
# critical column asks for, on the day's x; and those the plot shows.
critical_days() {
    awk -F '\t' 'NR == FNR { x[FNR] = $0; next }
        FNR > 1 {
            split("P physical E emotional I intellectual", cycle, " ")
            for (i = 1; i <= length($NF); i++)
                for (c = 1; c <= 5; c += 2)
                    if (substr($NF, i, 1) == cycle[c])
                        print $1, cycle[c + 1], x[FNR - 1]
        }' "$work/xs" "$work/table"
}
critical_marks() {
    grep -o '<circle class="critical [a-z]*" cx="[^"]*"[^>]*><title>[^<:]*:' "$work/dom" |
        sed 's/<circle class="critical \([a-z]*\)" cx="\([^"]*\)".*<title>\(.*\):/\3 \1 \2/'
}

# day_x DATE: the x of DATE on the plot; nothing where DATE is not in the table.
day_x() {
    row=$(cut -f 1 "$work/table" | grep -nxF "$1" | cut -d : -f 1)
    [ -z "$row" ] || sed -n "$((row - 1))p" "$work/xs"
}

# check_chart ARGS: the page shows the command line, the chart, the table,
# the saved table and the plot that the tool's ARGS make, and no message.
# Today is $before or $after, the dates taken before and after the page ran.
check_chart() {
    # shellcheck disable=SC2086 # the arguments' words
    tivorel $1 >"$work/chart"
    # shellcheck disable=SC2086
    tivorel --table $1 >"$work/table"
    [ "$(text command)" = "tivorel $1" ] || fail "command line '$(text command)'"
    text chart >"$work/shown"
    same chart "$work/chart" "$work/shown"
    text table >"$work/shown"
    same table "$work/table" "$work/shown"
    [ "$(attribute save download)" = tivorel.tsv ] || fail "saves as '$(attribute save download)'"
    attribute save href | sed 's/^data:text\/tab-separated-values;base64,//' | base64 -d >"$work/shown"
    same "saved table" "$work/table" "$work/shown"
    for field in birth first days; do
        [ -z "$(text "$field-msg")" ] || fail "a message under $field: $(text "$field-msg")"
    done
    # The curves plotted, in the table's order, and a mark on each critical day.
    head -n 1 "$work/table" | tr '\t' '\n' | sed '1,2d;$d' >"$work/expected"
    grep -o '<polyline class="curve [a-z]*"' "$work/dom" | sed 's/.* //; s/"//' >"$work/shown"
    same "plot's curves" "$work/expected" "$work/shown"
    plot_xs >"$work/xs"
    critical_days >"$work/expected"
    critical_marks >"$work/shown"
    same "plot's critical days" "$work/expected" "$work/shown"
    # A line at today's x, or none where today is not in the table.
    line_x=$(grep -o '<line class="today" x1="[^"]*"' "$work/dom" | head -n 1 |
        sed 's/.*x1="//; s/"$//')
    [ "$line_x" = "$(day_x "$before")" ] || [ "$line_x" = "$(day_x "$after")" ] ||
        fail "a line at today at x '$line_x'; today, $before, at '$(day_x "$before")'"
}

# check_refusal ARGS FIELD: the page shows the command line and the tool's
# message for ARGS under FIELD alone, and no chart, table or plot.
check_refusal() {
    # shellcheck disable=SC2086
    if tivorel $1 >/dev/null 2>"$work/message"; then
        fail "the tool takes what the case says it refuses"
    fi
    [ "$(text command)" = "tivorel $1" ] || fail "command line '$(text command)'"
    for field in birth first days; do
        text "$field-msg" >"$work/shown"
        if [ "$field" = "$2" ]; then
            same "message under $field" "$work/message" "$work/shown"
        elif [ -s "$work/shown" ]; then
            fail "a message under $field: $(cat "$work/shown")"
        fi
    done
    [ -z "$(text chart)$(text table)" ] || fail "a chart or a table beside the message"
    ! grep -q '<polyline' "$work/dom" || fail "a plot beside the message"
}

# The cases: the page's address after '#', the tool's arguments, and the
# field the tool refuses, or - for none. Years outside 1 to 9999 are written
# as the tool reads them: 32768 is year -32768 (a 16-bit year), 65000 year
# -536. "-5-1-1" is year 5 (the '-' is a separator) as long as the page keeps
# the tool from taking it for options.
while IFS='|' read -r fragment args field; do
    name="#$fragment"
    before=$(date +%F)
    open_page "$fragment"
    after=$(date +%F)
    if [ "$field" = - ]; then
        check_chart "$args"
    else
        check_refusal "$args" "$field"
    fi
done <<'CASES'
birth=1990-05-17&first=2026-12-09&days=31|-- 1990-05-17 2026-12-09 31|-
birth=1990-05-17&first=2026-12-09&days=31&curves=pa|-pa -- 1990-05-17 2026-12-09 31|-
birth=1990-05-17&first=2026-11-20&days=62&curves=ei|-ei -- 1990-05-17 2026-11-20 62|-
birth=-5-1-1&first=65000-6-1&days=1&curves=a|-a -- -5-1-1 65000-6-1 1|-
birth=32768-01-01&first=32767-01-01&days=500&curves=peia|-peia -- 32768-01-01 32767-01-01 500|-
birth=2000%2F1%2F5&first=10000-2-29&days=40&curves=e|-e -- 2000/1/5 10000-2-29 40|-
birth=2000-13-01&first=2000-13-01&days=31|-- 2000-13-01 2000-13-01 31|birth
birth=1990-05-17&first=2026-02-29&days=31&curves=i|-i -- 1990-05-17 2026-02-29 31|first
birth=1990-05-17&first=2026-12-09&days=501|-- 1990-05-17 2026-12-09 501|days
CASES

# Only the date of birth in the address: 31 days from today, in the time zone
# the page runs in, taken here before and after the page ran. In one zone or
# the other, today is another day than in UTC, at any hour.
for TZ in Pacific/Kiritimati Etc/GMT+12; do
    export TZ
    name="defaults, TZ=$TZ"
    before=$(date +%F)
    open_page "birth=1990-05-17"
    after=$(date +%F)
    shown=$(text command)
    if [ "$shown" = "tivorel -- 1990-05-17 $before 31" ]; then
        check_chart "-- 1990-05-17 $before 31"
    elif [ "$shown" = "tivorel -- 1990-05-17 $after 31" ]; then
        check_chart "-- 1990-05-17 $after 31"
    else
        fail "command line '$shown', not 'tivorel -- 1990-05-17 TODAY 31' ($before or $after)"
    fi
done

# The promise that nothing leaves the reader's machine: the policy the page
# carries forbids every request.
name="policy"
grep -q "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; connect-src 'none';" \
    "$work/dom" || fail "the page carries no policy that forbids every request"

if [ "$failures" -ne 0 ]; then
    echo "$failures failures"
    exit 1
fi
echo "the page shows what the tool prints"
