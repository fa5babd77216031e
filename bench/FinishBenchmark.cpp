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
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "BenchSupport.h"
#include "app/BuildEds.h"
#include "canopen/CanopenConfiguration.h"
#include "devicenet/DeviceNetConfiguration.h"
#include "gateway/ConnectSequence.h"

namespace {

using namespace k400;

struct Figures {
    double wallMs = 0;
    double verifyMs = 0;
    bool ok = false;
};

template <typename Configuration>
Figures TimedFinish(ProgramState& state, ConsoleLink& link, ApplicationChoice choice,
                    const std::filesystem::path& folder)
{
    Figures figures;
    if (BuildEdsFile(state, link.ui(), choice, &link.port()) == Profile::None)
        return figures;
    Configuration configuration(state, link.ui());
    if (!configuration.Load())
        return figures;
    const auto start = std::chrono::steady_clock::now();
    const FinishResult result = configuration.Finish(link, link.clock().localTime(), folder);
    figures.wallMs = bench::MsSince(start);
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
    bench::RunOptions options(3);
    CLI::App app{"what the safe EEPROM commit adds to a Finish", "bench_finish"};
    options.addTo(app);
    CLI11_PARSE(app, argc, argv);

    bench::FifteenModuleBench run(options, "k400-bench-finish");
    if (!run.ok())
        return 1;
    bench::BenchSession& bench = run.bench;
    const std::filesystem::path& folder = run.folder;

    ConsoleLink& link = bench.session->link();
    ProgramState& state = bench.session->state();
    if (RunConnectSequence(state, link) != ConnectOutcome::Succeeded) {
        std::cerr << "connect failed: " << bench.said() << '\n';
        return 1;
    }

    std::vector<Figures> devicenet, canopen;
    for (int round = 0; round < options.rounds; ++round) {
        devicenet.push_back(TimedFinish<DeviceNetConfiguration>(state, link, ApplicationChoice::DeviceNet, folder));
        canopen.push_back(TimedFinish<CanopenConfiguration>(state, link, ApplicationChoice::Canopen, folder));
        if (!devicenet.back().ok || !canopen.back().ok) {
            std::cerr << "a Finish failed: " << bench.said() << '\n';
            return 1;
        }
    }
    std::printf("Finish with 15 modules, pace %d ms, %d rounds (mean):\n", options.paceMs, options.rounds);
    Print("DeviceNet (33 words)", devicenet);
    Print("CANopen (26 words)", canopen);
    return 0;
}
