#include <gtest/gtest.h>

#include "app/Settings.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

// The panel as a successful connect leaves it: no side chosen yet, then the
// CAN toggle pressed.
class Panel : public ::testing::Test {
protected:
    void ConnectWith(std::uint8_t application, std::uint8_t node, std::uint8_t canBaud)
    {
        state.ApplicationLayer = application;
        state.NodeId = node;
        state.CanBaudIndex = canBaud;
        state.SelectedSide = 3;
        panel.ComButton[0].Pressed = true;
        SideToggleHandler(state, panel, 0);
    }

    ProgramState state;
    ParameterPanel panel;
    RecordingUserInterface ui;
};

TEST_F(Panel, CanSideShowsTheStoredCanopenSettings)
{
    ConnectWith(0, 12, 7);
    EXPECT_EQ(state.SelectedSide, 0);
    EXPECT_TRUE(panel.ApplicationSelect[0]);
    EXPECT_FALSE(panel.ApplicationSelect[1]);
    ASSERT_EQ(panel.CANBaudrate.size(), 8u);
    EXPECT_EQ(panel.CANBaudrateIndex, 7);
    EXPECT_EQ(panel.ViewerText[0], "     1000    KBPS");
    EXPECT_EQ(panel.ViewerText[1], "CANopen");
    EXPECT_EQ(panel.ViewerText[2], "12");
    EXPECT_EQ(panel.CANNodeId, "12");
    EXPECT_TRUE(panel.ApplicationLayerFrameVisible);
    EXPECT_FALSE(panel.ComChecksumVisible);
    EXPECT_EQ(panel.ComButton[0].BackColour, ToggleLightRed);
}

TEST_F(Panel, CanSideRepairsWhatTheApplicationCannotTake)
{
    ConnectWith(1, 100, 5);
    EXPECT_EQ(state.NodeId, 1);
    EXPECT_EQ(state.CanBaudIndex, 0);
    EXPECT_TRUE(panel.ApplicationSelect[1]);
    ASSERT_EQ(panel.CANBaudrate.size(), 3u);
    EXPECT_EQ(panel.CANBaudrateIndex, 0);
    EXPECT_EQ(panel.ViewerText[0], "       125    KBPS");
    EXPECT_EQ(panel.ViewerText[1], "DeviceNet");
    EXPECT_EQ(panel.CANNodeId, "1");
    EXPECT_EQ(panel.ViewerText[2], "1");
}

TEST_F(Panel, Com2SideShowsTheCom2Settings)
{
    ConnectWith(0, 3, 2);
    state.Com2Checksum = 1;
    state.Com2BaudIndex = 4;
    state.Com2Timeout = 0;
    ClickSideToggle(state, panel, 1);
    EXPECT_EQ(state.SelectedSide, 1);
    EXPECT_FALSE(panel.ComButton[0].Pressed);
    EXPECT_EQ(panel.ComButton[0].BackColour, ToggleLightGrey);
    EXPECT_TRUE(panel.ComButton[1].Pressed);
    EXPECT_EQ(panel.ParaSettingCaption, "COM2 Parameter Setting");
    EXPECT_EQ(panel.ParaViewCaption, "COM2 Parameter Viewer");
    EXPECT_FALSE(panel.ApplicationLayerFrameVisible);
    EXPECT_TRUE(panel.ComChecksumVisible);
    EXPECT_EQ(panel.ComChecksumIndex, 1);
    EXPECT_EQ(panel.ViewerText[1], "Enalbe");
    ASSERT_EQ(panel.CANBaudrate.size(), 8u);
    EXPECT_EQ(panel.CANBaudrateIndex, 4);
    EXPECT_EQ(panel.ViewerText[0], "       19200   BPS");
    EXPECT_EQ(panel.CANNodeId, "50");
    EXPECT_EQ(panel.ViewerText[2], "50");
    EXPECT_EQ(state.Com2Timeout, 0);

    // A stored index beyond the list shows the first entry but is kept.
    state.Com2BaudIndex = 9;
    state.Com2Checksum = 0;
    ClickSideToggle(state, panel, 0);
    ClickSideToggle(state, panel, 1);
    EXPECT_EQ(panel.CANBaudrateIndex, 0);
    EXPECT_EQ(state.Com2BaudIndex, 9);
    EXPECT_EQ(panel.ViewerText[1], "Disable");
}

TEST_F(Panel, SwitchingBackShowsStoredCanValuesNotTypedOnes)
{
    ConnectWith(0, 9, 4);
    ClickSideToggle(state, panel, 1);
    panel.CANNodeId = "777";
    panel.CANBaudrateIndex = 6;
    ClickSideToggle(state, panel, 0);
    EXPECT_EQ(panel.CANNodeId, "9");
    EXPECT_EQ(panel.CANBaudrateIndex, 4);
    EXPECT_EQ(panel.CANBaudrate.size(), 8u);
    EXPECT_FALSE(panel.ComButton[1].Pressed);
}

TEST_F(Panel, ClickingThePressedToggleOnlyHidesAndShowsSetting)
{
    ConnectWith(0, 9, 4);
    ClickSideToggle(state, panel, 0);
    EXPECT_FALSE(panel.ComButton[0].Pressed);
    EXPECT_FALSE(panel.SettingParameterVisible);
    EXPECT_EQ(state.SelectedSide, 0);
    EXPECT_EQ(panel.CANNodeId, "9");
    ClickSideToggle(state, panel, 0);
    EXPECT_TRUE(panel.ComButton[0].Pressed);
    EXPECT_TRUE(panel.SettingParameterVisible);
}

