#pragma once
// "Build EDS File": the checks before a profile is configured, and which
// profile that is.

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

enum class Profile {
    None,  // refused: stay where the user is
    Canopen,
    DeviceNet,
};

// Not connected: status "Connect to K-400 first". CANopen chosen: a DeviceNet
// image stored earlier no longer counts as valid and ApplicationLayer becomes
// 0. A node ID out of the chosen application's range gives "NodeID Error" and
// releases the connection (port closed, controls enabled).
Profile BuildEdsFile(ProgramState& state, UserInterface& ui, ApplicationChoice choice, SerialPort* port);

}  // namespace k400
