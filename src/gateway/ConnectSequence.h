#pragma once
// The Connect button: open the port, recognise the controller, read the
// stored image, scan the modules, check the image and show the result.

#include <string>

#include "gateway/ProgramState.h"

namespace k400 {

class ConsoleLink;
class SerialPort;
class UserInterface;

enum class ConnectOutcome {
    Busy,           // another gateway dialogue runs: nothing done
    PortNotOpened,  // the port could not be opened; earlier data untouched
    Failed,         // message shown, connection released, Connected false
    Succeeded,      // Connected true (the stored image may still be invalid)
};

enum class ControllerRecognition { Recognised, NoAnswer, Unknown };

// Brings the console to its top level from whatever mode it is in and
// recognises the controller from the prompt; sets ControllerPrompt.
ControllerRecognition RecogniseController(ProgramState& state, ConsoleLink& link);

// Runs the whole sequence on link's port, user interface and clock; the port
// name must already be set. Every path ends with the port closed. The scan
// parameters are asked through the user interface. On success the connect's
// result is shown (ConnectPhase::Succeeded) before the stored-image warning;
// a node ID or CAN baud index the stored application cannot take is
// repaired as showing the CAN side would.
ConnectOutcome RunConnectSequence(ProgramState& state, ConsoleLink& link);

// Ends a connect attempt's hold on the window: port closed, controls enabled,
// GatewayBusy cleared, progress hidden. Connected is left as it is.
void ReleaseConnection(ProgramState& state, UserInterface& ui, SerialPort& port);

// "1.05-2007/11/26": major, minor (at least two digits), date.
std::string FirmwareVersionText(const ProgramState& state);

// Controller picture: 0 for a K400E, 1 for a K400B.
int ControllerPictureIndex(const ProgramState& state);

}  // namespace k400
