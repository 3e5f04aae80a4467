// SPDX-License-Identifier: ISC
// The biorhythm chart.
#include "chart.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>

// Fast math lets the compiler reorder, fuse and approximate the curve
// arithmetic, which moves letters; this holds for every way of building.
#ifdef __FAST_MATH__
#error "tivorel must not be built with fast math (-ffast-math, -Ofast): it needs exact doubles"
#endif

namespace {

struct ChartCurve {
    char letter;
    int bit;
    int period; // days; 0 for the average of the other three
    const char *legend;
    const char *name; // the table's column
};

// The curves in drawing order: a later letter covers an earlier one.
const ChartCurve chartCurves[] = {
    {'P', chartPhysical, 23, "[P]hysical   ", "physical"},
    {'E', chartEmotional, 28, "[E]motional   ", "emotional"},
    {'I', chartIntellectual, 33, "[I]ntellectual   ", "intellectual"},
    {'A', chartAverage, 0, "[A]verage", "average"},
};

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

// Takes an age in days and a period; returns 1 when the cycle is at zero that
// day or crosses zero before the next: with n the age modulo the period in
// 0..period-1, when n is 0 or half the period, rounded down (the emotional
// cycle's 28 days are at zero at 14; the physical 23 cross between 11 and
// 12, the intellectual 33 between 16 and 17). Integers only, so no rounding
// can move a critical day.
int chartIsCritical(int age, int period)
{
    int n = age % period;
    if (n < 0)
        n += period;
    return n == 0 || n == period / 2;
}

} // namespace

void chartValues(int age, double values[4])
{
    for (int i = 0; i < 3; i++)
        values[i] = chartCycleValue(age, chartCurves[i].period);
    values[3] = (values[0] + values[1] + values[2]) / 3.0;
}

int chartFormatValue(double value, char *text)
{
    // printf rounds the exact value of a double, which costs it some 1,900
    // instructions. The product below is one rounding of a number under 2^20,
    // so it lies within 1.2e-10 of the exact |value| * 10^6, and rounding it
    // gives printf's digits unless the exact product may lie on the other
    // side of a half; there, printf itself decides.
    double scaled = fabs(value) * 1e6;
    long units = static_cast<long>(scaled);
    double fraction = scaled - static_cast<double>(units);
    if (fabs(fraction - 0.5) < 1e-9) {
        int length = snprintf(text, 10, "%.6f", value);
        if (strcmp(text, "-0.000000") != 0)
            return length;
        memmove(text, text + 1, static_cast<size_t>(length));
        return length - 1;
    }
    units += fraction > 0.5;
    char *p = text;
    if (value < 0 && units != 0)
        *p++ = '-';
    *p++ = static_cast<char>('0' + units / 1000000);
    *p++ = '.';
    for (long place = 100000; place > 0; place /= 10)
        *p++ = static_cast<char>('0' + units / place % 10);
    *p = '\0';
    return static_cast<int>(p - text);
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
        double values[4];
        chartValues(age, values);
        for (int i = 0; i < 4; i++)
            if (curveMask & chartCurves[i].bit)
                strip[chartColumn(values[i])] = chartCurves[i].letter;

        printf("%-10.10s  %s  %5d\n", label, strip, age);
        dateNextDay(day);
    }
}

void chartPrintTable(Date birth, Date first, int days, int curveMask)
{
    fputs("date\tage", stdout);
    for (const ChartCurve &curve : chartCurves)
        if (curveMask & curve.bit)
            printf("\t%s", curve.name);
    puts("\tcritical");

    Date day = first;
    for (int row = 0; row < days; row++) {
        int age = dateDaysBetween(birth, day);
        double values[4];
        chartValues(age, values);
        // At most 12 + 1 + 9 + 4 * (1 + 9) + 1 + 3 + 1 characters.
        char line[80];
        int length = snprintf(line, sizeof line, "%s\t%d", dateToIsoString(day), age);
        for (int i = 0; i < 4; i++)
            if (curveMask & chartCurves[i].bit) {
                line[length++] = '\t';
                length += chartFormatValue(values[i], line + length);
            }
        line[length++] = '\t';
        for (int i = 0; i < 3; i++)
            if ((curveMask & chartCurves[i].bit) && chartIsCritical(age, chartCurves[i].period))
                line[length++] = chartCurves[i].letter;
        line[length++] = '\n';
        fwrite(line, 1, static_cast<size_t>(length), stdout);
        dateNextDay(day);
    }
}
