// SPDX-License-Identifier: ISC
// The table: the chart's values and critical days, tab-separated.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "chart.hpp"

int chartIsCritical(int age, int period)
{
    // The remainder keeps the age's sign; before birth, move it into 0..period-1.
    int n = age % period;
    if (n < 0)
        n += period;
    return n == 0 || n == period / 2;
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
        double values[chartCurveCount];
        chartValues(age, values);
        // At most 12 + 1 + 9 + 4 * (1 + 9) + 1 + 3 + 1 characters.
        char line[80];
        int length = snprintf(line, sizeof line, "%s\t%d", dateToIsoString(day), age);
        for (int i = 0; i < chartCurveCount; i++)
            if (curveMask & chartCurves[i].bit) {
                line[length++] = '\t';
                length += chartFormatValue(values[i], line + length);
            }
        line[length++] = '\t';
        for (int i = 0; i < chartCycleCount; i++)
            if ((curveMask & chartCurves[i].bit) && chartIsCritical(age, chartCurves[i].period))
                line[length++] = chartCurves[i].letter;
        line[length++] = '\n';
        fwrite(line, 1, static_cast<size_t>(length), stdout);
        dateNextDay(day);
    }
}
