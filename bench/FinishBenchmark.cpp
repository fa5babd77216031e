// What the safe EEPROM commit costs per Finish: a connect with fifteen
// modules, then a DeviceNet and a CANopen Finish over a pseudo-terminal
// against `k400gw sim`, at the default pace unless told otherwise.
//
//   bench_finish [--rounds N] [--pace-ms N] [--k400gw PATH]
//
// For each Finish: wall time, the part of it spent reading every written
// word back and writing the real mark last (what the commit order and the
// verification add to the plain write), and that part's share.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/BuildEds.h"
#include "canopen/CanopenConfiguration.h"
#include "cli/TerminalUserInterface.h"
#include "devicenet/DeviceNetConfiguration.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "platform/Clock.h"
#include "platform/qt/QtSerialPort.h"
#include "support/ChildProcess.h"

namespace {

using namespace k400;

struct Figures {
    double wallMs = 0;
    double verifyMs = 0;
    bool ok = false;
};

template <typename Configuration>
Figures TimedFinish(ProgramState& state, ConsoleLink& link, ApplicationChoice choice, const std::filesystem::path& folder)
{
    Figures figures;
    if (BuildEdsFile(state, link.ui(), choice, &link.port()) == Profile::None)
        return figures;
    Configuration configuration(state, link.ui());
    if (!configuration.Load())
        return figures;
    const auto start = std::chrono::steady_clock::now();
    const FinishResult result = configuration.Finish(link, link.clock().localTime(), folder);
    figures.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    figures.verifyMs = static_cast<double>(result.verifyMs);
    figures.ok = result.done();
    return figures;
}

void Print(const char* what, const std::vector<Figures>& runs)
{
    double wall = 0, verify = 0;
    for (const Figures& f : runs) {
        wall += f.wallMs;
        verify += f.verifyMs;
    }
    const double n = static_cast<double>(runs.size());
    std::printf("%-22s Finish %7.0f ms   read-back + mark last %6.0f ms (%4.1f %%)   plain write %7.0f ms\n", what,
                wall / n, verify / n, wall > 0 ? 100.0 * verify / wall : 0.0, (wall - verify) / n);
}

}  // namespace

int main(int argc, char* argv[])
{
    int rounds = 3;
    LinkTiming timing;
    std::string exe = K400GW_EXE;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--rounds")
            rounds = std::stoi(argv[i + 1]);
        else if (name == "--pace-ms")
            timing.PaceMs = std::stoi(argv[i + 1]);
        else if (name == "--k400gw")
            exe = argv[i + 1];
        else {
            std::cerr << "usage: bench_finish [--rounds N] [--pace-ms N] [--k400gw PATH]\n";
            return 2;
        }
    }

    k400::test::ChildProcess sim({exe, "sim", "--scenario", K400_BENCH_SCENARIO});
    const auto device = sim.readLine(10000);
    if (!device) {
        std::cerr << "the simulator did not start: " << sim.stderrText() << '\n';
        return 1;
    }
    const auto folder = std::filesystem::temp_directory_path() / "k400-bench-finish";
    std::filesystem::create_directories(folder);

    SystemClock clock;
    std::ostringstream quiet;
    TerminalUserInterface ui(quiet);
    QtSerialPort port;
    port.setPortName(*device);
    ConsoleLink link(port, clock, ui, timing);
    ProgramState state;
    if (RunConnectSequence(state, link) != ConnectOutcome::Succeeded) {
        std::cerr << "connect failed: " << quiet.str() << '\n';
        return 1;
    }

    std::vector<Figures> devicenet, canopen;
    for (int round = 0; round < rounds; ++round) {
        devicenet.push_back(TimedFinish<DeviceNetConfiguration>(state, link, ApplicationChoice::DeviceNet, folder));
        canopen.push_back(TimedFinish<CanopenConfiguration>(state, link, ApplicationChoice::Canopen, folder));
        if (!devicenet.back().ok || !canopen.back().ok) {
            std::cerr << "a Finish failed: " << quiet.str() << '\n';
            return 1;
        }
    }
    std::printf("Finish with 15 modules, pace %d ms, %d rounds (mean):\n", timing.PaceMs, rounds);
    Print("DeviceNet (33 words)", devicenet);
    Print("CANopen (26 words)", canopen);
    std::filesystem::remove_all(folder);
    sim.terminate();
    return 0;
}
