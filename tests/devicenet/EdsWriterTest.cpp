#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "devicenet/DeviceNetModules.h"
#include "devicenet/EdsWriter.h"
#include "gateway/ProgramState.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

const LocalDateTime FinishTime{2026, 12, 5, 14, 5, 9};

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Line by line first, so that a failure names the line; then byte-exact.
void ExpectSameAsGolden(const std::string& actual, const std::string& golden)
{
    const std::string expected = ReadFile(std::filesystem::path(K400_TEST_DATA_DIR) / "devicenet" / golden);
    ASSERT_FALSE(expected.empty()) << golden;
    std::istringstream a(actual), e(expected);
    std::string la, le;
    for (int line = 1; std::getline(e, le); ++line) {
        ASSERT_TRUE(std::getline(a, la)) << golden << " ends before line " << line;
        ASSERT_EQ(la, le) << golden << " line " << line;
    }
    EXPECT_EQ(actual, expected) << golden;
}

struct GoldenCase {
    const char* file;
    bool build;  // the objects were built
    void (*setup)(ProgramState&, ConnectionChoices&);
};

const GoldenCase GoldenCases[] = {
    {"poll_cos.eds", true,
     [](ProgramState& s, ConnectionChoices& choices) {
         AddModules(s, {{"M44", 26}, {"M27", 3, 0x3F, 0x06, 0x02, 2, 0x04}, {"M60", 10, 0x50, 0x08, 0x00}});
         s.ModuleTable[1].TypeCode = s.TarnInfTable[1].TypeCode = 0x03;
         s.FirmwareVersion = {1, 5};
         s.EdsInfoText = {"Line one\r\nline two", "Tester"};
         choices.InputSelection = {1, 0, 2, 0};
         choices.OutputSelection = {1, 0, 0, 0};
     }},
    {"strobe_only.eds", true,  // the module sits at table index 9
     [](ProgramState& s, ConnectionChoices& choices) {
         AddModules(s, {{""}, {""}, {""}, {""}, {""}, {""}, {""}, {""}, {""}, {"M52", 1}});
         s.FirmwareVersion = {2, 10};
         choices.InputSelection[1] = 2;
     }},
    {"no_assemblies.eds", false,  // objects never built: no IO_Info, the object entries all the same
     [](ProgramState& s, ConnectionChoices&) {
         AddModule(s, {"M24", 2, 0x08, 0x06, 0x01});
         s.FirmwareVersion = {1, 5};
         s.EdsInfoText = {"D", "C"};
     }},
};

TEST(DeviceNetEds, MatchesTheGoldenFiles)
{
    for (const GoldenCase& c : GoldenCases) {
        ProgramState state;
        ConnectionChoices choices;
        c.setup(state, choices);
        if (c.build) {
            ASSERT_TRUE(BuildDeviceNetObjects(state));
        }
        ExpectSameAsGolden(DeviceNetEdsText(state, choices, FinishTime), c.file);
    }
}

TEST(DeviceNetEds, ConnectionNamesFollowTheKindsInUse)
{
    ProgramState state;
    AddModule(state, {"M27", 3});
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    ConnectionChoices all;
    all.InputSelection = {1, 0, 1, 0};
    all.OutputSelection = {0, 1, 0, 0};
    const std::string text = DeviceNetEdsText(state, all, FinishTime);
    EXPECT_TRUE(Has(text, "            Default = 0x000F;        $ Poll/Strobe/COS/Cyclic as default\r\n"));
    EXPECT_TRUE(Has(text, "0x0007,        $ Poll/Strobe/COS\r\n"));
    EXPECT_TRUE(Has(text, "0x000B,        $ Poll/Strobe/Cyclic\r\n"));
    // Input mask from the inputs alone, output mask from the outputs alone.
    EXPECT_TRUE(Has(text, "                   0x000D,      $ Poll/Strobe/COS/Cyclic\r\n"));
    EXPECT_TRUE(Has(text, "                   0x0002,      $ Poll/Strobe/COS/Cyclic\r\n"));

    ConnectionChoices cosOnly;
    cosOnly.InputSelection[2] = 1;
    const std::string cos = DeviceNetEdsText(state, cosOnly, FinishTime);
    EXPECT_TRUE(Has(cos, "0x0004,        $ COS\r\n"));
    EXPECT_TRUE(Has(cos, "0x0008,        $ Cyclic\r\n"));
    EXPECT_FALSE(Has(cos, "PollInfo"));
}

TEST(DeviceNetEds, ReplacesAnOlderFileAndLeavesNoTemporaryFile)
{
    EXPECT_EQ(DeviceNetEdsFileName(12), "TARNDNS 12.eds");
    const TempFolder folder("k400-dn-eds");
    WriteFile(folder / "TARNDNS 12.eds", "older file, longer than nothing at all");
    ProgramState state;
    state.NodeId = 12;
    AddModule(state, {"M44", 1});
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    const TextFileResult result = WriteDeviceNetEds(state, {}, FinishTime, folder);
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(result.path, folder / "TARNDNS 12.eds");
    EXPECT_EQ(ReadFile(result.path), DeviceNetEdsText(state, {}, FinishTime));
    const auto files = std::distance(std::filesystem::directory_iterator(folder.path()), {});
    EXPECT_EQ(files, 1);

    const TextFileResult missing = WriteDeviceNetEds(state, {}, FinishTime, folder / "no" / "such");
    EXPECT_FALSE(missing);
    EXPECT_FALSE(missing.error.empty());
}

}  // namespace
}  // namespace k400::test
