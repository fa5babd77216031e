// EDS generation for the largest configuration each profile can map: the
// text alone, and the text written to a file (temporary file, then rename).
// Allocations are counted with a replaced global operator new and reported
// per iteration.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <new>
#include <unistd.h>

#include "app/PlannedModules.h"
#include "canopen/DcfWriter.h"
#include "canopen/EdsWriter.h"
#include "canopen/PdoMapping.h"
#include "devicenet/AssemblyObjects.h"
#include "devicenet/ConnectionSettings.h"
#include "devicenet/EdsWriter.h"
#include "gateway/ProgramState.h"

namespace {

std::atomic<long> g_allocations{0};
std::atomic<long> g_allocatedBytes{0};

}  // namespace

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    g_allocatedBytes.fetch_add(static_cast<long>(size), std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

using namespace k400;

// Twelve ten-channel analog input modules fill 30 of the 32 transmit PDOs;
// 32 digital inputs, 32 digital outputs and 4 analog outputs take the rest.
constexpr const char* LargestModules =
    "M29Z@1,M29Z@2,M29Z@3,M29Z@4,M29Z@5,M29Z@6,M29Z@7,M29Z@8,M29Z@9,M29Z@10,M29Z@11,M29Z@12,Q37@13,Q36@14,M33@15";

// The time every EDS file is stamped with.
constexpr LocalDateTime Stamp{2008, 1, 24, 13, 45, 10};

ProgramState LargestState()
{
    ProgramState state;
    std::string error;
    const auto modules = ParsePlannedModules(LargestModules, error);
    if (!modules || !ApplyPlannedModules(state, *modules, error)) {
        std::cerr << "bad module list: " << error << '\n';
        std::exit(1);
    }
    state.NodeId = 63;
    state.FirmwareVersion = {1, 5};
    state.FirmwareDate = {2007, 11, 26};
    state.EdsInfoText = {"benchmark gateway", "bench"};
    return state;
}

void ReportAllocations(benchmark::State& bench, long allocations, long bytes)
{
    const auto n = static_cast<double>(bench.iterations());
    bench.counters["allocs"] = static_cast<double>(allocations) / n;
    bench.counters["alloc_bytes"] = static_cast<double>(bytes) / n;
}

template <typename Body>
void Run(benchmark::State& bench, Body body)
{
    std::size_t size = 0;
    const long a0 = g_allocations.load();
    const long b0 = g_allocatedBytes.load();
    for (auto _ : bench)
        size = body();
    ReportAllocations(bench, g_allocations.load() - a0, g_allocatedBytes.load() - b0);
    bench.counters["file_bytes"] = static_cast<double>(size);
}

void BM_CanopenEdsText(benchmark::State& bench)
{
    ProgramState state = LargestState();
    if (!BuildCanopenPdoMapping(state)) {
        bench.SkipWithError("the configuration cannot be mapped");
        return;
    }
    Run(bench, [&] {
        const std::string text = CanopenEdsText(state, Stamp);
        benchmark::DoNotOptimize(text.data());
        return text.size();
    });
}

// The DCF from the EDS text it goes beside, as Finish writes it.
void BM_CanopenDcfText(benchmark::State& bench)
{
    ProgramState state = LargestState();
    if (!BuildCanopenPdoMapping(state)) {
        bench.SkipWithError("the configuration cannot be mapped");
        return;
    }
    const std::string eds = CanopenEdsText(state, Stamp);
    Run(bench, [&] {
        const std::string text = CanopenDcfText(eds, state);
        benchmark::DoNotOptimize(text.data());
        return text.size();
    });
}

void BM_DeviceNetEdsText(benchmark::State& bench)
{
    ProgramState state = LargestState();
    if (!BuildDeviceNetObjects(state)) {
        bench.SkipWithError("the objects cannot be built");
        return;
    }
    ConnectionChoices choices;
    choices.InputSelection = {1, 1, 1, 0};
    choices.OutputSelection = {1, 0, 0, 0};
    Run(bench, [&] {
        const std::string text = DeviceNetEdsText(state, choices, Stamp);
        benchmark::DoNotOptimize(text.data());
        return text.size();
    });
}

std::filesystem::path BenchFolder()
{
    const auto folder = std::filesystem::temp_directory_path() / ("k400-eds-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

void BM_CanopenEdsFile(benchmark::State& bench)
{
    ProgramState state = LargestState();
    if (!BuildCanopenPdoMapping(state)) {
        bench.SkipWithError("the configuration cannot be mapped");
        return;
    }
    const auto folder = BenchFolder();
    Run(bench, [&] {
        const TextFileResult result = WriteCanopenEds(state, Stamp, folder);
        if (!result.ok)
            bench.SkipWithError(result.error.c_str());
        return static_cast<std::size_t>(std::filesystem::file_size(result.path));
    });
    std::filesystem::remove_all(folder);
}

void BM_DeviceNetEdsFile(benchmark::State& bench)
{
    ProgramState state = LargestState();
    if (!BuildDeviceNetObjects(state)) {
        bench.SkipWithError("the objects cannot be built");
        return;
    }
    const ConnectionChoices choices;
    const auto folder = BenchFolder();
    Run(bench, [&] {
        const TextFileResult result = WriteDeviceNetEds(state, choices, Stamp, folder);
        if (!result.ok)
            bench.SkipWithError(result.error.c_str());
        return static_cast<std::size_t>(std::filesystem::file_size(result.path));
    });
    std::filesystem::remove_all(folder);
}

}  // namespace

BENCHMARK(BM_CanopenEdsText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CanopenDcfText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeviceNetEdsText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CanopenEdsFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeviceNetEdsFile)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
