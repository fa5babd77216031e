#pragma once
// "Build EDS File": the checks before a profile is configured, and which
// profile that is.

#include <cstdint>
#include <string>

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

// Finish configures the gateway the last successful connect scanned. When
// the port list shows another port at "Build EDS File", that is refused with
// a message naming both ports and asking to connect again (false).
bool CheckListedPort(const ProgramState& state, const std::string& listedPort, UserInterface& ui);

}  // namespace k400
