#pragma once
// What the timed runs share: `k400gw sim` in a child process, a console
// session on the port it serves (the command line's own session: real port,
// system clock, output swallowed), and the figures of a child process run to
// its end.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/GatewaySession.h"
#include "cli/Options.h"
#include "support/ChildProcess.h"

namespace k400::bench {

inline double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double TimevalMs(const timeval& t)
{
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
}

// Processor time this process has used so far.
inline double OwnCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return TimevalMs(usage.ru_utime) + TimevalMs(usage.ru_stime);
}

// --rounds, --pace-ms and --k400gw, which every timed run over the simulator takes.
struct RunOptions {
    explicit RunOptions(int defaultRounds) : rounds(defaultRounds) {}
    void addTo(CLI::App& app)
    {
        app.add_option("--rounds", rounds, "rounds to average (default " + std::to_string(rounds) + ")")
            ->check(CLI::Range(1, 1000));
        app.add_option("--pace-ms", paceMs, "pause after each character")->check(CLI::Range(0, 1000));
        app.add_option("--k400gw", exe, "the k400gw executable serving the simulator");
    }

    int rounds;
    int paceMs = LinkTiming{}.PaceMs;
    std::string exe = K400GW_EXE;
};

// `k400gw sim ARGS...`; port is the name a client opens (a pseudo-terminal,
// or tcp:// / rfc2217:// with --listen), empty when it did not start.
struct ServedSimulator {
    ServedSimulator(const std::string& exe, std::vector<std::string> args) : child(Argv(exe, std::move(args)))
    {
        if (const auto line = child.readLine(10000))
            port = *line;
        else
            std::cerr << "the simulator did not start: " << child.stderrText() << '\n';
    }
    static std::vector<std::string> Argv(const std::string& exe, std::vector<std::string> args)
    {
        args.insert(args.begin(), {exe, "sim"});
        return args;
    }

    test::ChildProcess child;
    std::string port;
};

// A console session on a port, as `k400gw scan --port NAME` holds one.
struct BenchSession {
    BenchSession(const std::string& port, int paceMs, bool strictTiming = false)
    {
        SessionOptions options;
        options.port = port;
        options.paceMs = paceMs;
        options.strictTiming = strictTiming;
        options.quiet = true;
        session = GatewaySession::Create(options, ScanOptions{}.parameters(), io);
    }
    // What the core said, for a failure report.
    std::string said() const { return out.str() + err.str(); }

    std::ostringstream out, err;
    CommandIo io{out, err};
    std::unique_ptr<GatewaySession> session;
};

#ifdef K400_BENCH_SCENARIO
// The fifteen-module gateway served on a pseudo-terminal, a session on it and
// a scratch folder for the files a Finish writes; ok() is false (the reason
// on stderr) when the simulator or the session did not start.
struct FifteenModuleBench {
    FifteenModuleBench(const RunOptions& options, const std::string& folderName)
        : sim(options.exe, {"--scenario", K400_BENCH_SCENARIO}), bench(sim.port, options.paceMs),
          folder(std::filesystem::temp_directory_path() / folderName)
    {
        std::filesystem::create_directories(folder);
    }
    ~FifteenModuleBench() { std::filesystem::remove_all(folder); }
    bool ok() const { return !sim.port.empty() && bench.session; }

    ServedSimulator sim;
    BenchSession bench;
    std::filesystem::path folder;
};
#endif

struct ChildFigures {
    int exitCode = -1;
    double wallMs = 0;
    double cpuMs = 0;  // the child's own processor time
    long peakKiB = 0;  // ru_maxrss
};

// Runs argv[0] (a path) with its standard output thrown away, to its end.
inline std::optional<ChildFigures> RunMeasured(const std::vector<std::string>& argv)
{
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (!std::freopen("/dev/null", "w", stdout))
            ::_exit(126);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return std::nullopt;
    ChildFigures figures;
    figures.wallMs = MsSince(start);
    figures.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    figures.cpuMs = TimevalMs(usage.ru_utime) + TimevalMs(usage.ru_stime);
    figures.peakKiB = usage.ru_maxrss;
    return figures;
}

}  // namespace k400::bench
