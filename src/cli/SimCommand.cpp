// `k400gw sim`: serves the simulated gateway console on a pseudo-terminal.

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "sim/PtySimulator.h"

namespace k400 {

int RunSimCommand(ArgList& args, CommandIo& io)
{
    PtySimulatorOptions options;
    options.scenarioFile = args.value("scenario").value_or("");
    options.linkPath = args.value("link").value_or("");
    options.eepromOut = args.value("eeprom-out").value_or("");
    if (const int rc = CheckNoLeftover(args, io, "sim"))
        return rc;
    return RunPtySimulator(options, io.out, io.err) == 0 ? ExitSuccess : ExitFailure;
}

}  // namespace k400
