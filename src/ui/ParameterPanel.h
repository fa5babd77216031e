#pragma once
// The main window's parameter panel as plain data: the side toggles, the
// setting boxes and the viewer. The handlers here update it exactly as the
// window should look, and the window only renders it; "Setting" reads the
// boxes into the core's typed settings and stores them through the core.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gateway/ProgramState.h"
#include "platform/Messages.h"

namespace k400 {

class UserInterface;

// Toggle colours as RGB: pressed (the palette's light red) and released.
inline constexpr std::uint32_t ToggleLightRed = 0xFF0000;
inline constexpr std::uint32_t ToggleLightGrey = 0xC0C0C0;

struct ToggleView {
    bool Visible = false;
    bool Pressed = false;
    std::uint32_t BackColour = ToggleLightGrey;
};

// The controls of the main window that the connect sequence and the
// parameter handlers change. Index 0 is the CAN side, 1 the COM2 side.
struct ParameterPanel {
    std::int16_t SelectedSide = 0;  // 0 CAN, 1 COM2, 3 none
    std::array<ToggleView, 2> ComButton;
    std::array<bool, 2> ComImageVisible{};
    std::array<bool, 2> MousePointVisible{};
    std::array<bool, 2> ComCaptionVisible{};
    std::array<bool, 2> ImageK400Visible{};  // 0 K400E, 1 K400B
    bool ModulesImageVisible = false;

    bool ApplicationLayerFrameVisible = true;
    std::array<bool, 2> ApplicationSelect{};  // chosen: 0 CANopen, 1 DeviceNet

    std::string ParaSettingCaption = "CAN Parameter Setting";
    std::string ParaViewCaption = "CAN Parameter Viewer";

    bool ParaSettingC1Visible = false;
    bool CANBaudrateVisible = false;
    std::vector<std::string> CANBaudrate;
    int CANBaudrateIndex = -1;  // -1: nothing selected

    std::array<bool, 2> ParaSettingC2Visible{};  // 0 "NODE ID ", 1 "Timeout "
    bool CANNodeIdVisible = false;
    std::string CANNodeId;

    bool ParaSettingC0Visible = false;
    bool ComChecksumVisible = false;
    std::vector<std::string> ComChecksum{msg::ComChecksumList.begin(), msg::ComChecksumList.end()};
    int ComChecksumIndex = 0;

    bool SettingParameterVisible = false;

    bool ViewerC0Visible = false;
    std::array<bool, 2> ViewerC1Visible{};  // 0 "Application Layer", 1 "Checksum"
    std::array<bool, 2> ViewerC2Visible{};  // 0 "Node ID", 1 "Timeout "
    std::array<bool, 3> ViewerTextVisible{};
    std::array<std::string, 3> ViewerText;  // 0 baud rate, 1 application/checksum, 2 node ID/time-out
};

// Hides the parameter panels, side pictures and controller pictures, and
// releases the CAN toggle: a connect starts.
void ResetMainView(ParameterPanel& panel);

// After a successful connect: controller and side pictures, the application
// and node ID shown, then the CAN side toggle pressed as a click would.
void ShowConnectResult(const ProgramState& state, ParameterPanel& panel);
void PressCanSide(ProgramState& state, ParameterPanel& panel);

// Mouse-up over side toggle `side` (0 CAN, 1 COM2); the toggle's pressed state
// has already flipped. Shows that side's panel from the stored settings,
// repairing a node ID or CAN baud index the application cannot take.
void SideToggleHandler(ProgramState& state, ParameterPanel& panel, int side);
// A click: flips the toggle, then runs the handler.
void ClickSideToggle(ProgramState& state, ParameterPanel& panel, int side);

// Choosing "CANopen" (0) or "DeviceNet" (1): refills the baud list only.
void ApplicationOptionHandler(ParameterPanel& panel, int option);

// "Setting": reads the shown side's boxes (the node ID or time-out box by
// its numeric value) into the core's typed settings and stores them. False
// (with the message box) when a value is out of range; nothing is stored then.
bool SettingHandler(ProgramState& state, ParameterPanel& panel, UserInterface& ui);

}  // namespace k400
