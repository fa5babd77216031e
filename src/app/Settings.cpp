#include "app/Settings.h"

#include <cmath>

#include "gateway/NumberText.h"
#include "platform/UserInterface.h"

namespace k400 {

const std::array<std::string, 8> CanopenBaudList = {
    "         10    KBPS", "         20    KBPS", "         50    KBPS", "       125    KBPS",
    "       250    KBPS",  "       500    KBPS",  "       800    KBPS",  "     1000    KBPS"};
const std::array<std::string, 3> DeviceNetBaudList = {"       125    KBPS", "       250    KBPS",
                                                      "       500    KBPS"};
const std::array<std::string, 8> Com2BaudList = {
    "        1200    BPS", "        2400    BPS", "        4800    BPS", "        9600    BPS",
    "       19200   BPS",  "       38400   BPS",  "       57600   BPS",  "      115200  BPS"};
const std::array<std::string, 2> ComChecksumList = {"              Disable", "              Enable"};
const std::array<std::string, 8> ScanBaudList = {"     1200 BPS", "     2400 BPS", "     4800 BPS",
                                                 "     9600 BPS", "   19200 BPS",  "   38400 BPS",
                                                 "   57600 BPS",  " 115200 BPS"};
const std::array<std::string, 2> ScanChecksumList = {" Disable", "Enable"};
const std::array<int, 8> CanopenBaudKbps = {10, 20, 50, 125, 250, 500, 800, 1000};
const std::array<int, 3> DeviceNetBaudKbps = {125, 250, 500};

namespace {

template <std::size_t N>
void Fill(std::vector<std::string>& list, const std::array<std::string, N>& entries)
{
    list.assign(entries.begin(), entries.end());
}

std::string EntryText(const ParameterPanel& panel)
{
    if (panel.CANBaudrateIndex < 0 || panel.CANBaudrateIndex >= static_cast<int>(panel.CANBaudrate.size()))
        return {};
    return panel.CANBaudrate[static_cast<std::size_t>(panel.CANBaudrateIndex)];
}

void Press(ToggleView& toggle)
{
    toggle.Pressed = true;
    toggle.BackColour = ToggleLightRed;
}

void ChooseApplication(ParameterPanel& panel, int option)
{
    panel.ApplicationSelect[0] = option == 0;
    panel.ApplicationSelect[1] = option == 1;
    if (option == 1)
        Fill(panel.CANBaudrate, DeviceNetBaudList);
    else
        Fill(panel.CANBaudrate, CanopenBaudList);
}

void ShowCanSide(ProgramState& state, ParameterPanel& panel)
{
    panel.ComChecksumVisible = false;
    panel.ParaSettingC0Visible = false;
    panel.ApplicationLayerFrameVisible = true;
    panel.ParaSettingC2Visible = {true, false};
    panel.ParaSettingCaption = "CAN Parameter Setting";
    panel.ParaViewCaption = "CAN Parameter Viewer";
    panel.ViewerC1Visible = {true, false};
    panel.ViewerC2Visible = {true, false};

    const bool deviceNet = state.ApplicationLayer != 0;
    panel.CANBaudrate.clear();
    ChooseApplication(panel, deviceNet ? 1 : 0);
    panel.ViewerText[1] = deviceNet ? "DeviceNet" : "CANopen";
    const int maxNode = deviceNet ? 63 : 127;
    if (state.NodeId < 1 || state.NodeId > maxNode)
        state.NodeId = 1;
    panel.CANNodeId = std::to_string(state.NodeId);
    panel.ViewerText[2] = panel.CANNodeId;

    if (state.CanBaudIndex >= panel.CANBaudrate.size())
        state.CanBaudIndex = 0;
    panel.CANBaudrateIndex = state.CanBaudIndex;
    panel.ViewerText[0] = EntryText(panel);
}

void ShowCom2Side(ProgramState& state, ParameterPanel& panel, int side)
{
    Fill(panel.CANBaudrate, Com2BaudList);
    panel.ApplicationLayerFrameVisible = false;
    panel.ComChecksumVisible = true;
    panel.ParaSettingC0Visible = true;
    panel.ParaSettingC2Visible = {false, true};
    panel.ParaSettingCaption = "COM" + std::to_string(side + 1) + " Parameter Setting";
    panel.ParaViewCaption = "COM" + std::to_string(side + 1) + " Parameter Viewer";
    panel.ViewerC1Visible = {false, true};
    panel.ViewerC2Visible = {false, true};

    if (state.Com2Checksum != 0) {
        panel.ComChecksumIndex = 1;
        panel.ViewerText[1] = ViewerChecksumEnabled;
    } else {
        panel.ComChecksumIndex = 0;
        panel.ViewerText[1] = ViewerChecksumDisabled;
    }
    panel.CANBaudrateIndex = state.Com2BaudIndex < 8 ? state.Com2BaudIndex : 0;
    panel.ViewerText[0] = EntryText(panel);
    // A time-out of 0 (never set) shows the gateway's usual 50 ms.
    panel.CANNodeId = state.Com2Timeout > 0 ? std::to_string(state.Com2Timeout) : "50";
    panel.ViewerText[2] = panel.CANNodeId;
}

// The typed value must lie in range both as typed and once rounded to the
// integer that is stored (127.6 would otherwise store node 128, 32767.5 a
// time-out that does not fit).
bool InRange(double value, long low, long high)
{
    if (!(value >= low && value <= high))
        return false;
    const long rounded = std::lround(value);
    return rounded >= low && rounded <= high;
}

std::uint8_t SelectedIndex(int index)
{
    return static_cast<std::uint8_t>(index < 0 ? 0 : index);
}

}  // namespace

void ResetMainView(ParameterPanel& panel)
{
    panel.ParaSettingC2Visible = {};
    panel.ViewerC1Visible = {};
    panel.ViewerC2Visible = {};
    panel.ComCaptionVisible = {};
    panel.ViewerTextVisible = {};
    panel.ComImageVisible = {};
    panel.ComButton[0].Visible = false;
    panel.ComButton[1].Visible = false;
    panel.MousePointVisible = {};
    panel.ImageK400Visible = {};
    panel.ApplicationLayerFrameVisible = true;
    panel.ParaSettingC0Visible = false;
    panel.ComChecksumVisible = false;
    panel.ParaSettingC1Visible = false;
    panel.CANBaudrateVisible = false;
    panel.CANNodeIdVisible = false;
    panel.ViewerC0Visible = false;
    panel.ModulesImageVisible = false;
    panel.SettingParameterVisible = false;
}

void SideToggleHandler(ProgramState& state, ParameterPanel& panel, int side)
{
    if (side != 0 && side != 1)
        return;
    auto& toggle = panel.ComButton[static_cast<std::size_t>(side)];
    const bool sideShown = state.SelectedSide == 0 || state.SelectedSide == 1;

    if (!toggle.Pressed) {
        if (state.SelectedSide != 3)
            toggle.BackColour = ToggleLightGrey;
        panel.SettingParameterVisible = false;
    } else if (side == state.SelectedSide) {
        panel.SettingParameterVisible = true;
        Press(toggle);
    } else {
        if (sideShown) {
            auto& other = panel.ComButton[static_cast<std::size_t>(state.SelectedSide)];
            other.Pressed = false;
            other.BackColour = ToggleLightGrey;
        }
        Press(toggle);
        panel.CANBaudrateVisible = true;
        panel.CANNodeIdVisible = true;
        panel.ParaSettingC1Visible = true;
        panel.ViewerC0Visible = true;
        panel.SettingParameterVisible = true;
        panel.ViewerTextVisible = {true, true, true};
        if (side == 0)
            ShowCanSide(state, panel);
        else
            ShowCom2Side(state, panel, side);
    }
    state.SelectedSide = static_cast<std::int16_t>(side);
}

void ClickSideToggle(ProgramState& state, ParameterPanel& panel, int side)
{
    if (side != 0 && side != 1)
        return;
    auto& toggle = panel.ComButton[static_cast<std::size_t>(side)];
    toggle.Pressed = !toggle.Pressed;
    SideToggleHandler(state, panel, side);
}

void ApplicationOptionHandler(ParameterPanel& panel, int option)
{
    panel.CANBaudrate.clear();
    ChooseApplication(panel, option == 1 ? 1 : 0);
    panel.CANBaudrateIndex = 0;
}

bool SettingHandler(ProgramState& state, ParameterPanel& panel, UserInterface& ui)
{
    const double value = NumericValue(panel.CANNodeId);
    if (state.SelectedSide != 0) {
        if (!InRange(value, 1, 32767)) {
            ui.showMessage(TimeoutRangeMessage, "Error");
            return false;
        }
        state.Com2Checksum = SelectedIndex(panel.ComChecksumIndex);
        panel.ViewerText[1] = state.Com2Checksum != 0 ? ViewerChecksumEnabled : ViewerChecksumDisabled;
        state.Com2BaudIndex = SelectedIndex(panel.CANBaudrateIndex);
        panel.ViewerText[0] = EntryText(panel);
        state.Com2Timeout = static_cast<std::int16_t>(std::lround(value));
        panel.ViewerText[2] = std::to_string(state.Com2Timeout);
    } else {
        if (panel.ApplicationSelect[0]) {
            if (!InRange(value, 1, 127)) {
                ui.showMessage(CanopenNodeIdMessage, "Error");
                return false;
            }
            state.ApplicationLayer = 0;
            panel.ViewerText[1] = "CANopen";
        } else {
            if (!InRange(value, 1, 63)) {
                ui.showMessage(DeviceNetNodeIdMessage, "Error");
                return false;
            }
            state.ApplicationLayer = 1;
            panel.ViewerText[1] = "DeviceNet";
        }
        state.CanBaudIndex = SelectedIndex(panel.CANBaudrateIndex);
        panel.ViewerText[0] = EntryText(panel);
        state.NodeId = static_cast<std::uint8_t>(std::lround(value));
        panel.ViewerText[2] = std::to_string(state.NodeId);
    }
    ui.setStatusText("Setting Ok");
    return true;
}

ScanParameterDialog LoadScanParameterDialog(const ProgramState& state)
{
    ScanParameterDialog dialog;
    dialog.Baudrate.assign(ScanBaudList.begin(), ScanBaudList.end());
    dialog.Checksum.assign(ScanChecksumList.begin(), ScanChecksumList.end());
    dialog.BaudrateIndex = state.ScanBaudIndex < 8 ? state.ScanBaudIndex : 3;
    dialog.ChecksumIndex = state.ScanChecksumIndex < 2 ? state.ScanChecksumIndex : 0;
    dialog.Timeout = std::to_string(state.ScanTimeoutMs);
    return dialog;
}

bool UnloadScanParameterDialog(ProgramState& state, const ScanParameterDialog& dialog, UserInterface& ui)
{
    const double value = NumericValue(dialog.Timeout);
    if (!InRange(value, 1, 32767)) {
        ui.showMessage(TimeoutRangeMessage, "Error");
        return false;
    }
    state.ScanBaudIndex = SelectedIndex(dialog.BaudrateIndex);
    state.ScanChecksumIndex = SelectedIndex(dialog.ChecksumIndex);
    state.ScanTimeoutMs = static_cast<std::int16_t>(std::lround(value));
    state.ScanParametersDone = true;
    return true;
}

}  // namespace k400
