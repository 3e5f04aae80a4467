// SPDX-License-Identifier: ISC
// The biorhythm chart: the curves, their values, and the chart itself.
#include "chart.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>

// Fast math lets the compiler reorder, fuse and approximate the curve
// arithmetic, which moves letters; this holds for every way of building.
#ifdef __FAST_MATH__
#error "tivorel must not be built with fast math (-ffast-math, -Ofast): it needs exact doubles"
#endif

// The curves in drawing order: a later letter covers an earlier one.
const ChartCurve chartCurves[chartCurveCount] = {
    {'P', chartPhysical, 23, "[P]hysical   ", "physical"},
    {'E', chartEmotional, 28, "[E]motional   ", "emotional"},
    {'I', chartIntellectual, 33, "[I]ntellectual   ", "intellectual"},
    {'A', chartAverage, 0, "[A]verage", "average"},
};

namespace {

const char chartRuler[] =
    "-------------------------------------------------------------------------";

// The plot strip before any letter: borders at 0 and 53, "." at 26.
const char chartBlankStrip[] = "|                         .                          |";

enum { chartStripWidth = 54 };

// Takes an age in days (any int) and a period; returns the cycle's value, -1..1.
// Each step is its own double operation, in this order, for the same bytes on
// every machine. The remainder keeps the age's sign, and pi is the chart's own
// ten-digit value, not M_PI: at a zero crossing either change moves a letter.
double chartCycleValue(int age, int period)
{
    double x = age % period;
    x = x + x;
    x = x * 3.141592654;
    x = x / static_cast<double>(period);
    return sin(x);
}

} // namespace

void chartValues(int age, double values[chartCurveCount])
{
    static_assert(chartCycleCount == 3 && chartCurveCount == 4, "the average is of three cycles");
    for (int i = 0; i < chartCycleCount; i++)
        values[i] = chartCycleValue(age, chartCurves[i].period);
    values[chartCycleCount] = (values[0] + values[1] + values[2]) / 3.0;
}

int chartColumn(double value)
{
    double t = value + 1.0;
    t = t * 0.5;
    t = t * 53.0;
    t = t + 0.5;
    return static_cast<int>(floor(t));
}

void chartPrint(Date birth, Date first, int days, int curveMask)
{
    for (const ChartCurve &curve : chartCurves)
        if (curveMask & curve.bit)
            fputs(curve.legend, stdout);
    putchar('\n');
    puts(chartRuler);
    printf("YYYY-MM-DD  down%57s\n", "up    age");
    puts(chartRuler);

    Date day = first;
    for (int row = 0; row < days; row++) {
        char strip[chartStripWidth + 1];
        memcpy(strip, chartBlankStrip, sizeof strip);
        const char *label = dateToString(day);
        int age = dateDaysBetween(birth, day);
        double values[chartCurveCount];
        chartValues(age, values);
        for (int i = 0; i < chartCurveCount; i++)
            if (curveMask & chartCurves[i].bit)
                strip[chartColumn(values[i])] = chartCurves[i].letter;

        printf("%-10.10s  %s  %5d\n", label, strip, age);
        dateNextDay(day);
    }
}
