// SPDX-License-Identifier: ISC
// The command line as a user meets it: texts, statuses and messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "run_tool.hpp"

namespace {

const std::string usage =
    "\n"
    "usage: tivorel [option] date-of-birth first-day-of-plot number-of-days\n"
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

const std::string version = "tivorel 1.1.4, by Halvark\n";

void expectRun(const RunResult &run, const std::string &out, const std::string &err, int status,
               const std::string &what)
{
    EXPECT_EQ(out, run.out) << what;
    EXPECT_EQ(err, run.err) << what;
    EXPECT_EQ(status, run.status) << what;
}

std::string joined(const std::vector<std::string> &args)
{
    std::string text;
    for (const std::string &arg : args)
        text += "[" + arg + "]";
    return text;
}

TEST(CommandLine, UsageAndVersionEndWithStatusZero)
{
    // clang-format off
    const struct { std::vector<std::string> args; const std::string &out; } cases[] = {
        {{"-h"}, usage},
        {{"--help"}, usage},
        {{"--he"}, usage},
        {{"-ph", "2000-01-01", "2000-01-01", "9"}, usage},
        {{"-h", "x", "y", "z", "w", "v"}, usage},
        {{"-h", "-V"}, usage},
        {{"-h-x"}, usage},
        {{"-V"}, version},
        {{"--version"}, version},
        {{"--vers", "2000-13-01", "bad", "0"}, version},
        {{"-V", "-h"}, version},
        {{}, usage},
        {{"2000-01-01"}, usage},
        {{"2000-01-01", "2000-01-01"}, usage},
        {{"2000-01-01", "2000-01-01", "1", "1"}, usage},
        {{"2000-01-01", "2000-01-01", "1", "-p"}, usage},
        {{"-p", "2000-01-01", "2000-01-01"}, usage},
        {{"--"}, usage},
        {{"--table", "2000-01-01", "2000-01-01"}, usage},
        {{"--table", "-V", "2000-01-01", "2000-01-01", "1"}, version},
        {{"--t", "-h"}, usage},
        {{"--v", "--table"}, version},
        // A comparison takes two dates, no more and no fewer.
        {{"--compatibility", "2000-01-01"}, usage},
        {{"--compatibility", "-p", "2000-01-01", "2000-01-01", "1"}, usage},
        // A name's value is the next word, an option's or an operand's look-alike included.
        {{"--calendar", "--name", "2000-01-01", "2000-01-01", "1"}, usage},
        {{"--calendar", "--name", "-V"}, usage},
    };
    // clang-format on
    for (const auto &c : cases)
        expectRun(runTool(c.args), c.out, "", 0, joined(c.args));
}

// Messages and the usage text name the program as it was called.
TEST(CommandLine, ProgramName)
{
    // clang-format off
    const struct { const char *argv0, *name; } cases[] = {
        {"mychart", "mychart"},          {"/usr/local/bin/mychart", "mychart"},
        {"./\xc3\xa9t", "\xc3\xa9t"}, {"bin/", "tivorel"}, {"", "tivorel"},
    };
    // clang-format on
    for (const auto &c : cases) {
        const std::string name = c.name;
        RunResult help = runTool({"-h"}, runCapture, c.argv0);
        EXPECT_EQ("\nusage: " + name + " [option]", help.out.substr(0, 17 + name.size()))
            << c.argv0;
        expectRun(runTool({"2000-13-01", "2000-01-01", "1"}, runCapture, c.argv0), "",
                  name + ": illegal month in 2000-13-01 (YYYY-MM-DD)\n", 1, c.argv0);
        expectRun(runTool({"-x"}, runCapture, c.argv0), "",
                  name + ": invalid option -- 'x'\nTry '" + name +
                      " --help' for more information.\n",
                  1, c.argv0);
    }
}

TEST(CommandLine, RefusedArguments)
{
    const std::string days = "tivorel: number of days must be in [1, 500]\n";
    // clang-format off
    const struct { std::vector<std::string> args; std::string err; } cases[] = {
        {{"2000-13-01", "2000-01-01", "1"}, "tivorel: illegal month in 2000-13-01 (YYYY-MM-DD)\n"},
        {{"2000-01-32", "2000-01-01", "1"}, "tivorel: illegal day in 2000-01-32 (YYYY-MM-DD)\n"},
        {{"", "2000-01-01", "1"}, "tivorel:  is not on the form YYYY-MM-DD\n"},
        {{"2000-01-01", "20000101", "1"}, "tivorel: 20000101 is not on the form YYYY-MM-DD\n"},
        {{"2000-01-01", "2000-01-01", "0"}, days},
        {{"2000-01-01", "2000-01-01", "501"}, days},
        {{"2000-01-01", "2000-01-01", "abc"}, days},
        {{"2000-01-01", "2000-01-01", "4294967297"}, days},
        {{"2000-01-01", "2000-01-01", "2147483648"}, days},
        {{"2000-01-01", "2000-01-01", "-2147483649"}, days},
        {{"2000-01-01", "2000-01-01", "99999999999999999999"}, days},
        {{"2000-01-01", "2000-01-01", "-5"}, days},
        {{"2000-01-01", "2000-01-01", "5000"}, days},
        {{"2000-01-01", "2000-01-01", "50000"}, days},
        {{"2000-01-01", "2000-01-01", "#5"}, days},
        {{"2000-01-01", "2000-01-01", "!5"}, days},
        {{"2000-01-01", "2000-01-01", "*3"}, days},
        // The year is cut to 16 bits before the day is tested: this is year 100.
        {{"65636-02-29", "2000-01-01", "1"}, "tivorel: illegal day in 65636-02-29 (YYYY-MM-DD)\n"},
        // The date of birth is reported before the first day, a date before the count.
        {{"2000-13-01", "2000-02-30", "0"}, "tivorel: illegal month in 2000-13-01 (YYYY-MM-DD)\n"},
        {{"2000-01-01", "2000-02-30", "0"}, "tivorel: illegal day in 2000-02-30 (YYYY-MM-DD)\n"},
        {{"-p", "x", "2000-01-01", "1"}, "tivorel: x is not on the form YYYY-MM-DD\n"},
        // A lone "-" ends the options and is an operand.
        {{"-", "2000-01-01", "3"}, "tivorel: - is not on the form YYYY-MM-DD\n"},
        // The calendar's own, run as given only: options refused before the
        // operands are read, days after the chart's checks.
        {{"--calendar", "--table"}, "tivorel: --calendar and --table cannot be combined; give only one of them\n"},
        {{"--calendar", "-a", "x"}, "tivorel: --calendar: the average has no critical days; add -p, -e or -i, or leave out -a\n"},
        {{"--calendar", "-i", "1-1-1", "9999-12-31", "2"}, "tivorel: --calendar: 10000-01-01 is outside the years 1 to 9999; choose days from 0001-01-01 to 9999-12-31\n"},
        {{"--calendar", "-e", "2000-01-01", "2000-01-02", "13"}, "tivorel: --calendar: none of these days is critical for the cycles chosen; give more days, another first day or other cycles\n"},
        // A comparison's and a name's, before the operands are counted; the
        // dates as the chart's, the first before the second.
        {{"--compatibility", "--table"}, "tivorel: --compatibility and --table cannot be combined; give only one of them\n"},
        {{"--calendar", "--compatibility", "-p"}, "tivorel: --compatibility and --calendar cannot be combined; give only one of them\n"},
        {{"--compatibility", "--name", "Anna"}, "tivorel: --name goes with --calendar only; add --calendar, or leave out --name\n"},
        {{"--name=Anna", "2000-01-01", "2000-01-01", "1"}, "tivorel: --name goes with --calendar only; add --calendar, or leave out --name\n"},
        {{"--compatibility", "2000-02-30", "2000-13-01"}, "tivorel: illegal day in 2000-02-30 (YYYY-MM-DD)\n"},
        {{"--compatibility", "2000-01-01", "x"}, "tivorel: x is not on the form YYYY-MM-DD\n"},
        {{"--calendar", "--name="}, "tivorel: --name: the name is empty; give one of 1 to 100 bytes\n"},
        {{"--calendar", "--name", std::string(101, 'x')}, "tivorel: --name: the name is longer than 100 bytes; give a shorter one\n"},
        {{"--calendar", "--name", "J\xfcrgen"}, "tivorel: --name: the name is not valid UTF-8; give it as UTF-8 text\n"},
        {{"--calendar", "--name", "\xc0\xaf"}, "tivorel: --name: the name is not valid UTF-8; give it as UTF-8 text\n"},
        {{"--calendar", "--name", "\xed\xa0\x80"}, "tivorel: --name: the name is not valid UTF-8; give it as UTF-8 text\n"},
        {{"--calendar", "--name", "\xe5\xb1"}, "tivorel: --name: the name is not valid UTF-8; give it as UTF-8 text\n"},
        {{"--calendar", "--name", "Anna\tB"}, "tivorel: --name: the name holds a control character; give letters, digits, blanks and signs\n"},
        {{"--calendar", "--name", "Anna\xc2\x9b"}, "tivorel: --name: the name holds a control character; give letters, digits, blanks and signs\n"},
    };
    // clang-format on
    for (const auto &c : cases) {
        expectRun(runTool(c.args), "", c.err, 1, joined(c.args));
        if (c.args[0].compare(0, 2, "--") == 0)
            continue;
        std::vector<std::string> table = c.args;
        table.insert(table.begin(), "--table");
        expectRun(runTool(table), "", c.err, 1, joined(table));
    }
}

TEST(CommandLine, DayCountBoundsAndTails)
{
    // clang-format off
    const struct { const char *count; size_t rows; } cases[] = {
        {"1", 1}, {"500", 500}, {"12abc", 12}, {" +7", 7},
    };
    // clang-format on
    for (const auto &c : cases) {
        RunResult run = runTool({"2000-01-01", "2000-01-01", c.count});
        EXPECT_EQ(0, run.status) << c.count;
        EXPECT_EQ(5 + c.rows, static_cast<size_t>(std::count(run.out.begin(), run.out.end(), '\n')))
            << c.count;
    }
}

TEST(CommandLine, BadOptions)
{
    const std::string hint = "Try 'tivorel --help' for more information.\n";
    // clang-format off
    const struct { std::vector<std::string> args; std::string err; } cases[] = {
        {{"-x"}, "tivorel: invalid option -- 'x'\n"},
        {{"-pz", "2000-01-01", "2000-01-01", "1"}, "tivorel: invalid option -- 'z'\n"},
        {{"-a", "-x"}, "tivorel: invalid option -- 'x'\n"},
        {{"--foo"}, "tivorel: unrecognized option '--foo'\n"},
        {{"--help=1"}, "tivorel: option '--help' doesn't allow an argument\n"},
        {{"--av=2", "2000-01-01", "2000-01-01", "1"},
         "tivorel: option '--average' doesn't allow an argument\n"},
        {{"--=x"}, "tivorel: option '--=x' is ambiguous\n"},
        {{"--c", "2000-01-01", "2000-01-01", "1"}, "tivorel: option '--c' is ambiguous\n"},
        {{"--calendar", "--na"}, "tivorel: option '--name' requires an argument\n"},
        {{"-\x1b"}, "tivorel: invalid option -- '\\x1b'\n"},
        // A control byte, shown escaped, and bytes of 0x80 and above.
        {{"-\x01"}, "tivorel: invalid option -- '\\x01'\n"},
        {{"-\xff", "2000-01-01", "2000-01-01", "1"}, "tivorel: invalid option -- '\xff'\n"},
        {{"-\xc3\xa9", "2000-01-01", "2000-01-01", "1"}, "tivorel: invalid option -- '\xc3'\n"},
        {{"-a\xc3\xa9", "2000-01-01", "2000-01-01", "1"}, "tivorel: invalid option -- '\xc3'\n"},
        // A '-' inside a cluster starts no long option, whatever the C library.
        {{"-a-help", "2000-01-01", "2000-01-01", "1"}, "tivorel: invalid option -- '-'\n"},
    };
    // clang-format on
    for (const auto &c : cases)
        expectRun(runTool(c.args), "", c.err + hint, 1, joined(c.args));
}

// With or without POSIXLY_CORRECT, an option after the first operand is an
// operand: never taken as an option, never moved.
TEST(CommandLine, OptionsEndAtDoubleDashOrTheFirstOperand)
{
    for (const char *posixlyCorrect : {"", "1"}) {
        if (*posixlyCorrect != '\0')
            setenv("POSIXLY_CORRECT", posixlyCorrect, 1);
        RunResult run = runTool({"--", "-44-03-15", "2000-01-01", "1"});
        EXPECT_EQ(0, run.status);
        EXPECT_EQ("Day of birth:   44-03-15\n", run.out.substr(0, run.out.find('\n') + 1));
        expectRun(runTool({"2000-01-01", "-p", "1"}), "",
                  "tivorel: -p is not on the form YYYY-MM-DD\n", 1, posixlyCorrect);
        unsetenv("POSIXLY_CORRECT");
    }
}

TEST(CommandLine, WholeCharts)
{
    // clang-format off
    const std::string ruler(73, '-');
    const std::string head = ruler + "\n" +
                             "YYYY-MM-DD  down                                                up    age\n" +
                             ruler + "\n";
    expectRun(runTool({"-pei", "--av", "2000-01-03", "2000-01-01", "4"}),
              "Day of birth: 2000-01-03\n"
              "[P]hysical   [E]motional   [I]ntellectual   [A]verage\n" + head +
                  "2000-01-01  |            P A I        .                          |     -2\n"
                  "2000-01-02  |                  PAI    .                          |     -1\n"
                  "2000-01-03  |                         .A                         |      0\n"
                  "2000-01-04  |                         .     IAP                  |      1\n",
              "", 0, "all curves");
    expectRun(runTool({"2000/1/1", "2000.01.07", "3"}),
              "Day of birth: 2000-01-01\n"
              "[P]hysical   [E]motional   [I]ntellectual   \n" + head +
                  "2000-01-07  |                         .                        IEP      6\n"
                  "2000-01-08  |                         .                        PIE      7\n"
                  "2000-01-09  |                         .                     P   EI      8\n",
              "", 0, "default curves");
    expectRun(runTool({"-a", "12345-6-7", "12345-06-07", "1"}),
              "Day of birth: 12345-06-07\n"
              "[A]verage\n" + head +
                  "12345-06-0  |                         .A                         |      0\n",
              "", 0, "average alone");
    // clang-format on
}

TEST(Table, Examples)
{
    // clang-format off
    const struct { std::vector<std::string> args; const char *out; } cases[] = {
        {{"2000-01-01", "2000-01-01", "2"},
         "date\tage\tphysical\temotional\tintellectual\tcritical\n"
         "2000-01-01\t0\t0.000000\t0.000000\t0.000000\tPEI\n"
         "2000-01-02\t1\t0.269797\t0.222521\t0.189251\t\n"},
        {{"2000-01-01", "2000-01-12", "2"},
         "date\tage\tphysical\temotional\tintellectual\tcritical\n"
         "2000-01-12\t11\t0.136167\t0.623490\t0.866025\tP\n"
         "2000-01-13\t12\t-0.136167\t0.433884\t0.755750\t\n"},
        // The emotional value at 14 is -4.1e-10: no sign before its zero.
        {{"-e", "2000-01-01", "2000-01-15", "1"},
         "date\tage\temotional\tcritical\n2000-01-15\t14\t0.000000\tE\n"},
        {{"-a", "2000-01-03", "2000-01-01", "2"},
         "date\tage\taverage\tcritical\n"
         "2000-01-01\t-2\t-0.441710\t\n2000-01-02\t-1\t-0.227190\t\n"},
        // The average has no critical days; the cycles not selected show none.
        {{"-pa", "2000-01-01", "2000-01-01", "1"},
         "date\tage\tphysical\taverage\tcritical\n2000-01-01\t0\t0.000000\t0.000000\tP\n"},
        // Years before 1000, before year 0 (65492 is cut to -44, 65535 to -1),
        // 0 and after 9999.
        {{"-i", "2000-01-01", "44-03-15", "1"},
         "date\tage\tintellectual\tcritical\n0044-03-15\t-714340\t0.866025\t\n"},
        {{"-i", "2000-01-01", "65492-03-15", "1"},
         "date\tage\tintellectual\tcritical\n-0044-03-15\t-746482\t0.866025\t\n"},
        {{"-i", "2000-01-01", "65535-12-31", "2"},
         "date\tage\tintellectual\tcritical\n-0001-12-31\t-730486\t0.371662\t\n"
         "0000-01-01\t-730485\t0.540641\t\n"},
        {{"-i", "2000-01-01", "32768-01-01", "1"},
         "date\tage\tintellectual\tcritical\n-32768-01-01\t-12698751\t0.755750\t\n"},
        {{"-i", "2000-01-01", "12345-06-07", "1"},
         "date\tage\tintellectual\tcritical\n12345-06-07\t3778591\t-0.998867\t\n"},
    };
    // clang-format on
    for (const auto &c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "--table");
        expectRun(runTool(args), c.out, "", 0, joined(args));
    }
}

