#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/ScriptedPort.h"
#include "gateway/ProgramState.h"
#include "gateway/ConsoleLink.h"
#include "modules/ModuleInfo.h"
#include "modules/ModuleInfoTable.h"

namespace k400::test {
namespace {

class ModuleQuery : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(port.open().ok()); }

    // A module entry as the scan leaves it before classification.
    void Place(std::uint8_t index, std::string name, std::string address)
    {
        state.CurrentModuleIndex = index;
        state.ModuleTable[index].Name = std::move(name);
        state.ModuleTable[index].Address = std::move(address);
    }

    FakeClock clock;
    ScriptedPort port{clock};
    RecordingUserInterface ui;
    ConsoleLink link{port, clock, ui};
    ProgramState state;
};

TEST_F(ModuleQuery, ClassifyingOverwritesAllCountsOfAReusedEntry)
{
    Place(0, "M40", "3");
    ASSERT_TRUE(ModuleChInfo(state, "M40"));
    Place(0, "M28", "3");
    ASSERT_TRUE(ModuleChInfo(state, "M28"));
    const auto& s = state.ModuleTable[0];
    EXPECT_EQ(s.DOChannels, 0);
    EXPECT_EQ(s.AOChannels, 0);
    EXPECT_EQ(s.DIChannels, 0);
    EXPECT_EQ(s.AIChannels, 8);
    const auto& t = state.TarnInfTable[0];
    EXPECT_EQ(t.Name, "M28");
    EXPECT_EQ(t.Address, 3);
    EXPECT_EQ(t.IOType, 3);
    EXPECT_EQ(t.AILength, 16);
    EXPECT_EQ(t.DOLength, 0);
    EXPECT_EQ(t.DILength, 0);
}

TEST_F(ModuleQuery, TotalsAddUpTheLengthsOfEveryModule)
{
    Place(0, "M27", "1");
    ASSERT_TRUE(ModuleChInfo(state, "M27"));  // DO 4, AO 1, DI 1, AI 2
    Place(1, "M38", "2");
    ASSERT_TRUE(ModuleChInfo(state, "M38"));  // DO 13
    EXPECT_EQ(state.TotalDOBytes, 1 + 2);
    EXPECT_EQ(state.TotalAOBytes, 2);
    EXPECT_EQ(state.TotalDIBytes, 1);
    EXPECT_EQ(state.TotalAIBytes, 4);
    EXPECT_EQ(state.TarnInfTable[1].DOLength, 2);

    // Fifteen large analog modules pass one byte.
    state.TotalAIBytes = 0;
    for (std::uint8_t i = 0; i < 15; ++i) {
        Place(i, "M29Z", std::to_string(i + 1));
        ASSERT_TRUE(ModuleChInfo(state, "M29Z"));
    }
    EXPECT_EQ(state.TotalAIBytes, 300);
}

TEST_F(ModuleQuery, UnknownModelEmptiesOnlyTheAddress)
{
    Place(2, "M40", "7");
    ASSERT_TRUE(ModuleChInfo(state, "M40"));
    const auto before = state.ModuleTable[2];
    const auto totalDO = state.TotalDOBytes;
    state.ModuleTable[2].Name = "Q29W";
    EXPECT_FALSE(ModuleChInfo(state, "Q29W"));
    EXPECT_EQ(state.ModuleTable[2].Address, "");
    EXPECT_EQ(state.ModuleTable[2].DOChannels, before.DOChannels);
    EXPECT_EQ(state.ModuleTable[2].DIChannels, before.DIChannels);
    EXPECT_EQ(state.TotalDOBytes, totalDO);
    EXPECT_EQ(state.TarnInfTable[2].Name, "M40");
}

TEST_F(ModuleQuery, ConfigurationReplyFillsBothTables)
{
    Place(0, "M28", "1");
    port.expectLine("$012").reply("!0140060F\r\n[COM2:]");
    ASSERT_TRUE(ModuleOtherInfo(state, link));
    EXPECT_TRUE(port.scriptFollowed()) << port.report();
    const auto& s = state.ModuleTable[0];
    const auto& t = state.TarnInfTable[0];
    EXPECT_EQ(s.TypeCode, 0x40);
    EXPECT_EQ(s.DataFormat, 0x0F);
    EXPECT_EQ(s.TypeCodeCount, 1);
    EXPECT_EQ(t.TypeCode, 0x40);
    EXPECT_EQ(t.Baud, 0x06);
    EXPECT_EQ(t.DataFormat, 0x0F);
    EXPECT_EQ(t.TypeCodeCount, 1);
}

TEST_F(ModuleQuery, AddressIsSentAsTwoUpperCaseHexDigits)
{
    Place(0, "M28", "15");
    port.expectLine("$0F2").reply("!0F08060a[COM2:]");
    ASSERT_TRUE(ModuleOtherInfo(state, link));
    EXPECT_EQ(state.ModuleTable[0].DataFormat, 0x0A);
    Place(1, "M28", "16");
    port.expectLine("$102").reply("!1008060A[COM2:]");
    ASSERT_TRUE(ModuleOtherInfo(state, link));
    EXPECT_TRUE(port.scriptFollowed()) << port.report();
}

