// SPDX-License-Identifier: ISC
// Calendar dates: leap rule, month lengths, stepping, text in and out, and the
// day difference between two dates.
#include "date.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "services.hpp"

const int monthDays[13] = {-1, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

namespace {

const char dateSeparators[] = "/-:.";

// The text of the latest dateToString or dateToIsoString call: dateToString's
// "-32768--128--128" is the longest.
char dateText[17];

// Takes two dates; returns 1 when a lies after b, comparing year, month, day.
int dateIsAfter(Date a, Date b)
{
    if (a.year != b.year)
        return a.year > b.year;
    if (a.month != b.month)
        return a.month > b.month;
    return a.day > b.day;
}

} // namespace

void dateMake(Date &date, int year, int month, int day)
{
    date.year = static_cast<int16_t>(year);
    date.month = static_cast<int8_t>(month);
    date.day = static_cast<int8_t>(day);
}

void dateSplit(Date date, int *year, int *month, int *day)
{
    *year = date.year;
    *month = date.month;
    *day = date.day;
}

int dateIsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int dateDaysInMonth(int month, int year)
{
    if (month == 2)
        return 28 + dateIsLeapYear(year);
    return monthDays[month];
}

void dateNextDay(Date &date)
{
    if (date.day < dateDaysInMonth(date.month, date.year)) {
        date.day++;
        return;
    }
    date.day = 1;
    if (date.month > 11) {
        date.month = 1;
        date.year = static_cast<int16_t>(date.year + 1);
    } else {
        date.month++;
    }
}

const char *dateToString(Date date)
{
    snprintf(dateText, sizeof dateText, "%4d-%02d-%02d", date.year, date.month, date.day);
    return dateText;
}

const char *dateToIsoString(Date date)
{
    const char *sign = date.year < 0 ? "-" : "";
    int year = date.year < 0 ? -date.year : date.year;
    snprintf(dateText, sizeof dateText, "%s%04d-%02d-%02d", sign, year, date.month, date.day);
    return dateText;
}

Date dateFromString(const char *text)
{
    // strtok writes into what it splits, so split a copy; messages quote text.
    char *copy = strdup(text);
    if (copy == nullptr)
        msgFatal("out of memory\n");

    const char *part = strtok(copy, dateSeparators);
    if (part == nullptr)
        msgFatal("%s is not on the form YYYY-MM-DD\n", text);
    int year = atoi(part);

    part = strtok(nullptr, dateSeparators);
    if (part == nullptr)
        msgFatal("%s is not on the form YYYY-MM-DD\n", text);
    int month = static_cast<int8_t>(atoi(part));
    if (month < 1 || month > 12)
        msgFatal("illegal month in %s (YYYY-MM-DD)\n", text);

    part = strtok(nullptr, dateSeparators);
    if (part == nullptr)
        msgFatal("%s is not on the form YYYY-MM-DD\n", text);
    int day = static_cast<int8_t>(atoi(part));
    if (day <= 0)
        msgFatal("illegal day in %s (YYYY-MM-DD)\n", text);

    year = static_cast<int16_t>(year);
    if (day > dateDaysInMonth(month, year))
        msgFatal("illegal day in %s (YYYY-MM-DD)\n", text);

    free(copy);
    Date date;
    dateMake(date, year, month, day);
    return date;
}

int dateDaysBetween(Date from, Date to)
{
    int sign = 1;
    if (dateIsAfter(from, to)) {
        Date later = from;
        from = to;
        to = later;
        sign = -1;
    }

    // The whole years between, one by one: up to 65534 of them a call, so the
    // full leap test runs only for the years that 4 divides ((year & 3) == 0
    // holds for negative years too, in two's complement).
    int count = 0;
    for (int year = from.year + 1; year < to.year; year++) {
        count += 365;
        if ((year & 3) == 0)
            count += dateIsLeapYear(year);
    }

    if (from.year == to.year) {
        for (int month = from.month + 1; month < to.month; month++)
            count += dateDaysInMonth(month, from.year);
        if (from.month != to.month)
            count += dateDaysInMonth(from.month, from.year);
        count += to.day - from.day;
    } else {
        count += dateDaysInMonth(from.month, from.year) - from.day;
        for (int month = from.month + 1; month <= 12; month++)
            count += dateDaysInMonth(month, from.year);
        for (int month = 1; month < to.month; month++)
            count += dateDaysInMonth(month, to.year);
        count += to.day;
    }
    return sign * count;
}
