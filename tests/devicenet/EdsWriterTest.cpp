#include <gtest/gtest.h>

#include <filesystem>

#include "devicenet/DeviceNetModules.h"
#include "devicenet/EdsWriter.h"
#include "gateway/ProgramState.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

const LocalDateTime FinishTime{2026, 12, 5, 14, 5, 9};

const struct GoldenCase {
    const char* file;
    bool build;  // the objects were built
    void (*setup)(ProgramState&, ConnectionChoices&);
} GoldenCases[] = {
    {"poll_cos.eds", true,
     [](ProgramState& s, ConnectionChoices& choices) {
         AddModules(s, {{"M44", 26}, {"M27", 3, 0x3F, 0x06, 0x02, 2, 0x04}, {"M60", 10, 0x50, 0x08, 0x00}});
         s.ModuleTable[1].TypeCode = s.TarnInfTable[1].TypeCode = 0x03;
         s.FirmwareVersion = {1, 5};
         s.EdsInfoText = {"Line one\r\nline two", "Tester"};
         choices.InputSelection = {1, 0, 2, 0};
         choices.OutputSelection = {1, 0, 0, 0};
     }},
    {"strobe_only.eds", true,  // the module sits at table index 9
     [](ProgramState& s, ConnectionChoices& choices) {
         AddModules(s, {{""}, {""}, {""}, {""}, {""}, {""}, {""}, {""}, {""}, {"M52", 1}});
         s.FirmwareVersion = {2, 10};
         choices.InputSelection[1] = 2;
     }},
    {"no_assemblies.eds", false,  // no IO_Info, the object entries all the same
     [](ProgramState& s, ConnectionChoices&) {
         AddModules(s, {{"M24", 2, 0x08, 0x06, 0x01}});
         s.FirmwareVersion = {1, 5};
         s.EdsInfoText = {"D", "C"};
     }},
};

TEST(DeviceNetEds, MatchesTheGoldenFiles)
{
    for (const GoldenCase& c : GoldenCases) {
        ProgramState state;
        ConnectionChoices choices;
        c.setup(state, choices);
        if (c.build) {
            ASSERT_TRUE(BuildDeviceNetObjects(state));
        }
        const std::string golden = ReadFile(std::filesystem::path(K400_TEST_DATA_DIR) / "devicenet" / c.file);
        ASSERT_FALSE(golden.empty()) << c.file;
        EXPECT_EQ(DeviceNetEdsText(state, choices, FinishTime), golden) << c.file;  // gtest shows the differing lines
    }
}

}  // namespace
}  // namespace k400::test
