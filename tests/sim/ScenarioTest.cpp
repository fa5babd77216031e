#include "sim/Json.h"
#include "sim/Scenario.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <unistd.h>
#include <string>

#include "modules/ModelCatalogue.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

namespace fs = std::filesystem;

const fs::path kScenarioData = fs::path(K400_TEST_DATA_DIR) / "scenarios";
const fs::path kExamples = fs::path(K400_SOURCE_DIR) / "scenarios";

std::string ParseError(std::string_view json)
{
    std::string error;
    EXPECT_FALSE(ParseJson(json, error)) << json;
    return error;
}

std::string ScenarioError(std::string_view json)
{
    std::string error;
    EXPECT_FALSE(ParseScenario(json, error)) << json;
    return error;
}

// --- The JSON reader -----------------------------------------------------------

TEST(Json, ReadsValuesEscapesAndPositions)
{
    std::string error;
    const auto v = ParseJson("\xEF\xBB\xBF{\"a\": [1, -2.5e1, true, null],\n \"s\": \"x\\u00e9\\ud83d\\ude00\\n\\\"\"}", error);
    ASSERT_TRUE(v) << error;
    const JsonValue* a = v->find("a");
    ASSERT_TRUE(a && a->isArray());
    ASSERT_EQ(a->items().size(), 4u);
    EXPECT_EQ(a->items()[0].integerValue(), 1);
    EXPECT_DOUBLE_EQ(a->items()[1].numberValue(), -25.0);
    EXPECT_FALSE(a->items()[1].integerValue());
    EXPECT_TRUE(a->items()[2].boolValue());
    EXPECT_TRUE(a->items()[3].isNull());
    const JsonValue* s = v->find("s");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->stringValue(), "x\xC3\xA9\xF0\x9F\x98\x80\n\"");
    EXPECT_EQ(s->line(), 2u);
    EXPECT_EQ(s->column(), 7u);
    EXPECT_EQ(v->find("missing"), nullptr);
}

TEST(Json, ErrorsNameLineColumnAndCause)
{
    EXPECT_EQ(ParseError("{\"a\": }"), "line 1, column 7: unexpected '}', expected a value");
    EXPECT_EQ(ParseError("[1,\n 2,]"), "line 2, column 4: unexpected ']', expected a value");
    EXPECT_EQ(ParseError(""), "line 1, column 1: unexpected end of input, expected a value");
    EXPECT_EQ(ParseError("{\"a\": 1} x"), "line 1, column 10: unexpected text after the document");
    EXPECT_EQ(ParseError("{\"a\":1,\"a\":2}"), "line 1, column 8: member \"a\" appears twice");
    EXPECT_NE(ParseError("[01]").find("leading zeros"), std::string::npos);
    EXPECT_NE(ParseError("[1.]").find("decimal point"), std::string::npos);
    EXPECT_NE(ParseError("\"abc").find("end of input inside a string"), std::string::npos);
    EXPECT_NE(ParseError("\"a\tb\"").find("control character"), std::string::npos);
    EXPECT_NE(ParseError("\"\\ud800x\"").find("surrogate"), std::string::npos);
    EXPECT_NE(ParseError("\"\\q\"").find("unknown escape"), std::string::npos);
    EXPECT_NE(ParseError("tru").find("unknown word"), std::string::npos);
    EXPECT_NE(ParseError("{1: 2}").find("member name"), std::string::npos);
    EXPECT_NE(ParseError(std::string("[\x01]", 3)).find("byte 0x01"), std::string::npos);
}

TEST(Json, NestingIsLimited)
{
    std::string error;
    EXPECT_TRUE(ParseJson(std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']'), error)) << error;
    const std::string deep = std::string(100000, '[');
    EXPECT_NE(ParseError(deep).find("nesting deeper than 64"), std::string::npos);
    EXPECT_NE(ParseError(std::string(kJsonMaxDepth + 1, '[')).find("nesting"), std::string::npos);
    std::string objects;
    for (std::size_t i = 0; i <= kJsonMaxDepth; ++i)
        objects += "{\"a\":";
    EXPECT_NE(ParseError(objects).find("nesting"), std::string::npos);
}

