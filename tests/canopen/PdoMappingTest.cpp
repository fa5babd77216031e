#include <gtest/gtest.h>

#include "canopen/ModuleFixture.h"
#include "canopen/PdoMapping.h"
#include "gateway/ProgramState.h"

namespace k400::test {
namespace {

const std::string Pad = EmptyMappingLabel;
constexpr auto Rx = PdoDirection::Receive;
constexpr auto Tx = PdoDirection::Transmit;

// clang-format off
// Entries first..last of one PDO all hold `text` ("" = never written).
struct Labels { PdoDirection dir; int pdo, first, last; std::string text; };
// The mapping entries a PDO's parameters list.
struct Entries { PdoDirection dir; int pdo; std::vector<std::uint32_t> words; };
// clang-format on
struct MappingCase {
    const char* name;
    std::vector<ModuleShape> modules;
    int lastOutput, lastInput, aoOverflow, aiOverflow;  // overflow -1: not checked
    std::vector<Labels> labels;
    std::vector<Entries> entries;
    std::vector<ModuleShape> earlier = {};  // built first, from another scan
    const char* refusal = nullptr;          // part of the error of a refused build
};

// `count` analog modules at addresses 1 on, `each` channels, the last one `last`.
std::vector<ModuleShape> Analog(int count, int each, int last, bool inputs)
{
    std::vector<ModuleShape> modules;
    for (int i = 1; i <= count; ++i) {
        const int n = i < count ? each : last;
        modules.push_back({"A", i, 0, inputs ? 0 : n, 0, inputs ? n : 0});
    }
    return modules;
}

// clang-format off
const MappingCase MappingCases[] = {
    {"no modules pad PDOs 1 to 3 only", {}, 3, 3, 4, 4,
     {{Rx, 0, 0, 7, ""}, {Tx, 0, 0, 7, ""}, {Rx, 1, 0, 7, Pad}, {Rx, 3, 0, 7, Pad}, {Tx, 3, 0, 7, Pad}}, {{Rx, 1, {}}}},
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
    {"a rebuild clears the labels of an earlier build", {{"D8", 1, 8}}, 3, 3, 4, 4, {{Rx, 4, 0, 7, ""}},
     {{Rx, 0, {0x62000108}}, {Rx, 4, {}}}, {{"D32", 1, 32}, {"D32", 2, 32}, {"D32", 3, 32}}},
    {"124 analog outputs fill PDOs 1 to 31 exactly", Analog(15, 8, 12, false), 31, 3, 4, 4,
     {{Rx, 31, 6, 7, "0xF-A:11"}}, {{Rx, 31, {0x64117910, 0x64117A10, 0x64117B10, 0x64117C10}}}},
    {"135 analog inputs need more than 32 transmit PDOs", Analog(15, 9, 9, true), 0, 0, -1, -1,
     {{Tx, 1, 0, 7, ""}, {Tx, 31, 0, 7, ""}}, {}, {}, "transmit PDOs"},
    // The viewers and Finish must not see the PDO count of the earlier build.
    {"125 analog outputs need more than 32 receive PDOs", Analog(15, 8, 13, false), 0, 0, -1, -1,
     {{Rx, 1, 0, 7, ""}, {Rx, 31, 0, 7, ""}}, {}, Analog(15, 8, 12, false), "receive PDOs"},
};
// clang-format on

TEST(PdoMapping, LaysChannelsOntoPdos)
{
    for (const MappingCase& c : MappingCases) {
        SCOPED_TRACE(c.name);
        ProgramState state;
        PlaceModules(state, c.earlier);
        ASSERT_TRUE(BuildCanopenPdoMapping(state));
        state.ModuleTable = {};
        PlaceModules(state, c.modules);
        const BuildResult result = BuildCanopenPdoMapping(state);
        EXPECT_EQ(result.ok, c.refusal == nullptr);
        EXPECT_NE(result.error.find(c.refusal ? c.refusal : ""), std::string::npos) << result.error;
        EXPECT_EQ(state.LastOutputAssembly, c.lastOutput);
        EXPECT_EQ(state.LastInputAssembly, c.lastInput);
        EXPECT_EQ(state.AOOverflowPdo, c.aoOverflow < 0 ? state.AOOverflowPdo : c.aoOverflow);
        EXPECT_EQ(state.AIOverflowPdo, c.aiOverflow < 0 ? state.AIOverflowPdo : c.aiOverflow);
        for (const Labels& l : c.labels)
            for (int e = l.first; e <= l.last; ++e)
                EXPECT_EQ((l.dir == Rx ? state.OutputAssemblies : state.InputAssemblies)[std::size_t(l.pdo)]
                              .Mapping[std::size_t(e)],
                          l.text)
                    << (l.dir == Rx ? "RPDO " : "TPDO ") << l.pdo << " entry " << e;
        for (const Entries& e : c.entries)
            EXPECT_EQ(PdoMappingEntries(state, e.dir)[std::size_t(e.pdo)], e.words)
                << (e.dir == Rx ? "RPDO " : "TPDO ") << e.pdo;
    }
}

}  // namespace
}  // namespace k400::test
