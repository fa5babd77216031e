// What a plant does with many gateways, run as users run it against
// `k400gw sim`: the same configuration over every kind of port, a plan saved
// and replayed, and a batch in which one gateway fails.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "e2e/SimulatorProcess.h"
#include "sim/Scenario.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

struct Configured {
    RunResult run;
    EepromImage eeprom{};
    std::string eds;
};

// Serves a fresh built-in gateway (with serverArgs), runs `configure` on it
// with args, and reads back the simulator's EEPROM and the EDS file.
Configured ConfigureVia(const std::vector<std::string>& serverArgs, const std::vector<std::string>& args,
                        const std::string& edsName)
{
    const TempFolder dir("k400-plant");
    const std::string eepromFile = (dir / "eeprom.json").string();
    std::vector<std::string> simArgs{"--eeprom-out", eepromFile};
    simArgs.insert(simArgs.end(), serverArgs.begin(), serverArgs.end());
    SimulatorProcess sim(simArgs);
    Configured c;
    EXPECT_FALSE(sim.port.empty()) << sim.child.stderrText();
    std::vector<std::string> run{"configure", "--port", sim.port, "--pace-ms", "1", "--output-dir", dir.string()};
    run.insert(run.end(), args.begin(), args.end());
    c.run = RunK400(run);
    EXPECT_EQ(sim.child.terminate(), 0) << sim.child.stderrText();
    std::string error;
    const auto eeprom = LoadEepromFile(eepromFile, error);
    EXPECT_TRUE(eeprom.has_value()) << error;
    if (eeprom)
        c.eeprom = *eeprom;
    c.eds = ReadFile(dir / edsName);
    return c;
}

// Block 0 offsets 52 and 56 hold the date and time of the Finish.
void ExpectSameImage(const EepromImage& a, const EepromImage& b, const std::string& what)
{
    for (std::size_t block = 0; block < a.size(); ++block) {
        for (std::size_t word = 0; word < a[block].size(); ++word) {
            const bool finishTime = block == 0 && (word == 52 / 4 || word == 56 / 4);
            EXPECT_TRUE(finishTime || a[block][word] == b[block][word])
                << what << ": block " << block << " offset " << word * 4;
        }
    }
}

std::string WithoutTimes(const std::string& eds)
{
    std::string kept;
    std::size_t at = 0;
    while (at < eds.size()) {
        const std::size_t end = std::min(eds.find('\n', at), eds.size() - 1);
        const std::string line = eds.substr(at, end + 1 - at);
        if (line.find("Time") == std::string::npos && line.find("Date") == std::string::npos)
            kept += line;
        at = end + 1;
    }
    return kept;
}

TEST(PlantWorkflow, ConfigureWritesTheSameOverEveryKindOfPort)
{
    const std::vector<std::string> args{"--profile",  "devicenet", "--node-id", "9",
                                        "--can-baud", "500",       "--poll-in", "2"};
    const Configured local = ConfigureVia({}, args, "TARNDNS 9.eds");
    ASSERT_EQ(local.run.exitCode, 0) << local.run.err;
    for (const std::vector<std::string>& server :
         {std::vector<std::string>{"--listen", ":0"}, {"--listen", ":0", "--rfc2217"}}) {
        const Configured remote = ConfigureVia(server, args, "TARNDNS 9.eds");
        EXPECT_EQ(remote.run.exitCode, 0) << server.back() << ": " << remote.run.err;
        ExpectSameImage(local.eeprom, remote.eeprom, server.back());
        EXPECT_EQ(WithoutTimes(remote.eds), WithoutTimes(local.eds)) << server.back();
    }
}

TEST(PlantWorkflow, SavedPlanReplaysTheSameConfiguration)
{
    const TempFolder plans("k400-plans");
    const std::string plan = (plans / "line4.json").string();
    const Configured direct = ConfigureVia({},
                                           {"--profile", "canopen", "--node-id", "7", "--can-baud", "250",
                                            "--heartbeat", "750", "--description", "Line 4", "--save-plan", plan},
                                           "COPn7.eds");
    ASSERT_EQ(direct.run.exitCode, 0) << direct.run.err;
    const Configured replayed = ConfigureVia({}, {"--plan", plan}, "COPn7.eds");
    ASSERT_EQ(replayed.run.exitCode, 0) << replayed.run.err;
    ExpectSameImage(direct.eeprom, replayed.eeprom, "replayed plan");
    EXPECT_EQ(WithoutTimes(replayed.eds), WithoutTimes(direct.eds));

    // A plan made for other modules is refused before anything is written.
    const std::string other = (plans / "other.json").string();
    WriteFile(other, R"({"plan": 1, "profile": "canopen", "node_id": 8, "modules": [{"model": "M38", "address": 3}]})");
    const Configured refused = ConfigureVia({}, {"--plan", other}, "COPn8.eds");
    EXPECT_EQ(refused.run.exitCode, 1);
    EXPECT_NE(refused.run.err.find("planned M38 at 3, found M44 at 1"), std::string::npos) << refused.run.err;
    EXPECT_EQ(refused.eeprom, BuiltInScenario().eeprom);
    EXPECT_EQ(refused.eds, "");
}

