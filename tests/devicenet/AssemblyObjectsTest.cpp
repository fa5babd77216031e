#include <gtest/gtest.h>

#include "devicenet/AssemblyObjects.h"
#include "devicenet/DeviceNetModules.h"
#include "gateway/ProgramState.h"

namespace k400::test {
namespace {

// Labels of one record from position `from` on; kind -1 is not checked.
struct Record {
    bool output;
    int index, length, kind, from;
    std::vector<std::string> labels;
};

// Twelve M29Z of 20 analog input bytes each, then `last`.
std::vector<ModuleSetup> AfterTwelveM29Z(const char* last)
{
    std::vector<ModuleSetup> modules;
    for (int a = 1; a <= 12; ++a)
        modules.push_back({"M29Z", a});
    modules.push_back({last, 13});
    return modules;
}

const struct ObjectsCase {
    const char* name;
    std::vector<ModuleSetup> modules;
    int lastOutput, lastInput;
    std::vector<Record> records;
    std::vector<ModuleSetup> earlier = {};  // built first, from another scan
    const char* refusal = "";               // "": built; else part of the error
} ObjectsCases[] = {
    {"digital and analog on both sides fill four records",
     {{"M44", 26}, {"M27", 3}, {"M33", 5}},  // 16 DI; 4 DO, 1 AO, 1 DI, 2 AI; 4 AO
     1,
     1,
     {{true, 0, 1, 0, 0, {"M27:00~03"}},
      {true, 1, 10, 1, 0, {"0x3-M27:1", "0x3-M27:1", "0x5-M33:1", "0x5-M33:1", "0x5-M33:2"}},
      {true, 1, 10, 1, 9, {"0x5-M33:4"}},
      {false, 0, 3, 0, 0, {"0x1A-M44:00~07", "0x1A-M44:08~15", "0x3-M27:00~00"}},
      {false, 1, 4, 1, 0, {"0x3-M27:1", "0x3-M27:1", "0x3-M27:2", "0x3-M27:2"}}}},
    {"a side of one kind uses record 0",
     {{"M33", 1}, {"M37", 2}},
     0,
     0,
     {{true, 0, 8, 1, 0, {"0x1-M33:1"}},
      {false, 0, 2, 0, 0, {"0x2-M37:00~07", "0x2-M37:08~13"}},
      {true, 1, 0, -1, 0, {""}}}},
    {"counters are labelled by counter, not by word",
     {{"M62", 6}, {"Q61", 7}, {"M62B", 8}},
     0,
     0,
     {{false, 0, 32, 1, 3, {"0x6-M62:1", "0x6-M62:2"}},
      {false, 0, 32, 1, 11, {"0x6-M62:3", "0x7-Q61:1"}},
      {false, 0, 32, 1, 19, {"0x7-Q61:2", "0x8-M62B:1"}},
      {false, 0, 32, 1, 31, {"0x8-M62B:3"}}}},
    {"plain analog inputs count words", {{"M26", 6}}, 0, 0, {{false, 0, 12, 1, 11, {"0x6-M26:6"}}}},
    {"a rebuild clears the records of an earlier build",
     {{"M45", 1}},
     0,
     0,
     {{true, 0, 0, 0, 0, {""}}, {true, 1, 0, 0, 0, {""}}, {false, 1, 0, 0, 0, {""}}},
     {{"M27", 3}}},
    {"246 input bytes fit", AfterTwelveM29Z("M35"), 0, 0, {{false, 0, 246, 1, 245, {"0xD-M35:3"}}}},
    {"254 input bytes do not", AfterTwelveM29Z("Q26"), 0, 0, {{false, 0, 0, 0, 0, {""}}}, {}, "254"},
    {"260 input bytes do not", AfterTwelveM29Z("M29Z"), 0, 0, {{false, 0, 0, 0, 0, {""}}}, {}, "251"},
    {"unusable entries contribute nothing",
     {{"M44", 1}, {""}, {"M45", 3}},
     0,
     0,
     {{false, 0, 3, 0, 0, {"0x1-M44:00~07", "0x1-M44:08~15", "0x3-M45:00~07"}}}},
};

TEST(DeviceNetObjects, BuildsTheAssemblyRecords)
{
    for (const ObjectsCase& c : ObjectsCases) {
        SCOPED_TRACE(c.name);
        ProgramState state;
        AddModules(state, c.earlier);
        ASSERT_TRUE(BuildDeviceNetObjects(state));
        static_cast<ModuleTables&>(state) = {};  // a new scan
        AddModules(state, c.modules);
        for (auto& entry : state.ModuleTable)
            entry.DIChannels = entry.Address.empty() ? 8 : entry.DIChannels;  // stale counts behind no address
        const BuildResult result = BuildDeviceNetObjects(state);
        EXPECT_EQ(result.ok, !*c.refusal);
        EXPECT_NE(result.error.find(c.refusal), std::string::npos) << result.error;
        EXPECT_EQ(state.LastOutputAssembly, c.lastOutput);
        EXPECT_EQ(state.LastInputAssembly, c.lastInput);
        for (const Record& r : c.records) {
            const auto& record = (r.output ? state.OutputAssemblies : state.InputAssemblies)[std::size_t(r.index)];
            EXPECT_EQ(record.DataLength, r.length) << r.output << r.index;
            EXPECT_EQ(record.DataKind, r.kind < 0 ? record.DataKind : r.kind) << r.output << r.index;
            for (std::size_t i = 0; i < r.labels.size(); ++i)
                EXPECT_EQ(record.Mapping[std::size_t(r.from) + i], r.labels[i]) << r.output << r.index;
        }
    }
}

}  // namespace
}  // namespace k400::test
