#include <gtest/gtest.h>

#include "devicenet/AssemblyObjects.h"
#include "devicenet/DeviceNetModules.h"
#include "gateway/ProgramState.h"

namespace k400::test {
namespace {

using Strings = std::vector<std::string>;

// Labels of one record from position `from` on; length and kind -1 are not checked.
struct Record {
    bool output;
    int index, length, kind, from;
    Strings labels;
};
struct ObjectsCase {
    const char* name;
    std::vector<ModuleSetup> modules;
    int lastOutput, lastInput;
    std::vector<Record> records;
};

const ObjectsCase ObjectsCases[] = {
    {"digital and analog on both sides fill four records",
     {{"M44", 26}, {"M27", 3}, {"M33", 5}},  // 16 DI; 4 DO, 1 AO, 1 DI, 2 AI; 4 AO
     1, 1,
     {{true, 0, 1, 0, 0, {"M27:00~03"}},
      {true, 1, 10, 1, 0,
       {"0x3-M27:1", "0x3-M27:1", "0x5-M33:1", "0x5-M33:1", "0x5-M33:2", "0x5-M33:2", "0x5-M33:3", "0x5-M33:3",
        "0x5-M33:4", "0x5-M33:4"}},
      {false, 0, 3, 0, 0, {"0x1A-M44:00~07", "0x1A-M44:08~15", "0x3-M27:00~00"}},
      {false, 1, 4, 1, 0, {"0x3-M27:1", "0x3-M27:1", "0x3-M27:2", "0x3-M27:2"}}}},
    {"a side of one kind uses record 0", {{"M33", 1}, {"M37", 2}}, 0, 0,
     {{true, 0, 8, 1, 0, {"0x1-M33:1"}}, {false, 0, 2, 0, 0, {"0x2-M37:00~07", "0x2-M37:08~13"}},
      {true, 1, 0, -1, 0, {""}}}},
    {"counters are labelled by counter, not by word", {{"M62", 6}, {"Q61", 7}, {"M62B", 8}}, 0, 0,
     {{false, 0, 32, 1, 3, {"0x6-M62:1", "0x6-M62:2"}},
      {false, 0, -1, -1, 11, {"0x6-M62:3", "0x7-Q61:1"}},
      {false, 0, -1, -1, 19, {"0x7-Q61:2", "0x8-M62B:1"}},
      {false, 0, -1, -1, 31, {"0x8-M62B:3"}}}},
    {"plain analog inputs count words", {{"M26", 6}}, 0, 0, {{false, 0, 12, 1, 11, {"0x6-M26:6"}}}},
    {"unusable entries contribute nothing", {{"M44", 1}, {""}, {"M45", 3}}, 0, 0,
     {{false, 0, 3, 0, 0, {"0x1-M44:00~07", "0x1-M44:08~15", "0x3-M45:00~07"}}}},
};

TEST(DeviceNetObjects, BuildsTheAssemblyRecords)
{
    for (const ObjectsCase& c : ObjectsCases) {
        SCOPED_TRACE(c.name);
        ProgramState state;
        AddModules(state, c.modules);
        if (c.modules.size() > 1 && c.modules[1].name.empty())
            state.ModuleTable[1].DIChannels = 8;  // stale counts behind an empty address
        ASSERT_TRUE(BuildDeviceNetObjects(state));
        EXPECT_EQ(state.LastOutputAssembly, c.lastOutput);
        EXPECT_EQ(state.LastInputAssembly, c.lastInput);
        for (const Record& r : c.records) {
            const AssemblyObject& record =
                (r.output ? state.OutputAssemblies : state.InputAssemblies)[static_cast<std::size_t>(r.index)];
            const char* side = r.output ? "output " : "input ";
            if (r.length >= 0) {
                EXPECT_EQ(record.DataLength, r.length) << side << r.index;
            }
            if (r.kind >= 0) {
                EXPECT_EQ(record.DataKind, r.kind) << side << r.index;
            }
            for (std::size_t i = 0; i < r.labels.size(); ++i)
                EXPECT_EQ(record.Mapping[static_cast<std::size_t>(r.from) + i], r.labels[i]) << side << r.index;
        }
    }
}

TEST(DeviceNetObjects, RebuildClearsTheRecordsOfAnEarlierBuild)
{
    ProgramState state;
    AddModule(state, {"M27", 3});
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    ASSERT_EQ(state.LastOutputAssembly, 1);

    state.ModuleTable[0] = {};  // a new scan finds only an input module
    state.CurrentModuleIndex = 0;
    state.TotalDOBytes = state.TotalAOBytes = state.TotalDIBytes = state.TotalAIBytes = 0;
    AddModule(state, {"M45", 1});
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    EXPECT_EQ(state.LastOutputAssembly, 0);
    EXPECT_EQ(state.OutputAssemblies[0].Mapping[0], "");
    for (const AssemblyObject* record : {&state.OutputAssemblies[0], &state.OutputAssemblies[1], &state.InputAssemblies[1]})
        EXPECT_EQ(record->DataLength, 0);
}

TEST(DeviceNetObjects, AnAssemblyBeyond251BytesIsRefused)
{
    const struct {
        int largeModules;  // M29Z: 20 analog input bytes each
        const char* last;  // the thirteenth module
        bool fits;
    } cases[] = {{13, "M29Z", false}, {12, "Q26", false}, {12, "M35", true}};  // 260, 254, 246 bytes
    for (const auto& c : cases) {
        SCOPED_TRACE(c.last);
        ProgramState state;
        for (int a = 1; a <= c.largeModules; ++a)
            AddModule(state, {"M29Z", a});
        if (c.largeModules < 13)
            AddModule(state, {c.last, 13});
        const BuildResult result = BuildDeviceNetObjects(state);
        EXPECT_EQ(result.ok, c.fits);
        EXPECT_EQ(state.InputAssemblies[0].DataLength, c.fits ? 246 : 0);
        if (!c.fits) {
            EXPECT_NE(result.error.find("251"), std::string::npos) << result.error;
        }
    }
    ProgramState state;
    for (int a = 1; a <= 13; ++a)
        AddModule(state, {"M29Z", a});
    EXPECT_NE(BuildDeviceNetObjects(state).error.find("260"), std::string::npos);
    EXPECT_EQ(state.LastInputAssembly, 0);
}

TEST(DeviceNetObjects, GetDNSInfoReadsTheEntryLayout)
{
    const struct {
        std::vector<ModuleSetup> modules;
        int listIndex;
        const char* entry;
        ConnectionPath path;
    } cases[] = {
        {{{"M27", 3}}, 0, "None", {0x04, 0, 3}},
        {{{"M27", 3}}, 2, "OUTPUT 02(Assembly)", {0x04, 2, 3}},
        {{{"M27", 3}}, 1, "INPUT  01(Assembly)", {0x04, 3, 3}},  // after the two output assemblies
        {{{"M27", 3}}, 2, "INPUT  02(Assembly)", {0x04, 4, 3}},
        {{{"M27", 3}}, 3, "OUTPUT 03(DO,App.12)", {0x64, 12, 0x14}},
        {{{"M27", 3}}, 5, "OUTPUT 05(AO,App.01)", {0x64, 1, 0x15}},
        {{{"M27", 3}}, 3, "INPUT  03(DI,App.09)", {0x64, 9, 0x16}},
        {{{"M27", 3}}, 4, "INPUT  04(AI,App.15)", {0x64, 15, 0x17}},
        {{{"M44", 1}}, 1, "INPUT  01(Assembly)", {0x04, 1, 3}},
        {{{"M56", 1}, {"M44", 2}}, 1, "INPUT  01(Assembly)", {0x04, 2, 3}},
    };
    for (const auto& c : cases) {
        ProgramState state;
        AddModules(state, c.modules);
        ASSERT_TRUE(BuildDeviceNetObjects(state));
        EXPECT_EQ(GetDNSInfo(state, c.listIndex, c.entry), c.path) << c.modules[0].name << " " << c.entry;
    }
}

}  // namespace
}  // namespace k400::test
