// `k400gw sim`: serves the simulated gateway console on a pseudo-terminal.

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "sim/PtySimulator.h"

namespace k400 {

namespace {

class SimCommand final : public Command {
public:
    std::string_view name() const override { return "sim"; }
    std::string_view summary() const override { return "serve a simulated gateway on a pseudo-terminal"; }
    std::string_view description() const override
    {
        return "Prints the path of a pseudo-terminal and serves a simulated gateway console on it until\n"
               "interrupted; any terminal program or a second k400gw can talk to it.";
    }

    void define(CLI::App& command) override
    {
        AddTextOption(command, "--scenario", options_.scenarioFile, "FILE",
                      "the simulated gateway (JSON; default: the built-in one)");
        AddTextOption(command, "--link", options_.linkPath, "PATH",
                      "also reach the device through this symbolic link while serving");
        AddTextOption(command, "--eeprom-out", options_.eepromOut, "FILE",
                      "write the EEPROM here at start and after every change");
    }

    int run(CommandIo& io) override
    {
        return RunPtySimulator(options_, io.out, io.err) == 0 ? ExitSuccess : ExitFailure;
    }

private:
    PtySimulatorOptions options_;
};

}  // namespace

std::unique_ptr<Command> MakeSimCommand()
{
    return std::make_unique<SimCommand>();
}

}  // namespace k400
