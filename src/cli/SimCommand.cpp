// `k400gw sim`: serves the simulated gateway console on a pseudo-terminal, or
// with --listen on a TCP port as a serial device server would.

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "platform/NetworkPortName.h"
#include "platform/NetworkTexts.h"
#include "sim/PtySimulator.h"
#include "sim/TcpSimulator.h"

namespace k400 {

int RunSimCommand(ArgList& args, CommandIo& io)
{
    PtySimulatorOptions options;
    options.scenarioFile = args.value("scenario").value_or("");
    options.linkPath = args.value("link").value_or("");
    options.eepromOut = args.value("eeprom-out").value_or("");
    const auto listen = args.value("listen");
    const bool rfc2217 = args.flag("rfc2217");
    if (const int rc = CheckNoLeftover(args, io, "sim"))
        return rc;
    if (!listen) {
        if (rfc2217)
            return UsageError(io, "sim", nettext::SimRfc2217WithoutListen);
        return RunPtySimulator(options, io.out, io.err) == 0 ? ExitSuccess : ExitFailure;
    }
    std::string error;
    if (!options.linkPath.empty())
        return UsageError(io, "sim", nettext::SimLinkWithListen);
    if (!ParseListenAddress(*listen, error))
        return UsageError(io, "sim", error);
    const TcpSimulatorOptions tcp{options.scenarioFile, *listen, rfc2217, options.eepromOut};
    return RunTcpSimulator(tcp, io.out, io.err) == 0 ? ExitSuccess : ExitFailure;
}

}  // namespace k400
