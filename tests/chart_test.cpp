// SPDX-License-Identifier: ISC
// The chart: exact text of rows and head, letter placement, the day count.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "chart.hpp"

namespace {

Date makeDate(int year, int month, int day)
{
    Date date;
    dateMake(date, year, month, day);
    return date;
}

// Runs chartPrint with standard output sent to a temporary file; returns what
// it wrote.
std::string chartText(Date birth, Date first, int days, int curveMask)
{
    fflush(stdout);
    FILE *sink = tmpfile();
    int saved = dup(1);
    dup2(fileno(sink), 1);
    chartPrint(birth, first, days, curveMask);
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string text;
    rewind(sink);
    for (int c; (c = getc(sink)) != EOF;)
        text += static_cast<char>(c);
    fclose(sink);
    return text;
}

// The rows of a chart, without its four head lines.
std::string chartRows(Date birth, Date first, int days, int curveMask)
{
    std::string text = chartText(birth, first, days, curveMask);
    size_t start = 0;
    for (int line = 0; line < 4; line++)
        start = text.find('\n', start) + 1;
    return text.substr(start);
}

const std::string ruler(73, '-');
const std::string header =
    "YYYY-MM-DD  down                                                up    age\n";

// Single rows, each named for the fault it pins.
TEST(ChartPrint, Rows)
{
    // clang-format off
    const struct { const char *fault; Date birth, first; int mask; const char *row; } cases[] = {
        {"pi taken as M_PI: at age 14, E falls right of the '.'", makeDate(2000, 1, 1),
         makeDate(2000, 1, 15), 2,
         "2000-01-15  |                         E                          |     14\n"},
        {"a remainder below 0 moved up by the period", makeDate(2000, 2, 16), makeDate(2000, 1, 1), 1,
         "2000-01-01  |                         .P                         |    -46\n"},
        {"likewise for the emotional cycle", makeDate(2000, 2, 26), makeDate(2000, 1, 1), 2,
         "2000-01-01  |                         .E                         |    -56\n"},
        {"likewise for the intellectual cycle", makeDate(2000, 3, 7), makeDate(2000, 1, 1), 4,
         "2000-01-01  |                         .I                         |    -66\n"},
        {"E at -1 replaces the left border, A covers I", makeDate(2000, 1, 1), makeDate(2000, 1, 22),
         15, "2000-01-22  E     A      P            .                          |     21\n"},
        {"a six-digit age widens the row", makeDate(1700, 1, 1), makeDate(2000, 1, 1), 7,
         "2000-01-01  |                         .P                   I    E|  109572\n"},
        {"a 12-character date is cut to 10", makeDate(32767, 12, 31), makeDate(-32768, 1, 1), 2,
         "-32768-01-  |         E               .                          |  -23936531\n"},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(c.row, chartRows(c.birth, c.first, 1, c.mask)) << c.fault;
}

TEST(ChartPrint, LegendNamesTheSelectedCurves)
{
    // clang-format off
    const struct { int mask; const char *legend; } cases[] = {
        {9, "[P]hysical   [A]verage"},
        {2, "[E]motional   "},
        {12, "[I]ntellectual   [A]verage"},
    };
    // clang-format on
    for (const auto &c : cases) {
        std::string text = chartText(makeDate(2000, 1, 1), makeDate(2000, 1, 1), 1, c.mask);
        EXPECT_EQ(std::string(c.legend) + "\n", text.substr(0, text.find('\n') + 1)) << c.mask;
    }
}

TEST(ChartPrint, ZeroRowsWritesTheHeadOnly)
{
    EXPECT_EQ("[A]verage\n" + ruler + "\n" + header + ruler + "\n",
              chartText(makeDate(2000, 1, 1), makeDate(2000, 1, 1), 0, 8));
}

// At age 0 every value is 0 and every letter falls on column 27: the last one
// drawn in the order P, E, I, A stays.
TEST(ChartPrint, LaterLetterCoversEarlier)
{
    // clang-format off
    const char expected[16] = {0, 'P', 'E', 'E', 'I', 'I', 'I', 'I',
                               'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A'};
    // clang-format on
    for (int mask = 1; mask <= 15; mask++) {
        std::string row = chartRows(makeDate(2000, 1, 1), makeDate(2000, 1, 1), 1, mask);
        EXPECT_EQ(std::string("|                         .") + expected[mask] +
                      "                         |",
                  row.substr(12, 54))
            << mask;
    }
}

TEST(ChartColumn, EdgesOfTheMapping)
{
    // The negative value nearest 0 that v + 1.0 does not round back up to 1.
    const double below = -0x1p-53;
    // clang-format off
    const struct { double value; int column; } cases[] = {
        {-1.0, 0},          {-52.0 / 53.0 - 1e-9, 0}, {-52.0 / 53.0 + 1e-9, 1},
        {-2.0 / 53.0, 26},  {below, 26},              {0.0, 27}, {-0.0, 27},
        {52.0 / 53.0, 53},  {52.0 / 53.0 - 1e-9, 52}, {1.0, 53},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(c.column, chartColumn(c.value)) << c.value;
}

// printf's "%.6f", without the sign of "-0.000000".
std::string printfValue(double value)
{
    char text[32];
    snprintf(text, sizeof text, "%.6f", value);
    return strcmp(text, "-0.000000") == 0 ? text + 1 : text;
}

std::string formattedValue(double value)
{
    char text[16];
    int length = chartFormatValue(value, text);
    return std::string(text, static_cast<size_t>(length));
}

// Every value the table can hold: those of every age of one whole period of
// all three cycles (23 * 28 * 33 days), on both sides of birth.
TEST(ChartFormatValue, EveryValueOfTheTableAsPrintfWritesIt)
{
    for (int age = -23 * 28 * 33; age <= 23 * 28 * 33; age++) {
        double values[4];
        chartValues(age, values);
        for (double value : values)
            ASSERT_EQ(printfValue(value), formattedValue(value)) << age;
    }
}

// Just outside the band around each half where printf decides, and on exact
// ties (odd multiples of 1/128), which go to the even digit.
TEST(ChartFormatValue, RoundsAsPrintfNearHalves)
{
    for (int units = -1000000; units < 1000000; units += 997)
        for (double offset : {-3e-9, -1.01e-9, 1.01e-9, 3e-9}) {
            double value = (units + 0.5 + offset) / 1e6;
            ASSERT_EQ(printfValue(value), formattedValue(value)) << value;
        }
    for (int odd = -127; odd <= 127; odd += 2)
        ASSERT_EQ(printfValue(odd / 128.0), formattedValue(odd / 128.0)) << odd;
    for (double value : {-1.0, 1.0, 0.0, -0.0, -4e-7, -6e-7})
        ASSERT_EQ(printfValue(value), formattedValue(value)) << value;
}

} // namespace

// Over one whole span of the three cycles, and the same span before it, the
// same-half count of each cycle is the number of days of one period on which
// both ages lie in the same half, counted day by day.
TEST(ChartSameHalfCount, EveryDistanceOfASpanAgainstADailyCount)
{
    const auto upper = [](int age, int period) {
        return 2 * (((age % period) + period) % period) < period;
    };
    for (int apart = -21252; apart < 21252; apart++)
        for (int period : {23, 28, 33}) {
            int count = 0;
            for (int age = 0; age < period; age++)
                count += upper(age, period) == upper(age + apart, period);
            ASSERT_EQ(count, chartSameHalfCount(apart, period))
                << apart << " days, period " << period;
        }
}
