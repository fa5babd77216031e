#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "sim/Scenario.h"
#include "support/ChildProcess.h"

namespace k400::test {
namespace {

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CanopenEndToEndTest : public ::testing::Test {
protected:
    std::filesystem::path dir;

    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("k400-canopen-e2e-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "out");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(CanopenEndToEndTest, ConfigureAgainstTheSimulatorOverAPseudoTerminal)
{
    const auto eepromFile = (dir / "eeprom.json").string();
    ChildProcess sim({K400GW_EXE, "sim", "--eeprom-out", eepromFile});
    ASSERT_TRUE(sim.started()) << sim.error();
    const auto device = sim.readLine(10000);
    ASSERT_TRUE(device.has_value()) << sim.stderrText();

    const RunResult run = RunProcess({K400GW_EXE, "configure", "--port", *device, "--profile", "canopen",
                                      "--pace-ms", "1", "--node-id", "9", "--guard-time", "1000", "--life-factor",
                                      "3", "--description", "Line 4", "--output-dir", (dir / "out").string()},
                                     120000);
    ASSERT_FALSE(run.timedOut);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Produce .EDS file is OK"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("COPn9.eds"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Receive PDO"), std::string::npos);
    EXPECT_NE(run.out.find("Transmit PDO"), std::string::npos);

    const std::string eds = ReadFile(dir / "out" / "COPn9.eds");
    ASSERT_FALSE(eds.empty());
    EXPECT_EQ(eds.rfind("[FileInfo]\r\nFileName=VOLK_TARN9.eds\r\n", 0), 0u);
    EXPECT_NE(eds.find("\r\nDescription=Line 4\r\n"), std::string::npos);
    EXPECT_NE(eds.find("\r\nDefaultValue=0x209\r\n"), std::string::npos);
    EXPECT_NE(eds.find("[100C]\r\nParameterName=Guard Time\r\nObjectType=0x7\r\nDataType=0x0006\r\nAccessType=rw\r\n"
                       "DefaultValue=0x3E8\r\n"),
              std::string::npos);

    sim.terminate();
    std::string error;
    const auto eeprom = LoadEepromFile(eepromFile, error);
    ASSERT_TRUE(eeprom.has_value()) << error;
    EXPECT_EQ((*eeprom)[0][40 / 4], 0x01B40024u);
    EXPECT_EQ((*eeprom)[0][48 / 4] >> 16, 9u) << "node ID written into the header";
    EXPECT_EQ((*eeprom)[2][0], 0x0003E803u) << "node guarding, 1000 ms, factor 3";
}

}  // namespace
}  // namespace k400::test
