#pragma once
// `k400gw` run as its users run it, against `k400gw sim` in a child process.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace k400::test {

constexpr int SimStartMs = 10000;
constexpr int RunLimitMs = 120000;

inline std::string TestData(const std::string& name)
{
    return std::string(K400_TEST_DATA_DIR) + "/" + name;
}

// K400GW_EXE [command] args...
inline std::vector<std::string> K400Argv(std::vector<std::string> args, const char* command = nullptr)
{
    if (command)
        args.insert(args.begin(), command);
    args.insert(args.begin(), K400GW_EXE);
    return args;
}

inline RunResult RunK400(std::vector<std::string> args)
{
    return RunProcess(K400Argv(std::move(args)), RunLimitMs);
}

// `k400gw sim ARGS...`; port is the name a client opens (its first output
// line: a pseudo-terminal, or tcp:// / rfc2217:// with --listen), empty when
// it did not start.
struct SimulatorProcess {
    explicit SimulatorProcess(std::vector<std::string> args = {}) : child(K400Argv(std::move(args), "sim"))
    {
        if (const auto line = child.readLine(SimStartMs))
            port = *line;
    }

    ChildProcess child;
    std::string port;
};

inline std::vector<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace k400::test
