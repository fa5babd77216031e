#include <gtest/gtest.h>

#include <vector>

#include "gateway/ProgramState.h"
#include "devicenet/AssemblyObjects.h"
#include "DeviceNetModules.h"

namespace k400::test {
namespace {

std::vector<std::string> Labels(const AssemblyObject& record)
{
    return {record.Mapping.begin(), record.Mapping.begin() + record.DataLength};
}

TEST(DeviceNetObjects, DigitalAndAnalogOnBothSidesFillFourAssemblies)
{
    ProgramState state;
    AddModule(state, "M44", 26);  // 16 DI
    AddModule(state, "M27", 3);   // 4 DO, 1 AO, 1 DI, 2 AI
    AddModule(state, "M33", 5);   // 4 AO
    ASSERT_TRUE(BuildDeviceNetObjects(state));

    EXPECT_EQ(state.LastOutputAssembly, 1);
    EXPECT_EQ(state.LastInputAssembly, 1);
    EXPECT_EQ(Labels(state.OutputAssemblies[0]), (std::vector<std::string>{"M27:00~03"}));
    EXPECT_EQ(state.OutputAssemblies[0].DataKind, 0);
    EXPECT_EQ(Labels(state.OutputAssemblies[1]),
              (std::vector<std::string>{"0x3-M27:1", "0x3-M27:1", "0x5-M33:1", "0x5-M33:1", "0x5-M33:2",
                                        "0x5-M33:2", "0x5-M33:3", "0x5-M33:3", "0x5-M33:4", "0x5-M33:4"}));
    EXPECT_EQ(state.OutputAssemblies[1].DataKind, 1);
    EXPECT_EQ(Labels(state.InputAssemblies[0]),
              (std::vector<std::string>{"0x1A-M44:00~07", "0x1A-M44:08~15", "0x3-M27:00~00"}));
    EXPECT_EQ(Labels(state.InputAssemblies[1]),
              (std::vector<std::string>{"0x3-M27:1", "0x3-M27:1", "0x3-M27:2", "0x3-M27:2"}));
    EXPECT_EQ(OutputAssemblyCount(state), 2);
    EXPECT_EQ(InputAssemblyCount(state), 2);
}

TEST(DeviceNetObjects, SingleKindSideUsesRecordZero)
{
    ProgramState state;
    AddModule(state, "M33", 1);  // analog outputs only
    AddModule(state, "M37", 2);  // 14 DI
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    EXPECT_EQ(state.LastOutputAssembly, 0);
    EXPECT_EQ(state.OutputAssemblies[0].DataKind, 1);
    EXPECT_EQ(state.OutputAssemblies[0].DataLength, 8);
    EXPECT_EQ(Labels(state.InputAssemblies[0]), (std::vector<std::string>{"0x2-M37:00~07", "0x2-M37:08~13"}));
    EXPECT_EQ(DeviceNetInputByteLabel(ScannedModule{"M99", "26", 0, 0, 12, 0}, 2), "0x1A-M99:08~11");
}

TEST(DeviceNetObjects, CounterInputsAreLabelledByCounterNumber)
{
    ProgramState state;
    AddModule(state, "M62", 6);   // three counters in six words
    AddModule(state, "Q61", 7);   // two counters
    AddModule(state, "M62B", 8);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    const auto labels = Labels(state.InputAssemblies[0]);
    ASSERT_EQ(labels.size(), 12u + 8u + 12u);
    const std::vector<std::string> m62(labels.begin(), labels.begin() + 12);
    EXPECT_EQ(m62, (std::vector<std::string>{"0x6-M62:1", "0x6-M62:1", "0x6-M62:1", "0x6-M62:1", "0x6-M62:2",
                                             "0x6-M62:2", "0x6-M62:2", "0x6-M62:2", "0x6-M62:3", "0x6-M62:3",
                                             "0x6-M62:3", "0x6-M62:3"}));
    EXPECT_EQ(labels[12 + 7], "0x7-Q61:2");
    EXPECT_EQ(labels[20 + 11], "0x8-M62B:3");

    ProgramState plain;
    AddModule(plain, "M26", 6);  // six ordinary analog inputs
    ASSERT_TRUE(BuildDeviceNetObjects(plain));
    EXPECT_EQ(plain.InputAssemblies[0].Mapping[11], "0x6-M26:6");
}

TEST(DeviceNetObjects, UnusableEntriesContributeNothing)
{
    ProgramState state;
    AddModule(state, "M44", 1);
    AddUnusableEntry(state);
    state.ModuleTable[1].DIChannels = 8;  // stale counts behind an empty address
    AddModule(state, "M45", 3);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    EXPECT_EQ(Labels(state.InputAssemblies[0]),
              (std::vector<std::string>{"0x1-M44:00~07", "0x1-M44:08~15", "0x3-M45:00~07"}));
}

TEST(DeviceNetObjects, RebuildClearsRecordsOfAnEarlierBuild)
{
    ProgramState state;
    AddModule(state, "M27", 3);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    ASSERT_EQ(state.LastOutputAssembly, 1);

    state.ModuleTable[0] = {};  // a new scan finds only an input module
    state.CurrentModuleIndex = 0;
    state.TotalDOBytes = state.TotalAOBytes = state.TotalDIBytes = state.TotalAIBytes = 0;
    AddModule(state, "M45", 1);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    EXPECT_EQ(state.LastOutputAssembly, 0);
    EXPECT_EQ(state.OutputAssemblies[0].DataLength, 0);
    EXPECT_EQ(state.OutputAssemblies[0].Mapping[0], "");
    EXPECT_EQ(state.OutputAssemblies[1].DataLength, 0);
    EXPECT_EQ(state.InputAssemblies[1].DataLength, 0);
}

TEST(DeviceNetObjects, AssemblyBeyond251BytesIsRefusedWithoutWritingPastTheTable)
{
    ProgramState state;
    for (int a = 1; a <= 13; ++a)
        AddModule(state, "M29Z", a);  // 20 analog input bytes each: 260
    const BuildResult result = BuildDeviceNetObjects(state);
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find("260"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("251"), std::string::npos) << result.error;
    EXPECT_EQ(state.InputAssemblies[0].DataLength, 0);
    EXPECT_EQ(state.LastInputAssembly, 0);

    ProgramState fits;
    for (int a = 1; a <= 12; ++a)
        AddModule(fits, "M29Z", a);  // 240 bytes
    AddModule(fits, "Q26", 13);       // + 14 = 254: one assembly too many
    EXPECT_FALSE(BuildDeviceNetObjects(fits));

    ProgramState full;
    for (int a = 1; a <= 12; ++a)
        AddModule(full, "M29Z", a);
    AddModule(full, "M35", 13);  // + 6 = 246
    ASSERT_TRUE(BuildDeviceNetObjects(full));
    EXPECT_EQ(full.InputAssemblies[0].DataLength, 246);
}

TEST(DeviceNetObjects, GetDNSInfoReadsTheEntryLayout)
{
    ProgramState state;
    AddModule(state, "M27", 3);
    ASSERT_TRUE(BuildDeviceNetObjects(state));

    EXPECT_EQ(GetDNSInfo(state, 0, "None"), (ConnectionPath{0x04, 0, 3}));
    EXPECT_EQ(GetDNSInfo(state, 2, "OUTPUT 02(Assembly)"), (ConnectionPath{0x04, 2, 3}));
    // Input assemblies count on after the two output assemblies.
    EXPECT_EQ(GetDNSInfo(state, 1, "INPUT  01(Assembly)"), (ConnectionPath{0x04, 3, 3}));
    EXPECT_EQ(GetDNSInfo(state, 2, "INPUT  02(Assembly)"), (ConnectionPath{0x04, 4, 3}));
    EXPECT_EQ(GetDNSInfo(state, 3, "OUTPUT 03(DO,App.12)"), (ConnectionPath{0x64, 12, 0x14}));
    EXPECT_EQ(GetDNSInfo(state, 5, "OUTPUT 05(AO,App.01)"), (ConnectionPath{0x64, 1, 0x15}));
    EXPECT_EQ(GetDNSInfo(state, 3, "INPUT  03(DI,App.09)"), (ConnectionPath{0x64, 9, 0x16}));
    EXPECT_EQ(GetDNSInfo(state, 4, "INPUT  04(AI,App.15)"), (ConnectionPath{0x64, 15, 0x17}));

    ProgramState inputsOnly;
    AddModule(inputsOnly, "M44", 1);
    ASSERT_TRUE(BuildDeviceNetObjects(inputsOnly));
    EXPECT_EQ(GetDNSInfo(inputsOnly, 1, "INPUT  01(Assembly)"), (ConnectionPath{0x04, 1, 3}));
    ProgramState oneOutput;
    AddModule(oneOutput, "M56", 1);
    AddModule(oneOutput, "M44", 2);
    ASSERT_TRUE(BuildDeviceNetObjects(oneOutput));
    EXPECT_EQ(GetDNSInfo(oneOutput, 1, "INPUT  01(Assembly)"), (ConnectionPath{0x04, 2, 3}));
}

}  // namespace
}  // namespace k400::test