TEST(PlantWorkflow, BatchConfiguresEveryGatewayAndNamesTheOneThatFailed)
{
    const TempFolder dir("k400-batch");
    std::vector<std::unique_ptr<SimulatorProcess>> sims;
    nlohmann::json gateways = nlohmann::json::array();
    // One gateway on each kind of port: the shared pacer writes to each.
    const std::vector<std::vector<std::string>> servers{{}, {"--listen", ":0"}, {"--listen", ":0", "--rfc2217"}};
    for (int node = 11; node <= 13; ++node) {
        const std::string eeprom = (dir / ("eeprom" + std::to_string(node) + ".json")).string();
        std::vector<std::string> simArgs{"--eeprom-out", eeprom};
        const auto& server = servers[static_cast<std::size_t>(node - 11)];
        simArgs.insert(simArgs.end(), server.begin(), server.end());
        sims.push_back(std::make_unique<SimulatorProcess>(simArgs));
        ASSERT_FALSE(sims.back()->port.empty());
        gateways.push_back(
            {{"name", "gw" + std::to_string(node)},
             {"port", sims.back()->port},
             {"plan", {{"plan", 1}, {"profile", "canopen"}, {"node_id", node}, {"can_baud_kbps", 125}}}});
    }
    gateways.push_back({{"name", "unplugged"},
                        {"port", (dir / "no-such-device").string()},
                        {"plan", {{"plan", 1}, {"profile", "canopen"}}}});
    // The output folder does not exist yet: the batch makes it.
    WriteFile(dir / "manifest.json", nlohmann::json{{"output_dir", "eds/new"}, {"gateways", gateways}}.dump());

    const RunResult run =
        RunK400({"batch", (dir / "manifest.json").string(), "--pace-ms", "1", "--json", "--trace-dir", dir.string()});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    const auto report = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_TRUE(report.is_object()) << run.out;
    ASSERT_EQ(report["gateways"].size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(report["gateways"][i]["ok"].get<bool>()) << report["gateways"][i].dump();
    EXPECT_FALSE(report["gateways"][3]["ok"].get<bool>());
    EXPECT_NE(report["gateways"][3]["result"]["error"].get<std::string>().find("no-such-device"), std::string::npos);
    // The sessions share one pacing thread; each trace still shows every
    // character going out on its own.
    for (const char* name : {"gw11", "gw12", "gw13"}) {
        const std::string trace = ReadFile(dir / (std::string(name) + ".trace"));
        EXPECT_NE(trace.find(" >> e\n"), std::string::npos) << name << "\n" << trace.substr(0, 2000);
        EXPECT_EQ(trace.find(" >> el"), std::string::npos) << name << "\n" << trace.substr(0, 2000);
    }

    for (int node = 11; node <= 13; ++node) {
        EXPECT_EQ(sims[static_cast<std::size_t>(node - 11)]->child.terminate(), 0);
        EXPECT_TRUE(std::filesystem::exists(dir / "eds/new" / ("COPn" + std::to_string(node) + ".eds")));
        std::string error;
        const auto eeprom = LoadEepromFile((dir / ("eeprom" + std::to_string(node) + ".json")).string(), error);
        ASSERT_TRUE(eeprom.has_value()) << error;
        EXPECT_EQ((*eeprom)[0][48 / 4] >> 16, static_cast<std::uint32_t>(node)) << "node ID word";
    }
}

TEST(PlantWorkflow, BatchRefusesABadManifestBeforeAnyGateway)
{
    const TempFolder dir("k400-manifest");
    WriteFile(dir / "a-file", "");
    const nlohmann::json plan = {{"plan", 1}, {"profile", "canopen"}};
    const nlohmann::json one = {{"name", "a"}, {"port", "/dev/null"}, {"plan", plan}};
    const struct {
        const char* what;
        std::string manifest;  // empty: no manifest file at all
        const char* names;     // what the error names
    } cases[] = {
        {"no manifest", "", "cannot read the manifest"},
        {"not JSON", "{\"gateways\": [", "manifest.json"},
        {"unknown member", nlohmann::json{{"gateways", {one}}, {"outputdir", "x"}}.dump(), "outputdir"},
        {"no gateways", nlohmann::json{{"output_dir", "x"}}.dump(), "gateways"},
        {"gateway without a port", nlohmann::json{{"gateways", {{{"name", "a"}, {"plan", plan}}}}}.dump(),
         "gateways[0]"},
        {"port used twice",
         nlohmann::json{{"gateways", {one, {{"name", "b"}, {"port", "/dev/null"}, {"plan", plan}}}}}.dump(),
         "used twice"},
        {"bad inline plan",
         nlohmann::json{{"gateways", {{{"name", "a"}, {"port", "/dev/null"}, {"plan", {{"plan", 1}, {"node_id", 0}}}}}}}
             .dump(),
         "gateways[0].plan"},
        {"output folder under a file", nlohmann::json{{"output_dir", "a-file/eds"}, {"gateways", {one}}}.dump(),
         "cannot make the output folder"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir / "manifest.json");
        if (!c.manifest.empty())
            WriteFile(dir / "manifest.json", c.manifest);
        const RunResult run = RunK400({"batch", (dir / "manifest.json").string(), "--pace-ms", "1"});
        EXPECT_EQ(run.exitCode, 2) << c.what << "\n" << run.err;
        EXPECT_NE(run.err.find(c.names), std::string::npos) << c.what << "\n" << run.err;
        EXPECT_EQ(run.err.find("Gateways ("), std::string::npos) << c.what << ": no gateway was started";
    }
}

}  // namespace
}  // namespace k400::test
