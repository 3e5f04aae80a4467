// SPDX-License-Identifier: ISC
// The message and option services in-process, where the command line cannot
// reach: a null program name, odd option tables, and streams that fail.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "services.hpp"

namespace {

using testing::ExitedWithCode;

// Runs optParseOptions on words (argv[0] first); returns the words it leaves.
std::vector<std::string> parse(std::vector<std::string> words, const OptionEntry *table)
{
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    optParseOptions(&argc, argv.data(), table, 0);
    return std::vector<std::string>(argv.begin(), argv.begin() + argc);
}

int flag;

TEST(MsgSetName, NullNamesTheTool)
{
    msgSetName("other");
    msgSetName(nullptr);
    EXPECT_STREQ("tivorel", msgGetName());
}

TEST(OptParseOptions, EmptyArgumentVectorIsLeftAlone)
{
    const OptionEntry table[] = {{'a', "alpha", 1, &flag, 0}, {0, nullptr, 0, nullptr, 0}};
    char environment[] = "HOME=/home/user";
    char *argv[] = {nullptr, environment, nullptr};
    int argc = 0;
    optParseOptions(&argc, argv, table, 0);
    EXPECT_EQ(0, argc);
    EXPECT_EQ(environment, argv[1]);
}

TEST(OptParseOptionsDeathTest, RowsAfterTheEndRowAreNoOptions)
{
    // clang-format off
    const OptionEntry table[] = {{'a', "alpha", 1, &flag, 0}, {0, nullptr, 0, nullptr, 0},
                                 {'z', "zulu", 1, &flag, 0},  {0, nullptr, 0, nullptr, 0}};
    // clang-format on
    msgSetName("tivorel");
    EXPECT_EQ(std::vector<std::string>({"t", "x"}), parse({"t", "-a", "--alpha", "x"}, table));
    EXPECT_EXIT(parse({"t", "-z"}, table), ExitedWithCode(1), "invalid option -- 'z'");
    EXPECT_EXIT(parse({"t", "--zulu"}, table), ExitedWithCode(1), "unrecognized option '--zulu'");
    EXPECT_EXIT(parse({"t", "--zulu=1"}, table), ExitedWithCode(1),
                "unrecognized option '--zulu=1'");
}

TEST(MsgFatalDeathTest, AnyDirectiveButStringAborts)
{
    EXPECT_DEATH(msgFatal("%d\n", 5), "directive other than %s");
}

#ifdef __GLIBC__
// The faults of a stream that stands in for standard output: the errno of
// every write and of the close, or 0.
struct StreamFaults {
    int write, close;
};

ssize_t faultyWrite(void *cookie, const char *, size_t size)
{
    errno = static_cast<StreamFaults *>(cookie)->write;
    return errno != 0 ? -1 : static_cast<ssize_t>(size);
}

int faultyClose(void *cookie)
{
    errno = static_cast<StreamFaults *>(cookie)->close;
    return errno != 0 ? -1 : 0;
}
#endif

TEST(MsgCloseStdoutDeathTest, ReportsTheFailureAndItsReason)
{
#ifdef __GLIBC__
    // clang-format off
    const struct { StreamFaults faults; int flagged; int status; const char *message; } cases[] = {
        {{0, 0}, 0, 0, ""},
        {{EPERM, 0}, 0, 1, "tivorel: write error: Operation not permitted\n"},
        {{0, EIO}, 0, 1, "tivorel: write error: Input/output error\n"},
        {{ENOSPC, EIO}, 0, 1, "tivorel: write error: No space left on device\n"},
        // The stream's error flag set earlier, with an errno of nothing here.
        {{0, 0}, 1, 1, "tivorel: write error\n"},
    };
    // clang-format on
    for (const auto &c : cases) {
        StreamFaults faults = c.faults;
        EXPECT_EXIT(
            {
                stdout = fopencookie(&faults, "w", {nullptr, faultyWrite, nullptr, faultyClose});
                msgSetName("tivorel");
                fputs("a chart", stdout);
                if (c.flagged) {
                    fgetc(stdout); // a write-only stream: sets its error flag
                    errno = EDOM;
                }
                msgCloseStdout();
                exit(0);
            },
            ExitedWithCode(c.status), testing::Eq(c.message))
            << c.message;
    }
#else
    GTEST_SKIP() << "needs glibc's fopencookie to stand in for standard output";
#endif
}

} // namespace
