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

// Takes a UTF-8 lead byte or an ASCII byte; returns the length of the
// character it begins, 1 to 4.
size_t calendarCharOctets(unsigned char lead)
{
    return lead < 0xc0 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
}

// Takes a content line's name (with its parameters) and value, valid UTF-8;
// writes them as one content line, the value escaped as RFC 5545 escapes
// TEXT, folded where it would pass 75 octets. The other values hold none of
// the four characters escaped, so that one routine writes every line. A fold
// splits neither a character, whose octets a reader must see together, nor
// an escape.
void calendarPutLine(const char *name, const char *value)
{
    printf("%s:", name);
    size_t octets = strlen(name) + 1;
    for (const char *p = value; *p != '\0';) {
        const char *piece = p;
        size_t size = calendarCharOctets(static_cast<unsigned char>(*p));
        char escape[2] = {'\\', *p == '\n' ? 'n' : *p};
        if (strchr("\\;,\n", *p) != nullptr) {
            piece = escape;
            size = 2;
        }
        if (octets + size > calendarLineOctets) {
            fputs("\r\n ", stdout);
            octets = 1;
        }
        fwrite(piece, 1, size, stdout);
        octets += size;
        p += piece == escape ? 1 : size;
    }
    fputs("\r\n", stdout);
}

// Takes a name, checked by chartCheckName; returns the word that stands for
// it in every UID: its octets' 64-bit FNV-1a hash. Two names a person can
// tell apart get two words, so twins' events never take each other's place,
// and no name's text reaches a UID. It must never change: the UIDs of files
// already imported depend on it.
uint64_t calendarNameWord(const char *name)
{
    uint64_t word = UINT64_C(0xcbf29ce484222325);
    for (const char *p = name; *p != '\0'; p++) {
        word ^= static_cast<unsigned char>(*p);
        word *= UINT64_C(0x100000001b3);
    }
    return word;
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

// Takes a critical day, its cycle, the birth's word and the name, or null
// for none; writes the day's event, its reminder inside. Its UID names the
// day, the cycle, the birth's word and the name's, so it is the same in every
// file that holds the day for that person; its DTSTAMP is the day's start, so
// the whole event is. Without a name, event and UID are as they have always
// been.
void calendarPutEvent(Date day, const ChartCurve &cycle, uint32_t birthWord, const char *name)
{
    // Eight digits here; room for any fields' values, as the compiler asks.
    char date[16];
    snprintf(date, sizeof date, "%04d%02d%02d", day.year, day.month, day.day);
    // A name has at most chartNameOctets octets.
    char summary[chartNameOctets + 64];
    if (name != nullptr)
        snprintf(summary, sizeof summary, "Critical day of %s: %s", name, cycle.name);
    else
        snprintf(summary, sizeof summary, "Critical day: %s", cycle.name);
    char text[256];

    calendarPutLine("BEGIN", "VEVENT");
    int length = snprintf(text, sizeof text, "%s-%s-%08" PRIx32, date, cycle.name, birthWord);
    if (name != nullptr)
        length += snprintf(text + length, sizeof text - static_cast<size_t>(length), "-%016" PRIx64,
                           calendarNameWord(name));
    snprintf(text + length, sizeof text - static_cast<size_t>(length), "@tivorel");
    calendarPutLine("UID", text);
    snprintf(text, sizeof text, "%sT000000Z", date);
    calendarPutLine("DTSTAMP", text);
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

void chartCheckName(const char *name)
{
    size_t octets = strlen(name);
    if (octets == 0)
        msgFatal("--name: the name is empty; give one of 1 to 100 bytes\n");
    if (octets > chartNameOctets)
        msgFatal("--name: the name is longer than 100 bytes; give a shorter one\n");
    const unsigned char *p = reinterpret_cast<const unsigned char *>(name);
    int control = 0;
    while (*p != '\0') {
        // RFC 3629: the shortest form only, no surrogates, nothing past U+10FFFF.
        size_t size = calendarCharOctets(*p);
        uint32_t code = size == 1 ? *p : *p & (0x7fu >> size);
        for (size_t k = 1; k < size; k++) {
            if ((p[k] & 0xc0) != 0x80) {
                size = 0;
                break;
            }
            code = code << 6 | (p[k] & 0x3fu);
        }
        static const uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (size == 0 || (*p >= 0x80 && *p < 0xc2) || *p > 0xf4 || code < smallest[size] ||
            code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            msgFatal("--name: the name is not valid UTF-8; give it as UTF-8 text\n");
        // The C0 and C1 controls and DEL: a tab or line break in a summary
        // breaks the line a calendar shows, and the others act on terminals.
        control |= code < 0x20 || (code >= 0x7f && code < 0xa0);
        p += size;
    }
    if (control)
        msgFatal(
            "--name: the name holds a control character; give letters, digits, blanks and signs\n");
}

void chartPrintCalendar(Date birth, Date first, int days, int curveMask, const char *name)
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
    char calendarName[chartNameOctets + 32];
    if (name != nullptr)
        snprintf(calendarName, sizeof calendarName, "Critical days of %s (tivorel)", name);
    else
        snprintf(calendarName, sizeof calendarName, "Critical days (tivorel)");
    calendarPutLine("X-WR-CALNAME", calendarName);
    uint32_t birthWord = calendarBirthWord(birth);
    day = first;
    for (int row = 0; row < days; row++) {
        int bits = calendarCriticalBits(firstAge + row, curveMask);
        for (int i = 0; i < chartCycleCount; i++)
            if (bits & chartCurves[i].bit)
                calendarPutEvent(day, chartCurves[i], birthWord, name);
        dateNextDay(day);
    }
    calendarPutLine("END", "VCALENDAR");
}
