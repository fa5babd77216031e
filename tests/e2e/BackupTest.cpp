// backup, compare and restore as a plant runs them against `k400gw sim`: a
// gateway's backup held against drifted gateways, restored onto a blank
// replacement, and refused onto one with other modules.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "e2e/SimulatorProcess.h"
#include "sim/Scenario.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

using nlohmann::json;

std::vector<std::string> Fast(std::vector<std::string> args)
{
    args.insert(args.end(), {"--pace-ms", "1"});
    return args;
}

// A simulator with its EEPROM file, serving the built-in gateway or a scenario.
struct Gateway {
    Gateway(const TempFolder& dir, const std::string& scenario)
        : eepromFile((dir / ("eeprom-" + scenario)).string()),
          sim(scenario.empty() ? std::vector<std::string>{"--eeprom-out", eepromFile}
                               : std::vector<std::string>{"--eeprom-out", eepromFile, "--scenario",
                                                          TestData("scenarios/" + scenario)})
    {
    }

    EepromImage eeprom() const
    {
        std::string error;
        return LoadEepromFile(eepromFile, error).value();  // an unreadable file fails the test
    }

    std::string eepromFile;
    SimulatorProcess sim;
};

// The built-in gateway's backup (a CANopen configuration of six modules), made in each test's folder.
class BackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Gateway original(dir_, "");
        const RunResult run = RunK400(Fast({"backup", "--port", original.sim.port, "--output", backupFile_}));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        backup_ = json::parse(ReadFile(backupFile_));
    }

    std::uint32_t FileWord(const char* area, std::size_t i) const
    {
        return static_cast<std::uint32_t>(std::stoul(backup_["image"][area][i].get<std::string>(), nullptr, 16));
    }

    TempFolder dir_{"k400-backup"};
    std::string backupFile_ = (dir_ / "line4.backup.json").string();
    json backup_;
};

struct CompareCase {
    const char* name;
    const char* scenario;            // "" for the built-in gateway
    std::vector<std::string> drift;  // configure options run before the compare
    int exitCode;
    std::vector<std::string> differences;  // "what: file, gateway" of each counting difference
};

class CompareTest : public BackupTest, public ::testing::WithParamInterface<CompareCase> {};

TEST_P(CompareTest, NamesWhatDiffersByMeaning)
{
    const CompareCase& c = GetParam();
    Gateway gateway(dir_, c.scenario);
    if (!c.drift.empty()) {
        std::vector<std::string> args{"configure", "--port", gateway.sim.port, "--output-dir", dir_.path().string()};
        args.insert(args.end(), c.drift.begin(), c.drift.end());
        ASSERT_EQ(RunK400(Fast(args)).exitCode, 0);
    }
    const RunResult run = RunK400(Fast({"compare", "--port", gateway.sim.port, backupFile_, "--json"}));
    ASSERT_EQ(run.exitCode, c.exitCode) << run.err;
    const json report = json::parse(run.out);
    std::vector<std::string> counted;
    for (const json& d : report["differences"])
        if (d["counts"].get<bool>())
            counted.push_back(d["what"].get<std::string>() + ": " + d["file"].get<std::string>() + ", " +
                              d["gateway"].get<std::string>());
    EXPECT_EQ(counted, c.differences);
    // A Finish since the backup changed its date and time: shown, never counted.
    for (const json& w : report["words"])
        EXPECT_EQ(w["counts"].get<bool>(), !(w["block"] == 0 && (w["offset"] == 52 || w["offset"] == 56))) << w.dump();
}

INSTANTIATE_TEST_SUITE_P(
    Gateways, CompareTest,
    ::testing::Values(CompareCase{"Same", "", {}, 0, {}},
                      CompareCase{"SameAfterAnotherFinish", "", {"--profile", "canopen"}, 0, {}},
                      CompareCase{
                          "NodeIdChanged", "", {"--profile", "canopen", "--node-id", "6"}, 3, {"node ID: 3, 6"}},
                      CompareCase{"ModuleChanged", "built-in-with-m39.json", {}, 3, {"module at 0x03: M38, M39"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The backup holds the built-in gateway's words; restored onto a blank unit, they are its words too.
TEST_F(BackupTest, RestoreOntoABlankUnitWritesTheBackupsWords)
{
    const TempFolder dir("k400-restore");
    Gateway blank(dir_, "blank-built-in-modules.json");
    const RunResult run = RunK400(
        Fast({"restore", "--port", blank.sim.port, backupFile_, "--output-dir", dir.path().string(), "--json"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(json::parse(run.out)["eeprom"], "written and verified");
    EXPECT_EQ(backup_["canopen"], json({{"error_control", "heartbeat"}, {"heartbeat_ms", 500}}));
    const EepromImage stored = BuiltInScenario().eeprom;
    const EepromImage restored = blank.eeprom();
    for (std::size_t i = 0; i < 9; ++i) {  // offset 76 lies outside what any write sets
        EXPECT_EQ(FileWord("header", i), stored[0][10 + i]) << "offset " << 40 + 4 * i;
        EXPECT_EQ(restored[0][10 + i], stored[0][10 + i]) << "offset " << 40 + 4 * i;
    }
    ASSERT_EQ(backup_["image"]["application"].size(), 9u);  // three fixed words and one per module
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(FileWord("application", i), stored[2][i]) << "block 2 word " << i;
        EXPECT_EQ(restored[2][i], stored[2][i]) << "block 2 word " << i;
    }
    EXPECT_NE(ReadFile(dir / "COPn3.dcf").find("NodeID=3"), std::string::npos);
    EXPECT_EQ(RunK400(Fast({"compare", "--port", blank.sim.port, backupFile_})).exitCode, 0);
}

TEST_F(BackupTest, RestoreOntoOtherModulesWritesNothing)
{
    const TempFolder dir("k400-refuse");
    Gateway other(dir_, "built-in-with-m39.json");
    const EepromImage before = other.eeprom();
    const RunResult run =
        RunK400(Fast({"restore", "--port", other.sim.port, backupFile_, "--output-dir", dir.path().string()}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("module at 0x03: file M38, gateway M39"), std::string::npos) << run.err;
    EXPECT_EQ(other.eeprom(), before);
    EXPECT_TRUE(FolderEntries(dir).empty());
}

TEST_F(BackupTest, BatchBacksUpAndComparesEveryGateway)
{
    Gateway same(dir_, "");
    Gateway changed(dir_, "built-in-with-m39.json");
    json gateways =
        json::array({{{"name", "same"}, {"port", same.sim.port}, {"backup", "out/same.backup.json"}},
                     {{"name", "changed"}, {"port", changed.sim.port}, {"backup", "out/same.backup.json"}}});
    WriteFile(dir_ / "manifest.json", json{{"output_dir", "out"}, {"gateways", gateways}}.dump());
    std::filesystem::create_directory(dir_ / "out");
    const std::string manifest = (dir_ / "manifest.json").string();
    EXPECT_EQ(RunK400(Fast({"batch", manifest, "--action", "backup"})).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "out" / "changed.backup.json"));

    const RunResult run = RunK400(Fast({"batch", manifest, "--action", "compare", "--json"}));
    ASSERT_EQ(run.exitCode, 3) << run.err;
    const json report = json::parse(run.out);
    EXPECT_EQ(report["gateways"][0]["exit_code"], 0);
    EXPECT_EQ(report["gateways"][1]["exit_code"], 3);
    EXPECT_EQ(report["gateways"][1]["result"]["differences"][0]["what"], "module at 0x03");
}

}  // namespace
}  // namespace k400::test
