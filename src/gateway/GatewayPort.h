#pragma once
// Opening the gateway's serial port, with the messages the user sees when it
// fails, and the mapping from the names users give to the system's devices.

#include <optional>
#include <string>
#include <string_view>

#include "platform/SerialPort.h"
#include "platform/UserInterface.h"

namespace k400 {

// Who opens the port; the message box titles differ.
enum class PortCaller { Connect, Finish };

// Opens the port unless this program already holds it open. On failure shows
// the message (and status text) and returns false; the caller then runs its
// own clean-up:
//  - nothing opened:     "Can't open COM 1!"        title "Error" (Connect) / "Warning" (Finish)
//  - another program:    "COM 1 has been occupied"  title "Error" (Connect) / none (Finish);
//                        the status text shows the same words
//  - any other error:    the error's own description, title "Error" / none; status emptied
// A device path stands where "COM 1" stands ("/dev/ttyUSB0 has been occupied").
bool OpenGatewayPort(SerialPort& port, UserInterface& ui, PortCaller caller);

// The port as messages name it: "COM" + blank + number for COM1..COM16, the
// name itself for anything else.
std::string PortDisplayName(std::string_view portName);

// The port number 1..16 of "COM1".."COM16" (any letter case), else nothing.
std::optional<int> ComPortNumber(std::string_view portName);

// What a user typed for a port: "COM1".."COM16" (any case) and the numbers
// 1..16 become "COM1".."COM16"; anything else is kept as a device path.
std::string NormalizePortName(std::string_view userText);

// The device to open for a port name: on Linux COMn is /dev/ttyS(n-1); on
// Windows COMn stays as it is; device paths are used unchanged.
std::string DevicePathForPortName(std::string_view portName);

}  // namespace k400
