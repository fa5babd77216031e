// `k400gw sim`: serves the simulated gateway console on a pseudo-terminal.

#include "cli/ArgList.h"
#include "cli/Commands.h"

namespace k400 {

int RunSimCommand(ArgList& args, CommandIo& io)
{
    if (const int rc = CheckNoLeftover(args, io, "sim"))
        return rc;
    io.err << "Error: the gateway simulator is not part of this build yet" << std::endl;
    return ExitFailure;
}

}  // namespace k400
