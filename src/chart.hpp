// SPDX-License-Identifier: ISC
// The biorhythm chart and its table: the curves, their values, and the two
// ways of printing them (chart.cpp, table.cpp).
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

#endif
