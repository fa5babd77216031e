// The command line against `k400gw sim` over real pseudo-terminals.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "support/ChildProcess.h"

namespace k400::test {
namespace {

constexpr int StartTimeoutMs = 10000;
constexpr int RunTimeoutMs = 60000;

// A simulator in a child process; the device path is its first output line.
class SimulatorProcess {
public:
    explicit SimulatorProcess(std::vector<std::string> extraArgs = {})
    {
        std::vector<std::string> argv = {K400GW_EXE, "sim"};
        argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
        child_ = std::make_unique<ChildProcess>(argv);
        if (auto line = child_->readLine(StartTimeoutMs))
            device_ = *line;
    }

    const std::string& device() const { return device_; }
    ChildProcess& child() { return *child_; }

private:
    std::unique_ptr<ChildProcess> child_;
    std::string device_;
};

RunResult Demo(const std::string& port)
{
    return RunProcess({K400GW_EXE, "identify", "--port", port, "--pace-ms", "1"}, RunTimeoutMs);
}

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/k400-link-e2e-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name, const std::string& content = {}) const
    {
        const std::string path = (path_ / name).string();
        if (!content.empty())
            std::ofstream(path) << content;
        return path;
    }

private:
    std::filesystem::path path_;
};

TEST(LinkEndToEnd, DemoTalksToSimulatorOverPseudoTerminal)
{
    SimulatorProcess sim;
    ASSERT_FALSE(sim.device().empty()) << sim.child().stderrText();
    struct stat info {};
    ASSERT_EQ(::stat(sim.device().c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));

    const RunResult run = Demo(sim.device());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Controller: K400E\nFirmware: 1.05-2007/11/26\n");

    // The simulator keeps serving the next program that opens the device.
    const RunResult again = Demo(sim.device());
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, run.out);

    EXPECT_EQ(sim.child().terminate(), 0);
}

TEST(LinkEndToEnd, ScenarioControllerAndFirmwareReachTheDemo)
{
    TempDir dir;
    const std::string k400b = dir.file(
        "k400b.json", R"({"controller": "K400B", "firmware": {"major": 3, "minor": 5, "year": 2008, "month": 1, "day": 24}})");
    SimulatorProcess sim({"--scenario", k400b});
    ASSERT_FALSE(sim.device().empty()) << sim.child().stderrText();
    const RunResult run = Demo(sim.device());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Controller: K400B\nFirmware: 3.05-2008/01/24\n");
}

TEST(LinkEndToEnd, ConsoleFailuresExitWithOneAndTheMessage)
{
    TempDir dir;
    {
        SimulatorProcess sim({"--scenario", dir.file("other.json", R"({"controller": "X900"})")});
        ASSERT_FALSE(sim.device().empty()) << sim.child().stderrText();
        const RunResult run = Demo(sim.device());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("Error: This modules is not K400B/E!"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    {
        const std::string deaf = dir.file("deaf.json", R"({"faults": [{"kind": "noAnswer", "command": "exit"}]})");
        SimulatorProcess sim({"--scenario", deaf});
        ASSERT_FALSE(sim.device().empty()) << sim.child().stderrText();
        const RunResult run = Demo(sim.device());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("Error: Timeout"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(LinkEndToEnd, DeviceHeldByAnotherProgramIsOccupied)
{
    SimulatorProcess sim;
    ASSERT_FALSE(sim.device().empty()) << sim.child().stderrText();

    // This test process is the other program: it holds the device locked.
    const int holder = ::open(sim.device().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    const RunResult held = Demo(sim.device());
    EXPECT_EQ(held.exitCode, 1);
    EXPECT_NE(held.err.find("Error: " + sim.device() + " has been occupied"), std::string::npos) << held.err;
    EXPECT_TRUE(held.out.empty());

    ::close(holder);
    const RunResult freed = Demo(sim.device());
    EXPECT_EQ(freed.exitCode, 0) << freed.err;
}

TEST(LinkEndToEnd, SimulatorLinkPathWorksAndIsRemovedOnTermination)
{
    TempDir dir;
    const std::string link = dir.file("gateway");
    SimulatorProcess sim({"--link", link});
    ASSERT_FALSE(sim.device().empty()) << sim.child().stderrText();
    ASSERT_TRUE(std::filesystem::is_symlink(link));

    const RunResult run = Demo(link);
    EXPECT_EQ(run.exitCode, 0) << run.err;

    sim.child().signal(SIGINT);
    EXPECT_EQ(sim.child().wait(StartTimeoutMs), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(LinkEndToEnd, BadCommandLinesAreUsageErrors)
{
    EXPECT_EQ(RunProcess({K400GW_EXE, "sim", "--scenario"}, RunTimeoutMs).exitCode, 2);
    EXPECT_EQ(RunProcess({K400GW_EXE, "identify", "--pace-ms", "-3"}, RunTimeoutMs).exitCode, 2);
    const RunResult missing = RunProcess({K400GW_EXE, "sim", "--scenario", "/no/such/scenario.json"}, RunTimeoutMs);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("/no/such/scenario.json"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace k400::test
