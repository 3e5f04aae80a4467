// SPDX-License-Identifier: ISC
// The calendar: the critical days as an iCalendar object (RFC 5545), one
// all-day event for each critical day and cycle, for calendar programs to
// import. Everything in it follows from the command line: no clock.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "chart.hpp"
#include "services.hpp"

namespace {

// RFC 5545 3.1: a content line of more than 75 octets, CRLF not counted, is
// folded by a CRLF and a blank.
enum { calendarLineOctets = 75 };

// The years that calendar programs read in an iCalendar date, whose year has
// four digits.
enum { calendarFirstYear = 1, calendarLastYear = 9999 };

// Takes a content line's name (with its parameters) and value; writes them
// as one content line, the value escaped as RFC 5545 escapes TEXT, folded
// where it would pass 75 octets. The other values hold none of the four
// characters escaped, so that one routine writes every line. Every text
// written is ASCII, so a fold never splits a character; nor does it split an
// escape.
void calendarPutLine(const char *name, const char *value)
{
    printf("%s:", name);
    size_t octets = strlen(name) + 1;
    for (const char *p = value; *p != '\0'; p++) {
        char piece[2] = {*p, '\0'};
        size_t size = 1;
        if (strchr("\\;,\n", *p) != nullptr) {
            piece[0] = '\\';
            piece[1] = *p == '\n' ? 'n' : *p;
            size = 2;
        }
        if (octets + size > calendarLineOctets) {
            fputs("\r\n ", stdout);
            octets = 1;
        }
        fwrite(piece, 1, size, stdout);
        octets += size;
    }
    fputs("\r\n", stdout);
}

// Takes a date of birth; returns the word that stands for it in every UID.
// The date's day count from 2000-01-01, as a 32-bit two's complement word
// (every date the tool reads has its own), goes through two rounds of a
// 16-bit xor-shift and a multiplication by 0x45d9f3b. Each step can be
// undone, so no two dates of birth share a word, yet the word does not read
// as the date. It must never change: the UIDs of files already imported
// depend on it.
uint32_t calendarBirthWord(Date birth)
{
    Date epoch;
    dateMake(epoch, 2000, 1, 1);
    uint32_t word = static_cast<uint32_t>(dateDaysBetween(epoch, birth));
    for (int round = 0; round < 2; round++) {
        word ^= word >> 16;
        word *= UINT32_C(0x45d9f3b);
    }
    return word ^ (word >> 16);
}

// Takes an age and a curve mask; returns the bits of the selected cycles for
// which that day is critical.
int calendarCriticalBits(int age, int curveMask)
{
    int bits = 0;
    for (int i = 0; i < chartCycleCount; i++)
        if ((curveMask & chartCurves[i].bit) && chartIsCritical(age, chartCurves[i].period))
            bits |= chartCurves[i].bit;
    return bits;
}

// Takes a critical day, its cycle and the birth's word; writes the day's
// event, its reminder inside. Its UID names the day, the cycle and the
// birth's word, so it is the same in every file that holds the day; its
// DTSTAMP is the day's start, so the whole event is.
void calendarPutEvent(Date day, const ChartCurve &cycle, uint32_t birthWord)
{
    // Eight digits here; room for any fields' values, as the compiler asks.
    char date[16];
    snprintf(date, sizeof date, "%04d%02d%02d", day.year, day.month, day.day);
    char summary[40];
    snprintf(summary, sizeof summary, "Critical day: %s", cycle.name);
    char text[256];

    calendarPutLine("BEGIN", "VEVENT");
    snprintf(text, sizeof text, "%s-%s-%08" PRIx32 "@tivorel", date, cycle.name, birthWord);
    calendarPutLine("UID", text);
    snprintf(text, sizeof text, "%sT000000Z", date);
    calendarPutLine("DTSTAMP", text);
    // A DATE with no DTEND is one day long (RFC 5545 3.6.1), so even
    // 9999-12-31 needs no end past the years a date can hold.
    calendarPutLine("DTSTART;VALUE=DATE", date);
    calendarPutLine("SUMMARY", summary);
    snprintf(text, sizeof text,
             "The %s cycle, of %d days, is at zero on this day or crosses zero before the "
             "next: the age in days, modulo %d, is 0 or %d.",
             cycle.name, cycle.period, cycle.period, cycle.period / 2);
    calendarPutLine("DESCRIPTION", text);
    calendarPutLine("TRANSP", "TRANSPARENT");
    calendarPutLine("BEGIN", "VALARM");
    calendarPutLine("ACTION", "DISPLAY");
    calendarPutLine("DESCRIPTION", summary);
    // From the day's start, in the day's own time: the morning of the day
    // wherever the calendar is read.
    calendarPutLine("TRIGGER;RELATED=START", "PT9H");
    calendarPutLine("END", "VALARM");
    calendarPutLine("END", "VEVENT");
}

} // namespace

void chartPrintCalendar(Date birth, Date first, int days, int curveMask)
{
    // Every refusal comes before the first byte, so that it leaves standard
    // output empty. Within years 1..9999 no day wraps, so the age of each
    // day is one more than that of the day before.
    int firstAge = dateDaysBetween(birth, first);
    int events = 0;
    Date day = first;
    for (int row = 0; row < days; row++) {
        if (day.year < calendarFirstYear || day.year > calendarLastYear)
            msgFatal(
                "--calendar: %s is outside the years 1 to 9999; choose days from "
                "0001-01-01 to 9999-12-31\n",
                dateToIsoString(day));
        events += calendarCriticalBits(firstAge + row, curveMask) != 0;
        dateNextDay(day);
    }
    if (events == 0)
        msgFatal(
            "--calendar: none of these days is critical for the cycles chosen; give more "
            "days, another first day or other cycles\n");

    calendarPutLine("BEGIN", "VCALENDAR");
    calendarPutLine("VERSION", "2.0");
    calendarPutLine("PRODID", "-//Halvark//tivorel " TIVOREL_VERSION "//EN");
    calendarPutLine("X-WR-CALNAME", "Critical days (tivorel)");
    uint32_t birthWord = calendarBirthWord(birth);
    day = first;
    for (int row = 0; row < days; row++) {
        int bits = calendarCriticalBits(firstAge + row, curveMask);
        for (int i = 0; i < chartCycleCount; i++)
            if (bits & chartCurves[i].bit)
                calendarPutEvent(day, chartCurves[i], birthWord);
        dateNextDay(day);
    }
    calendarPutLine("END", "VCALENDAR");
}
