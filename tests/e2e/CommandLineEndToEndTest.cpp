// `k400gw` against `k400gw sim` over real pseudo-terminals and TCP ports:
// what it prints and exits with, the EDS files it writes and the EEPROM the
// simulator keeps, the device's life cycle, and the command line checked
// before any port is opened.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "SimulatorProcess.h"
#include "sim/Scenario.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

namespace fs = std::filesystem;

// A gateway that answers is identified twice: the simulator serves one program after another.
TEST(CommandLineEndToEnd, IdentifyTellsWhatTheGatewaySays)
{
    const TempFolder dir("k400-identify-e2e");
    const struct {
        const char* scenario;  // empty: the built-in gateway
        int rc;
        const char* out;
        const char* err;
    } cases[] = {
        {"", 0, "Controller: K400E\nFirmware: 1.05-2007/11/26\n", ""},
        {R"({"controller": "K400B", "firmware": {"major": 3, "minor": 5, "year": 2008, "month": 1, "day": 24}})", 0,
         "Controller: K400B\nFirmware: 3.05-2008/01/24\n", ""},
        {R"({"controller": "X900"})", 1, "", "Error: This modules is not K400B/E!"},
        {R"({"faults": [{"kind": "noAnswer", "command": "exit"}]})", 1, "", "Error: Timeout"},
    };
    for (const auto& c : cases) {
        WriteFile(dir / "scenario.json", c.scenario);
        SimulatorProcess sim(*c.scenario ? std::vector<std::string>{"--scenario", (dir / "scenario.json").string()}
                                         : std::vector<std::string>{});
        ASSERT_FALSE(sim.port.empty()) << sim.child.stderrText();
        for (int run = 0; run < (c.rc == 0 ? 2 : 1); ++run) {
            const RunResult identified = RunK400({"identify", "--port", sim.port, "--pace-ms", "1"});
            EXPECT_EQ(identified.exitCode, c.rc) << c.scenario << identified.err;
            EXPECT_EQ(identified.out, c.out);
            EXPECT_NE(identified.err.find(c.err), std::string::npos) << identified.err;
        }
        EXPECT_EQ(sim.child.terminate(), 0);
    }
}

