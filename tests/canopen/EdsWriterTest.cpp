#include <gtest/gtest.h>

#include <filesystem>

#include "gateway/ProgramState.h"
#include "canopen/EdsWriter.h"
#include "canopen/ModuleFixture.h"
#include "canopen/PdoMapping.h"
#include "support/FakeClock.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Line-by-line comparison so that a failure names the first differing line.
void ExpectSameFile(const std::string& actual, const std::string& goldenName)
{
    const std::string expected = ReadFile(std::filesystem::path(K400_TEST_DATA_DIR) / "canopen" / goldenName);
    ASSERT_FALSE(expected.empty()) << goldenName;
    auto a = SplitCrLf(actual);
    auto e = SplitCrLf(expected);
    for (std::size_t i = 0; i < std::min(a.size(), e.size()); ++i)
        ASSERT_EQ(a[i], e[i]) << goldenName << " line " << i + 1;
    ASSERT_EQ(a.size(), e.size()) << goldenName;
    EXPECT_EQ(actual, expected);
}

class EdsWriterTest : public ::testing::Test {
protected:
    ProgramState state;
    FakeClock clock;

    void SetUp() override
    {
        state.FirmwareVersion = {1, 5};
        state.FirmwareDate = {2007, 11, 26};
    }
};

TEST_F(EdsWriterTest, AllFourKindsInNodeGuardingModeOnNodeOne)
{
    PlaceModule(state, 0, {"M38", 3, 13, 0, 0, 0});
    PlaceModule(state, 1, {"M33", 26, 0, 4, 0, 0});
    PlaceModule(state, 2, {"M44", 1, 0, 0, 16, 0});
    PlaceModule(state, 3, {"M17", 5, 0, 0, 0, 5});
    state.NodeId = 1;
    state.CanBaudIndex = 3;
    state.ErrorControlFlags = 0;
    state.GuardTime = 1000;
    state.LifeTimeFactor = 3;
    state.HeartbeatTime = 777;  // not used in node-guarding mode
    clock.local = {2008, 1, 24, 13, 45, 10};
    ASSERT_TRUE(BuildCanopenPdoMapping(state));

    const std::string text = CanopenEdsText(state, clock);
    EXPECT_NE(text.find("\r\nSupportedObjects= 146\r\n"), std::string::npos);
    ExpectSameFile(text, "all_kinds_node1.eds");
}

TEST_F(EdsWriterTest, HeartbeatModeWithOutputsOnly)
{
    PlaceModule(state, 0, {"M38", 3, 13, 0, 0, 0});
    PlaceModule(state, 1, {"M33", 26, 0, 4, 0, 0});
    state.NodeId = 5;
    state.CanBaudIndex = 0;
    state.ErrorControlFlags = 4;
    state.GuardTime = 1000;  // not used in heartbeat mode
    state.HeartbeatTime = 500;
    state.EdsInfoText = {"Test rig", "QA"};
    clock.local = {2009, 12, 31, 0, 30, 0};
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    ExpectSameFile(CanopenEdsText(state, clock), "heartbeat_outputs_node5.eds");
}

TEST_F(EdsWriterTest, NoModulesAtNoon)
{
    state.NodeId = 127;
    state.CanBaudIndex = 7;
    state.FirmwareVersion = {2, 10};
    state.FirmwareDate = {2010, 3, 15};
    clock.local = {2010, 6, 1, 12, 7, 59};
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    ExpectSameFile(CanopenEdsText(state, clock), "no_modules_node127.eds");
}

TEST_F(EdsWriterTest, TwelveHourClockTexts)
{
    EXPECT_EQ(EdsClockText(0, 30), "12:30AM");
    EXPECT_EQ(EdsClockText(9, 15), "09:15AM");
    EXPECT_EQ(EdsClockText(11, 59), "11:59AM");
    EXPECT_EQ(EdsClockText(12, 7), "12:07PM");
    EXPECT_EQ(EdsClockText(13, 5), "01:05PM");
    EXPECT_EQ(EdsClockText(15, 7), "03:07PM");
    EXPECT_EQ(EdsClockText(23, 0), "11:00PM");
}

