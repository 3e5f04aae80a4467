// The biorhythm chart: head, then one row per day with the curves' letters.
#ifndef TIVOREL_CHART_HPP
#define TIVOREL_CHART_HPP

#include "date.hpp"

// Curve bits of a curve mask.
enum { chartPhysical = 1, chartEmotional = 2, chartIntellectual = 4, chartAverage = 8 };

// Takes the four curve flags (non-zero: selected); returns the curve mask,
// physical, emotional and intellectual when none is selected.
int chartCurveMask(int physical, int emotional, int intellectual, int average);

// Reads a day count as atoi does (blanks, one sign, digits; the rest ignored).
// Returns it when in 1..500; any other count, one past the int range included,
// ends the run through msgFatal.
int chartDaysFromString(const char *text);

// Takes a curve value in -1..1; returns its strip column, 0..53 (0 gives 27).
int chartColumn(double value);

// Takes valid dates, days (rows, 0..500) and a curve mask (1..15); writes the
// chart head and one row per day, from first on, to standard output.
void chartPrint(Date birth, Date first, int days, int curveMask);

#endif
