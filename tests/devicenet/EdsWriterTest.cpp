#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "gateway/ProgramState.h"
#include "devicenet/EdsWriter.h"
#include "DeviceNetModules.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

const LocalDateTime FinishTime{2026, 12, 5, 14, 5, 9};

std::string Golden(const std::string& name)
{
    return ReadFile(std::filesystem::path(K400_TEST_DATA_DIR) / "devicenet" / name);
}

// Compares line by line first, so that a failure names the line.
void ExpectSameText(const std::string& actual, const std::string& expected)
{
    std::istringstream a(actual), e(expected);
    std::string la, le;
    int line = 1;
    while (std::getline(e, le)) {
        ASSERT_TRUE(std::getline(a, la)) << "missing line " << line << ": " << le;
        ASSERT_EQ(la, le) << "line " << line;
        ++line;
    }
    EXPECT_FALSE(std::getline(a, la)) << "extra line " << line << ": " << la;
    EXPECT_EQ(actual, expected);
}

TEST(DeviceNetEds, PollAndChangeOfStateWithAllFourAssemblies)
{
    ProgramState state;
    AddModule(state, "M44", 26);
    AddModule(state, ModuleSetup{"M27", 3, 0x3F, 0x06, 0x02, 2, 0x04});
    state.ModuleTable[1].TypeCode = state.TarnInfTable[1].TypeCode = 0x03;
    AddModule(state, ModuleSetup{"M60", 10, 0x50, 0x08, 0x00});
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    state.FirmwareVersion = {1, 5};
    state.EdsInfoText = {"Line one\r\nline two", "Tester"};
    ConnectionChoices choices;
    choices.InputSelection = {1, 0, 2, 0};
    choices.OutputSelection = {1, 0, 0, 0};
    ExpectSameText(DeviceNetEdsText(state, choices, FinishTime), Golden("poll_cos.eds"));
}

TEST(DeviceNetEds, StrobeOnlyWithAModuleAtIndexNine)
{
    ProgramState state;
    for (int i = 0; i < 9; ++i)
        AddUnusableEntry(state);
    AddModule(state, "M52", 1);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    state.FirmwareVersion = {2, 10};
    ConnectionChoices choices;
    choices.InputSelection[1] = 2;
    ExpectSameText(DeviceNetEdsText(state, choices, FinishTime), Golden("strobe_only.eds"));
}

TEST(DeviceNetEds, NoAssembliesWritesNoIoInfoButStillTheObjectEntries)
{
    ProgramState state;
    AddModule(state, ModuleSetup{"M24", 2, 0x08, 0x06, 0x01});
    state.FirmwareVersion = {1, 5};
    state.EdsInfoText = {"D", "C"};
    ExpectSameText(DeviceNetEdsText(state, ConnectionChoices{}, FinishTime), Golden("no_assemblies.eds"));
}

TEST(DeviceNetEds, ConnectionNamesFollowTheKindsInUse)
{
    ProgramState state;
    AddModule(state, "M27", 3);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    ConnectionChoices all;
    all.InputSelection = {1, 0, 1, 0};
    all.OutputSelection = {0, 1, 0, 0};
    const std::string text = DeviceNetEdsText(state, all, FinishTime);
    EXPECT_NE(text.find("            Default = 0x000F;        $ Poll/Strobe/COS/Cyclic as default\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("0x0007,        $ Poll/Strobe/COS\r\n"), std::string::npos);
    EXPECT_NE(text.find("0x000B,        $ Poll/Strobe/Cyclic\r\n"), std::string::npos);
    // Input mask from the inputs alone, output mask from the outputs alone.
    EXPECT_NE(text.find("                   0x000D,      $ Poll/Strobe/COS/Cyclic\r\n"), std::string::npos);
    EXPECT_NE(text.find("                   0x0002,      $ Poll/Strobe/COS/Cyclic\r\n"), std::string::npos);

    ConnectionChoices cosOnly;
    cosOnly.InputSelection[2] = 1;
    const std::string cos = DeviceNetEdsText(state, cosOnly, FinishTime);
    EXPECT_NE(cos.find("0x0004,        $ COS\r\n"), std::string::npos);
    EXPECT_NE(cos.find("0x0008,        $ Cyclic\r\n"), std::string::npos);
    EXPECT_EQ(cos.find("PollInfo"), std::string::npos);
}

TEST(DeviceNetEds, FileGoesToTarnDnsWithNodeIdAndReplacesAnOlderOne)
{
    EXPECT_EQ(DeviceNetEdsFileName(5), "TARNDNS 5.eds");
    EXPECT_EQ(DeviceNetEdsFileName(12), "TARNDNS 12.eds");

    const TempFolder folder("k400-dn-eds");
    WriteFile(folder / "TARNDNS 12.eds", "older file, longer than nothing at all");
    ProgramState state;
    state.NodeId = 12;
    AddModule(state, "M44", 1);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    const TextFileResult result = WriteDeviceNetEds(state, ConnectionChoices{}, FinishTime, folder);
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(result.path, folder / "TARNDNS 12.eds");
    EXPECT_EQ(ReadFile(result.path), DeviceNetEdsText(state, ConnectionChoices{}, FinishTime));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++files;
    EXPECT_EQ(files, 1u);  // no temporary file left behind

    const TextFileResult missing =
        WriteDeviceNetEds(state, ConnectionChoices{}, FinishTime, folder / "no" / "such" / "folder");
    EXPECT_FALSE(missing);
    EXPECT_FALSE(missing.error.empty());
}

}  // namespace
}  // namespace k400::test
