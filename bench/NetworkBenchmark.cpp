// A connect to a gateway behind a serial device server against one on a local
// line: the same fifteen-module console served by `k400gw sim` on a
// pseudo-terminal, on raw TCP and on RFC 2217 (loopback), connected to in
// turn each round so that the machine's load falls on all three alike.
//
//   bench_network [--rounds N] [--pace-ms N] [--k400gw PATH]
//
// For each kind of port: mean wall time of the connect, its ratio to the
// pseudo-terminal's, and the client's processor time.

#include <cstdio>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "BenchSupport.h"
#include "gateway/ConnectSequence.h"

int main(int argc, char* argv[])
{
    using namespace k400;
    bench::RunOptions options(5);
    CLI::App app{"a connect over TCP and RFC 2217 against one over a pseudo-terminal", "bench_network"};
    options.addTo(app);
    CLI11_PARSE(app, argc, argv);

    struct Kind {
        const char* name;
        std::vector<std::string> serve;
        double wallMs = 0, cpuMs = 0;
    };
    std::vector<Kind> kinds = {
        {"pseudo-terminal", {}}, {"tcp:// (raw)", {"--listen", ":0"}}, {"rfc2217://", {"--listen", ":0", "--rfc2217"}}};
    std::vector<std::unique_ptr<bench::ServedSimulator>> servers;
    for (Kind& kind : kinds) {
        kind.serve.insert(kind.serve.begin(), {"--scenario", K400_BENCH_SCENARIO});
        servers.push_back(std::make_unique<bench::ServedSimulator>(options.exe, kind.serve));
        if (servers.back()->port.empty())
            return 1;
    }

    for (int round = 0; round < options.rounds; ++round) {
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            // A fresh session each time: opening the port (and, for RFC 2217,
            // setting the line) is part of what a user waits for.
            bench::BenchSession bench(servers[k]->port, options.paceMs);
            if (!bench.session)
                return 1;
            const double cpu = bench::OwnCpuMs();
            const auto start = std::chrono::steady_clock::now();
            const bool ok = RunConnectSequence(bench.session->state(), bench.session->link()) ==
                            ConnectOutcome::Succeeded;
            kinds[k].wallMs += bench::MsSince(start);
            kinds[k].cpuMs += bench::OwnCpuMs() - cpu;
            if (!ok || bench.session->state().ModuleCount != 15) {
                std::fprintf(stderr, "the connect over %s failed: %s\n", servers[k]->port.c_str(),
                             bench.said().c_str());
                return 1;
            }
        }
    }

    const double n = options.rounds;
    std::printf("Connect with 15 modules, pace %d ms, %d rounds (mean):\n", options.paceMs, options.rounds);
    std::printf("%-18s %9s %8s %8s %6s\n", "port", "wall ms", "ratio", "cpu ms", "cpu %");
    for (const Kind& kind : kinds)
        std::printf("%-18s %9.0f %8.3f %8.1f %5.1f%%\n", kind.name, kind.wallMs / n, kind.wallMs / kinds[0].wallMs,
                    kind.cpuMs / n, 100.0 * kind.cpuMs / kind.wallMs);
    for (auto& server : servers)
        server->child.terminate();
    return 0;
}
