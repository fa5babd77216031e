#pragma once
// Runs a `k400gw` command line in-process and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace k400::test {

struct CommandRun {
    int rc = -1;
    std::string out;
    std::string err;
};

inline CommandRun RunK400(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    CommandIo io{out, err};
    CommandRun run;
    run.rc = RunCommandLine(args, io);
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace k400::test