TEST_F(ModuleQuery, PerChannelTypeCodesTakeTwoMoreQueries)
{
    Place(0, "M22", "26");
    port.expectLine("$1A2").reply("!1A3F0600[COM2:]");
    port.expectLine("$1A90").reply("!1A03[COM2:]");
    port.expectLine("$1A91").reply("!1A0C[COM2:]");
    ASSERT_TRUE(ModuleOtherInfo(state, link));
    EXPECT_TRUE(port.scriptFollowed()) << port.report();
    const auto& s = state.ModuleTable[0];
    EXPECT_EQ(s.TypeCodeCount, 2);
    EXPECT_EQ(s.TypeCode, 0x3);
    EXPECT_EQ(s.TypeCode2, 0xC);
    EXPECT_EQ(state.TarnInfTable[0].TypeCode2, 0xC);
    EXPECT_EQ(state.TarnInfTable[0].TypeCodeCount, 2);
}

TEST_F(ModuleQuery, FailedSecondChannelQueryKeepsWhatWasStored)
{
    Place(0, "M22", "2");
    state.ModuleTable[0].TypeCodeCount = 1;
    state.ModuleTable[0].TypeCode2 = 9;
    port.expectLine("$022").reply("!023F0600[COM2:]");
    port.expectLine("$0290").reply("!0205[COM2:]");
    port.expectLine("$0291").reply("Timeout[COM2:]");
    EXPECT_FALSE(ModuleOtherInfo(state, link));
    const auto& s = state.ModuleTable[0];
    EXPECT_EQ(s.TypeCode, 0x5);
    EXPECT_EQ(s.TypeCodeCount, 1);
    EXPECT_EQ(s.TypeCode2, 9);
}

TEST_F(ModuleQuery, ImproperRepliesFailWithoutStoring)
{
    struct Case {
        const char* reply;
        const char* why;
    } cases[] = {
        {"Timeout[COM2:]", "timeout text"},
        {"0140060F[COM2:]", "no !"},
        {"!01G0060F[COM2:]", "non-hex type code"},
        {"!014006[COM2:]", "reply too short"},
    };
    for (const auto& c : cases) {
        Place(0, "M28", "1");
        state.ModuleTable[0].TypeCode = 0x77;
        state.ModuleTable[0].DataFormat = 0x55;
        port.expectLine("$012").reply(c.reply);
        EXPECT_FALSE(ModuleOtherInfo(state, link)) << c.why;
        EXPECT_EQ(state.ModuleTable[0].TypeCode, 0x77) << c.why;
        EXPECT_EQ(state.ModuleTable[0].DataFormat, 0x55) << c.why;
    }
    // No reply at all.
    port.expectLine("$012");
    EXPECT_FALSE(ModuleOtherInfo(state, link));
}

class InfoTable : public ::testing::Test {
protected:
    void Add(std::uint8_t index, std::string name, std::string address, std::uint8_t typeCode)
    {
        auto& m = state.ModuleTable[index];
        m.Name = std::move(name);
        m.Address = std::move(address);
        m.TypeCode = typeCode;
        m.TypeCodeCount = 1;
        state.CurrentModuleIndex = index;
        ASSERT_TRUE(ModuleChInfo(state, m.Name));
        state.ModuleOrder[state.ModuleCount++] = index;
    }
    ProgramState state;
};

TEST_F(InfoTable, HeadingsOnlyWithoutModules)
{
    state.ModuleTable[0] = {"M28", "", 0, 0, 0, 8, 1, 0, 0, 0};  // left over from an earlier scan
    const auto rows = ModuleInfoRows(state);
    ASSERT_EQ(rows.size(), 1u);
    const ModuleInfoRow headings = {"No.",       "Address",   "   Name",     "Type Code",  "Data Format",
                                    "DO Ch Num", "AO Ch Num", " DI Ch Num", " AI Ch Num"};
    EXPECT_EQ(rows[0], headings);
}

TEST_F(InfoTable, RowsFollowTheDisplayOrder)
{
    Add(0, "M40", "10", 0x40);
    Add(1, "M28", "16", 0x08);
    state.ModuleTable[1].DataFormat = 0x1F;
    Add(2, "M62", "255", 0x50);  // counters shown as counters
    auto& two = state.ModuleTable[3];
    two.Name = "M22";
    two.Address = "3";
    two.TypeCodeCount = 2;
    two.TypeCode = 3;
    two.TypeCode2 = 12;
    state.CurrentModuleIndex = 3;
    ASSERT_TRUE(ModuleChInfo(state, "M22"));
    state.ModuleOrder[state.ModuleCount++] = 3;

    const auto rows = ModuleInfoRows(state);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1], (ModuleInfoRow{"1", "0x0A", "M40", "0x40", "0x00", "8", "0", "4", "0"}));
    EXPECT_EQ(rows[2], (ModuleInfoRow{"2", "0x10", "M28", "0x08", "0x1F", "0", "0", "0", "8"}));
    EXPECT_EQ(rows[3], (ModuleInfoRow{"3", "0xFF", "M62", "0x50", "0x00", "0", "0", "0", "3"}));
    EXPECT_EQ(rows[4], (ModuleInfoRow{"4", "0x03", "M22", "Ch0:3--Ch1:C", "0x00", "2", "0", "1", "1"}));
}

}  // namespace
}  // namespace k400::test