TEST(Json, MangledScenarioTextNeverCrashes)
{
    std::string error;
    std::string base;
    {
        const auto scenario = LoadScenarioFile((kExamples / "devicenet-k400b.json").string(), error);
        ASSERT_TRUE(scenario) << error;
        base = EepromToJson(scenario->eeprom);
        base.insert(base.size() - 2, ", \"modules\": [{\"address\": 1, \"model\": \"M44\", \"channelTypes\": [1, \"0x2\"]}]");
    }
    ASSERT_TRUE(ParseScenario(base, error)) << error;
    std::mt19937 random(42);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = base;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
            case 0: text[at] = static_cast<char>(random() % 256); break;
            case 1: text.erase(at, 1 + random() % 8); break;
            default: text.insert(at, 1, "{}[]\",:-0e\\u"[random() % 13]); break;
            }
            if (text.empty())
                text = "x";
        }
        std::string why;
        if (!ParseScenario(text, why)) {
            ++refused;
            EXPECT_EQ(why.rfind("line ", 0), 0u) << why;
        }
    }
    EXPECT_GT(refused, 1000);
}

// --- Scenario files --------------------------------------------------------------

TEST(ScenarioLoader, ReadsEveryField)
{
    std::string error;
    const auto s = ParseScenario(R"({
        "description": "all fields",
        "controller": "K400B",
        "eeprom": {"block0": [5, 6], "block1": {"8": -1, "252": "0x01B40024"}, "block2": [4294967295]},
        "firmware": {"major": 3, "minor": 5, "year": 2008, "month": 1, "day": 24},
        "header": [1, 2, 3, 4, 5, 6, 7, 8, 9],
        "modules": [{"address": 26, "model": "M32", "typeCode": "0x3F", "baudCode": 7, "dataFormat": "0x0f",
                     "channelTypes": [2, "0xA"], "d": true, "answers": false, "checksum": "Q1"}],
        "echo": true, "replyDelayMs": 5, "splitBytes": 2, "splitGapMs": 3, "dropWithinMs": 4,
        "scan": {"startDelayMs": 10, "lineIntervalMs": 20, "silent": true},
        "faults": [
            {"kind": "noAnswer", "command": "el 40", "occurrence": 2},
            {"kind": "delay", "index": 7, "delayMs": 900},
            {"kind": "split", "pieceBytes": 1, "gapMs": 2},
            {"kind": "garbage", "command": "", "text": "##"},
            {"kind": "vanish", "command": "/scan"}
        ]})",
                                 error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->controller, "K400B");
    // Firmware words replace the raw block words; the header fills offsets 40..72.
    EXPECT_EQ(s->word(0, 0), 0x0305u);
    EXPECT_EQ(s->word(0, 4), 2008u * 65536 + 256 + 24);
    EXPECT_EQ(s->word(0, 40), 1u);
    EXPECT_EQ(s->word(0, 72), 9u);
    EXPECT_EQ(s->word(1, 8), 0xFFFFFFFFu);
    EXPECT_EQ(s->word(1, 252), 0x01B40024u);
    EXPECT_EQ(s->word(2, 0), 0xFFFFFFFFu);
    ASSERT_EQ(s->modules.size(), 1u);
    const SimModule& m = s->modules[0];
    EXPECT_EQ(m.address, 26);
    EXPECT_EQ(m.typeCode, 0x3F);
    EXPECT_EQ(m.baudCode, 7);
    EXPECT_EQ(m.dataFormat, 0x0F);
    EXPECT_EQ(m.channelTypes, (std::vector<int>{2, 10}));
    EXPECT_TRUE(m.dFlag);
    EXPECT_FALSE(m.answers);
    EXPECT_EQ(m.checksumText, "Q1");
    EXPECT_TRUE(s->echo);
    EXPECT_EQ(s->replyDelayMs, 5);
    EXPECT_EQ(s->splitBytes, 2);
    EXPECT_EQ(s->splitGapMs, 3);
    EXPECT_EQ(s->dropWithinMs, 4);
    EXPECT_EQ(s->scan.startDelayMs, 10);
    EXPECT_EQ(s->scan.lineIntervalMs, 20);
    EXPECT_TRUE(s->scan.silent);
    ASSERT_EQ(s->faults.size(), 5u);
    EXPECT_EQ(s->faults[0].kind, FaultKind::NoAnswer);
    EXPECT_EQ(s->faults[0].match.command, "el 40");
    EXPECT_EQ(s->faults[0].match.occurrence, 2);
    EXPECT_EQ(s->faults[1].kind, FaultKind::Delay);
    EXPECT_FALSE(s->faults[1].match.command);
    EXPECT_EQ(s->faults[1].match.index, 7);
    EXPECT_EQ(s->faults[1].delayMs, 900);
    EXPECT_EQ(s->faults[2].pieceBytes, 1);
    EXPECT_EQ(s->faults[3].match.command, "");
    EXPECT_EQ(s->faults[3].text, "##");
    EXPECT_EQ(s->faults[4].kind, FaultKind::Vanish);
}

