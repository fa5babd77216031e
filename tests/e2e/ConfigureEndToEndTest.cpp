// `k400gw configure` of both profiles against `k400gw sim` over a
// pseudo-terminal: the printed result, the EDS file and the EEPROM the
// simulator keeps.

#include <gtest/gtest.h>

#include <filesystem>

#include "sim/Scenario.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

struct Configured {
    RunResult run;
    std::string eds;
    EepromImage eeprom{};
};

// Starts the built-in simulated gateway (M44@1, M38@3, M28@4, M60@6, M33@10,
// M32@12), configures it with node ID 9 and the given options, and reads
// back the EDS file and the simulator's EEPROM.
void Configure(const std::string& profile, const std::vector<std::string>& options, const std::string& edsName,
               Configured& result)
{
    TempFolder dir("k400-configure-e2e-" + profile);
    const auto eepromFile = (dir / "eeprom.json").string();
    ChildProcess sim({K400GW_EXE, "sim", "--eeprom-out", eepromFile});
    ASSERT_TRUE(sim.started()) << sim.error();
    const auto device = sim.readLine(10000);
    ASSERT_TRUE(device.has_value()) << sim.stderrText();

    std::vector<std::string> args{K400GW_EXE, "configure", "--port", *device, "--profile", profile, "--pace-ms",
                                  "1", "--node-id", "9", "--output-dir", dir.string()};
    args.insert(args.end(), options.begin(), options.end());
    result.run = RunProcess(args, 120000);
    ASSERT_FALSE(result.run.timedOut);
    ASSERT_EQ(result.run.exitCode, 0) << result.run.out << result.run.err;
    EXPECT_NE(result.run.out.find("Produce .EDS file is OK"), std::string::npos) << result.run.out;
    result.eds = ReadFile(dir / edsName);
    ASSERT_FALSE(result.eds.empty());

    sim.terminate();
    std::string error;
    const auto eeprom = LoadEepromFile(eepromFile, error);
    ASSERT_TRUE(eeprom.has_value()) << error;
    result.eeprom = *eeprom;
}

std::uint32_t Packed(std::uint32_t selection, std::uint32_t cls, std::uint32_t instance, std::uint32_t attribute)
{
    return selection << 24 | cls << 16 | instance << 8 | attribute;
}

TEST(ConfigureEndToEnd, Canopen)
{
    Configured c;
    ASSERT_NO_FATAL_FAILURE(Configure(
        "canopen", {"--guard-time", "1000", "--life-factor", "3", "--description", "Line 4"}, "COPn9.eds", c));
    EXPECT_NE(c.run.out.find("COPn9.eds"), std::string::npos) << c.run.out;
    EXPECT_NE(c.run.out.find("Receive PDO"), std::string::npos);
    EXPECT_NE(c.run.out.find("Transmit PDO"), std::string::npos);

    EXPECT_EQ(c.eds.rfind("[FileInfo]\r\nFileName=VOLK_TARN9.eds\r\n", 0), 0u);
    EXPECT_NE(c.eds.find("\r\nDescription=Line 4\r\n"), std::string::npos);
    EXPECT_NE(c.eds.find("\r\nDefaultValue=0x209\r\n"), std::string::npos);
    EXPECT_NE(c.eds.find("[100C]\r\nParameterName=Guard Time\r\nObjectType=0x7\r\nDataType=0x0006\r\nAccessType=rw\r\n"
                         "DefaultValue=0x3E8\r\n"),
              std::string::npos);

    EXPECT_EQ(c.eeprom[0][40 / 4], 0x01B40024u);
    EXPECT_EQ(c.eeprom[0][48 / 4] >> 16, 9u) << "node ID written into the header";
    EXPECT_EQ(c.eeprom[2][0], 0x0003E803u) << "node guarding, 1000 ms, factor 3";
}

TEST(ConfigureEndToEnd, DeviceNet)
{
    Configured c;
    ASSERT_NO_FATAL_FAILURE(Configure("devicenet",
                                      {"--poll-in", "2", "--poll-out", "1", "--strobe-in", "1", "--cos-in", "5",
                                       "--default-io", "cos", "--created-by", "e2e"},
                                      "TARNDNS 9.eds", c));
    EXPECT_NE(c.run.out.find("   4  INPUT  04(AI,App.03)\n"), std::string::npos) << c.run.out;
    EXPECT_NE(c.run.out.find("   6  OUTPUT 06(AO,App.06)\n"), std::string::npos) << c.run.out;

    EXPECT_NE(c.eds.find("$ Created by e2e\r\n"), std::string::npos);
    EXPECT_NE(c.eds.find("            Default = 0x000F;        $ Poll/Strobe/COS/Cyclic as default\r\n"),
              std::string::npos);
    EXPECT_NE(c.eds.find("$ ID: 0x65         12       Analog Output      "), std::string::npos);
    EXPECT_NE(c.eds.find("\"20 64 24 04 30 17\""), std::string::npos);
    EXPECT_EQ(c.eds.substr(c.eds.size() - 30), "$ End of NORVAK-DNS EDS File\r\n");

    const auto& e = c.eeprom;
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
}

}  // namespace
}  // namespace k400::test