TEST_F(Panel, CanSettingChecksTheNodeIdOfTheChosenApplication)
{
    ConnectWith(0, 9, 4);
    for (const char* refused : {"0", "128", "abc", ""}) {
        panel.CANNodeId = refused;
        EXPECT_FALSE(SettingHandler(state, panel, ui)) << refused;
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().text, "Node ID is not supported!(1~127)");
        EXPECT_EQ(ui.messages.back().title, "Error");
    }
    EXPECT_EQ(state.NodeId, 9);
    EXPECT_TRUE(ui.status.empty());

    panel.CANNodeId = "127";
    panel.CANBaudrateIndex = 6;
    EXPECT_TRUE(SettingHandler(state, panel, ui));
    EXPECT_EQ(state.NodeId, 127);
    EXPECT_EQ(state.CanBaudIndex, 6);
    EXPECT_EQ(panel.ViewerText[0], "       800    KBPS");
    EXPECT_EQ(ui.status, "Setting Ok");

    // Choosing DeviceNet changes only the list until "Setting" succeeds.
    ApplicationOptionHandler(panel, 1);
    EXPECT_EQ(state.ApplicationLayer, 0);
    EXPECT_EQ(panel.CANBaudrate.size(), 3u);
    EXPECT_EQ(panel.CANBaudrateIndex, 0);
    panel.CANNodeId = "100";
    EXPECT_FALSE(SettingHandler(state, panel, ui));
    EXPECT_EQ(ui.messages.back().text, "Node ID is not supported!(1~63)");
    EXPECT_EQ(state.ApplicationLayer, 0);
    panel.CANNodeId = "  63 nodes";
    panel.CANBaudrateIndex = 2;
    EXPECT_TRUE(SettingHandler(state, panel, ui));
    EXPECT_EQ(state.ApplicationLayer, 1);
    EXPECT_EQ(state.NodeId, 63);
    EXPECT_EQ(state.CanBaudIndex, 2);
    EXPECT_EQ(panel.ViewerText[1], "DeviceNet");
}

TEST_F(Panel, ValuesThatRoundOutOfRangeAreRefused)
{
    ConnectWith(0, 9, 4);
    panel.CANNodeId = "127.6";
    EXPECT_FALSE(SettingHandler(state, panel, ui));
    EXPECT_EQ(state.NodeId, 9);
    panel.CANNodeId = "126.6";
    EXPECT_TRUE(SettingHandler(state, panel, ui));
    EXPECT_EQ(state.NodeId, 127);
}

TEST_F(Panel, Com2SettingChecksTheTimeout)
{
    ConnectWith(0, 9, 4);
    state.Com2Timeout = 200;
    ClickSideToggle(state, panel, 1);
    for (const char* refused : {"32768", "0", "-5", "x", "32767.5"}) {
        panel.CANNodeId = refused;
        EXPECT_FALSE(SettingHandler(state, panel, ui)) << refused;
        EXPECT_EQ(ui.messages.back().text, "Timeout value is out of range!(1ms~32767ms)");
    }
    EXPECT_EQ(state.Com2Timeout, 200);
    panel.CANNodeId = "32767";
    panel.CANBaudrateIndex = 7;
    panel.ComChecksumIndex = 1;
    EXPECT_TRUE(SettingHandler(state, panel, ui));
    EXPECT_EQ(state.Com2Timeout, 32767);
    EXPECT_EQ(state.Com2BaudIndex, 7);
    EXPECT_EQ(state.Com2Checksum, 1);
    EXPECT_EQ(panel.ViewerText[0], "      115200  BPS");
    EXPECT_EQ(panel.ViewerText[1], "Enalbe");
    EXPECT_EQ(panel.ViewerText[2], "32767");
    EXPECT_EQ(ui.status, "Setting Ok");
    EXPECT_EQ(state.NodeId, 9);
}

TEST(ScanDialog, LoadShowsTheCurrentScanParameters)
{
    ProgramState state;
    state.ScanBaudIndex = 7;
    state.ScanChecksumIndex = 1;
    state.ScanTimeoutMs = 450;
    const auto dialog = LoadScanParameterDialog(state);
    ASSERT_EQ(dialog.Baudrate.size(), 8u);
    EXPECT_EQ(dialog.Baudrate[dialog.BaudrateIndex], " 115200 BPS");
    EXPECT_EQ(dialog.Baudrate[0], "     1200 BPS");
    EXPECT_EQ(dialog.Checksum, (std::vector<std::string>{" Disable", "Enable"}));
    EXPECT_EQ(dialog.ChecksumIndex, 1);
    EXPECT_EQ(dialog.Timeout, "450");
}

TEST(ScanDialog, OutOfRangeTimeoutKeepsTheDialogOpen)
{
    ProgramState state;
    RecordingUserInterface ui;
    auto dialog = LoadScanParameterDialog(state);
    dialog.BaudrateIndex = 5;
    for (const char* refused : {"0", "40000", "none"}) {
        dialog.Timeout = refused;
        EXPECT_FALSE(UnloadScanParameterDialog(state, dialog, ui)) << refused;
        EXPECT_EQ(ui.messages.back().text, "Timeout value is out of range!(1ms~32767ms)");
        EXPECT_FALSE(state.ScanParametersDone);
        EXPECT_EQ(state.ScanBaudIndex, 3);
    }
    dialog.Timeout = "120";
    EXPECT_TRUE(UnloadScanParameterDialog(state, dialog, ui));
    EXPECT_TRUE(state.ScanParametersDone);
    EXPECT_EQ(state.ScanBaudIndex, 5);
    EXPECT_EQ(state.ScanTimeoutMs, 120);
}

}  // namespace
}  // namespace k400::test
