#include <gtest/gtest.h>

#include "gateway/ProgramState.h"
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
    ASSERT_EQ(grid.rows.size(), 4u);  // captions and three usable modules
    EXPECT_EQ(grid.rows[0][14], "AI Num.(Att.14)");
    EXPECT_EQ(grid.rows[1], (Row{"1", "1", "M33", "0x0A", "6", "0x30", "0x02", "0", "8", "0", "0", "0", "4", "0", "0"}));
    EXPECT_EQ(grid.rows[2][5], "Ch0:3--Ch1:4");
    // A counter module shows its counters, not its words.
    EXPECT_EQ(grid.rows[3], (Row{"4", "3", "M62", "0x1A", "8", "0x50", "0x00", "0", "0", "0", "12", "0", "0", "0", "3"}));
}

TEST(DeviceNetViewers, AssemblyTabsAndRows)
{
    ProgramState state;
    EXPECT_TRUE(AssemblyTabs(state).empty());
    AddModule(state, "M44", 1);
    AddModule(state, "M24", 2);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    ASSERT_EQ(AssemblyTabs(state), (std::vector<AssemblyTab>{AssemblyTab::Input}));
    const TextGrid grid = AssemblyObjectTable(state, AssemblyTab::Input);
    ASSERT_EQ(grid.rows.size(), 3u);
    EXPECT_EQ(grid.rows[0], (Row{"IO NO.", "Ins.ID (Hex)", "Ins Length", "Mapping  0", "Mapping  1"}));
    EXPECT_EQ(grid.columnWidths, (std::vector<int>{1500, 1500, 1500, 1600, 1600}));
    EXPECT_EQ(grid.rows[1], (Row{"1", "64", "2", "0x1-M44:00~07", "0x1-M44:08~15"}));
    EXPECT_EQ(grid.rows[2], (Row{"2", "65", "2", "0x2-M24:1", "0x2-M24:1"}));

    AddModule(state, "M38", 3);  // outputs now come first: input IDs move on
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    EXPECT_EQ(AssemblyTabs(state), (std::vector<AssemblyTab>{AssemblyTab::Output, AssemblyTab::Input}));
    EXPECT_EQ(AssemblyObjectTable(state, AssemblyTab::Output).rows[1], (Row{"1", "64", "2", "M38:00~07", "M38:08~12"}));
    EXPECT_EQ(AssemblyObjectTable(state, AssemblyTab::Input).rows[2][1], "66");
}

}  // namespace
}  // namespace k400::test
