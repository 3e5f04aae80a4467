// SPDX-License-Identifier: ISC
// The biorhythm chart, its table and its calendar: the curves, their values,
// and the three ways of printing them (chart.cpp, table.cpp, calendar.cpp);
// and how two people's cycles line up (compatibility.cpp).
#ifndef TIVOREL_CHART_HPP
#define TIVOREL_CHART_HPP

#include "date.hpp"

// Curve bits of a curve mask.
enum { chartPhysical = 1, chartEmotional = 2, chartIntellectual = 4, chartAverage = 8 };

// The cycles, and the curves: the cycles and their average.
enum { chartCycleCount = 3, chartCurveCount = 4 };

// A curve: its letter, its bit in a curve mask, its period in days (0 for the
// average), its legend in the chart and its column's name in the table.
struct ChartCurve {
    char letter;
    int bit;
    int period;
    const char *legend;
    const char *name;
};

// The curves in drawing order, the cycles first.
extern const ChartCurve chartCurves[chartCurveCount];

// Takes an age in days (any int); fills values with the physical, emotional
// and intellectual values, -1..1, and their average, the mean of all three.
void chartValues(int age, double values[chartCurveCount]);

// Takes an age in days (any int) and a cycle's period; returns 1 when the
// cycle is at zero that day or crosses zero before the next: with n the age
// modulo the period in 0..period-1, when n is 0 or half the period, rounded
// down (the emotional cycle's 28 days are at zero at 14; the physical 23
// cross between 11 and 12, the intellectual 33 between 16 and 17). Integers
// only, so no rounding can move a critical day.
int chartIsCritical(int age, int period);

// Takes a curve value in -1..1 and room for 10 bytes; writes the value as
// printf's "%.6f" does, but "0.000000" where that gives "-0.000000"; returns
// the length written.
int chartFormatValue(double value, char *text);

// Takes a curve value in -1..1; returns its strip column, 0..53 (0 gives 27).
int chartColumn(double value);

// Takes valid dates, days (rows, 0..500) and a curve mask (1..15); writes the
// chart head and one row per day, from first on, to standard output.
void chartPrint(Date birth, Date first, int days, int curveMask);

// Takes the same as chartPrint; writes, tab-separated, a header line and one
// line per day: the date as ISO 8601, the age, the selected curves' values
// with six decimals, and the letters of the cycles critical that day.
void chartPrintTable(Date birth, Date first, int days, int curveMask);

// The most octets a calendar's name may have.
enum { chartNameOctets = 100 };

// Takes a name for the calendar; returns when it is 1..100 octets of UTF-8
// without a control character; ends the run through msgFatal, naming the
// fault, otherwise.
void chartCheckName(const char *name);

// Takes the same as chartPrint and a name checked by chartCheckName, or null;
// writes an iCalendar (RFC 5545) object with one all-day event, reminder
// inside, for each day and cycle selected that chartIsCritical marks, the
// name in each event's summary and in the calendar's. Ends the run through
// msgFatal, before any output, when a day lies outside the years 1..9999 or
// no event would be written.
void chartPrintCalendar(Date birth, Date first, int days, int curveMask, const char *name);

// Takes the days between two dates of birth (any int) and a cycle's period;
// returns the cycle's same-half count: on how many days of one period both
// ages lie in the same half of the cycle, the upper half being the days n
// with 2n < period, n the age modulo the period from 0 up. It is
// period - 2 * min(r, period - r), r the days modulo the period.
int chartSameHalfCount(int daysApart, int period);

// Takes two valid dates of birth and a curve mask (1..15); writes the
// compatibility report: a head line, then for each cycle selected its
// same-half count and share, and for the average bit the mean share of all
// three cycles, each rounded half up in integers.
void chartPrintCompatibility(Date one, Date other, int curveMask);

#endif
