#pragma once
// The main window's "Build EDS File" button: the checks before a profile
// window opens, and which window that is.

#include <cstdint>

namespace k400 {

struct ProgramState;
class UserInterface;
class SerialPort;

// The main window's application option buttons.
enum class ApplicationChoice {
    None,  // neither option chosen
    Canopen,
    DeviceNet,
};

enum class ProfileWindow {
    None,  // stay in the main window
    Canopen,
    DeviceNet,
};

// Highest node ID each CAN application accepts.
inline constexpr std::uint8_t MaxCanopenNodeId = 127;
inline constexpr std::uint8_t MaxDeviceNetNodeId = 63;

// Not connected: status "Connect to K-400 first". CANopen chosen: a DeviceNet
// image stored earlier no longer counts as valid and ApplicationLayer becomes
// 0. A node ID out of the chosen application's range gives "NodeID Error" and
// releases the connection (port closed, controls enabled). The main window
// hides itself when a profile window is returned.
ProfileWindow BuildEdsFile(ProgramState& state, UserInterface& ui, ApplicationChoice choice, SerialPort* port);

}  // namespace k400
