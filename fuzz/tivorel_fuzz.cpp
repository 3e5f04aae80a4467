// libFuzzer harness: the input is a command line, one argument a line (a NUL
// also ends an argument). It runs the option scanner, date reading, the count
// check and the chart exactly as the tool does, with the chart sent to
// /dev/null. Two things differ from the tool: this file's msgEnd returns to
// the harness instead of ending the process, and the help and version rows of
// the option table only note that they were asked for.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "chart.hpp"
#include "date.hpp"
#include "services.hpp"

namespace {

jmp_buf fuzzEnd;
int fuzzStopped;

void fuzzHelpOrVersion()
{
    fuzzStopped = 1;
}

void *fuzzRoutine()
{
    return reinterpret_cast<void *>(fuzzHelpOrVersion);
}

// The harness's defaults, placed before the user's flags so those still win:
// the messages on standard error are discarded, and inputs stay short.
const char *const fuzzDefaults[] = {"-close_fd_mask=2", "-max_len=512"};

} // namespace

// A refused date leaves its private copy behind, since in the tool that path
// ends the process; here it returns, so those copies are not leaks to report.
// Every other leak still is.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:dateFromString\n";
}

// Replaces the message service's end: back to the input's start, not exit().
void msgEnd(int)
{
    longjmp(fuzzEnd, 1);
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static std::vector<char *> args;
    args.push_back((*argv)[0]);
    for (const char *flag : fuzzDefaults)
        args.push_back(const_cast<char *>(flag));
    for (int i = 1; i < *argc; i++)
        args.push_back((*argv)[i]);
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();

    if (freopen("/dev/null", "w", stdout) == nullptr)
        abort();
    msgSetName("tivorel");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // argv[0], then the first argument, which the first line fills.
    std::vector<std::string> words = {"tivorel", ""};
    for (size_t i = 0; i < size; i++) {
        char c = static_cast<char>(data[i]);
        if (c == '\n' || c == '\0')
            words.emplace_back();
        else
            words.back() += c;
    }
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());

    int physical = 0, emotional = 0, intellectual = 0, average = 0;
    const OptionEntry options[] = {
        {'h', "help", 1, fuzzRoutine(), 1},
        {'a', "average", 1, &average, 0},
        {'e', "emotional", 1, &emotional, 0},
        {'i', "intellectual", 1, &intellectual, 0},
        {'p', "physical", 1, &physical, 0},
        {'V', "version", 1, fuzzRoutine(), 1},
        {0, nullptr, 0, nullptr, 0},
    };
    fuzzStopped = 0;
    if (setjmp(fuzzEnd) != 0)
        return 0;

    optParseOptions(&argc, argv.data(), options, 0);
    if (fuzzStopped || argc != 4)
        return 0;
    Date birth = dateFromString(argv[1]);
    Date first = dateFromString(argv[2]);
    int days = chartDaysFromString(argv[3]);
    int curveMask = chartCurveMask(physical, emotional, intellectual, average);
    printf("Day of birth: %s\n", dateToString(birth));
    chartPrint(birth, first, days, curveMask);
    return 0;
}
