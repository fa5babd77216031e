#include <gtest/gtest.h>

#include "gateway/ProgramState.h"
#include "canopen/ModuleFixture.h"
#include "canopen/PdoMapping.h"

namespace k400::test {
namespace {

const std::string Pad = EmptyMappingLabel;

class PdoMappingTest : public ::testing::Test {
protected:
    ProgramState state;

    const AssemblyObject& rx(int k) const { return state.OutputAssemblies[static_cast<std::size_t>(k)]; }
    const AssemblyObject& tx(int k) const { return state.InputAssemblies[static_cast<std::size_t>(k)]; }

    static void ExpectAllPadding(const AssemblyObject& pdo)
    {
        for (int e = 0; e < 8; ++e)
            EXPECT_EQ(pdo.Mapping[static_cast<std::size_t>(e)], Pad) << "entry " << e;
    }
    static void ExpectUntouched(const AssemblyObject& pdo)
    {
        for (int e = 0; e < 8; ++e)
            EXPECT_EQ(pdo.Mapping[static_cast<std::size_t>(e)], "") << "entry " << e;
    }
};

TEST_F(PdoMappingTest, LabelsNameAddressInHexAndBitRanges)
{
    ScannedModule m;
    m.Name = "M38";
    m.Address = "3";
    EXPECT_EQ(DigitalByteLabel(m, 13, 1), "0x3-M38:00~07");
    EXPECT_EQ(DigitalByteLabel(m, 13, 2), "0x3-M38:08~12");
    EXPECT_EQ(DigitalByteLabel(m, 16, 2), "0x3-M38:08~15");
    m.Address = "26";
    m.Name = "M28";
    EXPECT_EQ(AnalogChannelLabel(m, 0), "0x1A-M28:0");
    EXPECT_EQ(DigitalByteLabel(m, 100, 13), "0x1A-M28:96~99");
    EXPECT_EQ(DigitalByteLabel(m, 128, 16), "0x1A-M28:120~127");
}

TEST_F(PdoMappingTest, WorkedExampleDigitalAndAnalogOutputs)
{
    PlaceModule(state, 0, {"M38", 3, 13, 0, 0, 0});
    PlaceModule(state, 1, {"M33", 26, 0, 4, 0, 0});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));

    EXPECT_EQ(rx(0).Mapping[0], "0x3-M38:00~07");
    EXPECT_EQ(rx(0).Mapping[1], "0x3-M38:08~12");
    for (int e = 2; e < 8; ++e)
        EXPECT_EQ(rx(0).Mapping[static_cast<std::size_t>(e)], Pad);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(rx(1).Mapping[static_cast<std::size_t>(2 * c)], "0x1A-M33:" + std::to_string(c));
        EXPECT_EQ(rx(1).Mapping[static_cast<std::size_t>(2 * c + 1)], "0x1A-M33:" + std::to_string(c));
    }
    EXPECT_EQ(rx(0).DataKind, 0);
    EXPECT_EQ(rx(1).DataKind, 1);
    ExpectAllPadding(rx(2));
    ExpectAllPadding(rx(3));
    EXPECT_EQ(state.AOOverflowPdo, 4);
    EXPECT_EQ(state.LastOutputAssembly, 3);

    EXPECT_EQ(MappedObjectCount(rx(0)), 2);
    EXPECT_EQ(MappedObjectCount(rx(1)), 4);
    EXPECT_EQ(MappedObjectCount(rx(2)), 0);
    auto entries = PdoMappingEntries(state, PdoDirection::Receive);
    EXPECT_EQ(entries[0], (std::vector<std::uint32_t>{0x62000108, 0x62000208}));
    EXPECT_EQ(entries[1], (std::vector<std::uint32_t>{0x64110110, 0x64110210, 0x64110310, 0x64110410}));
    EXPECT_TRUE(entries[2].empty());
}

