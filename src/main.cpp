// SPDX-License-Identifier: ISC
// tivorel: prints a biorhythm chart.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "chart.hpp"
#include "date.hpp"
#include "services.hpp"

#ifndef TIVOREL_VERSION
#error "the build defines TIVOREL_VERSION"
#endif

namespace {

const char usageFormat[] =
    "\n"
    "usage: %s [option] date-of-birth first-day-of-plot number-of-days\n"
    "\n"
    "  -a, --average        plot the average of all three curves\n"
    "  -e, --emotional      plot the emotional curve (default)\n"
    "  -h, --help           display this help and exit\n"
    "  -i, --intellectual   plot the intellectual curve (default)\n"
    "  -p, --physical       plot the physical curve (default)\n"
    "  -V, --version        output version information and exit\n"
    "\n"
    "Dates must be specified as YYYY-MM-DD (ISO date format).\n"
    "\n";

enum { maxDays = 500 };

// Writes the usage text to standard output and ends the run with status 0.
[[noreturn]] void printUsage()
{
    printf(usageFormat, msgGetName());
    msgEnd(0);
}

// Writes the version line to standard output and ends the run with status 0.
[[noreturn]] void printVersion()
{
    puts("tivorel " TIVOREL_VERSION ", by Halvark");
    msgEnd(0);
}

// Takes a routine; returns it in the form an option row holds.
void *optionRoutine(void (*routine)())
{
    return reinterpret_cast<void *>(routine);
}

// Reads a day count as atoi does (blanks, one sign, digits; the rest ignored).
// Returns it when in 1..500; any other count, one past the int range included,
// ends the run through msgFatal.
int dayCountFromString(const char *text)
{
    // Counts past 500 are all refused, so reading stops growing at 501: no
    // overflow, whatever the number of digits.
    const char *p = text;
    while (isspace(static_cast<unsigned char>(*p)))
        p++;
    int negative = *p == '-';
    if (*p == '-' || *p == '+')
        p++;
    int count = 0;
    for (; *p >= '0' && *p <= '9'; p++)
        if (count <= maxDays)
            count = count * 10 + (*p - '0');
    if (negative || count < 1 || count > maxDays)
        msgFatal("number of days must be in [1, 500]\n");
    return count;
}

// Takes the four curve flags (non-zero: selected); returns the curve mask,
// physical, emotional and intellectual when none is selected.
int curveMaskFromFlags(int physical, int emotional, int intellectual, int average)
{
    int curveMask = (physical ? chartPhysical : 0) | (emotional ? chartEmotional : 0) |
                    (intellectual ? chartIntellectual : 0) | (average ? chartAverage : 0);
    return curveMask != 0 ? curveMask : chartPhysical | chartEmotional | chartIntellectual;
}

// The run sequence, from the command line to the last row of the chart.
// Returns 0 after a chart; every other end passes through msgEnd.
int runTivorel(int argc, char **argv)
{
    int physical = 0;
    int emotional = 0;
    int intellectual = 0;
    int average = 0;
    int table = 0;
    const OptionEntry options[] = {
        {'h', "help", 1, optionRoutine(printUsage), 1},
        {'a', "average", 1, &average, 0},
        {'e', "emotional", 1, &emotional, 0},
        {'i', "intellectual", 1, &intellectual, 0},
        {'p', "physical", 1, &physical, 0},
        {'V', "version", 1, optionRoutine(printVersion), 1},
        {0, "table", 1, &table, 0},
        {0, nullptr, 0, nullptr, 0},
    };

    msgSetName(argv[0]);
    optParseOptions(&argc, argv, options, 0);
    if (argc != 4)
        printUsage();

    Date birth = dateFromString(argv[1]);
    Date first = dateFromString(argv[2]);
    int days = dayCountFromString(argv[3]);

    int curveMask = curveMaskFromFlags(physical, emotional, intellectual, average);

    if (table) {
        chartPrintTable(birth, first, days, curveMask);
        return 0;
    }
    printf("Day of birth: %s\n", dateToString(birth));
    chartPrint(birth, first, days, curveMask);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    msgBufferOutput();
    atexit(msgCloseStdout);
    return runTivorel(argc, argv);
}
