#include <gtest/gtest.h>

#include "app/ProgramState.h"
#include "devicenet/AssemblyObjects.h"
#include "devicenet/ObjectTables.h"
#include "DeviceNetModules.h"

namespace k400::test {
namespace {

using Row = std::vector<std::string>;

TEST(DeviceNetViewers, ApplicationObjectRows)
{
    ProgramState state;
    AddModule(state, ModuleSetup{"M33", 10, 0x30, 0x06, 0x02});
    AddModule(state, ModuleSetup{"M27", 3, 0x03, 0x07, 0x0F, 2, 0x04});
    AddUnusableEntry(state);
    AddModule(state, ModuleSetup{"M62", 26, 0x50, 0x08, 0x00});
    const TextGrid grid = ApplicationObjectTable(state);
    ASSERT_EQ(grid.rows.size(), 4u);
    ASSERT_EQ(grid.rows[0].size(), 15u);
    EXPECT_EQ(grid.rows[0][0], "Instance No.");
    EXPECT_EQ(grid.rows[0][6], "DataFormate(Att.6)");
    EXPECT_EQ(grid.rows[0][14], "AI Num.(Att.14)");
    EXPECT_EQ(grid.rows[1], (Row{"1", "1", "M33", "0x0A", "6", "0x30", "0x02", "0", "8", "0", "0", "0", "4", "0", "0"}));
    EXPECT_EQ(grid.rows[2], (Row{"2", "6", "M27", "0x03", "7", "Ch0:3--Ch1:4", "0x0F", "1", "2", "1", "4", "4", "1",
                                 "1", "2"}));
    // The counter module shows its three counters; the unusable entry is skipped.
    EXPECT_EQ(grid.rows[3], (Row{"4", "3", "M62", "0x1A", "8", "0x50", "0x00", "0", "0", "0", "12", "0", "0", "0", "3"}));
}

TEST(DeviceNetViewers, AssemblyTabsAndRows)
{
    ProgramState state;
    AddModule(state, "M44", 1);
    AddModule(state, "M24", 2);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    const auto tabs = AssemblyTabs(state);
    ASSERT_EQ(tabs, (std::vector<AssemblyTab>{AssemblyTab::Input}));
    EXPECT_STREQ(AssemblyTabCaption(tabs[0]), "Input Instance");
    const TextGrid grid = AssemblyObjectTable(state, AssemblyTab::Input);
    ASSERT_EQ(grid.rows.size(), 3u);
    EXPECT_EQ(grid.rows[0], (Row{"IO NO.", "Ins.ID (Hex)", "Ins Length", "Mapping  0", "Mapping  1"}));
    EXPECT_EQ(grid.columnWidths, (std::vector<int>{1500, 1500, 1500, 1600, 1600}));
    EXPECT_EQ(grid.rows[1], (Row{"1", "64", "2", "0x1-M44:00~07", "0x1-M44:08~15"}));
    EXPECT_EQ(grid.rows[2], (Row{"2", "65", "2", "0x2-M24:1", "0x2-M24:1"}));

    ProgramState none;
    EXPECT_TRUE(AssemblyTabs(none).empty());
}

TEST(DeviceNetViewers, InputIdsContinueAfterOutputIds)
{
    ProgramState state;
    AddModule(state, "M27", 3);
    AddModule(state, "M33", 4);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    ASSERT_EQ(AssemblyTabs(state), (std::vector<AssemblyTab>{AssemblyTab::Output, AssemblyTab::Input}));
    const TextGrid outputs = AssemblyObjectTable(state, AssemblyTab::Output);
    ASSERT_EQ(outputs.rows.size(), 3u);
    EXPECT_EQ(outputs.rows[1][1], "64");
    EXPECT_EQ(outputs.rows[2][1], "65");
    EXPECT_EQ(outputs.rows[0].size(), 3u + 10u);  // the analog assembly has 10 bytes
    EXPECT_EQ(outputs.rows[1].size(), 3u + 10u);
    EXPECT_EQ(outputs.rows[1][3], "M27:00~03");
    EXPECT_EQ(outputs.rows[1][4], "");
    const TextGrid inputs = AssemblyObjectTable(state, AssemblyTab::Input);
    EXPECT_EQ(inputs.rows[1][1], "66");
    EXPECT_EQ(inputs.rows[2][1], "67");
}

}  // namespace
}  // namespace k400::test
