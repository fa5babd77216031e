// Connect with fifteen modules, CANopen Finish and DeviceNet Finish over a
// real pseudo-terminal against `k400gw sim`, and the peak memory of a whole
// `k400gw configure` run.
//
//   bench_endtoend [--pace-ms N] [--rounds N] [--strict-timing] [--k400gw PATH] [--scenario FILE]
//
// For each procedure: wall time; the floor, i.e. what the dialogue cannot go
// below: (characters + lines) x pace + the simulator's scan delays + one
// ConsoleTimeoutMs for every step whose marker never comes (recovery steps
// sent at the top level, with --strict-timing) or one SettleMs for every
// quiet line the link waits for (answered recovery steps, the start of the
// scan); wall / floor; and the client's processor time.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "BenchSupport.h"
#include "canopen/CanopenConfiguration.h"
#include "devicenet/DeviceNetConfiguration.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "gateway/ProgramState.h"
#include "platform/Clock.h"
#include "platform/qt/QtSerialPort.h"
#include "support/RecordingUserInterface.h"

namespace {

using namespace k400;
namespace fs = std::filesystem;

// The real port, counting what is sent and when each line starts and ends.
class CountingPort final : public SerialPort {
public:
    CountingPort(SerialPort& inner, Clock& clock) : inner_(inner), clock_(clock) {}

    void setPortName(const std::string& name) override { inner_.setPortName(name); }
    std::string portName() const override { return inner_.portName(); }
    PortOpenError open() override { return inner_.open(); }
    bool isOpen() const override { return inner_.isOpen(); }
    void close() override { inner_.close(); }
    std::size_t inputCount() override { return inner_.inputCount(); }
    std::size_t outputCount() override { return inner_.outputCount(); }
    std::string readAll() override { return inner_.readAll(); }
    void clearInput() override { inner_.clearInput(); }
    bool waitForInput(int timeoutMs) override { return inner_.waitForInput(timeoutMs); }
    void write(std::string_view data) override
    {
        for (char c : data) {
            if (atLineStart_) {
                lineStarts.push_back(clock_.nowMs());
                texts.emplace_back();
                atLineStart_ = false;
            }
            if (c == '\r') {
                ++lines;
                lineEnds.push_back(clock_.nowMs());
                atLineStart_ = true;
            } else {
                ++characters;
                texts.back() += c;
            }
        }
        inner_.write(data);
    }

    void reset()
    {
        characters = lines = 0;
        lineStarts.clear();
        lineEnds.clear();
        texts.clear();
        atLineStart_ = true;
    }
    // Gaps from one line's end to the next line's start of at least minMs and
    // below maxMs, the scan's own wait not counted.
    int gaps(std::int64_t minMs, std::int64_t maxMs) const
    {
        int count = 0;
        for (std::size_t i = 0; i + 1 < lineStarts.size() && i < lineEnds.size(); ++i) {
            const std::int64_t gap = lineStarts[i + 1] - lineEnds[i];
            if (gap >= minMs && gap < maxMs && texts[i] != "/scan")
                ++count;
        }
        return count;
    }

