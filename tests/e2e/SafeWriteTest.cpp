// Gateway writes that cannot half-succeed, end to end: `k400gw` against
// `k400gw sim` over pseudo-terminals. After every failed or stopped Finish a
// fresh scan must find the stored image invalid or complete, never a mixture.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <thread>

#include <nlohmann/json.hpp>

#include "support/ChildProcess.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

namespace fs = std::filesystem;

std::string ScenarioPath(const std::string& name)
{
    return std::string(K400_TEST_DATA_DIR) + "/scenarios/" + name;
}

// The simulator on a pseudo-terminal, its EEPROM kept in a file.
struct Sim {
    Sim(const std::string& scenario, const fs::path& eeprom, std::vector<std::string> more = {})
        : child(Argv(scenario, eeprom, std::move(more))), device(child.readLine(10000).value_or(""))
    {
    }
    static std::vector<std::string> Argv(const std::string& scenario, const fs::path& eeprom,
                                         std::vector<std::string> more)
    {
        more.insert(more.begin(), {K400GW_EXE, "sim", "--scenario", scenario, "--eeprom-out", eeprom.string()});
        return more;
    }
    ChildProcess child;
    std::string device;
};

RunResult Gw(std::vector<std::string> args)
{
    args.insert(args.begin(), K400GW_EXE);
    return RunProcess(args, 120000);
}

// What a fresh connect finds: "valid node 9", "invalid".
std::string Stored(const std::string& device)
{
    const RunResult scan = Gw({"scan", "--port", device, "--json", "--pace-ms", "1"});
    if (scan.out.find("\"stored_image\":\"invalid\"") != std::string::npos)
        return "invalid";
    const auto node = scan.out.find("\"node_id\":");
    return node == std::string::npos ? "no scan: " + scan.err
                                     : "valid node " + std::to_string(std::atoi(scan.out.c_str() + node + 10));
}

struct Case {
    const char* name;
    const char* scenario;
    std::vector<std::string> args;  // after --port DEVICE
    int exit;
    const char* errHas;
    const char* storedAfter;  // "" when not looked at
    const char* eds;          // a file that must hold edsHas; "" when no EDS file may be written
    const char* edsHas;
    const char* outHas = "";
    const char* errLacks = "";
};

class Command : public ::testing::TestWithParam<Case> {};

TEST_P(Command, LeavesTheGatewayAsReported)
{
    const Case& c = GetParam();
    TempFolder dir("k400-safe-e2e");
    Sim sim(ScenarioPath(c.scenario), dir / "eeprom.json");
    ASSERT_FALSE(sim.device.empty()) << sim.child.stderrText();
    const std::string before = ReadFile(dir / "eeprom.json");

    std::vector<std::string> args{c.args.front(), "--port", sim.device, "--output-dir", dir.path().string()};
    args.insert(args.end(), c.args.begin() + 1, c.args.end());
    if (c.args.front() == "scan")
        args.erase(args.begin() + 3, args.begin() + 5);
    const RunResult run = Gw(args);
    EXPECT_EQ(run.exitCode, c.exit) << run.out << run.err;
    EXPECT_NE(run.err.find(c.errHas), std::string::npos) << run.err;
    EXPECT_NE(run.out.find(c.outHas), std::string::npos) << run.out;
    if (*c.errLacks) {
        EXPECT_EQ(run.err.find(c.errLacks), std::string::npos) << run.err;
    }
    if (*c.eds) {
        EXPECT_NE(ReadFile(dir / c.eds).find(c.edsHas), std::string::npos);
    } else {
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "only eeprom.json";
    }
    if (c.exit == 2) {
        EXPECT_EQ(ReadFile(dir / "eeprom.json"), before) << "nothing written when refused";
    }
    if (*c.storedAfter) {
        EXPECT_EQ(Stored(sim.device), c.storedAfter);
    }
}

const std::vector<std::string> DeviceNet9{"configure", "--profile", "devicenet", "--node-id", "9", "--pace-ms", "1"};