TEST(CommandLineEndToEnd, SimulatorLinkServesAndGoesAwayButNeverReplacesAFile)
{
    const TempFolder dir("k400-link-e2e");
    const std::string link = (dir / "gateway").string();
    SimulatorProcess sim({"--link", link});
    ASSERT_FALSE(sim.port.empty()) << sim.child.stderrText();
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(RunK400({"identify", "--port", link, "--pace-ms", "1"}).exitCode, 0);
    sim.child.signal(SIGINT);
    EXPECT_EQ(sim.child.wait(SimStartMs), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    WriteFile(dir / "precious.txt", "keep me");
    const RunResult refused = RunK400({"sim", "--link", (dir / "precious.txt").string()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("not a symbolic link"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadFile(dir / "precious.txt"), "keep me");
}

// Refused values end the run before the port is touched: the port given
// cannot be opened, so trying would fail with exit code 1, naming the port.
TEST(CommandLineEndToEnd, CommandLineIsCheckedBeforeThePortOpens)
{
    const TempFolder dir("k400-usage-e2e");
    WriteFile(dir / "plain-file", "x");
    const std::string port = (dir / "no-such-tty").string();
    const std::string notAFolder = (dir / "plain-file" / "eds").string();
    const struct {
        std::vector<std::string> args;
        int rc;
        std::string err;  // the option (or value, or file) the message names
    } cases[] = {
        {{"identify"}, 2, "--port"},
        {{"identify", "--port", port, "--pace-ms", "-3"}, 2, "--pace-ms"},
        {{"scan", "--port", port, "--scan-baud", "1234"}, 2, "--scan-baud"},
        {{"configure", "--port", port}, 2, "--profile"},
        {{"configure", "--port", port, "--profile", "canopen", "--node-id", "200"}, 2, "--node-id"},
        {{"configure", "--port", port, "--profile", "canopen", "--heartbeat", "70000"}, 2, "--heartbeat"},
        {{"configure", "--port", port, "--profile", "canopen", "--poll-in", "1"}, 2, "--poll-in"},
        // The window's own message, as for its Setting button.
        {{"configure", "--port", port, "--profile", "devicenet", "--node-id", "64"}, 2, "Node ID is not supported!"},
        {{"configure", "--port", port, "--profile", "canopen", "--output-dir", notAFolder}, 1, notAFolder},
        {{"sim", "--rfc2217"}, 2, "--rfc2217"},
        {{"sim", "--listen", "65536"}, 2, "65536"},
        {{"sim", "--listen", ":0", "--link", port}, 2, "--link"},
        {{"sim", "--scenario", port}, 1, port},
    };
    for (const auto& c : cases) {
        const RunResult run = RunK400(c.args);
        EXPECT_EQ(run.exitCode, c.rc) << c.args.back() << ": " << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(FolderEntries(dir) == std::vector<std::string>{"plain-file"});
}

RunResult ScanOver(const std::vector<std::string>& simArgs, const std::vector<std::string>& options)
{
    SimulatorProcess sim(simArgs);
    EXPECT_FALSE(sim.port.empty()) << sim.child.stderrText();
    std::vector<std::string> args = {"scan", "--port", sim.port, "--pace-ms", "1"};
    args.insert(args.end(), options.begin(), options.end());
    RunResult run = RunK400(args);
    EXPECT_EQ(sim.child.terminate(), 0) << sim.child.stderrText();
    return run;
}

// A serial device server, raw or RFC 2217, is the same gateway as a local line.
TEST(CommandLineEndToEnd, ScanGivesTheSameResultOverEveryKindOfPort)
{
    const RunResult local = ScanOver({}, {"--json"});
    ASSERT_EQ(local.exitCode, 0) << local.err;
    EXPECT_TRUE(
        local.out.starts_with("{\"controller\":\"K400E\",\"firmware\":\"1.05-2007/11/26\","
                              "\"stored_image\":\"valid\",\"settings\":{\"application\":\"CANopen\","
                              "\"node_id\":3,"))
        << local.out;
    EXPECT_NE(local.out.find("{\"index\":5,\"address\":12,\"name\":\"M32\","), std::string::npos) << local.out;
    EXPECT_EQ(local.err, "");
    for (const std::vector<std::string>& server :
         {std::vector<std::string>{"--listen", ":0"}, {"--listen", ":0", "--rfc2217"}}) {
        const RunResult remote = ScanOver(server, {"--json"});
        EXPECT_EQ(remote.exitCode, 0) << server.back() << ": " << remote.err;
        EXPECT_EQ(remote.out, local.out) << server.back();
        EXPECT_EQ(remote.err, local.err) << server.back();
    }
}

TEST(CommandLineEndToEnd, ScanOfStoredOrBlankEepromsAndOfAnUnsupportedModule)
{
    const struct {
        const char* scenario;
        int rc;
        std::vector<std::string> out;  // lines (or their starts) printed
        const char* err;
    } cases[] = {
        {"k400b-devicenet.json",
         0,
         {"Controller: K400B\n", "Stored configuration: valid\n", "Application layer: DeviceNet\n", "Node ID: 10\n",
          "CAN baud rate: 250 kbit/s\n", "COM2 checksum: on\n", "  2    0x03     M60 "},
         ""},
        {"blank-eeprom.json",
         0,
         {"Stored configuration: invalid\n", "Node ID: 1\n", "COM2 baud rate: 19200 bps\n", "COM2 time-out: 150 ms\n",
          "  2    0x04     M28 "},
         "Attached modules do not match the configuration stored in EEPROM!"},
        {"unsupported-model.json", 1, {}, "This modules is not supported!"},
    };
    for (const auto& c : cases) {
        const RunResult run = ScanOver({"--scenario", TestData("scenarios/") + c.scenario},
                                       {"--scan-baud", "19200", "--scan-timeout", "150"});
        EXPECT_EQ(run.exitCode, c.rc) << c.scenario << ": " << run.err;
        for (const std::string& line : c.out)
            EXPECT_NE(run.out.find(line), std::string::npos) << line << " in\n" << run.out;
        EXPECT_EQ(run.out.empty(), c.out.empty()) << run.out;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
}

// The demo is what a new user runs first: it must complete the whole job.
TEST(CommandLineEndToEnd, DemoConfiguresBothProfilesAndReadsTheResultBack)
{
    const TempFolder folder("k400-demo-e2e");
    const RunResult run = RunK400({"demo", "--pace-ms", "0", "--output-dir", folder.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(ReadFile(folder / "COPn5.eds").find("[1017]\r\nParameterName=Producer Heartbeat Time"),
              std::string::npos);
    EXPECT_NE(ReadFile(folder / "TARNDNS 5.eds").find("PollInfo ="), std::string::npos);
    // The last connect reads back what the DeviceNet Finish stored.
    const auto lastScan = run.out.rfind("Controller: K400E");
    ASSERT_NE(lastScan, std::string::npos) << run.out;
    const std::string tail = run.out.substr(lastScan);
    for (const char* line : {"Stored configuration: valid\n", "Application layer: DeviceNet\n", "Node ID: 5\n"})
        EXPECT_NE(tail.find(line), std::string::npos) << tail;
}

struct Word {
    int block, offset;
    std::uint32_t value;
};

constexpr std::uint32_t Packed(std::uint32_t selection, std::uint32_t cls, std::uint32_t instance, std::uint32_t attr)
{
    return selection << 24 | cls << 16 | instance << 8 | attr;
}

// The built-in gateway (M44@1, M38@3, M28@4, M60@6, M33@10, M32@12, CANopen at
// 50 kbit/s stored) configured with node ID 9.
TEST(ConfigureEndToEnd, BothProfiles)
{
    const struct {
        std::vector<std::string> options;
        const char* eds;
        std::vector<std::string> printed, edsTexts;
        std::vector<Word> words;
    } cases[] = {
        {{"--profile", "canopen", "--guard-time", "1000", "--life-factor", "3", "--description", "Line 4"},
         "COPn9.eds",
         {"COPn9.eds", "Receive PDO", "Transmit PDO"},
         {"[FileInfo]\r\nFileName=VOLK_TARN9.eds\r\n", "\r\nDescription=Line 4\r\n", "\r\nDefaultValue=0x209\r\n",
          "[100C]\r\nParameterName=Guard Time\r\nObjectType=0x7\r\nDataType=0x0006\r\nAccessType=rw\r\n"
          "DefaultValue=0x3E8\r\n"},
         {{0, 40, 0x01B40024},
          {0, 48, 9 << 16 | 0 << 8 | 2} /* node 9, CANopen, the stored 50 kbit/s kept */,
          {2, 0, 0x0003E803} /* node guarding, 1000 ms, factor 3 */}},
        {{"--profile", "devicenet", "--poll-in", "2", "--poll-out", "1", "--strobe-in", "1", "--cos-in", "5",
          "--default-io", "cos", "--can-baud", "500", "--created-by", "e2e"},
         "TARNDNS 9.eds",
         {"   4  INPUT  04(AI,App.03)\n", "   6  OUTPUT 06(AO,App.06)\n"},
         {"$ Created by e2e\r\n", "            Default = 0x000F;        $ Poll/Strobe/COS/Cyclic as default\r\n",
          "$ ID: 0x65         12       Analog Output      ", "\"20 64 24 04 30 17\"",
          "$ End of NORVAK-DNS EDS File\r\n"},
         {{0, 44, 28 << 16 | 36} /* connection area 28, six modules */,
          {0, 48, 9 << 16 | 1 << 8 | 2},
          {2, 8, 1 << 24 | 1 << 16} /* two output and two input assemblies */,
          {1, 0, 2 << 16},
          {1, 4, Packed(2, 0x04, 4, 3)},
          {1, 8, Packed(1, 0x04, 3, 3)},
          {1, 12, Packed(5, 0x64, 4, 0x17)},
          {1, 16, Packed(1, 0x04, 1, 3)},
          {1, 20, Packed(0, 0x04, 0, 3)},
          {1, 24, Packed(0, 0x2B, 1, 0)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.eds);
        const TempFolder dir("k400-configure-e2e");
        const auto eepromFile = (dir / "eeprom.json").string();
        SimulatorProcess sim({"--eeprom-out", eepromFile});
        ASSERT_FALSE(sim.port.empty()) << sim.child.stderrText();
        std::vector<std::string> args{"configure", "--port", sim.port,       "--pace-ms", "1",
                                      "--node-id", "9",      "--output-dir", dir.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const RunResult run = RunK400(args);
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
        for (const std::string& text : c.printed)
            EXPECT_NE(run.out.find(text), std::string::npos) << text << " in\n" << run.out;
        EXPECT_NE(run.out.find("Produce .EDS file is OK"), std::string::npos);
        const std::string eds = ReadFile(dir / c.eds);
        for (const std::string& text : c.edsTexts)
            EXPECT_NE(eds.find(text), std::string::npos) << text;

        EXPECT_EQ(sim.child.terminate(), 0);
        std::string error;
        const auto eeprom = LoadEepromFile(eepromFile, error);
        ASSERT_TRUE(eeprom.has_value()) << error;
        for (const Word& w : c.words)
            EXPECT_EQ((*eeprom)[w.block][w.offset / 4], w.value) << "block " << w.block << " offset " << w.offset;
    }
}

}  // namespace
}  // namespace k400::test
