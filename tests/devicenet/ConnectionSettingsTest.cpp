#include <gtest/gtest.h>

#include "devicenet/ConnectionSettings.h"
#include "devicenet/DeviceNetModules.h"
#include "gateway/ProgramState.h"
#include "platform/Messages.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

using Strings = std::vector<std::string>;

// M44 (2 DI bytes) at 26, M27 (all four kinds) at 3, M60 (a counter) at 10.
const std::vector<ModuleSetup> Mixed = {{"M44", 26}, {"M27", 3}, {"M60", 10}};

TEST(DeviceNetSelectors, ListAssembliesThenDigitalThenAnalogObjectsAndLimitTheStrobe)
{
    const struct {
        std::vector<ModuleSetup> modules;
        Strings input, output;     // empty: not checked
        std::vector<bool> strobe;  // whether input entry i may feed the bit-strobe connection
    } cases[] = {
        {Mixed,
         {},
         {"None", "OUTPUT 01(Assembly)", "OUTPUT 02(Assembly)", "OUTPUT 03(DO,App.02)", "OUTPUT 04(DO,App.03)",
          "OUTPUT 05(AO,App.02)"},
         {true, true, false, true, true, true, true}},  // the analog input assembly has 12 bytes
        {{{"M45", 1}}, {"None", "INPUT  01(Assembly)", "INPUT  02(DI,App.01)"}, {"None"}, {}},
        {{{"M28", 1}, {"M44", 2}}, {}, {}, {true, true, false, true, false}},  // 16 analog, 2 digital bytes
        {{{"Q24", 1}}, {"None", "INPUT  01(Assembly)", "INPUT  02(AI,App.01)"}, {}, {true, true, true}},  // 8 bytes
        {{{"M44", 1}, {"M44", 2}, {"M44", 3}, {"M44", 4}}, {}, {}, {true, true}},                         // 8 bytes
        {{{"M44", 1}, {"M44", 2}, {"M44", 3}, {"M44", 4}, {"M45", 5}}, {}, {}, {true, false}},            // 9 bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ProgramState state;
        AddModules(state, c.modules);
        ASSERT_TRUE(BuildDeviceNetObjects(state));
        const SelectorLists lists = BuildSelectorLists(state);
        EXPECT_EQ(lists.Input, c.input.empty() ? lists.Input : c.input);
        EXPECT_EQ(lists.Output, c.output.empty() ? lists.Output : c.output);
        ASSERT_GE(lists.Input.size(), c.strobe.size());
        for (std::size_t i = 0; i < c.strobe.size(); ++i)
            EXPECT_EQ(StrobeAccepts(state, static_cast<int>(i), lists.Input[i]), c.strobe[i]) << lists.Input[i];
    }
}

double Word(int selection, std::uint8_t cls, std::uint8_t instance, std::uint8_t attribute)
{
    return PackConnectionWord(selection, {cls, instance, attribute});
}

TEST(DeviceNetSelectors, RestoreTakesTheStoredChoicesOrFallsBackWithANotice)
{
    using Choices = std::array<std::int16_t, 4>;
    const struct {
        std::array<double, 7> words;
        Choices input, output;
        const char* notice;
        bool invalid;
    } cases[] = {
        {{2 * 65536.0, Word(6, 0x64, 3, 0x17), Word(3, 0x64, 1, 0x16), Word(0, 0x04, 0, 3), Word(5, 0x64, 2, 0x15),
          Word(1, 0x04, 1, 3), Word(2, 0x2B, 1, 0)},
         {6, 3, 0, 0},
         {5, 0, 0, 0},
         nullptr,
         false},                                                                    // only the poll output is restored
        {{4 * 65536.0, Word(1, 4, 3, 3)}, {}, {}, msg::NewDeviceNetSetting, true},  // default connection 4
        {{0, Word(2, 4, 3, 3), 0, Word(7, 0x64, 1, 0x16), Word(1, 4, 1, 3)}, {}, {}, msg::StoredSelectionError, false},
        {{0, 0, 0, 0, Word(6, 0x64, 1, 0x15)}, {}, {}, msg::StoredSelectionError, false},  // poll output too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words[0] + c.words[3] + c.words[4]);
        ProgramState state;
        AddModules(state, Mixed);
        ASSERT_TRUE(BuildDeviceNetObjects(state));
        std::copy(c.words.begin(), c.words.end(), state.ConnectionImage.begin());
        RecordingUserInterface ui;
        const ConnectionChoices choices = RestoreConnectionChoices(state, BuildSelectorLists(state), ui);
        EXPECT_EQ(choices.InputSelection, c.input);
        EXPECT_EQ(choices.OutputSelection, c.output);
        EXPECT_EQ(choices.DefaultConnection, 0);
        EXPECT_EQ(state.StoredImageInvalid, c.invalid);
        ASSERT_EQ(ui.messages.size(), c.notice ? 1u : 0u);
        EXPECT_EQ(c.notice ? ui.messages[0].text : "", c.notice ? c.notice : "");
    }
}

}  // namespace
}  // namespace k400::test