TEST_F(EdsWriterTest, LineBreaksInUserTextsCannotStartNewKeys)
{
    state.EdsInfoText = {"Hall 3\r\n[DeviceInfo]", "Ann\nLee"};
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    const std::string text = CanopenEdsText(state, clock);
    EXPECT_NE(text.find("\r\nDescription=Hall 3  [DeviceInfo]\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nCreatedBy=Ann Lee\r\n"), std::string::npos);
    // Every line break in the file is a CR LF pair.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
        if (text[i] == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
        }
    }
}

TEST_F(EdsWriterTest, LaterPdosUseHexSectionsAndDisabledCobIds)
{
    // 10 digital output bytes: byte 9 and 10 in receive PDO 4; 20 analog channels reach PDO 11.
    PlaceModule(state, 0, {"D32", 1, 32, 0, 0, 0});
    PlaceModule(state, 1, {"D32", 2, 32, 0, 0, 0});
    PlaceModule(state, 2, {"D16", 3, 16, 0, 0, 0});
    PlaceModule(state, 3, {"A20", 4, 0, 20, 0, 0});
    state.NodeId = 3;
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    const std::string text = CanopenEdsText(state, clock);
    EXPECT_NE(text.find("[1404sub1]\r\nParameterName=COB-ID used by PDO\r\nObjectType=0x7\r\nDataType=0x0007\r\n"
                        "AccessType=rw\r\nDefaultValue=0xC0000000\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("[1403sub1]\r\nParameterName=COB-ID used by PDO\r\nObjectType=0x7\r\nDataType=0x0007\r\n"
                        "AccessType=rw\r\nDefaultValue=0x503\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("=0x140A\r\n"), std::string::npos);
    EXPECT_NE(text.find("=0x161F\r\n"), std::string::npos);
    // PDO 4 maps digital bytes 9 and 10; the analog overflow continues at PDO 5 with channel 13.
    EXPECT_NE(text.find("[1604sub2]\r\nParameterName=PDO mapping for the application object\r\nObjectType=0x7\r\n"
                        "DataType=0x0007\r\nAccessType=rw\r\nDefaultValue=0x62000A08\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("[1605sub1]\r\nParameterName=PDO mapping for the application object\r\nObjectType=0x7\r\n"
                        "DataType=0x0007\r\nAccessType=rw\r\nDefaultValue=0x64110D10\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("[6411sub14]\r\nParameterName=Analogue Outputs 20\r\n"), std::string::npos);
    EXPECT_NE(text.find("[6200subA]\r\nParameterName=Number of Outputs 49h to 50h\r\n"), std::string::npos);
}

TEST_F(EdsWriterTest, WritesIntoTheFolderAndKeepsOldFileOnFailure)
{
    const TempFolder folder("k400-eds");
    state.NodeId = 5;
    ASSERT_TRUE(BuildCanopenPdoMapping(state));

    auto result = WriteCanopenEds(state, clock, folder);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.path, folder / "COPn5.eds");
    EXPECT_EQ(ReadFile(folder / "COPn5.eds"), CanopenEdsText(state, clock));

    const auto missing = folder / "no-such-folder";
    result = WriteCanopenEds(state, clock, missing);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(missing.string()), std::string::npos) << result.error;

    // A folder that cannot be written: the older file stays as it was.
    if (::geteuid() != 0) {
        std::filesystem::permissions(folder.path(),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        const std::string before = ReadFile(folder / "COPn5.eds");
        state.EdsInfoText[0] = "changed";
        result = WriteCanopenEds(state, clock, folder);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(ReadFile(folder / "COPn5.eds"), before);
        std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    }
}

}  // namespace
}  // namespace k400::test
