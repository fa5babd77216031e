// Scenario files: a bad one is refused naming the file, line, column and member
// path of the problem; the reader's limits hold; the shipped scenarios load.

#include "sim/Json.h"
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
    // An expected text starting with "..." need only be contained in the error.
    const struct {
        std::string json, error;
    } cases[] = {
        {"{\"a\": }", "line 1, column 7: unexpected '}', expected a value"},
        {"[1,\n 2,]", "line 2, column 4: unexpected ']', expected a value"},
        {"", "line 1, column 1: unexpected end of input, expected a value"},
        {"{} x", "line 1, column 4: unexpected text after the document"},
        {"{\"echo\":true,\"echo\":true}", "line 1, column 14: member \"echo\" appears twice"},
        {std::string(kJsonMaxDepth + 1, '['), "...nesting deeper than 64"},
        {std::string(kJsonMaxInputBytes + 1, ' '), "line 1, column 1: input larger than 4194304 bytes"},
        {"{\n  \"modles\": []\n}", "line 2, column 13: unknown member \"modles\""},
        {"[]", "line 1, column 1: expected an object, found an array"},
        {"{\"modules\": [{\"address\": 300, \"model\": \"M44\"}]}",
         "line 1, column 26: modules[0].address: 300 is out of range 0..255"},
        {"{\"modules\": [{\"model\": \"M44\"}]}", "...needs an \"address\""},
        {"{\"modules\": [{\"address\": 1, \"model\": \"M44\"}, {\"address\": 1, \"model\": \"M28\"}]}",
         "...address 1 is used twice"},
        {"{\"modules\": [{\"address\": 1, \"model\": \"M!4\"}]}", "...no '!'"},
        {"{\"eeprom\": {\"block0\": {\"41\": 1}}}", "...not a long word offset"},
        {"{\"eeprom\": {\"block0\": [4294967296]}}", "...out of range"},
        {"{\"faults\": [{\"kind\": \"explode\"}]}", "...not one of"},
        {"{\"faults\": [{\"kind\": \"delay\", \"occurrence\": 2}]}", "...needs a \"command\""},
        {"{\"echo\": 1}", "...expected a boolean, found a number"},
        {"{\"firmware\": {\"major\": 1}}", "...missing \"minor\""},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseScenario(c.json, error)) << c.json.substr(0, 80);
        if (c.error.rfind("...", 0) == 0) {
            EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
            EXPECT_NE(error.find(c.error.substr(3)), std::string::npos) << error;
        } else {
            EXPECT_EQ(error, c.error);
        }
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
    EXPECT_NE(error.find("input larger than"), std::string::npos) << error;
    for (const char* bad : {"syntax-error.json", "unknown-member.json", "address-out-of-range.json"}) {
        const std::string path = (kScenarioData / "bad" / bad).string();
        EXPECT_FALSE(LoadScenarioFile(path, error)) << bad;
        EXPECT_EQ(error.rfind(path + ": line ", 0), 0u) << error;
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
