// `k400gw configure --profile devicenet` against `k400gw sim` over a real
// pseudo-terminal: the EEPROM the simulated gateway ends up with, and the EDS.

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

std::uint32_t Packed(std::uint32_t selection, std::uint32_t cls, std::uint32_t instance, std::uint32_t attribute)
{
    return selection << 24 | cls << 16 | instance << 8 | attribute;
}

TEST(DeviceNetEndToEndTest, ConfigureAgainstTheSimulatorOverAPseudoTerminal)
{
    const auto dir = std::filesystem::temp_directory_path() / ("k400-dn-e2e-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "out");
    const auto eepromFile = (dir / "eeprom.json").string();

    ChildProcess sim({K400GW_EXE, "sim", "--eeprom-out", eepromFile});
    ASSERT_TRUE(sim.started()) << sim.error();
    const auto device = sim.readLine(10000);
    ASSERT_TRUE(device.has_value()) << sim.stderrText();

    // The built-in gateway: M44@1, M38@3, M28@4, M60@6, M33@10, M32@12.
    const RunResult run =
        RunProcess({K400GW_EXE, "configure", "--port", *device, "--profile", "devicenet", "--pace-ms", "1",
                    "--node-id", "9", "--poll-in", "2", "--poll-out", "1", "--strobe-in", "1", "--cos-in", "5",
                    "--default-io", "cos", "--created-by", "e2e", "--output-dir", (dir / "out").string()},
                   120000);
    ASSERT_FALSE(run.timedOut);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("   4  INPUT  04(AI,App.03)\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("   6  OUTPUT 06(AO,App.06)\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Produce .EDS file is OK"), std::string::npos) << run.out;

    const std::string eds = ReadFile(dir / "out" / "TARNDNS 9.eds");
    ASSERT_FALSE(eds.empty());
    EXPECT_NE(eds.find("$ Created by e2e\r\n"), std::string::npos);
    EXPECT_NE(eds.find("            Default = 0x000F;        $ Poll/Strobe/COS/Cyclic as default\r\n"),
              std::string::npos);
    EXPECT_NE(eds.find("$ ID: 0x65         12       Analog Output      "), std::string::npos);
    EXPECT_NE(eds.find("\"20 64 24 04 30 17\""), std::string::npos);
    EXPECT_EQ(eds.substr(eds.size() - 30), "$ End of NORVAK-DNS EDS File\r\n");

    sim.terminate();
    std::string error;
    const auto eeprom = LoadEepromFile(eepromFile, error);
    ASSERT_TRUE(eeprom.has_value()) << error;
    const auto& e = *eeprom;
    EXPECT_EQ(e[0][44 / 4], 28u * 65536 + 36) << "connection area 28, six modules";
    EXPECT_EQ(e[0][48 / 4] >> 8, 9u * 256 + 1) << "node 9, DeviceNet";
    EXPECT_EQ(e[2][8 / 4], 1u << 24 | 1u << 16) << "two output and two input assemblies";
    EXPECT_EQ(e[1][0], 2u * 65536);
    EXPECT_EQ(e[1][1], Packed(2, 0x04, 4, 3));
    EXPECT_EQ(e[1][2], Packed(1, 0x04, 3, 3));
    EXPECT_EQ(e[1][3], Packed(5, 0x64, 4, 0x17));
    EXPECT_EQ(e[1][4], Packed(1, 0x04, 1, 3));
    EXPECT_EQ(e[1][5], Packed(0, 0x04, 0, 3));
    EXPECT_EQ(e[1][6], Packed(0, 0x2B, 1, 0));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace k400::test
