#pragma once
// The gateway and scan settings as the main window's parameter panel and the
// scan parameter dialog show them. The panel is plain data: the handlers here
// update it exactly as the window should look, and the window only renders it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/ProgramState.h"

namespace k400 {

class UserInterface;

// List texts, blanks included.
extern const std::array<std::string, 8> CanopenBaudList;
extern const std::array<std::string, 3> DeviceNetBaudList;
extern const std::array<std::string, 8> Com2BaudList;
extern const std::array<std::string, 2> ComChecksumList;
extern const std::array<std::string, 8> ScanBaudList;
extern const std::array<std::string, 2> ScanChecksumList;
// The CAN baud rate in kbit/s of each entry of the two CAN lists.
extern const std::array<int, 8> CanopenBaudKbps;
extern const std::array<int, 3> DeviceNetBaudKbps;

// Toggle colours as RGB: pressed (the palette's light red) and released.
inline constexpr std::uint32_t ToggleLightRed = 0xFF0000;
inline constexpr std::uint32_t ToggleLightGrey = 0xC0C0C0;

// Viewer texts of the checksum setting ("Enalbe" is the window's own spelling).
inline constexpr const char* ViewerChecksumDisabled = "Disable";
inline constexpr const char* ViewerChecksumEnabled = "Enalbe";

struct ToggleView {
    bool Visible = false;
    bool Pressed = false;
    std::uint32_t BackColour = ToggleLightGrey;
};

// The controls of the main window that the connect sequence and the
// parameter handlers change. Index 0 is the CAN side, 1 the COM2 side.
struct ParameterPanel {
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
    std::vector<std::string> ComChecksum{ComChecksumList.begin(), ComChecksumList.end()};
    int ComChecksumIndex = 0;

    bool SettingParameterVisible = false;

    bool ViewerC0Visible = false;
    std::array<bool, 2> ViewerC1Visible{};  // 0 "Application Layer", 1 "Checksum"
    std::array<bool, 2> ViewerC2Visible{};  // 0 "Node ID", 1 "Timeout "
    std::array<bool, 3> ViewerTextVisible{};
    std::array<std::string, 3> ViewerText;  // 0 baud rate, 1 application/checksum, 2 node ID/time-out
};

// Hides the parameter panels, side pictures and controller pictures.
void ResetMainView(ParameterPanel& panel);

// Mouse-up over side toggle `side` (0 CAN, 1 COM2); the toggle's pressed state
// has already flipped. Shows that side's panel from the stored settings,
// repairing a node ID or CAN baud index the application cannot take.
void SideToggleHandler(ProgramState& state, ParameterPanel& panel, int side);
// A click: flips the toggle, then runs the handler.
void ClickSideToggle(ProgramState& state, ParameterPanel& panel, int side);

// Choosing "CANopen" (0) or "DeviceNet" (1): refills the baud list only.
void ApplicationOptionHandler(ParameterPanel& panel, int option);

// "Setting": checks and stores the shown side's entries. False (with the
// message box) when a value is out of range; nothing is stored then.
bool SettingHandler(ProgramState& state, ParameterPanel& panel, UserInterface& ui);

// The scan parameter dialog.
struct ScanParameterDialog {
    std::vector<std::string> Baudrate;
    int BaudrateIndex = 3;
    std::vector<std::string> Checksum;
    int ChecksumIndex = 0;
    std::string Timeout;
};

ScanParameterDialog LoadScanParameterDialog(const ProgramState& state);
// Closing the dialog (OK or close box). A time-out outside 1..32767 is refused
// with the "Setting" check's message and the dialog stays open (false);
// otherwise the scan parameters are stored and ScanParametersDone is set.
bool UnloadScanParameterDialog(ProgramState& state, const ScanParameterDialog& dialog, UserInterface& ui);

// Message texts of the "Setting" checks.
inline constexpr const char* TimeoutRangeMessage = "Timeout value is out of range!(1ms~32767ms)";
inline constexpr const char* CanopenNodeIdMessage = "Node ID is not supported!(1~127)";
inline constexpr const char* DeviceNetNodeIdMessage = "Node ID is not supported!(1~63)";

}  // namespace k400
