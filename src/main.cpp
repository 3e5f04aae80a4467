// SPDX-License-Identifier: ISC
// tivorel: prints a biorhythm chart.
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

// Takes the count's text; returns the count when the text reads as 1..500 (as
// strtol reads it: blanks, one sign, digits, the rest ignored); ends the run
// through msgFatal otherwise. strtol saturates where atoi would wrap, so a
// count past the range of long is refused, never taken modulo 2^32.
int dayCountFromString(const char *text)
{
    long count = strtol(text, nullptr, 10);
    if (count < 1 || count > maxDays)
        msgFatal("number of days must be in [1, 500]\n");
    return static_cast<int>(count);
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
    int calendar = 0;
    int compatibility = 0;
    const char *name = nullptr;
    const OptionEntry options[] = {
        {'h', "help", optNoArgument, optionRoutine(printUsage), optCallRoutine},
        {'a', "average", optNoArgument, &average, optSetFlag},
        {'e', "emotional", optNoArgument, &emotional, optSetFlag},
        {'i', "intellectual", optNoArgument, &intellectual, optSetFlag},
        {'p', "physical", optNoArgument, &physical, optSetFlag},
        {'V', "version", optNoArgument, optionRoutine(printVersion), optCallRoutine},
        {0, "table", optNoArgument, &table, optSetFlag},
        {0, "calendar", optNoArgument, &calendar, optSetFlag},
        {0, "compatibility", optNoArgument, &compatibility, optSetFlag},
        {0, "name", optRequiredArgument, &name, optSetText},
        {0, nullptr, 0, nullptr, 0},
    };

    msgSetName(argv[0]);
    optParseOptions(&argc, argv, options, 0);
    int curveMask = curveMaskFromFlags(physical, emotional, intellectual, average);
    // What no operands can make into a calendar or a comparison is refused at
    // once, as a bad option is.
    if (calendar && table)
        msgFatal("--calendar and --table cannot be combined; give only one of them\n");
    if (compatibility && (table || calendar))
        msgFatal("--compatibility and %s cannot be combined; give only one of them\n",
                 table ? "--table" : "--calendar");
    if (name != nullptr && !calendar)
        msgFatal("--name goes with --calendar only; add --calendar, or leave out --name\n");
    if (name != nullptr)
        chartCheckName(name);
    if (calendar && curveMask == chartAverage)
        msgFatal(
            "--calendar: the average has no critical days; "
            "add -p, -e or -i, or leave out -a\n");
    if (compatibility) {
        if (argc != 3)
            printUsage();
        Date one = dateFromString(argv[1]);
        Date other = dateFromString(argv[2]);
        // Without a curve option, every line: the three cycles and the average.
        int chosen = physical || emotional || intellectual || average;
        chartPrintCompatibility(one, other, chosen ? curveMask : curveMask | chartAverage);
        return 0;
    }
    if (argc != 4)
        printUsage();

    Date birth = dateFromString(argv[1]);
    Date first = dateFromString(argv[2]);
    int days = dayCountFromString(argv[3]);

    if (calendar) {
        chartPrintCalendar(birth, first, days, curveMask, name);
        return 0;
    }
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
