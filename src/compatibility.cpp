// SPDX-License-Identifier: ISC
// The compatibility of two people: how their cycles line up. The periods are
// everyone's, so that follows from the days between the two births alone,
// and it is counted in whole days, with no floating point.
#include <cstdio>

#include "chart.hpp"

namespace {

// The days after which all three cycles are where they began: the product
// of the periods 23, 28 and 33, which share no factor.
enum { compatibilitySpan = 23 * 28 * 33 };

// Takes a same-half count and its period; returns its share in percent,
// rounded half up: (100 * count / period + 1/2), in integers.
int compatibilityShare(int count, int period)
{
    return (200 * count + period) / (2 * period);
}

} // namespace

int chartSameHalfCount(int daysApart, int period)
{
    int r = daysApart % period;
    if (r < 0)
        r += period;
    int nearer = r < period - r ? r : period - r;
    return period - 2 * nearer;
}

void chartPrintCompatibility(Date one, Date other, int curveMask)
{
    // At most 23,936,531 days apart, so every figure below fits an int.
    int apart = dateDaysBetween(one, other);
    if (apart < 0)
        apart = -apart;
    char oneText[24];
    snprintf(oneText, sizeof oneText, "%s", dateToIsoString(one));
    printf("Compatibility of %s and %s, %d day%s apart\n", oneText, dateToIsoString(other), apart,
           apart == 1 ? "" : "s");
    // The average's numerator, over 3 * compatibilitySpan: the sum of the
    // three shares count / period, each weighted to that common span.
    int weighted = 0;
    for (int i = 0; i < chartCycleCount; i++) {
        const ChartCurve &cycle = chartCurves[i];
        int count = chartSameHalfCount(apart, cycle.period);
        weighted += count * (compatibilitySpan / cycle.period);
        if (curveMask & cycle.bit)
            printf("%-15s%2d of %2d days in the same half%5d%%\n", cycle.name, count, cycle.period,
                   compatibilityShare(count, cycle.period));
    }
    if (curveMask & chartAverage)
        printf("%-45s%5d%%\n", chartCurves[chartCycleCount].name,
               (200 * weighted + 3 * compatibilitySpan) / (2 * 3 * compatibilitySpan));
}
