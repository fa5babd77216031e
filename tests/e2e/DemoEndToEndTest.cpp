// The demo is what a new user runs first: it must complete the whole job.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/ChildProcess.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

TEST(DemoEndToEnd, ConfiguresBothProfilesAndReadsTheResultBack)
{
    const TempFolder folder("k400-demo-e2e");

    const RunResult run = RunProcess({K400GW_EXE, "demo", "--pace-ms", "0", "--output-dir", folder.string()}, 120000);
    EXPECT_EQ(run.exitCode, 0) << run.err;

    const std::string canopen = ReadFile(folder / "COPn5.eds");
    const std::string devicenet = ReadFile(folder / "TARNDNS 5.eds");
    EXPECT_NE(canopen.find("[1017]\r\nParameterName=Producer Heartbeat Time"), std::string::npos);
    EXPECT_NE(canopen.find("BaudRate_250=1\r\n"), std::string::npos);
    EXPECT_NE(devicenet.find("PollInfo ="), std::string::npos);
    EXPECT_NE(devicenet.find("$ End of NORVAK-DNS EDS File"), std::string::npos);

    // The last connect reads back what the DeviceNet Finish stored.
    const auto lastScan = run.out.rfind("Controller: K400E");
    ASSERT_NE(lastScan, std::string::npos) << run.out;
    const std::string tail = run.out.substr(lastScan);
    EXPECT_NE(tail.find("Stored configuration: valid"), std::string::npos) << tail;
    EXPECT_NE(tail.find("Application layer: DeviceNet"), std::string::npos) << tail;
    EXPECT_NE(tail.find("Node ID: 5"), std::string::npos) << tail;
}

}  // namespace
}  // namespace k400::test
