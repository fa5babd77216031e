#include <gtest/gtest.h>

#include "gateway/ProgramState.h"
#include "devicenet/ConnectionSettings.h"
#include "DeviceNetModules.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

using Strings = std::vector<std::string>;

// M44 (2 DI bytes) at 26, M27 (all four kinds) at 3, M60 (counter) at 10.
ProgramState MixedState()
{
    ProgramState state;
    AddModule(state, "M44", 26);
    AddModule(state, "M27", 3);
    AddModule(state, "M60", 10);
    EXPECT_TRUE(BuildDeviceNetObjects(state));
    return state;
}

double Word(int selection, int cls, int instance, int attribute)
{
    return selection * 16777216.0 + cls * 65536.0 + instance * 256.0 + attribute;
}

TEST(DeviceNetSelectors, ListsNumberAssembliesThenDigitalThenAnalogObjects)
{
    const ProgramState state = MixedState();
    const SelectorLists lists = BuildSelectorLists(state);
    EXPECT_EQ(lists.Input, (Strings{"None", "INPUT  01(Assembly)", "INPUT  02(Assembly)", "INPUT  03(DI,App.01)",
                                    "INPUT  04(DI,App.02)", "INPUT  05(AI,App.02)", "INPUT  06(AI,App.03)"}));
    EXPECT_EQ(lists.Output, (Strings{"None", "OUTPUT 01(Assembly)", "OUTPUT 02(Assembly)", "OUTPUT 03(DO,App.02)",
                                     "OUTPUT 04(DO,App.03)", "OUTPUT 05(AO,App.02)"}));
}

TEST(DeviceNetSelectors, SideWithoutDataOffersOnlyNone)
{
    ProgramState state;
    AddModule(state, "M45", 1);
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    const SelectorLists lists = BuildSelectorLists(state);
    EXPECT_EQ(lists.Output, (Strings{"None"}));
    EXPECT_EQ(lists.Input, (Strings{"None", "INPUT  01(Assembly)", "INPUT  02(DI,App.01)"}));
}

TEST(DeviceNetSelectors, StrobeAcceptsAtMostEightBytes)
{
    ProgramState state;
    AddModule(state, "M28", 1);  // 16 AI bytes
    AddModule(state, "M44", 2);  // 2 DI bytes
    ASSERT_TRUE(BuildDeviceNetObjects(state));
    const SelectorLists lists = BuildSelectorLists(state);
    ASSERT_EQ(lists.Input, (Strings{"None", "INPUT  01(Assembly)", "INPUT  02(Assembly)", "INPUT  03(DI,App.02)",
                                    "INPUT  04(AI,App.01)"}));
    EXPECT_TRUE(StrobeAccepts(state, 0, lists.Input[0]));
    EXPECT_TRUE(StrobeAccepts(state, 1, lists.Input[1]));   // 2 digital bytes
    EXPECT_FALSE(StrobeAccepts(state, 2, lists.Input[2]));  // 16 analog bytes
    EXPECT_TRUE(StrobeAccepts(state, 3, lists.Input[3]));
    EXPECT_FALSE(StrobeAccepts(state, 4, lists.Input[4]));

    ProgramState eight;
    AddModule(eight, "Q24", 1);  // 8 analog input bytes
    ASSERT_TRUE(BuildDeviceNetObjects(eight));
    EXPECT_TRUE(StrobeAccepts(eight, 1, "INPUT  01(Assembly)"));
    EXPECT_TRUE(StrobeAccepts(eight, 2, "INPUT  02(AI,App.01)"));

    ProgramState nine;
    for (int a = 1; a <= 4; ++a)
        AddModule(nine, "M44", a);  // 8 digital input bytes
    ASSERT_TRUE(BuildDeviceNetObjects(nine));
    EXPECT_TRUE(StrobeAccepts(nine, 1, "INPUT  01(Assembly)"));
    AddModule(nine, "M45", 5);  // the ninth byte
    ASSERT_TRUE(BuildDeviceNetObjects(nine));
    EXPECT_FALSE(StrobeAccepts(nine, 1, "INPUT  01(Assembly)"));
}

TEST(DeviceNetSelectors, RestoreTakesStoredInputsAndPollOutput)
{
    ProgramState state = MixedState();
    const SelectorLists lists = BuildSelectorLists(state);
    state.ConnectionImage[0] = 2 * 65536.0;
    state.ConnectionImage[1] = Word(6, 0x64, 3, 0x17);
    state.ConnectionImage[2] = Word(3, 0x64, 1, 0x16);
    state.ConnectionImage[3] = Word(0, 0x04, 0, 3);
    state.ConnectionImage[4] = Word(5, 0x64, 2, 0x15);
    state.ConnectionImage[5] = Word(1, 0x04, 1, 3);
    state.ConnectionImage[6] = Word(2, 0x2B, 1, 0);
    RecordingUserInterface ui;
    const ConnectionChoices choices = RestoreConnectionChoices(state, lists, ui);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(choices.InputSelection[0], 6);  // the last list index is accepted
    EXPECT_EQ(choices.InputSelection[1], 3);
    EXPECT_EQ(choices.InputSelection[2], 0);
    EXPECT_EQ(choices.OutputSelection[0], 5);
    EXPECT_EQ(choices.OutputSelection[1], 0);  // strobe and COS outputs start afresh
    EXPECT_EQ(choices.OutputSelection[2], 0);
    EXPECT_EQ(choices.DefaultConnection, 0);
}

TEST(DeviceNetSelectors, RestoreFallsBackToNoneWithItsNotices)
{
    const ProgramState base = MixedState();
    const SelectorLists lists = BuildSelectorLists(base);

    {  // default connection 4 or more: a new setting
        ProgramState state = base;
        state.ConnectionImage[0] = 4 * 65536.0;
        state.ConnectionImage[1] = Word(1, 4, 3, 3);
        RecordingUserInterface ui;
        const ConnectionChoices choices = RestoreConnectionChoices(state, lists, ui);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "This is a new Setting for DNS gateway");
        EXPECT_TRUE(state.StoredImageInvalid);
        EXPECT_EQ(choices.InputSelection[0], 0);
    }
    {  // a stored input past the end of its list resets every choice
        ProgramState state = base;
        state.ConnectionImage[1] = Word(2, 4, 3, 3);
        state.ConnectionImage[3] = Word(7, 0x64, 1, 0x16);
        state.ConnectionImage[4] = Word(1, 4, 1, 3);
        RecordingUserInterface ui;
        const ConnectionChoices choices = RestoreConnectionChoices(state, lists, ui);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "EEPROM ERROR,We show the default value.");
        EXPECT_EQ(choices.InputSelection[0], 0);
        EXPECT_EQ(choices.OutputSelection[0], 0);
        EXPECT_FALSE(state.StoredImageInvalid);
    }
    {  // the poll output is checked against the output list
        ProgramState state = base;
        state.ConnectionImage[4] = Word(6, 0x64, 1, 0x15);
        RecordingUserInterface ui;
        RestoreConnectionChoices(state, lists, ui);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "EEPROM ERROR,We show the default value.");
    }
}

}  // namespace
}  // namespace k400::test
