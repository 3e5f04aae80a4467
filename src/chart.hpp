// The biorhythm chart: head, then one row per day with the curves' letters.
#ifndef TIVOREL_CHART_HPP
#define TIVOREL_CHART_HPP

#include "date.hpp"

// Curve bits of a curve mask.
enum { chartPhysical = 1, chartEmotional = 2, chartIntellectual = 4, chartAverage = 8 };

// Takes a curve value in -1..1; returns its strip column, 0..53 (0 gives 27).
int chartColumn(double value);

// Takes valid dates, days (rows, 0..500) and a curve mask (1..15); writes the
// chart head and one row per day, from first on, to standard output.
void chartPrint(Date birth, Date first, int days, int curveMask);

#endif
