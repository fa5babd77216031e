// What a backup of a fifteen-module gateway costs next to a connect: the
// gateway is configured once (CANopen Finish, so that its stored image covers
// all fifteen modules), then each round times a connect alone and a backup
// (the same connect, every stored word read without typing a value, the
// choices decoded) over a pseudo-terminal against `k400gw sim`.
//
//   bench_backup [--rounds N] [--pace-ms N] [--k400gw PATH]

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "app/Backup.h"
#include "app/BuildEds.h"
#include "canopen/CanopenConfiguration.h"
#include "cli/TerminalUserInterface.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "platform/Clock.h"
#include "platform/qt/QtSerialPort.h"
#include "support/ChildProcess.h"

namespace {

using namespace k400;

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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
            std::cerr << "usage: bench_backup [--rounds N] [--pace-ms N] [--k400gw PATH]\n";
            return 2;
        }
    }

    k400::test::ChildProcess sim({exe, "sim", "--scenario", K400_BENCH_SCENARIO});
    const auto device = sim.readLine(10000);
    if (!device) {
        std::cerr << "the simulator did not start: " << sim.stderrText() << '\n';
        return 1;
    }
    const auto folder = std::filesystem::temp_directory_path() / "k400-bench-backup";
    std::filesystem::create_directories(folder);

    SystemClock clock;
    std::ostringstream quiet;
    TerminalUserInterface ui(quiet);
    QtSerialPort port;
    port.setPortName(*device);
    ConsoleLink link(port, clock, ui, timing);
    ProgramState state;
    state.NodeId = 5;  // the scenario's EEPROM holds no configuration: Finish writes this one
    bool configured = RunConnectSequence(state, link) == ConnectOutcome::Succeeded &&
                      BuildEdsFile(state, ui, ApplicationChoice::Canopen, &port) == Profile::Canopen;
    if (configured) {
        CanopenConfiguration configuration(state, ui);
        configured = configuration.Load() && configuration.Finish(link, clock.localTime(), folder).done();
    }
    if (!configured) {
        std::cerr << "configuring the gateway failed: " << quiet.str() << '\n';
        return 1;
    }

    double connectMs = 0, backupMs = 0, readMs = 0;
    std::size_t words = 0;
    for (int round = 0; round < rounds; ++round) {
        ProgramState alone;
        auto start = std::chrono::steady_clock::now();
        const bool connected = RunConnectSequence(alone, link) == ConnectOutcome::Succeeded;
        connectMs += MsSince(start);

        ProgramState backedUp;
        start = std::chrono::steady_clock::now();
        bool ok = connected && RunConnectSequence(backedUp, link) == ConnectOutcome::Succeeded;
        const auto readStart = std::chrono::steady_clock::now();
        const auto image = ok ? ReadStoredImage(backedUp, link) : std::nullopt;
        ok = ok && image && DescribeGateway(backedUp, *image, clock.localTime()).StoredImageValid;
        readMs += MsSince(readStart);
        backupMs += MsSince(start);
        if (!ok) {
            std::cerr << "a backup failed: " << quiet.str() << '\n';
            return 1;
        }
        words = image->Header.size() + image->Connection.size() + image->Application.size();
    }
    const double n = rounds;
    std::printf("Backup of 15 modules, pace %d ms, %d rounds (mean):\n", timing.PaceMs, rounds);
    std::printf("connect alone            %7.0f ms\n", connectMs / n);
    std::printf("backup                   %7.0f ms  (%.2f x the connect)\n", backupMs / n,
                connectMs > 0 ? backupMs / connectMs : 0.0);
    std::printf("  reading %2zu words       %7.0f ms  (%.0f ms a word)\n", words, readMs / n,
                words > 0 ? readMs / n / static_cast<double>(words) : 0.0);
    std::filesystem::remove_all(folder);
    sim.terminate();
    return 0;
}
