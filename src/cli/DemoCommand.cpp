// `k400gw demo`: the whole job against the built-in simulated gateway, served
// on a pseudo-terminal so that the real serial port code is exercised too.

#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "sim/PtySimulator.h"
#include "sim/Scenario.h"

namespace k400 {

namespace {

struct DemoStep {
    const char* title;
    std::vector<std::string> args;  // without --port / --pace-ms / --output-dir
};

class DemoCommand final : public Command {
public:
    std::string_view name() const override { return "demo"; }
    std::string_view summary() const override { return "the whole job against the built-in simulated gateway"; }
    std::string_view description() const override
    {
        return "Serves the built-in simulated gateway on a pseudo-terminal and runs, through the real\n"
               "serial port code: a scan, a CANopen and a DeviceNet configuration, and a second scan.";
    }

    void define(CLI::App& command) override
    {
        AddWholeOption(command, "--pace-ms", pace_, 0, 1000, "MS", "pause after each character sent");
        AddTextOption(command, "--output-dir", outputDir_, "DIR",
                      "folder of the EDS files (default: the program's folder; the current folder when "
                      "the program is installed)");
    }

    int run(CommandIo& io) override;

private:
    std::optional<int> pace_;
    std::optional<std::string> outputDir_;
};

int DemoCommand::run(CommandIo& io)
{
    PtySimulator simulator(BuiltInScenario(), PtySimulatorOptions{});
    std::string error;
    if (!simulator.open(error)) {
        io.err << "Error: cannot start the simulated gateway: " << error << '\n';
        return ExitFailure;
    }
    std::ostringstream simulatorErrors;
    std::thread server([&] { simulator.serve(simulatorErrors); });

    const std::vector<DemoStep> steps = {
        {"Connect: recognise the controller, read the EEPROM, scan the modules", {"scan"}},
        {"Configure the gateway as a CANopen slave (heartbeat 1000 ms) and write its EDS file",
         {"configure", "--profile", "canopen", "--node-id", "5", "--can-baud", "250", "--heartbeat", "1000",
          "--description", "k400gw demo", "--created-by", "k400gw"}},
        {"Configure it as a DeviceNet slave (poll: assemblies 1/1, COS: input assembly 2) and write its EDS file",
         {"configure", "--profile", "devicenet", "--node-id", "5", "--can-baud", "250", "--poll-in", "1", "--poll-out",
          "1", "--cos-in", "2", "--default-io", "poll", "--description", "k400gw demo", "--created-by", "k400gw"}},
        {"Connect again: the EEPROM now holds the DeviceNet configuration", {"scan"}},
    };

    int rc = ExitSuccess;
    int number = 1;
    for (const DemoStep& step : steps) {
        if (number > 1)
            io.out << '\n';
        io.out << "== " << number << ". " << step.title << " ==\n";
        ++number;
        io.out << "$ k400gw";
        std::vector<std::string> command = step.args;
        command.insert(command.begin() + 1, {"--port", simulator.devicePath()});
        if (pace_)
            command.insert(command.end(), {"--pace-ms", std::to_string(*pace_)});
        if (outputDir_ && step.args.front() == "configure")
            command.insert(command.end(), {"--output-dir", *outputDir_});
        for (const std::string& word : command)
            io.out << ' ' << (word.find(' ') == std::string::npos ? word : '"' + word + '"');
        io.out << '\n' << std::flush;
        rc = RunCommandLine(command, io);
        if (rc != ExitSuccess)
            break;
    }

    simulator.requestStop();
    server.join();
    io.err << simulatorErrors.str();
    return rc;
}

}  // namespace

std::unique_ptr<Command> MakeDemoCommand()
{
    return std::make_unique<DemoCommand>();
}

}  // namespace k400
