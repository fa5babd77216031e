#include <gtest/gtest.h>

#include "gateway/ProgramState.h"
#include "canopen/ModuleFixture.h"
#include "canopen/PdoTables.h"

namespace k400::test {
namespace {

TEST(PdoTablesTest, PdoRowsShowCobIdsTimesAndLabels)
{
    ProgramState state;
    state.NodeId = 3;
    for (int i = 0; i < 3; ++i)  // 12 digital output bytes reach receive PDO 4; PDO 5 is not used
        PlaceModule(state, static_cast<std::size_t>(i), {"Q37", i + 1, 32, 0, 0, 0});
    PlaceModule(state, 3, {"M33", 26, 0, 4, 0, 0});
    PlaceModule(state, 4, {"M44", 7, 0, 0, 16, 0});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    state.OutputAssemblies[5].Mapping[0] = "stale";  // written by hand: must not show past L
    ASSERT_EQ(state.LastOutputAssembly, 3);

    auto rx = PdoTableRows(state, PdoDirection::Receive);
    ASSERT_EQ(rx.size(), 5u);
    EXPECT_EQ(rx[0], (std::vector<std::string>{"PDO NO.", "COB-ID (Hex)", "Transmission Type", "Inhibit Time",
                                               "Event Timer", "Mapping 0", "Mapping 1", "Mapping 2", "Mapping 3",
                                               "Mapping 4", "Mapping 5", "Mapping 6", "Mapping 7"}));
    EXPECT_EQ(rx[1], (std::vector<std::string>{"1", "203", "255", "Reversed", "Reversed", "0x1-Q37:00~07",
                                               "0x1-Q37:08~15", "0x1-Q37:16~23", "0x1-Q37:24~31", "0x2-Q37:00~07",
                                               "0x2-Q37:08~15", "0x2-Q37:16~23", "0x2-Q37:24~31"}));
    EXPECT_EQ(rx[2][1], "303");
    EXPECT_EQ(rx[2][5], "0x1A-M33:0");
    EXPECT_EQ(rx[2][12], "0x1A-M33:3");
    EXPECT_EQ(rx[4][0], "4");
    EXPECT_EQ(rx[4][1], "503");
    EXPECT_EQ(rx[4][5], "--------:----");

    // With analog overflow the rows reach PDO 4 and beyond: COB-ID 80000000.
    PlaceModule(state, 5, {"M33", 27, 0, 4, 0, 0});
    PlaceModule(state, 6, {"M33", 28, 0, 4, 0, 0});
    PlaceModule(state, 7, {"M33", 29, 0, 4, 0, 0});
    ASSERT_TRUE(BuildCanopenPdoMapping(state));
    ASSERT_EQ(state.LastOutputAssembly, 5);
    rx = PdoTableRows(state, PdoDirection::Receive);
    ASSERT_EQ(rx.size(), 7u);
    EXPECT_EQ(rx[5][1], "80000000");
    EXPECT_EQ(rx[6][1], "80000000");
    EXPECT_EQ(rx[5][3], "Reversed");

    auto tx = PdoTableRows(state, PdoDirection::Transmit);
    ASSERT_EQ(tx.size(), 5u);
    EXPECT_EQ(tx[1][1], "183");
    EXPECT_EQ(tx[4][1], "483");
    EXPECT_EQ(tx[1][3], "0");
    EXPECT_EQ(tx[1][4], "0");
    EXPECT_EQ(tx[1][5], "0x7-M44:00~07");
    EXPECT_EQ(tx[1][6], "0x7-M44:08~15");
}

TEST(PdoTablesTest, ManufacturerTabListsModulesInScanOrder)
{
    ProgramState state;
    EXPECT_EQ(ManufacturerObjectRows(state).size(), 3u);

    PlaceModule(state, 0, {"M44", 1, 0, 0, 16, 0});
    PlaceModule(state, 2, {"M33", 26, 0, 4, 0, 0});
    auto rows = ManufacturerObjectRows(state);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1][4], " Module WDT Status");
    EXPECT_EQ(rows[2], (std::vector<std::string>{"Subindex0", "2", "2", "2", "2"}));
    EXPECT_EQ(rows[3], (std::vector<std::string>{"Subindex1", "0 (0x1-M44)", "0 (0x1-M44)", "0 (0x1-M44)",
                                                 "0 (0x1-M44)"}));
    EXPECT_EQ(rows[4][0], "Subindex2");
    EXPECT_EQ(rows[4][2], "0 (0x1A-M33)");
}

TEST(PdoTablesTest, StandardizedTabWithOneDigitalInputModule)
{
    ProgramState state;
    PlaceModule(state, 0, {"M44", 1, 0, 0, 16, 0});
    auto rows = StandardizedObjectRows(state);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1][1], "                   Read DI (8-bit)");
    EXPECT_EQ(rows[1][8], " AO Err Output (16-bit)");
    EXPECT_EQ(rows[2], (std::vector<std::string>{"Subindex0", "2", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(rows[3][0], "Subindex1");
    EXPECT_EQ(rows[3][1], "0x00 (0x1-M44:00-08)");
    EXPECT_EQ(rows[4][1], "0x00 (0x1-M44:08-16)");
    for (std::size_t c = 2; c < 9; ++c) {
        EXPECT_EQ(rows[3][c], "");
        EXPECT_EQ(rows[4][c], "");
    }
}

TEST(PdoTablesTest, StandardizedTabOutputsAndAnalogChannels)
{
    ProgramState state;
    PlaceModule(state, 0, {"M38", 3, 13, 0, 0, 0});
    PlaceModule(state, 1, {"M60", 6, 2, 0, 0, 4});
    PlaceModule(state, 2, {"M32", 12, 0, 2, 0, 0});
    EXPECT_EQ(MaxSubIndexCount(state), 4);
    auto rows = StandardizedObjectRows(state);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[2], (std::vector<std::string>{"Subindex0", "0", "3", "3", "3", "4", "2", "2", "2"}));
    EXPECT_EQ(rows[4][2], "0x00 (0x3-M38:08-13)");
    EXPECT_EQ(rows[4][3], "0xFF (0x3-M38:08-13)");
    EXPECT_EQ(rows[5][4], "0x00 (0x6-M60:00-02)");
    EXPECT_EQ(rows[3][5], "0x0000 (0x6-M60:1)");
    EXPECT_EQ(rows[6][5], "0x0000 (0x6-M60:4)");
    EXPECT_EQ(rows[4][6], "0x0000 (0xC-M32:2)");
    EXPECT_EQ(rows[4][7], "1 (0xC-M32:2)");
    EXPECT_EQ(rows[4][8], "0 (0xC-M32:2)");
    EXPECT_EQ(rows[5][6], "");
    EXPECT_EQ(rows[6][0], "Subindex4");
}

}  // namespace
}  // namespace k400::test
