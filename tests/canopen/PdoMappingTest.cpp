#include <gtest/gtest.h>

#include "canopen/ModuleFixture.h"
#include "canopen/PdoMapping.h"
#include "gateway/ProgramState.h"

namespace k400::test {
namespace {

const std::string Pad = EmptyMappingLabel;
constexpr auto Rx = PdoDirection::Receive;
constexpr auto Tx = PdoDirection::Transmit;

// Entries first..last of one PDO all hold `text` ("" = never written).
struct Labels {
    PdoDirection dir;
    int pdo, first, last;
    std::string text;
};
// The mapping entries a PDO's parameters list.
struct Entries {
    PdoDirection dir;
    int pdo;
    std::vector<std::uint32_t> words;
};
struct MappingCase {
    const char* name;
    std::vector<ModuleShape> modules;
    int lastOutput, lastInput, aoOverflow, aiOverflow;
    std::vector<Labels> labels;
    std::vector<Entries> entries;
};

const AssemblyObject& Pdo(const ProgramState& state, PdoDirection dir, int k)
{
    return (dir == Rx ? state.OutputAssemblies : state.InputAssemblies)[static_cast<std::size_t>(k)];
}

const MappingCase MappingCases[] = {
    {"no modules pad PDOs 1 to 3 only", {}, 3, 3, 4, 4,
     {{Rx, 0, 0, 7, ""}, {Tx, 0, 0, 7, ""}, {Rx, 1, 0, 7, Pad}, {Rx, 3, 0, 7, Pad}, {Tx, 1, 0, 7, Pad}, {Tx, 3, 0, 7, Pad}},
     {{Rx, 1, {}}}},
    {"digital and analog outputs", {{"M38", 3, 13}, {"M33", 26, 0, 4}}, 3, 3, 4, 4,
     {{Rx, 0, 0, 0, "0x3-M38:00~07"}, {Rx, 0, 1, 1, "0x3-M38:08~12"}, {Rx, 0, 2, 7, Pad}, {Rx, 1, 0, 1, "0x1A-M33:0"},
      {Rx, 1, 6, 7, "0x1A-M33:3"}, {Rx, 2, 0, 7, Pad}, {Rx, 3, 0, 7, Pad}},
     {{Rx, 0, {0x62000108, 0x62000208}}, {Rx, 1, {0x64110110, 0x64110210, 0x64110310, 0x64110410}}, {Rx, 2, {}}}},
    {"five analog inputs spill into PDO 2", {{"M17", 1, 0, 0, 0, 5}}, 3, 3, 4, 4,
     {{Tx, 1, 7, 7, "0x1-M17:3"}, {Tx, 2, 0, 1, "0x1-M17:4"}, {Tx, 2, 2, 7, Pad}, {Tx, 3, 0, 7, Pad}},
     {{Tx, 2, {0x64010510}}}},
    {"sixteen digital bytes push the analog overflow to PDO 6",
     {{"D32", 1, 32}, {"D32", 2, 32}, {"D32", 3, 32}, {"D32", 4, 32}, {"A8", 10, 0, 8}, {"A6", 11, 0, 6}}, 6, 3, 6, 4,
     {{Rx, 0, 0, 0, "0x1-D32:00~07"}, {Rx, 0, 7, 7, "0x2-D32:24~31"}, {Rx, 4, 0, 0, "0x3-D32:00~07"},
      {Rx, 4, 7, 7, "0x4-D32:24~31"}, {Rx, 5, 0, 7, ""}, {Rx, 3, 6, 6, "0xB-A6:3"}, {Rx, 6, 0, 0, "0xB-A6:4"},
      {Rx, 6, 3, 3, "0xB-A6:5"}, {Rx, 6, 4, 7, Pad}},
     {{Rx, 4, {0x62000908, 0x62000A08, 0x62000B08, 0x62000C08, 0x62000D08, 0x62000E08, 0x62000F08, 0x62001008}},
      {Rx, 5, {}}, {Rx, 6, {0x64110D10, 0x64110E10}}}},
    // The ninth digital byte goes to PDO 4, which never counts as the analog overflow.
    {"nine digital bytes", {{"D32", 1, 32}, {"D32", 2, 32}, {"D8", 3, 8}}, 3, 3, 5, 4,
     {{Rx, 4, 0, 0, "0x3-D8:00~07"}, {Rx, 4, 1, 7, Pad}, {Rx, 3, 0, 7, Pad}}, {}},
    {"nine digital bytes, 12 analog fill PDOs 1 to 3", {{"D32", 1, 32}, {"D32", 2, 32}, {"D8", 3, 8}, {"A", 4, 0, 12}},
     4, 3, 5, 4, {{Rx, 4, 0, 0, "0x3-D8:00~07"}, {Rx, 3, 7, 7, "0x4-A:11"}, {Rx, 5, 0, 7, ""}}, {}},
    {"exactly eight digital bytes skip PDO 4", {{"D32", 1, 32}, {"D32", 2, 32}, {"A", 3, 0, 14}}, 5, 3, 5, 4,
     {{Rx, 4, 0, 7, ""}, {Rx, 5, 0, 0, "0x3-A:12"}}, {{Rx, 4, {}}, {Rx, 5, {0x64110D10, 0x64110E10}}}},
    {"an entry without address contributes nothing", {{"M38", 3, 13}, {"M99", 0, 8}}, 3, 3, 4, 4,
     {{Rx, 0, 2, 7, Pad}}, {{Rx, 0, {0x62000108, 0x62000208}}}},
};

TEST(PdoMapping, LaysChannelsOntoPdos)
{
    for (const MappingCase& c : MappingCases) {
        SCOPED_TRACE(c.name);
        ProgramState state;
        PlaceModules(state, c.modules);
        ASSERT_TRUE(BuildCanopenPdoMapping(state));
        EXPECT_EQ(state.LastOutputAssembly, c.lastOutput);
        EXPECT_EQ(state.LastInputAssembly, c.lastInput);
        EXPECT_EQ(state.AOOverflowPdo, c.aoOverflow);
        EXPECT_EQ(state.AIOverflowPdo, c.aiOverflow);
        for (const Labels& l : c.labels)
            for (int e = l.first; e <= l.last; ++e)
                EXPECT_EQ(Pdo(state, l.dir, l.pdo).Mapping[static_cast<std::size_t>(e)], l.text)
                    << (l.dir == Rx ? "RPDO " : "TPDO ") << l.pdo << " entry " << e;
        for (const Entries& e : c.entries)
            EXPECT_EQ(PdoMappingEntries(state, e.dir)[static_cast<std::size_t>(e.pdo)], e.words)
                << (e.dir == Rx ? "RPDO " : "TPDO ") << e.pdo;
    }
}

TEST(PdoMapping, RebuildClearsLabelsOfAnEarlierBuild)
{
    ProgramState state;
    PlaceModules(state, {{"D32", 1, 32}, {"D32", 2, 32}, {"D32", 3, 32}});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    ASSERT_EQ(MappedObjectCount(state.OutputAssemblies[4]), 4);

    state.ModuleTable[1].Address.clear();
    state.ModuleTable[2].Address.clear();
    PlaceModule(state, 0, {"D8", 1, 8});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    EXPECT_EQ(state.OutputAssemblies[4].Mapping[0], "");
    const auto entries = PdoMappingEntries(state, Rx);
    EXPECT_EQ(entries[0].size(), 1u);
    for (std::size_t k = 1; k < entries.size(); ++k)
        EXPECT_TRUE(entries[k].empty()) << k;
}

TEST(PdoMapping, ChannelsBeyondThirtyTwoPdosAreRefused)
{
    ProgramState state;
    for (int i = 0; i < 15; ++i)  // 135 analog inputs; 124 fit
        PlaceModule(state, static_cast<std::size_t>(i), {"A9", i + 1, 0, 0, 0, 9});
    BuildResult result = BuildCanopenPdoMapping(state);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("transmit PDOs"), std::string::npos) << result.error;
    for (const auto& pdo : state.InputAssemblies)
        EXPECT_EQ(pdo.Mapping[0], "");

    ProgramState outputs;  // 124 analog outputs fill PDOs 1 to 31 exactly
    for (int i = 0; i < 15; ++i)
        PlaceModule(outputs, static_cast<std::size_t>(i), {"A", i + 1, 0, i < 14 ? 8 : 12});
    ASSERT_TRUE(BuildCanopenPdoMapping(outputs));
    EXPECT_EQ(outputs.LastOutputAssembly, 31);
    EXPECT_EQ(MappedObjectCount(outputs.OutputAssemblies[31]), 4);

    PlaceModule(outputs, 14, {"A", 15, 0, 13});
    result = BuildCanopenPdoMapping(outputs);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("receive PDOs"), std::string::npos) << result.error;
    // The viewers and Finish must not see the PDO count of the earlier build.
    EXPECT_EQ(outputs.LastOutputAssembly, 0);
    EXPECT_EQ(outputs.LastInputAssembly, 0);
}

}  // namespace
}  // namespace k400::test
