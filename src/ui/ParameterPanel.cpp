#include "ui/ParameterPanel.h"

#include <cmath>

#include "gateway/GatewaySettings.h"
#include "platform/NumberText.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

template <std::size_t N>
void Fill(std::vector<std::string>& list, const std::array<const char*, N>& entries)
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
        Fill(panel.CANBaudrate, msg::DeviceNetBaudList);
    else
        Fill(panel.CANBaudrate, msg::CanopenBaudList);
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
    panel.ViewerText[1] = deviceNet ? msg::DeviceNetName : msg::CanopenName;
    RepairCanSettings(state);
    panel.CANNodeId = std::to_string(state.NodeId);
    panel.ViewerText[2] = panel.CANNodeId;
    panel.CANBaudrateIndex = state.CanBaudIndex;
    panel.ViewerText[0] = EntryText(panel);
}

void ShowCom2Side(ProgramState& state, ParameterPanel& panel, int side)
{
    Fill(panel.CANBaudrate, msg::Com2BaudList);
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
        panel.ViewerText[1] = msg::ViewerChecksumEnabled;
    } else {
        panel.ComChecksumIndex = 0;
        panel.ViewerText[1] = msg::ViewerChecksumDisabled;
    }
    panel.CANBaudrateIndex = state.Com2BaudIndex < 8 ? state.Com2BaudIndex : 0;
    panel.ViewerText[0] = EntryText(panel);
    // A time-out of 0 (never set) shows the gateway's usual 50 ms.
    panel.CANNodeId = state.Com2Timeout > 0 ? std::to_string(state.Com2Timeout) : "50";
    panel.ViewerText[2] = panel.CANNodeId;
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
    panel.ComButton[0].Pressed = false;
    panel.ComButton[0].BackColour = ToggleLightGrey;
    panel.SelectedSide = 3;
}

void ShowConnectResult(const ProgramState& state, ParameterPanel& panel)
{
    panel.ImageK400Visible[state.ControllerPrompt == "K400B>" ? 1 : 0] = true;
    for (std::size_t i = 0; i < 2; ++i) {
        panel.ComImageVisible[i] = true;
        panel.ComButton[i].Visible = true;
        panel.ComButton[i].Pressed = false;
        panel.MousePointVisible[i] = true;
    }
    panel.ModulesImageVisible = true;
    panel.CANNodeId = std::to_string(state.NodeId);
    ApplicationOptionHandler(panel, state.ApplicationLayer == CanopenLayer ? 0 : 1);
    panel.ComCaptionVisible = {true, true};
    // The image check refuses a baud index beyond the application's list,
    // so this selection always exists.
    panel.CANBaudrateIndex = state.CanBaudIndex < panel.CANBaudrate.size() ? static_cast<int>(state.CanBaudIndex) : 0;
}

void PressCanSide(ProgramState& state, ParameterPanel& panel)
{
    panel.ComButton[0].Pressed = true;
    SideToggleHandler(state, panel, 0);
}

void SideToggleHandler(ProgramState& state, ParameterPanel& panel, int side)
{
    if (side != 0 && side != 1)
        return;
    auto& toggle = panel.ComButton[static_cast<std::size_t>(side)];
    const bool sideShown = panel.SelectedSide == 0 || panel.SelectedSide == 1;

    if (!toggle.Pressed) {
        if (panel.SelectedSide != 3)
            toggle.BackColour = ToggleLightGrey;
        panel.SettingParameterVisible = false;
    } else if (side == panel.SelectedSide) {
        panel.SettingParameterVisible = true;
        Press(toggle);
    } else {
        if (sideShown) {
            auto& other = panel.ComButton[static_cast<std::size_t>(panel.SelectedSide)];
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
    panel.SelectedSide = static_cast<std::int16_t>(side);
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
    const EnteredNumber entered = NumericValue(panel.CANNodeId);
    if (panel.SelectedSide != 0) {
        const Com2Settings com2{SelectedIndex(panel.CANBaudrateIndex), panel.ComChecksumIndex > 0, entered};
        if (!ApplyCom2Settings(state, com2, ui))
            return false;
        panel.ViewerText[1] = state.Com2Checksum != 0 ? msg::ViewerChecksumEnabled : msg::ViewerChecksumDisabled;
        panel.ViewerText[0] = EntryText(panel);
        panel.ViewerText[2] = std::to_string(state.Com2Timeout);
        return true;
    }
    // Neither option chosen counts as DeviceNet, as the node ID range does.
    const std::uint8_t application = panel.ApplicationSelect[0] ? CanopenLayer : DeviceNetLayer;
    if (!ApplyCanSettings(state, CanSettings{application, entered, SelectedIndex(panel.CANBaudrateIndex)}, ui))
        return false;
    panel.ViewerText[1] = application == CanopenLayer ? msg::CanopenName : msg::DeviceNetName;
    panel.ViewerText[0] = EntryText(panel);
    panel.ViewerText[2] = std::to_string(state.NodeId);
    return true;
}

}  // namespace k400
