// SPDX-License-Identifier: ISC
// Reads an iCalendar object on standard input with libical, as Evolution and
// KDE read one, and prints each event as --table marks its day: the date and
// the cycle's letter, the one that begins the cycle's name after the last
// ": " of the summary, then what the summary holds between "Critical day"
// and that colon, the person's name after " of " ("2026-12-10 e of Anna").
// A start that is not a whole day joins date and letter with a "T" in place
// of the blank. Exits 1 when libical reports a fault, or the input holds no
// calendar.
#include <libical/ical.h>

#include <cstdio>
#include <cstring>

int main()
{
    static char text[1 << 20];
    text[fread(text, 1, sizeof text - 1, stdin)] = '\0';
    icalcomponent *calendar = icalparser_parse_string(text);
    for (icalcomponent *e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         e != nullptr; e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        icaltimetype day = icalcomponent_get_dtstart(e);
        const char *summary = icalcomponent_get_summary(e);
        const char *colon = strrchr(summary, ':');
        printf("%04d-%02d-%02d%c%c%.*s\n", day.year, day.month, day.day, day.is_date ? ' ' : 'T',
               colon[2], static_cast<int>(colon - summary - 12), summary + 12);
    }
    // The check of RFC 5545's restrictions adds its faults to libical's own.
    return !icalrestriction_check(calendar) || icalcomponent_count_errors(calendar) != 0;
}
