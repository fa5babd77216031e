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
    std::string_view summary() const override { return msg::HelpSimSummary; }
    std::string_view description() const override { return msg::HelpSimDescription; }

    void define(CLI::App& command) override
    {
        AddTextOption(command, "--scenario", options_.scenarioFile, "FILE", msg::HelpScenario);
        AddTextOption(command, "--link", options_.linkPath, "PATH", msg::HelpLink);
        AddTextOption(command, "--eeprom-out", options_.eepromOut, "FILE", msg::HelpEepromOut);
        AddTextOption(command, "--listen", listen_, "[HOST:]PORT", msg::HelpListen);
        command.add_flag("--rfc2217", rfc2217_, msg::HelpRfc2217);
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
