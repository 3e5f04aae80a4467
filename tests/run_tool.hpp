// SPDX-License-Identifier: ISC
// Runs the built tivorel as a user would, and collects what it did.
#ifndef TIVOREL_RUN_TOOL_HPP
#define TIVOREL_RUN_TOOL_HPP

#include <string>
#include <vector>

// Where the tool's standard output goes. runPackets sends both streams to
// record sockets, one record a write, to count the tool's writes.
enum RunOutput { runCapture, runFull, runClosed, runBrokenPipe, runPackets };

struct RunResult {
    std::string out;
    std::string err;
    int status;    // the exit status, or 128 + the signal that ended the run
    int outWrites; // with runPackets: the writes to each stream
    int errWrites;
};

// Runs the tool with args after argv0 ("tivorel" by default).
RunResult runTool(const std::vector<std::string> &args, RunOutput output = runCapture,
                  const std::string &argv0 = "tivorel");

#endif