    long characters = 0;
    long lines = 0;
    std::vector<std::int64_t> lineStarts;
    std::vector<std::int64_t> lineEnds;
    std::vector<std::string> texts;

private:
    SerialPort& inner_;
    Clock& clock_;
    bool atLineStart_ = true;
};

struct Figures {
    std::string name;
    bool ok = false;
    double wallMs = 0;
    double floorMs = 0;
    double cpuMs = 0;
    long characters = 0;
    long lines = 0;
    int timeouts = 0;
    int settles = 0;
};

void Print(const Figures& f, int paceMs)
{
    std::printf("%-18s %-4s %9.0f %9.0f %6.3f %8.1f %6.2f%% %6ld %5ld %4d %6d\n", f.name.c_str(), f.ok ? "ok" : "FAIL",
                f.wallMs, f.floorMs, f.floorMs > 0 ? f.wallMs / f.floorMs : 0.0, f.cpuMs,
                f.wallMs > 0 ? 100.0 * f.cpuMs / f.wallMs : 0.0, f.characters, f.lines, f.timeouts, f.settles);
    (void)paceMs;
}

template <typename Run>
Figures Measure(const std::string& name, CountingPort& port, ConsoleLink& link, double simDelayMs, Run run)
{
    Figures f;
    f.name = name;
    port.reset();
    const auto start = std::chrono::steady_clock::now();
    const double cpu = bench::OwnCpuMs();
    f.ok = run();
    f.cpuMs = bench::OwnCpuMs() - cpu;
    f.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    f.characters = port.characters;
    f.lines = port.lines;
    const LinkTiming& t = link.Timing;
    f.timeouts = port.gaps(t.ConsoleTimeoutMs, INT64_MAX);
    f.settles = t.StrictTiming ? 0 : port.gaps(t.SettleMs, t.ConsoleTimeoutMs);
    f.floorMs = static_cast<double>(f.characters + f.lines) * t.PaceMs + simDelayMs +
                static_cast<double>(f.timeouts) * t.ConsoleTimeoutMs + static_cast<double>(f.settles) * t.SettleMs;
    return f;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string exe = K400GW_EXE;
    std::string scenario = K400_BENCH_SCENARIO;
    int paceMs = 5;
    int rounds = 1;
    bool strict = false;
    CLI::App app{"connect and both Finishes over a pseudo-terminal", "bench_endtoend"};
    app.add_option("--pace-ms", paceMs, "pause after each character (default 5)")->check(CLI::Range(0, 1000));
    app.add_option("--rounds", rounds, "times to repeat the three procedures (default 1)")->check(CLI::Range(1, 1000));
    app.add_flag("--strict-timing", strict, "recovery steps wait out their whole time-out");
    app.add_option("--k400gw", exe, "the k400gw executable serving the simulator");
    app.add_option("--scenario", scenario, "the simulated gateway (default: fifteen modules)");
    CLI11_PARSE(app, argc, argv);

    bench::ServedSimulator sim(exe, {"--scenario", scenario});
    if (sim.port.empty())
        return 1;
    // The scenario's scan: 20 ms to the first module, 20 ms between lines and
    // before the closing lines, fifteen modules.
    constexpr double ScanDelayMs = 20 + 15 * 20;

    const fs::path out = fs::temp_directory_path() / ("k400-bench-" + std::to_string(::getpid()));
    fs::create_directories(out);

    SystemClock clock;
    test::RecordingUserInterface ui;
    QtSerialPort serial;
    serial.setPortName(sim.port);
    CountingPort port(serial, clock);
    LinkTiming timing;
    timing.PaceMs = paceMs;
    timing.StrictTiming = strict;
    ConsoleLink link(port, clock, ui, timing);

    std::printf("pace %d ms, %s timing\n", paceMs, strict ? "strict" : "settling");
    std::printf("%-18s %-4s %9s %9s %6s %8s %7s %6s %5s %4s %6s\n", "procedure", "", "wall ms", "floor ms", "ratio",
                "cpu ms", "cpu%", "chars", "lines", "t/o", "settle");
    bool allOk = true;
    for (int round = 0; round < rounds; ++round) {
        ProgramState state;
        const Figures connect = Measure("connect (15)", port, link, ScanDelayMs, [&] {
            return RunConnectSequence(state, link) == ConnectOutcome::Succeeded && state.ModuleCount == 15;
        });
        Print(connect, paceMs);
        allOk = allOk && connect.ok;
        if (!connect.ok)
            break;

        const Figures canopen = Measure("CANopen Finish", port, link, 0, [&] {
            CanopenConfiguration configuration(state, ui);
            return configuration.Load() && configuration.Finish(link, clock.localTime(), out).done();
        });
        Print(canopen, paceMs);

        const Figures devicenet = Measure("DeviceNet Finish", port, link, 0, [&] {
            DeviceNetConfiguration configuration(state, ui);
            return configuration.Load() && configuration.Finish(link, clock.localTime(), out).done();
        });
        Print(devicenet, paceMs);
        allOk = allOk && canopen.ok && devicenet.ok;
    }

    std::vector<std::string> configure = {exe,       "configure",    "--port",     sim.port,    "--profile",
                                          "canopen", "--output-dir", out.string(), "--pace-ms", "1"};
    if (strict)
        configure.push_back("--strict-timing");
    const auto run = bench::RunMeasured(configure);
    if (run)
        std::printf("k400gw configure: peak memory %.1f MiB (ru_maxrss), exit code %d\n", run->peakKiB / 1024.0,
                    run->exitCode);
    allOk = allOk && run && run->exitCode == 0;

    sim.child.terminate();
    fs::remove_all(out);
    return allOk ? 0 : 1;
}
