// What a backup of a fifteen-module gateway costs next to a connect: the
// gateway is configured once (CANopen Finish, so that its stored image covers
// all fifteen modules), then each round times a connect alone and a backup
// (the same connect, every stored word read without typing a value, the
// choices decoded) over a pseudo-terminal against `k400gw sim`.
//
//   bench_backup [--rounds N] [--pace-ms N] [--k400gw PATH]

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "BenchSupport.h"
#include "app/Backup.h"
#include "app/BuildEds.h"
#include "canopen/CanopenConfiguration.h"
#include "gateway/ConnectSequence.h"

int main(int argc, char* argv[])
{
    using namespace k400;
    using bench::MsSince;
    bench::RunOptions options(3);
    CLI::App app{"a backup of fifteen modules next to a connect", "bench_backup"};
    options.addTo(app);
    CLI11_PARSE(app, argc, argv);

    bench::FifteenModuleBench run(options, "k400-bench-backup");
    if (!run.ok())
        return 1;
    bench::BenchSession& bench = run.bench;
    const std::filesystem::path& folder = run.folder;

    GatewaySession& s = *bench.session;
    ConsoleLink& link = s.link();
    ProgramState& state = s.state();
    state.NodeId = 5;  // the scenario's EEPROM holds no configuration: Finish writes this one
    bool configured = RunConnectSequence(state, link) == ConnectOutcome::Succeeded &&
                      BuildEdsFile(state, s.ui(), ApplicationChoice::Canopen, &s.port()) == Profile::Canopen;
    if (configured) {
        CanopenConfiguration configuration(state, s.ui());
        configured = configuration.Load() && configuration.Finish(link, s.clock().localTime(), folder).done();
    }
    if (!configured) {
        std::cerr << "configuring the gateway failed: " << bench.said() << '\n';
        return 1;
    }

    double connectMs = 0, backupMs = 0, readMs = 0;
    std::size_t words = 0;
    for (int round = 0; round < options.rounds; ++round) {
        ProgramState alone;
        auto start = std::chrono::steady_clock::now();
        const bool connected = RunConnectSequence(alone, link) == ConnectOutcome::Succeeded;
        connectMs += MsSince(start);

        ProgramState backedUp;
        start = std::chrono::steady_clock::now();
        bool ok = connected && RunConnectSequence(backedUp, link) == ConnectOutcome::Succeeded;
        const auto readStart = std::chrono::steady_clock::now();
        const auto image = ok ? ReadStoredImage(backedUp, link) : std::nullopt;
        ok = ok && image && DescribeGateway(backedUp, *image, s.clock().localTime()).StoredImageValid;
        readMs += MsSince(readStart);
        backupMs += MsSince(start);
        if (!ok) {
            std::cerr << "a backup failed: " << bench.said() << '\n';
            return 1;
        }
        words = image->Header.size() + image->Connection.size() + image->Application.size();
    }
    const double n = options.rounds;
    std::printf("Backup of 15 modules, pace %d ms, %d rounds (mean):\n", options.paceMs, options.rounds);
    std::printf("connect alone            %7.0f ms\n", connectMs / n);
    std::printf("backup                   %7.0f ms  (%.2f x the connect)\n", backupMs / n,
                connectMs > 0 ? backupMs / connectMs : 0.0);
    std::printf("  reading %2zu words       %7.0f ms  (%.0f ms a word)\n", words, readMs / n,
                words > 0 ? readMs / n / static_cast<double>(words) : 0.0);
    return 0;
}
