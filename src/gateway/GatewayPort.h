#pragma once
// Opening the gateway's serial port, with the messages the user sees when it fails.

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
//                        the status text shows the same words; the programs seen
//                        holding the port follow ("... occupied by minicom, PID 4242")
//  - any other error:    the error's own description, title "Error" / none; status emptied
// A device path stands where "COM 1" stands ("/dev/ttyUSB0 has been occupied").
bool OpenGatewayPort(SerialPort& port, UserInterface& ui, PortCaller caller);
}  // namespace k400