TEST(ScenarioLoader, DefaultsOfAnEmptyScenario)
{
    std::string error;
    const auto s = ParseScenario("{}", error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->controller, "K400E");
    EXPECT_TRUE(s->modules.empty());
    EXPECT_EQ(s->eeprom, EepromImage{});
    EXPECT_FALSE(s->echo);
    EXPECT_TRUE(s->faults.empty());
}

TEST(ScenarioLoader, RefusesBadContentWithPositionAndPath)
{
    EXPECT_EQ(ScenarioError("{\n  \"modles\": []\n}"), "line 2, column 13: unknown member \"modles\"");
    EXPECT_EQ(ScenarioError("{\"modules\": [{\"address\": 300, \"model\": \"M44\"}]}"),
              "line 1, column 26: modules[0].address: 300 is out of range 0..255");
    EXPECT_EQ(ScenarioError("[]"), "line 1, column 1: expected an object, found an array");
    EXPECT_NE(ScenarioError("{\"modules\": [{\"model\": \"M44\"}]}").find("needs an \"address\""), std::string::npos);
    EXPECT_NE(ScenarioError("{\"modules\": [{\"address\": 1, \"model\": \"M44\"}, {\"address\": 1, \"model\": \"M28\"}]}")
                  .find("address 1 is used twice"),
              std::string::npos);
    EXPECT_NE(ScenarioError("{\"modules\": [{\"address\": 1, \"model\": \"M!4\"}]}").find("no '!'"), std::string::npos);
    EXPECT_NE(ScenarioError("{\"header\": [1, 2]}").find("expected 9 long words"), std::string::npos);
    EXPECT_NE(ScenarioError("{\"eeprom\": {\"block0\": {\"41\": 1}}}").find("not a long word offset"), std::string::npos);
    EXPECT_NE(ScenarioError("{\"eeprom\": {\"block3\": []}}").find("unknown member \"block3\""), std::string::npos);
    EXPECT_NE(ScenarioError("{\"eeprom\": {\"block0\": [4294967296]}}").find("out of range"), std::string::npos);
    EXPECT_NE(ScenarioError("{\"eeprom\": {\"block0\": [1.5]}}").find("whole number"), std::string::npos);
    EXPECT_NE(ScenarioError("{\"eeprom\": {\"block0\": [\"0xZZ\"]}}").find("not a hexadecimal number"), std::string::npos);
    EXPECT_NE(ScenarioError("{\"faults\": [{\"kind\": \"explode\"}]}").find("not one of"), std::string::npos);
    EXPECT_NE(ScenarioError("{\"faults\": [{\"kind\": \"delay\", \"occurrence\": 2}]}").find("needs a \"command\""),
              std::string::npos);
    EXPECT_NE(ScenarioError("{\"echo\": 1}").find("expected a boolean, found a number"), std::string::npos);
    EXPECT_NE(ScenarioError("{\"firmware\": {\"major\": 1}}").find("missing \"minor\""), std::string::npos);
}

