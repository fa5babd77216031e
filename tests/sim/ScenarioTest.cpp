// Scenario files: a bad one is refused naming the file and the line and column
// or the member path of the problem; the reader's limits hold; the shipped scenarios load.

#include "platform/JsonReader.h"
#include "sim/Scenario.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace k400::test {
namespace {

namespace fs = std::filesystem;

const fs::path kScenarioData = fs::path(K400_TEST_DATA_DIR) / "scenarios";
const fs::path kExamples = fs::path(K400_SOURCE_DIR) / "scenarios";

TEST(Scenario, RefusalsNameWhereAndWhy)
{
    // Each error must contain its text: the line and column of a syntax
    // error, the member path of a value the loader refuses.
    const struct {
        std::string json, error;
    } cases[] = {
        {"{\"a\": }", "line 1, column 7"},
        {"[1,\n 2,]", "line 2, column 4"},
        {"", "line 1, column 1"},
        {"{} x", "line 1, column 4"},
        {"{\"echo\":true,\"echo\":true}", "the key \"echo\" appears twice"},
        {std::string(kJsonMaxDepth + 1, '['), "nested deeper than 64"},
        {std::string(kJsonMaxInputBytes + 1, ' '), "larger than 4194304 bytes"},
        {"{\n  \"modles\": []\n}", "unknown member \"modles\""},
        {"[]", "expected object, found array"},
        {"{\"modules\": [{\"address\": 300, \"model\": \"M44\"}]}", "modules[0].address: 300 is out of range 0..255"},
        {"{\"modules\": [{\"model\": \"M44\"}]}", "modules[0]: a module needs an \"address\""},
        {"{\"modules\": [{\"address\": 1, \"model\": \"M44\"}, {\"address\": 1, \"model\": \"M28\"}]}",
         "modules[1]: address 1 is used twice"},
        {"{\"modules\": [{\"address\": 1, \"model\": \"M!4\"}]}", "modules[0].model: a model name"},
        {"{\"eeprom\": {\"block0\": {\"41\": 1}}}", "eeprom.block0: \"41\" is not a long word offset"},
        {"{\"eeprom\": {\"block0\": [4294967296]}}", "eeprom.block0[0]: 4294967296 is out of range"},
        {"{\"faults\": [{\"kind\": \"explode\"}]}", "faults[0].kind: \"explode\" is not one of"},
        {"{\"faults\": [{\"kind\": \"delay\", \"occurrence\": 2}]}", "faults[0]: \"occurrence\" needs a \"command\""},
        {"{\"echo\": 1}", "echo: expected boolean, found number"},
        {"{\"replyDelayMs\": 1.5}", "replyDelayMs: expected a whole number"},
        {"{\"firmware\": {\"major\": 1}}", "firmware: missing \"minor\""},
        {"{\"description\": \"x\\u00e9\\ud83d\\ude00\"}", ""},
        {"\xEF\xBB\xBF{}", ""},
    };
    for (const auto& c : cases) {
        std::string error;
        const bool loaded = ParseScenario(c.json, error).has_value();
        EXPECT_EQ(loaded, c.error.empty()) << c.json.substr(0, 80) << ": " << error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    std::string error;
    EXPECT_TRUE(ParseJson(std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']'), error)) << error;
}

TEST(Scenario, FilesNameTheirPath)
{
    std::string error;
    const std::string missing = (kScenarioData / "nonexistent.json").string();
    EXPECT_FALSE(LoadScenarioFile(missing, error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_FALSE(LoadScenarioFile(kScenarioData.string(), error)) << "a folder";
    EXPECT_EQ(error, "cannot read " + kScenarioData.string());
    EXPECT_FALSE(LoadScenarioFile("/dev/zero", error)) << "an endless source is cut off";
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;
    for (const char* bad : {"syntax-error.json", "unknown-member.json", "address-out-of-range.json"}) {
        const std::string path = (kScenarioData / "bad" / bad).string();
        EXPECT_FALSE(LoadScenarioFile(path, error)) << bad;
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
    }
}

TEST(Scenario, EveryShippedScenarioLoads)
{
    int count = 0;
    for (const fs::path& dir : {kScenarioData, fs::path(K400_TEST_DATA_DIR) / "faults", kExamples})
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() == ".json") {
                std::string error;
                EXPECT_TRUE(LoadScenarioFile(entry.path().string(), error)) << error;
                ++count;
            }
    EXPECT_GE(count, 18);
}

}  // namespace
}  // namespace k400::test
