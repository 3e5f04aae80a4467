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

// Writes the usage text to standard output and ends the run with status 0.
[[noreturn]] void printUsage()
{
    printf(usageFormat, msgGetName());
    exit(0);
}

// Writes the version line to standard output and ends the run with status 0.
[[noreturn]] void printVersion()
{
    puts("tivorel " TIVOREL_VERSION ", by Halvark");
    exit(0);
}

// Takes a routine; returns it in the form an option row holds.
void *optionRoutine(void (*routine)())
{
    return reinterpret_cast<void *>(routine);
}

} // namespace

int main(int argc, char **argv)
{
    int physical = 0;
    int emotional = 0;
    int intellectual = 0;
    int average = 0;
    const OptionEntry options[] = {
        {'h', "help", 1, optionRoutine(printUsage), 1},
        {'a', "average", 1, &average, 0},
        {'e', "emotional", 1, &emotional, 0},
        {'i', "intellectual", 1, &intellectual, 0},
        {'p', "physical", 1, &physical, 0},
        {'V', "version", 1, optionRoutine(printVersion), 1},
        {0, nullptr, 0, nullptr, 0},
    };

    msgSetName(argv[0]);
    optParseOptions(&argc, argv, options, 0);
    if (argc != 4)
        printUsage();

    Date birth = dateFromString(argv[1]);
    Date first = dateFromString(argv[2]);
    int days = chartDaysFromString(argv[3]);

    int curveMask = chartCurveMask(physical, emotional, intellectual, average);

    printf("Day of birth: %s\n", dateToString(birth));
    chartPrint(birth, first, days, curveMask);
    return 0;
}
