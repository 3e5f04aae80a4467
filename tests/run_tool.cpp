#include "run_tool.hpp"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
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

} // namespace

RunResult runTool(const std::vector<std::string> &args, RunOutput output, bool noArgv)
{
    fflush(nullptr);
    FILE *out = tmpfile();
    FILE *err = tmpfile();
    std::vector<char *> argv;
    if (!noArgv) {
        argv.push_back(const_cast<char *>(TIVOREL_BINARY));
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
    }
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
        } else {
            int ends[2];
            if (pipe(ends) != 0)
                _exit(120);
            close(ends[0]);
            dup2(ends[1], 1);
        }
        execve(TIVOREL_BINARY, argv.data(), environ);
        _exit(127);
    }
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    RunResult result;
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    result.out = readAll(out);
    result.err = readAll(err);
    return result;
}
