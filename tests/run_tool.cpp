// SPDX-License-Identifier: ISC
#include "run_tool.hpp"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

std::string readAll(FILE *file)
{
    std::string text;
    rewind(file);
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    fclose(file);
    return text;
}

// Reads the records waiting on a socket whose peer is gone; returns their
// count and appends their bytes to text.
int readRecords(int socket, std::string &text)
{
    static char buffer[1 << 17];
    int records = 0;
    for (ssize_t n; (n = recv(socket, buffer, sizeof buffer, MSG_DONTWAIT)) > 0; records++)
        text.append(buffer, static_cast<size_t>(n));
    close(socket);
    return records;
}

// The tool under test: the build's, or the one TIVOREL_TEST_BINARY names (a
// build of the same sources for another C library).
const char *toolPath()
{
    const char *path = getenv("TIVOREL_TEST_BINARY");
    return path != nullptr && *path != '\0' ? path : TIVOREL_BINARY;
}

} // namespace

RunResult runTool(const std::vector<std::string> &args, RunOutput output, const std::string &argv0)
{
    RunResult result{};
    fflush(nullptr);
    FILE *out = tmpfile();
    FILE *err = tmpfile();
    int outPair[2] = {-1, -1};
    int errPair[2] = {-1, -1};
    if (output == runPackets && (socketpair(AF_UNIX, SOCK_SEQPACKET, 0, outPair) != 0 ||
                                 socketpair(AF_UNIX, SOCK_SEQPACKET, 0, errPair) != 0))
        abort();
    // Where TIVOREL_TEST_EMULATOR names a user-mode emulator and its arguments
    // (words between blanks: "qemu-i386", say), the tool runs under it, and
    // qemu's -0 hands it argv0.
    const char *emulator = getenv("TIVOREL_TEST_EMULATOR");
    std::istringstream emulatorWords(emulator != nullptr ? emulator : "");
    std::vector<std::string> words;
    for (std::string word; emulatorWords >> word;)
        words.push_back(word);
    bool emulated = !words.empty();
    if (emulated)
        words.insert(words.end(), {"-0", argv0, toolPath()});
    else
        words.push_back(argv0);
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);

    pid_t child = fork();
    if (child == 0) {
        signal(SIGPIPE, SIG_DFL);
        dup2(fileno(err), 2);
        if (output == runCapture) {
            dup2(fileno(out), 1);
        } else if (output == runFull) {
            dup2(open("/dev/full", O_WRONLY), 1);
        } else if (output == runClosed) {
            close(1);
        } else if (output == runPackets) {
            dup2(outPair[1], 1);
            dup2(errPair[1], 2);
        } else {
            int ends[2];
            if (pipe(ends) != 0)
                _exit(120);
            close(ends[0]);
            dup2(ends[1], 1);
        }
        if (emulated)
            execvp(argv[0], argv.data());
        else
            execve(toolPath(), argv.data(), environ);
        _exit(127);
    }
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    result.out = readAll(out);
    result.err = readAll(err);
    if (output == runPackets) {
        close(outPair[1]);
        close(errPair[1]);
        result.outWrites = readRecords(outPair[0], result.out);
        result.errWrites = readRecords(errPair[0], result.err);
    }
    return result;
}
