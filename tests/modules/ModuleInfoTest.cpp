// Classifying scanned modules by the catalogue, and the module information rows.

#include <gtest/gtest.h>

#include <array>

#include "modules/ModuleInfo.h"
#include "modules/ModuleInfoTable.h"

namespace k400::test {
namespace {

// Places a module as the scan leaves it and classifies it.
bool Classify(ModuleTables& tables, std::uint8_t index, const std::string& name, const std::string& address)
{
    tables.CurrentModuleIndex = index;
    tables.ModuleTable[index].Name = name;
    tables.ModuleTable[index].Address = address;
    return ModuleChInfo(tables, name);
}

std::array<int, 4> Totals(const ModuleTables& t)
{
    return {t.TotalDOBytes, t.TotalAOBytes, t.TotalDIBytes, t.TotalAIBytes};
}

TEST(ModuleChInfo, OverwritesAReusedEntryAddsUpTotalsAndRefusesUnknownModels)
{
    ModuleTables tables;
    ASSERT_TRUE(Classify(tables, 1, "M40", "3"));  // DO 8, DI 4
    ASSERT_TRUE(Classify(tables, 0, "M27", "1"));  // DO 4, AO 1, DI 1, AI 2
    ASSERT_TRUE(Classify(tables, 1, "M38", "2"));  // DO 13, in the M40's entry; totals only add
    EXPECT_EQ(Totals(tables), (std::array<int, 4>{1 + 1 + 2, 2, 1 + 1, 4}));
    const auto& t = tables.TarnInfTable[1];
    EXPECT_EQ(t.Name + " " + std::to_string(t.Address), "M38 2");
    EXPECT_EQ((std::array<int, 6>{t.IOType, t.DOChannels, t.DIChannels, t.DOLength, t.DILength, t.AILength}),
              (std::array<int, 6>{0, 13, 0, 2, 0, 0}));

    const ModuleTables before = tables;
    EXPECT_FALSE(Classify(tables, 1, "Q29W", "2"));
    EXPECT_EQ(tables.ModuleTable[1].Address, "");  // and nothing else changes
    EXPECT_EQ(tables.ModuleTable[1].DOChannels, 13);
    EXPECT_EQ(tables.TarnInfTable[1].Name, "M38");
    EXPECT_EQ(Totals(tables), Totals(before));

    // Fifteen large analog modules pass what one byte holds.
    tables = {};
    for (std::uint8_t i = 0; i < 15; ++i)
        ASSERT_TRUE(Classify(tables, i, "M29Z", std::to_string(i + 1)));
    EXPECT_EQ(tables.TotalAIBytes, 300);
}

TEST(ModuleInfoRows, HeadingsThenModulesInDisplayOrder)
{
    ModuleTables tables;
    const char* modules[][2] = {{"M40", "10"}, {"M28", "16"}, {"M62", "255"}, {"M22", "3"}, {"M28", "5"}};
    for (std::uint8_t i = 0; i < 5; ++i)
        ASSERT_TRUE(Classify(tables, i, modules[i][0], modules[i][1]));
    tables.ModuleTable[4].Address.clear();  // refused later: not shown
    const std::uint8_t typeCodes[] = {0x40, 0x08, 0x50};
    for (int i = 0; i < 3; ++i) {
        tables.ModuleTable[i].TypeCode = typeCodes[i];
        tables.ModuleTable[i].TypeCodeCount = 1;
    }
    tables.ModuleTable[1].DataFormat = 0x1F;
    tables.ModuleTable[3].TypeCodeCount = 2;
    tables.ModuleTable[3].TypeCode = 3;
    tables.ModuleTable[3].TypeCode2 = 12;
    tables.ModuleOrder = {1, 0, 2, 4, 3};
    tables.ModuleCount = 5;

    const auto rows = ModuleInfoRows(tables);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], ModuleInfoHeadings);
    EXPECT_EQ(ModuleInfoHeadings[2], "   Name");
    EXPECT_EQ(rows[1], (ModuleInfoRow{"1", "0x10", "M28", "0x08", "0x1F", "0", "0", "0", "8"}));
    EXPECT_EQ(rows[2], (ModuleInfoRow{"2", "0x0A", "M40", "0x40", "0x00", "8", "0", "4", "0"}));
    // A counter's AI words are shown as counters; numbering keeps the place in the scan.
    EXPECT_EQ(rows[3], (ModuleInfoRow{"3", "0xFF", "M62", "0x50", "0x00", "0", "0", "0", "3"}));
    EXPECT_EQ(rows[4], (ModuleInfoRow{"5", "0x03", "M22", "Ch0:3--Ch1:C", "0x00", "2", "0", "1", "1"}));
}

}  // namespace
}  // namespace k400::test
