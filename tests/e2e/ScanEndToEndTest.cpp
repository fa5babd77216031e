// `k400gw scan` against `k400gw sim` over a real pseudo-terminal.

#include <gtest/gtest.h>

#include <string>

#include "support/ChildProcess.h"

namespace k400::test {
namespace {

constexpr int StartTimeoutMs = 10000;
constexpr int RunTimeoutMs = 60000;

std::string Scenario(const std::string& name)
{
    return std::string(K400_TEST_DATA_DIR) + "/scenarios/" + name;
}

class ScanAgainstSimulator : public ::testing::Test {
protected:
    // Serves the scenario (or the built-in gateway) and runs `scan` on it.
    RunResult Scan(const std::string& scenario, std::vector<std::string> options)
    {
        std::vector<std::string> simArgs = {K400GW_EXE, "sim"};
        if (!scenario.empty()) {
            simArgs.push_back("--scenario");
            simArgs.push_back(Scenario(scenario));
        }
        ChildProcess sim(simArgs);
        const auto device = sim.readLine(StartTimeoutMs);
        EXPECT_TRUE(device) << sim.stderrText();
        if (!device)
            return {};
        std::vector<std::string> argv = {K400GW_EXE, "scan", "--port", *device, "--pace-ms", "1"};
        argv.insert(argv.end(), options.begin(), options.end());
        RunResult result = RunProcess(argv, RunTimeoutMs);
        sim.terminate();
        return result;
    }
};

TEST_F(ScanAgainstSimulator, StoredConfigurationAndModulesAsJson)
{
    const RunResult run = Scan("", {"--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string& out = run.out;
    EXPECT_EQ(out.find("{\"controller\":\"K400E\",\"firmware\":\"1.05-2007/11/26\",\"stored_image\":\"valid\""), 0u)
        << out;
    EXPECT_NE(out.find("\"settings\":{\"application\":\"CANopen\",\"node_id\":3,\"can_baud_index\":2,"
                       "\"com2_baud_index\":3,\"com2_checksum\":0,\"com2_timeout\":200}"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\"totals\":{\"di\":2,\"do\":3,\"ai\":24,\"ao\":12}"), std::string::npos) << out;
    EXPECT_NE(out.find("{\"index\":5,\"address\":12,\"name\":\"M32\",\"io_type\":1,\"type_code\":0,"
                       "\"type_code2\":3,\"type_code_count\":2,\"baud\":6,\"data_format\":0,"
                       "\"do\":0,\"ao\":2,\"di\":0,\"ai\":0}]}"),
              std::string::npos)
        << out;
    EXPECT_EQ(run.err.find("Warnning"), std::string::npos);
}

TEST_F(ScanAgainstSimulator, BlankEepromGivesDefaultsAndTheWarning)
{
    const RunResult run = Scan("blank-eeprom.json", {"--scan-baud", "19200", "--scan-timeout", "150"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Stored configuration: invalid"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Node ID: 1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("COM2 baud rate: 19200 bps"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("COM2 time-out: 150 ms"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Attached modules do not match the configuration stored in EEPROM!"), std::string::npos);
    EXPECT_NE(run.out.find("0x02"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("M28"), std::string::npos) << run.out;
}

TEST_F(ScanAgainstSimulator, UnsupportedModelFailsWithNothingOnOutput)
{
    const RunResult run = Scan("unsupported-model.json", {});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("This modules is not supported!"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace k400::test
