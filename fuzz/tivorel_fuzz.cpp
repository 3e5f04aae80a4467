// SPDX-License-Identifier: ISC
// libFuzzer harness: the input is a command line, one argument a line (a NUL
// also ends an argument). It runs the tool's own run sequence, compiled in
// below, with the chart sent to /dev/null. Where the tool would end the
// process (a message, the usage text, the version line), the end routine set
// here jumps back to the start of the input instead.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The tool's main.cpp with its entry renamed, so that the harness runs the
// very run sequence the tool runs and libFuzzer keeps its own main.
#define main tivorelMain
#include "main.cpp"
#undef main

namespace {

jmp_buf fuzzEnd;

// The end of a run: back to the input's start, not exit(). The jump is safe:
// it leaves only frames of the run sequence, the calendar, the chart and the
// services, which hold plain values and C strings (no destructor is skipped,
// no lock is held), and msgWrite and printf have finished their output.
[[noreturn]] void fuzzEndRun(int)
{
    longjmp(fuzzEnd, 1);
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
    msgSetEnd(fuzzEndRun);
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

    if (setjmp(fuzzEnd) == 0)
        runTivorel(static_cast<int>(words.size()), argv.data());
    return 0;
}
