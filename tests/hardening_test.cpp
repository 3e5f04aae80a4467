// SPDX-License-Identifier: ISC
// Failures and hostile input: every run ends with a chart, a usage or version
// text, or one clean message and status 1; never a crash or a silent loss.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "run_tool.hpp"

namespace {

const std::vector<std::string> chart = {"1990-05-17", "2026-12-09", "500"};

// Runs args and checks that the run ended in one of the allowed ways.
void expectCleanEnd(const std::vector<std::string> &args, const std::string &what)
{
    RunResult run = runTool(args);
    if (run.status == 0) {
        EXPECT_EQ("", run.err) << what;
        EXPECT_FALSE(run.out.empty()) << what;
        return;
    }
    EXPECT_EQ(1, run.status) << what;
    EXPECT_EQ("", run.out) << what;
    ASSERT_FALSE(run.err.empty()) << what;
    EXPECT_EQ(0u, run.err.rfind("tivorel: ", 0)) << what;
    // A bad option adds the hint line; anything else is one line.
    const std::string hint = "Try 'tivorel --help' for more information.\n";
    std::string message = run.err;
    if (message.size() > hint.size() &&
        message.compare(message.size() - hint.size(), hint.size(), hint) == 0)
        message.resize(message.size() - hint.size());
    EXPECT_EQ(message.size() - 1, message.find('\n')) << what;
    for (size_t i = 0; i + 1 < message.size(); i++)
        ASSERT_FALSE(static_cast<unsigned char>(message[i]) < 0x20 || message[i] == 0x7f)
            << what << " at " << i;
}

TEST(WriteFailure, IsReportedWithStatusOne)
{
    const bool full = access("/dev/full", W_OK) == 0;
    const std::vector<std::string> runs[] = {chart, {"-h"}, {"--version"}, {}, {"a", "b"}};
    for (const auto &args : runs) {
        if (full) {
            RunResult run = runTool(args, runFull);
            EXPECT_EQ("tivorel: write error: No space left on device\n", run.err);
            EXPECT_EQ(1, run.status);
        }
        RunResult closed = runTool(args, runClosed);
        EXPECT_EQ("tivorel: write error: Bad file descriptor\n", closed.err);
        EXPECT_EQ(1, closed.status);
    }
    if (!full)
        GTEST_SKIP() << "no /dev/full here; only the closed descriptor was tried";
}

// The widest chart leaves in one write and a message line in one of its own,
// so that runs appending to one file or log never interleave inside them.
TEST(Writes, OneForTheChartAndOneForEachMessageLine)
{
    int probe[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET, 0, probe) != 0)
        GTEST_SKIP() << "no record sockets here to count writes";
    close(probe[0]);
    close(probe[1]);
    RunResult widest = runTool({"32767-12-31", "-32768-01-01", "500"}, runPackets);
    EXPECT_EQ(0, widest.status);
    EXPECT_EQ(505u, static_cast<size_t>(std::count(widest.out.begin(), widest.out.end(), '\n')));
    EXPECT_EQ(1, widest.outWrites);
    EXPECT_EQ(0, widest.errWrites);
    RunResult date = runTool({"2000-13-01", "2000-01-01", "1"}, runPackets);
    EXPECT_EQ(1, date.errWrites);
    RunResult option = runTool({"-x"}, runPackets);
    EXPECT_EQ(2, option.errWrites);
    EXPECT_EQ(0, option.outWrites);
}

TEST(WriteFailure, ClosedPipeEndsQuietly)
{
    RunResult run = runTool(chart, runBrokenPipe);
    EXPECT_EQ("", run.err);
    EXPECT_EQ(128 + SIGPIPE, run.status);
}

TEST(WriteFailure, NothingWrittenIsNoFailure)
{
    RunResult run = runTool({"2000-13-01", "2000-01-01", "1"}, runClosed);
    EXPECT_EQ("tivorel: illegal month in 2000-13-01 (YYYY-MM-DD)\n", run.err);
    EXPECT_EQ(1, run.status);
}

TEST(Messages, EscapeControlBytesOfTheArgument)
{
    // clang-format off
    const struct { std::string date, shown; } cases[] = {
        {"20\x1b[31m00-13-01", "20\\x1b[31m00-13-01"},
        {"\x1b]0;x\x07-13-01", "\\x1b]0;x\\a-13-01"},
        {"1-2\n3", "1-2\\n3"},
        {std::string("\x01\x08\x09\x0a\x0b\x0c\x0d\x1f\x7f"), "\\x01\\b\\t\\n\\v\\f\\r\\x1f\\x7f"},
        {"\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9"},
        {"%s%n%x-13-01", "%s%n%x-13-01"},
    };
    // clang-format on
    for (const auto &c : cases) {
        RunResult run = runTool({c.date, "2000-01-01", "1"});
        std::string message = run.err.substr(run.err.find(' ') + 1);
        EXPECT_NE(std::string::npos, message.find(c.shown)) << c.shown << "\n" << run.err;
        EXPECT_EQ(1, run.status);
    }
}

TEST(HostileInput, EveryRunEndsCleanly)
{
    const std::string digits(120000, '7');
    const std::string separators(120000, '-');
    const std::string twenty(20, '9');
    std::string allBytes;
    for (int byte = 1; byte <= 0xff; byte++)
        allBytes += static_cast<char>(byte);

    // clang-format off
    const std::vector<std::string> runs[] = {
        {""}, {"", "", ""}, {"2000-01-01", "2000-01-01", ""},
        {digits, "2000-01-01", "1"}, {"2000-01-01", digits, "1"}, {"2000-01-01", "2000-01-01", digits},
        {"1-" + digits + "-1", "2000-01-01", "1"}, {"1-1-" + digits, "2000-01-01", "1"},
        {separators, "2000-01-01", "1"}, {"2000-01-01", separators, "1"},
        {"2000-01-01", "2000-01-01", separators},
        {allBytes, "2000-01-01", "1"}, {"2000-01-01", "2000-01-01", allBytes},
        {"%s%n%x-01-01", "2000-01-01", "1"}, {"2000-01-01", "%n%n%n%n", "1"},
        {twenty + "-01-01", "2000-01-01", "1"}, {"2000-" + twenty + "-01", "2000-01-01", "1"},
        {"2000-01-" + twenty, "2000-01-01", "1"},
        {"32768-01-01", "32767-12-31", "500"}, {"32767-12-31", "-32768-01-01", "500"},
    };
    // clang-format on
    for (const auto &args : runs) {
        std::string what;
        for (const auto &arg : args)
            what += "[" + arg.substr(0, 40) + "]";
        expectCleanEnd(args, what);
    }
    for (int byte = 1; byte <= 0xff; byte++) {
        std::string date = std::string(1, static_cast<char>(byte)) + "2000-01-01";
        expectCleanEnd({date, "2000-01-01", "1"}, "byte " + std::to_string(byte));
    }
}

} // namespace