TEST_F(PdoMappingTest, NoModulesPadsPdosOneToThreeOnly)
{
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    for (int k = 1; k <= 3; ++k) {
        ExpectAllPadding(rx(k));
        ExpectAllPadding(tx(k));
    }
    ExpectUntouched(rx(0));
    ExpectUntouched(tx(0));
    EXPECT_EQ(state.AOOverflowPdo, 4);
    EXPECT_EQ(state.AIOverflowPdo, 4);
    EXPECT_EQ(state.LastOutputAssembly, 3);
    EXPECT_EQ(state.LastInputAssembly, 3);
}

TEST_F(PdoMappingTest, FiveAnalogInputsSpillIntoPdoTwo)
{
    PlaceModule(state, 0, {"M17", 1, 0, 0, 0, 5});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    EXPECT_EQ(tx(1).Mapping[7], "0x1-M17:3");
    EXPECT_EQ(tx(2).Mapping[0], "0x1-M17:4");
    EXPECT_EQ(tx(2).Mapping[1], "0x1-M17:4");
    for (int e = 2; e < 8; ++e)
        EXPECT_EQ(tx(2).Mapping[static_cast<std::size_t>(e)], Pad);
    ExpectAllPadding(tx(3));
    EXPECT_EQ(state.LastInputAssembly, 3);
    EXPECT_EQ(MappedObjectCount(tx(2)), 1);
    auto entries = PdoMappingEntries(state, PdoDirection::Transmit);
    EXPECT_EQ(entries[2], (std::vector<std::uint32_t>{0x64010510}));
}

TEST_F(PdoMappingTest, SixteenDigitalBytesAndFourteenAnalogOutputs)
{
    // Four 32-channel digital modules give 16 bytes; 14 analog channels.
    for (int i = 0; i < 4; ++i)
        PlaceModule(state, static_cast<std::size_t>(i), {"D32", i + 1, 32, 0, 0, 0});
    PlaceModule(state, 4, {"A8", 10, 0, 8, 0, 0});
    PlaceModule(state, 5, {"A6", 11, 0, 6, 0, 0});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));

    EXPECT_EQ(rx(0).Mapping[0], "0x1-D32:00~07");
    EXPECT_EQ(rx(0).Mapping[7], "0x2-D32:24~31");
    EXPECT_EQ(rx(4).Mapping[0], "0x3-D32:00~07");
    EXPECT_EQ(rx(4).Mapping[7], "0x4-D32:24~31");
    EXPECT_EQ(state.AOOverflowPdo, 6);
    ExpectUntouched(rx(5));
    EXPECT_EQ(rx(3).Mapping[6], "0xB-A6:3");
    EXPECT_EQ(rx(6).Mapping[0], "0xB-A6:4");
    EXPECT_EQ(rx(6).Mapping[3], "0xB-A6:5");
    EXPECT_EQ(rx(6).Mapping[4], Pad);
    EXPECT_EQ(state.LastOutputAssembly, 6);

    // PDO 4 is digital and takes bytes 9..16; PDO 6 continues the analog channels.
    auto entries = PdoMappingEntries(state, PdoDirection::Receive);
    EXPECT_EQ(entries[4].front(), 0x62000908u);
    EXPECT_EQ(entries[4].back(), 0x62001008u);
    EXPECT_TRUE(entries[5].empty());
    EXPECT_EQ(entries[6], (std::vector<std::uint32_t>{0x64110D10, 0x64110E10}));
}

TEST_F(PdoMappingTest, NineDigitalBytesDoNotCountTheOverflowPdo)
{
    // 9 bytes: two 32-channel modules and one 8-channel module.
    PlaceModule(state, 0, {"D32", 1, 32, 0, 0, 0});
    PlaceModule(state, 1, {"D32", 2, 32, 0, 0, 0});
    PlaceModule(state, 2, {"D8", 3, 8, 0, 0, 0});
    for (int analog : {0, 4, 8}) {
        SCOPED_TRACE(analog);
        if (analog)
            PlaceModule(state, 3, {"A", 4, 0, analog, 0, 0});
        ASSERT_TRUE(BuildCanopenPdoMapping(state));
        EXPECT_EQ(rx(4).Mapping[0], "0x3-D8:00~07");
        EXPECT_EQ(rx(4).Mapping[1], Pad);
        EXPECT_EQ(state.AOOverflowPdo, 5);
        EXPECT_EQ(state.LastOutputAssembly, 3);
        ExpectAllPadding(rx(3));
    }
    // 12 channels fill PDOs 1 to 3 exactly and move on to the overflow PDO.
    PlaceModule(state, 3, {"A", 4, 0, 12, 0, 0});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    EXPECT_EQ(state.LastOutputAssembly, 4);
    ExpectUntouched(rx(5));
}