std::vector<std::string> With(std::vector<std::string> args, std::initializer_list<std::string> more)
{
    args.insert(args.end(), more);
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    SafeWrite, Command,
    ::testing::Values(Case{"AnswerLostInBlock2", "safe-write-lost-answer.json", DeviceNet9, 1,
                           "partly written, marked invalid", "invalid", "", ""},
                      Case{"CharacterLostOnce", "safe-write-lost-characters.json", DeviceNet9, 0, "", "valid node 9",
                           "TARNDNS 9.eds", "", "EEPROM: written and verified"},
                      Case{"CharacterLostEveryTime",
                           "safe-write-lost-characters.json",
                           {"configure", "--profile", "devicenet", "--node-id", "11", "--pace-ms", "1", "--json"},
                           1,
                           "block 0, offset 48: written 721153, read 72115",
                           "invalid",
                           "",
                           "",
                           "\"eeprom\":\"partly written, marked invalid\""},
                      Case{"BlankGatewayNeedsSettings",
                           "blank-eeprom.json",
                           {"configure", "--profile", "canopen", "--pace-ms", "1"},
                           2,
                           "--accept-defaults",
                           "invalid",
                           "",
                           ""},
                      Case{"BlankGatewayAcceptingDefaults",
                           "blank-eeprom.json",
                           {"configure", "--profile", "canopen", "--pace-ms", "1", "--accept-defaults"},
                           0,
                           "",
                           "valid node 1",
                           "COPn1.eds",
                           ""},
                      Case{"DescriptionInWindows1252", "k400b-devicenet.json",
                           With(DeviceNet9, {"--description", "F\xC3\xB6rderband"}), 0, "", "valid node 9",
                           "TARNDNS 9.eds", "$ F\xF6rderband\r\n"},
                      Case{"CharacterWithoutWindows1252Byte", "k400b-devicenet.json",
                           With(DeviceNet9, {"--created-by", "Snow \xE2\x98\x83"}), 2, "\"\xE2\x98\x83\"",
                           "valid node 10", "", ""},
                      Case{"EmptyAssemblyEntryRestoredAsNone",
                           "devicenet-inputs-only.json",
                           {"configure", "--profile", "devicenet", "--pace-ms", "1", "--dry-run", "--json"},
                           0,
                           "",
                           "",
                           "",
                           "",
                           "\"poll\":{\"input\":1,\"output\":0}",
                           "EEPROM ERROR"},
                      Case{"RoughLine", "rough-line.json", {"scan"}, 0, "", "", "", ""},
                      Case{"Replies300msLate", "replies-300ms-late.json", {"scan"}, 0, "", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Signals during configure: before the first EEPROM word the program stops
// at once; during the write after the word in progress (a second Ctrl+C at
// once); once the real mark is being written the write completes.
struct Interrupt {
    const char* name;
    int afterValue;  // the connect types back 20 values; Finish types 22 (the mark last)
    std::vector<int> signals;
    int exit;
    const char* says;
    const char* storedAfter;
};

class Interrupted : public ::testing::TestWithParam<Interrupt> {};

TEST_P(Interrupted, LeavesTheImageInvalidOrComplete)
{
    const Interrupt& c = GetParam();
    TempFolder dir("k400-safe-signal");
    std::string scenario = ReadFile(ScenarioPath("k400b-devicenet.json"));
    scenario.insert(1, "\"pause\": {\"afterValue\": " + std::to_string(c.afterValue) + ", \"ms\": 600},");
    WriteFile(dir / "paused.json", scenario);
    Sim sim((dir / "paused.json").string(), dir / "eeprom.json");
    ASSERT_FALSE(sim.device.empty()) << sim.child.stderrText();

    ChildProcess configure({K400GW_EXE, "configure", "--port", sim.device, "--profile", "devicenet", "--node-id", "9",
                            "--pace-ms", "1", "--output-dir", dir.path().string()});
    EXPECT_EQ(sim.child.readLine(60000), "paused after value " + std::to_string(c.afterValue));
    for (int signal : c.signals) {
        configure.signal(signal);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(configure.wait(30000), c.exit);
    EXPECT_NE(configure.stderrText().find(c.says), std::string::npos) << configure.stderrText();
    EXPECT_FALSE(fs::exists(dir / "TARNDNS 9.eds"));
    EXPECT_EQ(Stored(sim.device), c.storedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    SafeWrite, Interrupted,
    ::testing::Values(Interrupt{"DuringConnect", 5, {SIGINT}, 130, "configuration was not changed", "valid node 10"},
                      Interrupt{"AfterFirstWord", 21, {SIGINT}, 130, "marked invalid", "invalid"},
                      Interrupt{"InBlock2", 31, {SIGTERM}, 143, "marked invalid", "invalid"},
                      Interrupt{"SecondCtrlC", 31, {SIGINT, SIGINT}, 130, "marked invalid", "invalid"},
                      Interrupt{"AtTheMark", 42, {SIGHUP}, 129, "written and verified", "valid node 9"}),
    [](const auto& info) { return std::string(info.param.name); });

// A terminal program that reads the port without a lock is named, at once.
TEST(SafeWrite, PortHeldByAnotherProgramIsOccupied)
{
    TempFolder dir("k400-safe-occupied");
    Sim sim(ScenarioPath("k400b-devicenet.json"), dir / "eeprom.json");
    ASSERT_FALSE(sim.device.empty());
    ChildProcess reader({"/bin/cat", sim.device});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const RunResult run = Gw({"identify", "--port", sim.device});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(sim.device + " has been occupied by cat, PID " + std::to_string(reader.pid())),
              std::string::npos)
        << run.err;
}

// The EDS file through a symbolic link, a killed run's temporary file, and an
// EDS file that cannot be written after the EEPROM was.
TEST(SafeWrite, EdsFileReplacement)
{
    TempFolder dir("k400-safe-eds");
    Sim sim(ScenarioPath("k400b-devicenet.json"), dir / "eeprom.json");
    ASSERT_FALSE(sim.device.empty());
    fs::create_directory(dir / "real");
    fs::create_symlink("real/target.eds", dir / "TARNDNS 9.eds");
    ChildProcess gone({"/bin/true"});
    ASSERT_TRUE(gone.wait(5000).has_value());
    const fs::path stale = dir / "real" / (".target.eds." + std::to_string(gone.pid()) + ".Ab12Cd");
    WriteFile(stale, "half");

    std::vector<std::string> args = With(DeviceNet9, {"--port", sim.device, "--output-dir", dir.path().string()});
    RunResult run = Gw(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(dir / "TARNDNS 9.eds"));
    EXPECT_EQ(ReadFile(dir / "real" / "target.eds").rfind("$ NORVAK-DNS", 0), 0u);
    EXPECT_FALSE(fs::exists(stale));

    fs::remove_all(dir / "real");
    run = Gw(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Cannot write the file target.eds"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("written and verified; only the EDS file is missing"), std::string::npos) << run.err;
    EXPECT_EQ(Stored(sim.device), "valid node 9");
}

// A device server that drops the connection in the middle of the write: the
// client cannot mark anything any more, so the commit order alone must leave
// an image that the next connect calls invalid.
TEST(SafeWrite, ConnectionDroppedMidFinishOverTheNetwork)
{
    for (const std::vector<std::string>& server :
         {std::vector<std::string>{"--listen", ":0"}, {"--listen", ":0", "--rfc2217"}}) {
        TempFolder dir("k400-safe-dropped");
        const std::string scenario = ScenarioPath("safe-write-dropped-connection.json");
        {
            Sim sim(scenario, dir / "eeprom.json", server);
            ASSERT_FALSE(sim.device.empty()) << sim.child.stderrText();
            const RunResult run = Gw(With(DeviceNet9, {"--port", sim.device, "--output-dir", dir.path().string()}));
            EXPECT_EQ(run.exitCode, 1) << server.back() << ": " << run.out << run.err;
            EXPECT_NE(run.err.find("Timeout"), std::string::npos) << run.err;
            EXPECT_EQ(run.out.find("EEPROM: written"), std::string::npos) << run.out;
            EXPECT_EQ(sim.child.wait(10000), 0) << "the server ends with the vanished device";
        }
        EXPECT_FALSE(fs::exists(dir / "TARNDNS 9.eds"));

        // The same modules with the EEPROM the dropped write left behind.
        auto after = nlohmann::json::parse(ReadFile(scenario));
        after.erase("header");
        after.erase("faults");
        after["eeprom"] = nlohmann::json::parse(ReadFile(dir / "eeprom.json"))["eeprom"];
        WriteFile(dir / "after.json", after.dump());
        Sim again((dir / "after.json").string(), dir / "eeprom-after.json");
        ASSERT_FALSE(again.device.empty()) << again.child.stderrText();
        EXPECT_EQ(Stored(again.device), "invalid") << server.back();
    }
}

}  // namespace
}  // namespace k400::test
