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
#include "platform/Messages.h"
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
    std::string_view summary() const override { return msg::HelpDemoSummary; }
    std::string_view description() const override { return msg::HelpDemoDescription; }

    void define(CLI::App& command) override
    {
        AddWholeOption(command, "--pace-ms", pace_, 0, 1000, "MS", msg::HelpPaceMs);
        AddTextOption(command, "--output-dir", outputDir_, "DIR", msg::HelpOutputDirEdsFiles);
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
        io.err << msg::CliErrorPrefix << msg::CliCannotStartSimulator(error) << '\n';
        return ExitFailure;
    }
    std::ostringstream simulatorErrors;
    std::thread server([&] { simulator.serve(simulatorErrors); });

    const std::vector<DemoStep> steps = {
        {msg::CliDemoConnect, {"scan"}},
        {msg::CliDemoCanopen,
         {"configure", "--profile", "canopen", "--node-id", "5", "--can-baud", "250", "--heartbeat", "1000",
          "--description", "k400gw demo", "--created-by", "k400gw"}},
        {msg::CliDemoDeviceNet,
         {"configure", "--profile", "devicenet", "--node-id", "5", "--can-baud", "250", "--poll-in", "1", "--poll-out",
          "1", "--cos-in", "2", "--default-io", "poll", "--description", "k400gw demo", "--created-by", "k400gw"}},
        {msg::CliDemoConnectAgain, {"scan"}},
    };

    int rc = ExitSuccess;
    int number = 1;
    for (const DemoStep& step : steps) {
        if (number > 1)
            io.out << '\n';
        io.out << "== " << number << ". " << step.title << " ==\n";
        ++number;
        io.out << "$ " << msg::CliProgramName;
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
