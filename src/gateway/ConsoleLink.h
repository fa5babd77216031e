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
    // Every primitive gives up (false) on a reply beyond 1 MiB.
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
    // Pacing pause: lets window events run, then sleeps PaceMs.
    void pace();
    // Discards waiting input, sends the command paced and its CR, waits for the
    // transmit queue to drain; false when it does not.
    bool sendLine(std::string_view command, bool pumpWhileDraining);
    // Appends trimmed pieces to text until the receive queue is empty and the
    // marker is in it. scan: inactivity limit of 15 time-outs, events pumped.
    bool collectUntil(std::string& text, std::string_view marker, bool scan);

    SerialPort& port_;
    Clock& clock_;
    UserInterface& ui_;
};

}  // namespace k400
