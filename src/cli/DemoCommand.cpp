// `k400gw demo`: the whole job against the built-in simulated gateway, served
// on a pseudo-terminal so that the real serial port code is exercised too.

#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "sim/PtySimulator.h"
#include "sim/Scenario.h"

namespace k400 {

namespace {

struct DemoStep {
    const char* title;
    std::vector<std::string> args;  // without --port / --pace-ms / --output-dir
};

}  // namespace

int RunDemoCommand(ArgList& args, CommandIo& io)
{
    const auto pace = args.value("pace-ms");
    const auto outputDir = args.value("output-dir");
    if (const int rc = CheckNoLeftover(args, io, "demo"))
        return rc;

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
         {"configure", "--profile", "devicenet", "--node-id", "5", "--can-baud", "250", "--poll-in", "1",
          "--poll-out", "1", "--cos-in", "2", "--default-io", "poll", "--description", "k400gw demo",
          "--created-by", "k400gw"}},
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
        if (pace)
            command.insert(command.end(), {"--pace-ms", *pace});
        if (outputDir && step.args.front() == "configure")
            command.insert(command.end(), {"--output-dir", *outputDir});
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

}  // namespace k400
