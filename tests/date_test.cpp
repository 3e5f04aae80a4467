// SPDX-License-Identifier: ISC
// Calendar: leap rule, month lengths, stepping, text in and out, day difference.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

#include "date.hpp"

#ifdef __SANITIZE_ADDRESS__
#define UNDER_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_ADDRESS_SANITIZER
#endif
#endif

namespace {

Date makeDate(int year, int month, int day)
{
    Date date;
    dateMake(date, year, month, day);
    return date;
}

std::string fields(Date date)
{
    int year, month, day;
    dateSplit(date, &year, &month, &day);
    return std::to_string(year) + "/" + std::to_string(month) + "/" + std::to_string(day);
}

// Days since 1970-01-01 in the proleptic Gregorian calendar: Howard Hinnant's
// days_from_civil ("chrono-Compatible Low-Level Date Algorithms"), which shares
// nothing with the tool's walk (eras of 400 years, years that begin in March).
long dayNumber(int year, int month, int day)
{
    long y = year - (month <= 2);
    long era = (y >= 0 ? y : y - 399) / 400;
    long yearOfEra = y - era * 400;
    long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

long dayNumber(Date date)
{
    return dayNumber(date.year, date.month, date.day);
}

// Every day a Date can hold: each step lands on a valid date one day later.
TEST(DateNextDay, SweepsTheWholeRangeOneDayAtATime)
{
    Date date = makeDate(-32768, 1, 1);
    long steps = 0;
    do {
        Date before = date;
        dateNextDay(date);
        steps++;
        ASSERT_TRUE(date.month >= 1 && date.month <= 12) << fields(date);
        ASSERT_TRUE(date.day >= 1 && date.day <= dateDaysInMonth(date.month, date.year))
            << fields(date);
        if (before.year != 32767 || date.year != -32768) {
            ASSERT_EQ(dayNumber(before) + 1, dayNumber(date)) << fields(before);
        }
    } while (date.year != -32768 || date.month != 1 || date.day != 1);
    EXPECT_EQ(dayNumber(32767, 12, 31) - dayNumber(-32768, 1, 1) + 1, steps);
}

TEST(DateMake, CutsEachFieldToItsWidth)
{
    // clang-format off
    const struct { int year, month, day; const char *stored; } cases[] = {
        {70000, 1, 1, "4464/1/1"},   {2000, 1, 200, "2000/1/-56"}, {65536, 257, 287, "0/1/31"},
        {32768, 140, 256, "-32768/-116/0"}, {-1, -1, -1, "-1/-1/-1"},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(c.stored, fields(makeDate(c.year, c.month, c.day)));
}

TEST(DateToString, EveryWidth)
{
    // clang-format off
    const struct { Date date; const char *text; } cases[] = {
        {makeDate(2000, 1, 5), "2000-01-05"},    {makeDate(5, 1, 5), "   5-01-05"},
        {makeDate(0, 1, 5), "   0-01-05"},       {makeDate(-44, 3, 15), " -44-03-15"},
        {makeDate(-999, 12, 31), "-999-12-31"},  {makeDate(9999, 12, 31), "9999-12-31"},
        {makeDate(12345, 6, 7), "12345-06-07"},  {makeDate(-9999, 1, 1), "-9999-01-01"},
        {makeDate(-32768, 12, 31), "-32768-12-31"},
        {makeDate(-32768, -128, -128), "-32768--128--128"},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_STREQ(c.text, dateToString(c.date));
}

TEST(DateFromString, AcceptedForms)
{
    // clang-format off
    const struct { const char *text, *date; } cases[] = {
        {"2000-01-05", "2000/1/5"},     {"2000/1/5", "2000/1/5"},       {"2000.01.05", "2000/1/5"},
        {"2000:1:5", "2000/1/5"},       {"2000-1/5", "2000/1/5"},       {"--2000//01..05", "2000/1/5"},
        {"-44-03-15", "44/3/15"},       {"2000-01-05-17", "2000/1/5"},  {"2000-01-05:12:30", "2000/1/5"},
        {"2000-01-05T12", "2000/1/5"},  {"2000x-01y-05z", "2000/1/5"},  {"2000- 01- +05", "2000/1/5"},
        {"2000-001-0005", "2000/1/5"},  {"12345-6-7", "12345/6/7"},     {"abcd-01-05", "0/1/5"},
        {"2000-02-29", "2000/2/29"},    {"2004-02-29", "2004/2/29"},    {"0-02-29", "0/2/29"},
        {"2000-01-31", "2000/1/31"},    {"2000-257-1", "2000/1/1"},     {"2000-268-1", "2000/12/1"},
        {"2000-01-287", "2000/1/31"},   {"65536-1-1", "0/1/1"},         {"32768-1-1", "-32768/1/1"},
        {"99999-1-1", "-31073/1/1"},    {"67536-02-29", "2000/2/29"},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(c.date, fields(dateFromString(c.text))) << c.text;
}

TEST(DateFromString, LeavesTheCallersTextWhole)
{
    char text[] = "2000-01-05";
    dateFromString(text);
    EXPECT_STREQ("2000-01-05", text);
}

TEST(DateFromStringDeathTest, RefusedForms)
{
    // clang-format off
    const struct { const char *text, *message; } cases[] = {
        {"", " is not on the form YYYY-MM-DD"}, {"--//", "--// is not on the form YYYY-MM-DD"},
        {"20000105", "20000105 is not on the form YYYY-MM-DD"},
        {"2000 01 05", "2000 01 05 is not on the form YYYY-MM-DD"},
        {"2000--05", "2000--05 is not on the form YYYY-MM-DD"},
        {"2000-12", "2000-12 is not on the form YYYY-MM-DD"},
        {"2000-01-", "2000-01- is not on the form YYYY-MM-DD"},
        {"2000-13", "illegal month in 2000-13 (YYYY-MM-DD)"},
        {"2000-00-10", "illegal month in 2000-00-10 (YYYY-MM-DD)"},
        {"2000-x-10", "illegal month in 2000-x-10 (YYYY-MM-DD)"},
        {"2000-256-10", "illegal month in 2000-256-10 (YYYY-MM-DD)"},
        {"2000-140-10", "illegal month in 2000-140-10 (YYYY-MM-DD)"},
        {"1900-02-29", "illegal day in 1900-02-29 (YYYY-MM-DD)"},
        {"2001-02-29", "illegal day in 2001-02-29 (YYYY-MM-DD)"},
        {"2000-02-30", "illegal day in 2000-02-30 (YYYY-MM-DD)"},
        {"2000-04-31", "illegal day in 2000-04-31 (YYYY-MM-DD)"},
        {"2000-01-00", "illegal day in 2000-01-00 (YYYY-MM-DD)"},
        {"2000-01-x", "illegal day in 2000-01-x (YYYY-MM-DD)"},
        {"2000-01-256", "illegal day in 2000-01-256 (YYYY-MM-DD)"},
        {"2000-01-200", "illegal day in 2000-01-200 (YYYY-MM-DD)"},
        {"65537-02-29", "illegal day in 65537-02-29 (YYYY-MM-DD)"},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EXIT(dateFromString(c.text), testing::ExitedWithCode(1),
                    testing::Eq(std::string("tivorel: ") + c.message + "\n"))
            << c.text;
}

// No memory for the private copy of the text: the message, not a crash. The
// address space is limited to what the process holds, plus half the text.
TEST(DateFromStringDeathTest, OutOfMemory)
{
#ifdef UNDER_ADDRESS_SANITIZER
    GTEST_SKIP() << "the sanitizer's allocator ends a failed allocation itself";
#endif
    const char *emulator = getenv("TIVOREL_TEST_EMULATOR");
    if (emulator != nullptr && *emulator != '\0')
        GTEST_SKIP() << "qemu-user accepts an address space limit but does not apply it";
    FILE *statm = fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        GTEST_SKIP() << "no /proc/self/statm to measure the address space";
    fclose(statm);
    const size_t size = 64 << 20;
    std::string text(size, '7');
    text += "-01-01";
    EXPECT_EXIT(
        {
            unsigned long pages = 0;
            FILE *file = fopen("/proc/self/statm", "r");
            if (file == nullptr || fscanf(file, "%lu", &pages) != 1)
                abort();
            fclose(file);
            rlimit limit;
            getrlimit(RLIMIT_AS, &limit);
            limit.rlim_cur = pages * static_cast<unsigned long>(sysconf(_SC_PAGESIZE)) + size / 2;
            setrlimit(RLIMIT_AS, &limit);
            dateFromString(text.c_str());
        },
        testing::ExitedWithCode(1), testing::Eq("tivorel: out of memory\n"));
}

TEST(DateDaysBetween, KnownSpans)
{
    // clang-format off
    const struct { int from[3], to[3], days; } cases[] = {
        {{2000, 6, 15}, {2000, 6, 15}, 0}, {{1999, 12, 31}, {2000, 1, 1}, 1},
        {{2000, 1, 1}, {1999, 12, 31}, -1}, {{2000, 2, 28}, {2000, 3, 1}, 2},
        {{2400, 2, 28}, {2400, 3, 1}, 2}, {{2001, 2, 28}, {2001, 3, 1}, 1},
        {{1900, 2, 28}, {1900, 3, 1}, 1}, {{2100, 2, 28}, {2100, 3, 1}, 1},
        {{2000, 1, 31}, {2000, 3, 1}, 30}, {{2000, 3, 15}, {2000, 3, 10}, -5},
        {{2000, 1, 1}, {2000, 12, 31}, 365}, {{2001, 1, 1}, {2001, 12, 31}, 364},
        {{1999, 3, 1}, {2000, 3, 1}, 366}, {{2000, 3, 1}, {2001, 3, 1}, 365},
        {{1999, 2, 1}, {2000, 2, 1}, 365}, {{2000, 2, 1}, {2001, 2, 1}, 366},
        {{2000, 12, 31}, {2002, 1, 1}, 366}, {{1970, 1, 1}, {2000, 1, 1}, 10957},
        {{1900, 1, 1}, {2000, 1, 1}, 36524}, {{2000, 1, 1}, {2100, 1, 1}, 36525},
        {{1600, 1, 1}, {2000, 1, 1}, 146097}, {{1, 1, 1}, {9999, 12, 31}, 3652058},
        {{-1, 12, 31}, {0, 1, 1}, 1}, {{-1, 1, 1}, {0, 1, 1}, 365},
        {{0, 1, 1}, {1, 1, 1}, 366}, {{0, 2, 28}, {0, 3, 1}, 2},
        {{-4, 2, 28}, {-4, 3, 1}, 2}, {{-400, 2, 28}, {-400, 3, 1}, 2},
        {{-100, 2, 28}, {-100, 3, 1}, 1}, {{-32768, 1, 1}, {32767, 12, 31}, 23936531},
        {{32767, 12, 31}, {-32768, 1, 1}, -23936531},
    };
    // clang-format on
    for (const auto &c : cases) {
        Date from = makeDate(c.from[0], c.from[1], c.from[2]);
        Date to = makeDate(c.to[0], c.to[1], c.to[2]);
        EXPECT_EQ(c.days, dateDaysBetween(from, to)) << fields(from) << " to " << fields(to);
    }
}

Date randomDate(std::mt19937 &random, int year)
{
    int month = std::uniform_int_distribution<int>(1, 12)(random);
    int day = std::uniform_int_distribution<int>(1, dateDaysInMonth(month, year))(random);
    return makeDate(year, month, day);
}

Date randomDate(std::mt19937 &random)
{
    return randomDate(random, std::uniform_int_distribution<int>(-32768, 32767)(random));
}

// Pairs over the whole range, a third of them within one year and a third in
// neighbouring years, since each case counts its own way: the walk agrees
// with day numbers, is antisymmetric, and adds up over three dates.
TEST(DateDaysBetween, PropertiesOverTheWholeRange)
{
    std::mt19937 random(20261209);
    for (int i = 0; i < 30000; i++) {
        Date a = randomDate(random), c = randomDate(random);
        int year = i % 3 == 0 ? a.year : i % 3 == 1 ? a.year + (a.year < 32767 ? 1 : -1) : c.year;
        Date b = randomDate(random, year);
        int ab = dateDaysBetween(a, b);
        ASSERT_EQ(dayNumber(b) - dayNumber(a), ab) << fields(a) << " to " << fields(b);
        ASSERT_EQ(-ab, dateDaysBetween(b, a)) << fields(a) << " to " << fields(b);
        ASSERT_EQ(dateDaysBetween(a, c), ab + dateDaysBetween(b, c))
            << fields(a) << ", " << fields(b) << ", " << fields(c);
    }
}

} // namespace