// Ages -33 to 33 span a whole period of each cycle on both sides of birth.
TEST(Table, CriticalDays)
{
    // clang-format off
    const std::map<int, std::string> critical = {
        {-33, "I"}, {-28, "E"}, {-23, "P"}, {-17, "I"},  {-14, "E"}, {-12, "P"}, {0, "PEI"},
        {11, "P"},  {14, "E"},  {16, "I"},  {23, "P"},   {28, "E"},  {33, "I"},
    };
    // clang-format on
    RunResult run = runTool({"--table", "2000-02-03", "2000-01-01", "67"});
    ASSERT_EQ(0, run.status);
    std::istringstream lines(run.out.substr(run.out.find('\n') + 1));
    int age = -33;
    for (std::string line; std::getline(lines, line); age++) {
        auto found = critical.find(age);
        EXPECT_EQ(std::to_string(age), line.substr(11, line.find('\t', 11) - 11));
        EXPECT_EQ(found != critical.end() ? found->second : "", line.substr(line.rfind('\t') + 1))
            << line;
    }
    EXPECT_EQ(34, age);
}

// The report of two dates, their order kept, the lines that the options
// choose; the example with all four lines is the command guide's and the manual's.
// The counts and shares were counted day by day apart from the tool.
TEST(Compatibility, Reports)
{
    const std::string head = "Compatibility of ";
    // clang-format off
    const struct { std::vector<std::string> args; std::string out; } cases[] = {
        {{"-a", "--", "1992-03-04", "1990-05-17"}, head + "1992-03-04 and 1990-05-17, 657 days apart\n"
            "average                                         34%\n"},
        {{"-a", "1990-05-17", "1990-5-17"}, head + "1990-05-17 and 1990-05-17, 0 days apart\n"
            "average                                        100%\n"},
        // Half the emotional period apart: never in the same half of it.
        {{"-ep", "2000-01-01", "2000-01-15"}, head + "2000-01-01 and 2000-01-15, 14 days apart\n"
            "physical        5 of 23 days in the same half   22%\n"
            "emotional       0 of 28 days in the same half    0%\n"},
        {{"-i", "2000-01-01", "2000-01-02"}, head + "2000-01-01 and 2000-01-02, 1 day apart\n"
            "intellectual   31 of 33 days in the same half   94%\n"},
    };
    // clang-format on
    for (const auto &c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "--compatibility");
        expectRun(runTool(args), c.out, "", 0, joined(args));
    }
}

// A name's value in every way it may be given; the last one given counts.
TEST(Calendar, NameGivenAnyWay)
{
    for (std::vector<std::string> args : {std::vector<std::string>{"--name", "-Anna"},
                                          {"--name=-Anna"},
                                          {"--na", "Bo", "--name", "-Anna"},
                                          {"--name=", "--name=-Anna"}}) {
        args.insert(args.begin(), "--calendar");
        args.insert(args.end(), {"-p", "2000-01-01", "2000-01-01", "12"});
        EXPECT_NE(std::string::npos,
                  runTool(args).out.find("SUMMARY:Critical day of -Anna: physical\r\n"))
            << joined(args);
    }
}

} // namespace
