// Runs the built tivorel as a user would, and collects what it did.
#ifndef TIVOREL_RUN_TOOL_HPP
#define TIVOREL_RUN_TOOL_HPP

#include <string>
#include <vector>

// Where the tool's standard output goes.
enum RunOutput { runCapture, runFull, runClosed, runBrokenPipe };

struct RunResult {
    std::string out;
    std::string err;
    int status; // the exit status, or 128 + the signal that ended the run
};

// Runs the tool with args after argv[0]; with noArgv, with an empty argument
// vector (argv[0] null) and args ignored.
RunResult runTool(const std::vector<std::string> &args, RunOutput output = runCapture,
                  bool noArgv = false);

#endif
