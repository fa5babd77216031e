// `k400gw batch` configuring eight gateways at once against configuring one:
// each gateway is a `k400gw sim` with fifteen modules on its own
// pseudo-terminal, started fresh for every run, so every run configures
// never-configured gateways alike. The batch runs as a child process; its
// processor time comes from wait4.
//
//   bench_batch [--gateways N] [--rounds N] [--pace-ms N] [--k400gw PATH]
//
// Figures: mean wall time of one gateway alone and of N together, their
// ratio, and the batch's processor time against its wall time.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "BenchSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace k400;

// One batch run over `count` fresh simulated gateways.
std::optional<bench::ChildFigures> RunBatch(const std::string& exe, int count, int paceMs, const fs::path& folder)
{
    std::vector<std::unique_ptr<bench::ServedSimulator>> sims;
    nlohmann::json gateways = nlohmann::json::array();
    for (int g = 0; g < count; ++g) {
        sims.push_back(
            std::make_unique<bench::ServedSimulator>(exe, std::vector<std::string>{"--scenario", K400_BENCH_SCENARIO}));
        if (sims.back()->port.empty())
            return std::nullopt;
        gateways.push_back(
            {{"name", "gw" + std::to_string(g + 1)},
             {"port", sims.back()->port},
             {"plan", {{"plan", 1}, {"profile", "canopen"}, {"node_id", g + 1}, {"can_baud_kbps", 125}}}});
    }
    const fs::path manifest = folder / "manifest.json";
    std::ofstream(manifest) << nlohmann::json{{"output_dir", folder.string()}, {"gateways", gateways}}.dump(2);
    auto run = bench::RunMeasured({exe, "batch", manifest.string(), "--pace-ms", std::to_string(paceMs)});
    if (run && run->exitCode != 0) {
        std::fprintf(stderr, "the batch of %d ended with exit code %d\n", count, run->exitCode);
        return std::nullopt;
    }
    for (auto& sim : sims)
        sim->child.terminate();
    return run;
}

}  // namespace

int main(int argc, char* argv[])
{
    int gateways = 8;
    bench::RunOptions options(2);
    CLI::App app{"a batch of many gateways against one gateway alone", "bench_batch"};
    app.add_option("--gateways", gateways, "gateways in the batch (default 8)")->check(CLI::Range(1, 64));
    options.addTo(app);
    CLI11_PARSE(app, argc, argv);

    const fs::path folder = fs::temp_directory_path() / ("k400-bench-batch-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    double oneMs = 0, oneCpuMs = 0, manyMs = 0, manyCpuMs = 0;
    for (int round = 0; round < options.rounds; ++round) {
        const auto one = RunBatch(options.exe, 1, options.paceMs, folder);
        const auto many = RunBatch(options.exe, gateways, options.paceMs, folder);
        if (!one || !many)
            return 1;
        oneMs += one->wallMs;
        oneCpuMs += one->cpuMs;
        manyMs += many->wallMs;
        manyCpuMs += many->cpuMs;
    }
    fs::remove_all(folder);
    // What one pause of the pacing costs by itself: every gateway sleeps once
    // after each character, and on a virtual machine each wake-up counts.
    constexpr int Pauses = 200;
    const double sleepCpu = bench::OwnCpuMs();
    for (int i = 0; i < Pauses; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(options.paceMs));
    const double pauseUs = (bench::OwnCpuMs() - sleepCpu) * 1000.0 / Pauses;

    const double n = options.rounds;
    std::printf("batch configure (CANopen, 15 modules each), pace %d ms, %d rounds (mean):\n", options.paceMs,
                options.rounds);
    std::printf("1 gateway alone        %7.0f ms  (processor time %.0f ms, %.1f %%)\n", oneMs / n, oneCpuMs / n,
                100.0 * oneCpuMs / oneMs);
    std::printf("%2d gateways at once    %7.0f ms  (%.2f x one alone)\n", gateways, manyMs / n, manyMs / oneMs);
    std::printf("batch processor time   %7.0f ms  (%.1f %% of its wall time)\n", manyCpuMs / n,
                100.0 * manyCpuMs / manyMs);
    std::printf("one %d ms pause alone   %7.0f us of processor time\n", options.paceMs, pauseUs);
    return 0;
}
