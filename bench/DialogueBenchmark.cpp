// How long a console dialogue takes over a real pseudo-terminal against the
// simulated gateway (`k400gw sim` in a child process), compared with the
// floor the pacing sets, and how much processor time the client spends.
//
//   bench_dialogue [--pace-ms N]... [--k400gw PATH]
//
// The dialogue: "exit", "use eeprom", "block 0", "el 0", 44 value retypes
// walking the value editor through block 0, ".", "exit": 50 command lines
// (values typed back unchanged, so the EEPROM stays as it was).
//
// Columns: floor = (characters + lines) x pace (the simulator adds no delay);
// sleep = the same pauses slept with nothing else, i.e. what this machine's
// sleep costs right now; cpu = the client's processor time (getrusage).

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "BenchSupport.h"
#include "cli/TerminalUserInterface.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"
#include "platform/qt/QtSerialPort.h"

namespace {

using namespace k400;

constexpr int ValueRetypes = 44;

struct Figures {
    bool ok = false;
    int commands = 0;
    long characters = 0;  // command characters, carriage returns not counted
    double wallMs = 0;
    double cpuMs = 0;
};

struct Dialogue {
    ConsoleLink& link;
    Figures& figures;

    bool expect(const std::string& command, const std::string& marker)
    {
        ++figures.commands;
        figures.characters += static_cast<long>(command.size());
        return link.SendAndExpect(command, marker);
    }
    bool read(const std::string& command, const std::string& key, double& value)
    {
        ++figures.commands;
        figures.characters += static_cast<long>(command.size());
        return link.SendAndReadValue(command, key, value);
    }
};

Figures RunDialogue(const std::string& device, int paceMs)
{
    Figures figures;
    SystemClock clock;
    std::ostringstream quiet;
    TerminalUserInterface ui(quiet);
    QtSerialPort port;
    port.setPortName(device);
    if (!OpenGatewayPort(port, ui, PortCaller::Connect)) {
        std::cerr << "cannot open " << device << ": " << ui.lastMessage() << '\n';
        return figures;
    }
    LinkTiming timing;
    timing.PaceMs = paceMs;
    ConsoleLink link(port, clock, ui, timing);
    Dialogue d{link, figures};

    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = bench::OwnCpuMs();

    bool ok = d.expect("exit", ">") && d.expect("use eeprom", "[EEPROM:]") && d.expect("block 0", "[EEPROM:]");
    double value = 0;
    ok = ok && d.read("el 0", "Long(0)=", value);
    for (int i = 1; ok && i <= ValueRetypes; ++i)
        ok = d.read(ToSignedLongText(value), "Long(" + std::to_string(4 * i) + ")=", value);
    ok = ok && d.expect(".", "[EEPROM:]") && d.expect("exit", "K400E>");

    figures.cpuMs = bench::OwnCpuMs() - cpuStart;
    figures.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
    figures.ok = ok;
    port.close();
    return figures;
}

// The same number of pauses with nothing else: what the machine's sleep
// really costs (a loaded machine wakes late), the floor this system can reach.
double SleepOnlyMs(int pauses, int paceMs)
{
    SystemClock clock;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < pauses; ++i)
        clock.sleepMs(paceMs);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string exe = K400GW_EXE;
    std::vector<int> paces;
    CLI::App app{"console dialogue over a pseudo-terminal", "bench_dialogue"};
    app.add_option("--pace-ms", paces, "pause after each character; repeat for more rows (default 5 2 1)")
        ->check(CLI::Range(0, 1000));
    app.add_option("--k400gw", exe, "the k400gw executable serving the simulator");
    CLI11_PARSE(app, argc, argv);
    if (paces.empty())
        paces = {5, 2, 1};

    bench::ServedSimulator sim(exe, {});
    if (sim.port.empty())
        return 1;

    std::printf("dialogue of 50 command lines over %s (simulator replies without delay)\n", sim.port.c_str());
    std::printf("%7s %6s %9s %9s %7s %9s %9s %7s\n", "pace", "chars", "floor ms", "wall ms", "ratio", "sleep ms",
                "cpu ms", "cpu %");
    int rc = 0;
    for (int pace : paces) {
        const Figures f = RunDialogue(sim.port, pace);
        if (!f.ok) {
            std::printf("%5d ms   dialogue failed after %d commands\n", pace, f.commands);
            rc = 1;
            continue;
        }
        // One pause per character and one after each line; the simulator adds none.
        const int pauses = static_cast<int>(f.characters + f.commands);
        const double floorMs = static_cast<double>(pauses) * pace;
        std::printf("%5d ms %6ld %9.0f %9.1f %7.3f %9.1f %9.1f %6.2f%%\n", pace, f.characters, floorMs, f.wallMs,
                    floorMs > 0 ? f.wallMs / floorMs : 0.0, SleepOnlyMs(pauses, pace), f.cpuMs,
                    100.0 * f.cpuMs / f.wallMs);
    }
    sim.child.terminate();
    return rc;
}