TEST_F(PdoMappingTest, ExactlyEightDigitalBytesSkipPdoFour)
{
    PlaceModule(state, 0, {"D32", 1, 32, 0, 0, 0});
    PlaceModule(state, 1, {"D32", 2, 32, 0, 0, 0});
    PlaceModule(state, 2, {"A", 3, 0, 14, 0, 0});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    EXPECT_EQ(state.AOOverflowPdo, 5);
    ExpectUntouched(rx(4));
    EXPECT_EQ(rx(5).Mapping[0], "0x3-A:12");
    EXPECT_EQ(state.LastOutputAssembly, 5);
    auto entries = PdoMappingEntries(state, PdoDirection::Receive);
    EXPECT_TRUE(entries[4].empty());
    EXPECT_EQ(entries[5].front(), 0x64110D10u);
}

TEST_F(PdoMappingTest, RebuildClearsLabelsOfAnEarlierBuild)
{
    PlaceModule(state, 0, {"D32", 1, 32, 0, 0, 0});
    PlaceModule(state, 1, {"D32", 2, 32, 0, 0, 0});
    PlaceModule(state, 2, {"D32", 3, 32, 0, 0, 0});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    EXPECT_EQ(MappedObjectCount(rx(4)), 4);

    state.ModuleTable[1].Address.clear();
    state.ModuleTable[2].Address.clear();
    PlaceModule(state, 0, {"D8", 1, 8, 0, 0, 0});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    ExpectUntouched(rx(4));
    EXPECT_EQ(MappedObjectCount(rx(0)), 1);
    auto entries = PdoMappingEntries(state, PdoDirection::Receive);
    for (std::size_t k = 1; k < entries.size(); ++k)
        EXPECT_TRUE(entries[k].empty()) << k;
}

TEST_F(PdoMappingTest, ChannelsBeyondThirtyTwoPdosAreRefused)
{
    // 15 modules of 9 analog inputs = 135 channels; 124 fit.
    for (int i = 0; i < 15; ++i)
        PlaceModule(state, static_cast<std::size_t>(i), {"A9", i + 1, 0, 0, 0, 9});
    auto result = BuildCanopenPdoMapping(state);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("transmit PDOs"), std::string::npos);
    for (const auto& pdo : state.InputAssemblies)
        ExpectUntouched(pdo);

    // 124 channels exactly fill PDOs 1 to 31.
    for (int i = 0; i < 15; ++i)
        state.ModuleTable[static_cast<std::size_t>(i)].Address.clear();
    for (int i = 0; i < 15; ++i)
        PlaceModule(state, static_cast<std::size_t>(i), {"A", i + 1, 0, i < 14 ? 8 : 12, 0, 0});
    EXPECT_EQ(state.TotalAOBytes, 2 * 124);
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    EXPECT_EQ(state.LastOutputAssembly, 31);
    EXPECT_EQ(MappedObjectCount(rx(31)), 4);

    PlaceModule(state, 14, {"A", 15, 0, 13, 0, 0});
    result = BuildCanopenPdoMapping(state);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("receive PDOs"), std::string::npos);
    // The viewers and Finish must not see the PDO count of the earlier build.
    EXPECT_EQ(state.LastOutputAssembly, 0);
    EXPECT_EQ(state.LastInputAssembly, 0);
}

TEST_F(PdoMappingTest, ModulesWithoutAddressContributeNothing)
{
    PlaceModule(state, 0, {"M38", 3, 13, 0, 0, 0});
    state.ModuleTable[1].Name = "M99";
    state.ModuleTable[1].DOChannels = 8;  // unknown model: no address
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    EXPECT_EQ(MappedObjectCount(rx(0)), 2);
}

}  // namespace
}  // namespace k400::test
