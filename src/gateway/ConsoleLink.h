#pragma once
// The paced send-and-expect dialogue with the gateway console.

#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "platform/UserInterface.h"

namespace k400 {

class ConsoleLink {
public:
    ConsoleLink(SerialPort& port, Clock& clock, UserInterface& ui);

    // Send a command line (characters paced, then CR) and wait for the marker.
    // On true, ReplyText holds the reply cut before the first marker.
    bool SendAndExpect(std::string_view command, std::string_view marker);
    // "/scan", waiting for "[COM" + portNumberText + ":]" with a 15 x timeout
    // inactivity limit; events are pumped while waiting.
    bool ScanAndWait(std::string_view portNumberText);
    // Send a command line and read the number between key and "-->".
    bool SendAndReadValue(std::string_view command, std::string_view key, double& value);

    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    UserInterface& ui() { return ui_; }

    std::string ReplyText;
    int ConsoleTimeoutMs = 1000;
    int PaceMs = 5;  // pause after each character and after the line

private:
    SerialPort& port_;
    Clock& clock_;
    UserInterface& ui_;
};

}  // namespace k400
