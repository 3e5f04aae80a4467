// SPDX-License-Identifier: ISC
// Calendar dates: the proleptic Gregorian calendar for every year a 16-bit
// field can hold, year 0 and negative years included.
#ifndef TIVOREL_DATE_HPP
#define TIVOREL_DATE_HPP

#include <cstdint>

// A calendar date. Valid when month is 1..12 and day is 1..the month's length.
struct Date {
    int16_t year;
    int8_t month;
    int8_t day;
};

// Month lengths in a common year, indexed by month 1..12; slot 0 (-1) is no month.
extern const int monthDays[13];

// Takes any year, month and day; stores each cut to its field's width, taken as signed.
void dateMake(Date &date, int year, int month, int day);

// Takes any date; writes each field, widened with its sign, to *year, *month and *day.
void dateSplit(Date date, int *year, int *month, int *day);

// Takes any year; returns 1 for a Gregorian leap year, 0 otherwise.
int dateIsLeapYear(int year);

// Takes a month 0..12 and any year; returns its length (month 0 gives -1).
int dateDaysInMonth(int month, int year);

// Takes a valid date; moves it on to the next day in place (32767-12-31 wraps to -32768-01-01).
void dateNextDay(Date &date);

// Takes any date; returns it as "%4d-%02d-%02d" (at most 16 characters) in a
// static buffer that the next call overwrites.
const char *dateToString(Date date);

// Takes any date; returns it as ISO 8601 text, the year in at least four
// digits with a minus sign before year 0 ("-0044-03-15"), in the buffer that
// dateToString uses.
const char *dateToIsoString(Date date);

// Takes a text of year, month and day separated by runs of "/-:."; returns a
// valid date, or ends the run through msgFatal when the text gives none.
Date dateFromString(const char *text);

// Takes two valid dates; returns the signed number of days from from to to,
// at most 23936531 either way.
int dateDaysBetween(Date from, Date to);

#endif