TEST(ScenarioLoader, FilesReportTheirPath)
{
    std::string error;
    EXPECT_FALSE(LoadScenarioFile((kScenarioData / "nonexistent.json").string(), error));
    EXPECT_NE(error.find("nonexistent.json"), std::string::npos);
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

TEST(ScenarioLoader, EveryShippedScenarioLoads)
{
    int count = 0;
    for (const fs::path& dir : {kScenarioData, kExamples})
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() == ".json") {
                std::string error;
                EXPECT_TRUE(LoadScenarioFile(entry.path().string(), error)) << error;
                ++count;
            }
    EXPECT_GE(count, 15);
}

// --- The built-in demo gateway -------------------------------------------------------

TEST(BuiltInScenario, HeaderMatchesItsModulesAndTheDemoFile)
{
    const Scenario s = BuiltInScenario();
    EXPECT_EQ(s.controller, "K400E");
    EXPECT_EQ(s.word(0, 0), 0x0105u);
    EXPECT_EQ(s.word(0, 4), 131533594u);  // 2007/11/26
    const std::uint32_t header[9] = {28573732, 36, 196610, 131597070, 152964864, 196808, 131096, 196620, 0};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(s.word(0, 40 + 4 * i), header[i]) << "offset " << 40 + 4 * i;

    // The stored totals are those of the modules on the line.
    unsigned di = 0, ai = 0, doBytes = 0, ao = 0;
    bool kinds[4] = {};
    for (const SimModule& m : s.modules) {
        const ModelInfo* model = FindModel(m.model);
        ASSERT_NE(model, nullptr) << m.model;
        di += model->DILength();
        ai += model->AILength();
        doBytes += model->DOLength();
        ao += model->AOLength();
        kinds[0] = kinds[0] || model->DIChannels > 0;
        kinds[1] = kinds[1] || model->AIChannels > 0;
        kinds[2] = kinds[2] || model->DOChannels > 0;
        kinds[3] = kinds[3] || model->AOChannels > 0;
        EXPECT_LE(m.address, 15) << "the scan covers addresses 0 to 15";
        EXPECT_GE(m.address, 1);
    }
    EXPECT_EQ(s.word(0, 64), di * 65536 + ai);
    EXPECT_EQ(s.word(0, 68), doBytes * 65536 + ao);
    EXPECT_EQ(s.word(0, 44) & 0xFFFF, 12 + 4 * s.modules.size());
    EXPECT_TRUE(kinds[0] && kinds[1] && kinds[2] && kinds[3]);

    std::string error;
    const auto demo = LoadScenarioFile((kExamples / "demo.json").string(), error);
    ASSERT_TRUE(demo) << error;
    EXPECT_EQ(demo->eeprom, s.eeprom);
    ASSERT_EQ(demo->modules.size(), s.modules.size());
    for (std::size_t i = 0; i < s.modules.size(); ++i) {
        EXPECT_EQ(demo->modules[i].address, s.modules[i].address);
        EXPECT_EQ(demo->modules[i].model, s.modules[i].model);
        EXPECT_EQ(demo->modules[i].typeCode, s.modules[i].typeCode);
        EXPECT_EQ(demo->modules[i].channelTypes, s.modules[i].channelTypes);
    }
}

// --- The EEPROM file ------------------------------------------------------------------

TEST(EepromFile, RoundTripsThroughAnAtomicWrite)
{
    const TempFolder dir("k400sim-eeprom");
    const std::string path = (dir / "eeprom.json").string();
    EepromImage image{};
    image[0][10] = 0x01B40024;
    image[1][0] = 0xFFFFFFFF;
    image[2][63] = 0x80000000;
    std::string error;
    ASSERT_TRUE(WriteEepromFile(path, image, error)) << error;
    const auto back = LoadEepromFile(path, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, image);

    // Written as the console shows the words: signed decimal.
    const std::string text = EepromToJson(image);
    EXPECT_EQ(text.rfind("{\n  \"eeprom\": {\n    \"block0\": [\n      0, 0, 0, 0, 0, 0, 0, 0,\n      0, 0, 28573732, 0,", 0), 0u)
        << text;
    EXPECT_NE(text.find("\"block1\": [\n      -1, 0,"), std::string::npos);
    EXPECT_NE(text.find("-2147483648\n    ]\n  }\n}\n"), std::string::npos);

    EXPECT_FALSE(WriteEepromFile((dir / "no-such-folder" / "e.json").string(), image, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace k400::test
