// `k400gw sim`: serves the simulated gateway console on a pseudo-terminal, or
// with --listen on a TCP port as a serial device server would.

#include <optional>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "platform/Messages.h"
#include "platform/NetworkPortName.h"
#include "sim/PtySimulator.h"
#include "sim/TcpSimulator.h"

namespace k400 {

namespace {

class SimCommand final : public Command {
public:
    std::string_view name() const override { return "sim"; }
    std::string_view summary() const override
    {
        return "serve a simulated gateway console on a pseudo-terminal or a TCP port";
    }
    std::string_view description() const override
    {
        return "Prints the device path of a pseudo-terminal as its first line and serves a simulated gateway\n"
               "console on it until interrupted (SIGINT or SIGTERM); any terminal program or a second k400gw\n"
               "can talk to it. With --listen it serves as a serial device server would, one client at a\n"
               "time, and prints the port name to open instead (tcp://HOST:PORT, rfc2217://HOST:PORT).";
    }

    void define(CLI::App& command) override
    {
        AddTextOption(command, "--scenario", options_.scenarioFile, "FILE",
                      "the simulated gateway (JSON; default: the built-in one)");
        AddTextOption(command, "--link", options_.linkPath, "PATH",
                      "also reach the device through this symbolic link while serving");
        AddTextOption(command, "--eeprom-out", options_.eepromOut, "FILE",
                      "write the EEPROM here at start and after every change");
        AddTextOption(command, "--listen", listen_, "[HOST:]PORT",
                      "serve on TCP instead: HOST:PORT, :PORT or PORT (host 127.0.0.1; port 0 picks a free one)");
        command.add_flag("--rfc2217", rfc2217_, "with --listen: speak Telnet with the COM-PORT-OPTION (RFC 2217)");
    }

    int run(CommandIo& io) override
    {
        if (!listen_) {
            if (rfc2217_)
                return UsageError(io, name(), msg::SimRfc2217WithoutListen);
            return RunPtySimulator(options_, io.out, io.err) == 0 ? ExitSuccess : ExitFailure;
        }
        std::string error;
        if (!options_.linkPath.empty())
            return UsageError(io, name(), msg::SimLinkWithListen);
        if (!ParseListenAddress(*listen_, error))
            return UsageError(io, name(), error);
        const TcpSimulatorOptions tcp{options_.scenarioFile, *listen_, rfc2217_, options_.eepromOut};
        return RunTcpSimulator(tcp, io.out, io.err) == 0 ? ExitSuccess : ExitFailure;
    }

private:
    PtySimulatorOptions options_;
    std::optional<std::string> listen_;
    bool rfc2217_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeSimCommand()
{
    return std::make_unique<SimCommand>();
}

}  // namespace k400
