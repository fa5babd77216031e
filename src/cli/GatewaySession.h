#pragma once
// What a command needs to talk to a gateway: the port named by --port (a real
// serial port or the simulated gateway), the machine's clock, the terminal
// user interface, the one console link and the program state.

#include <fstream>
#include <memory>
#include <string_view>

#include "cli/Options.h"
#include "cli/TerminalUserInterface.h"
#include "gateway/ConsoleLink.h"
#include "gateway/ProgramState.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"

namespace k400 {

struct CommandIo;

class GatewaySession {
public:
    // Builds the session; the scan dialog is answered with `scan`. A scenario
    // file that cannot be loaded is reported on io.err and gives nothing
    // (exit code 1). The port is not opened here: OpenGatewayPort does that,
    // with its messages.
    // `json` keeps the terminal free of progress for a caller that parses the output.
    static std::unique_ptr<GatewaySession> Create(const SessionOptions& options, const ScanParameters& scan,
                                                  CommandIo& io, bool json = false);
    ~GatewaySession();

    GatewaySession(const GatewaySession&) = delete;
    GatewaySession& operator=(const GatewaySession&) = delete;

    SerialPort& port();
    Clock& clock() { return clock_; }
    TerminalUserInterface& ui() { return ui_; }
    ConsoleLink& link() { return *link_; }
    ProgramState& state() { return state_; }

    // After the core reported a failure (its message already on io.err):
    // prints where the dialogue stopped, or with `json` the error object
    // {"error", "detail", "stage"} on io.out, and gives ExitFailure. The stage
    // is "connect" or "scan" as far as the dialogue got, unless given. A
    // failed Finish adds what the gateway's EEPROM now holds ("eeprom").
    int failed(CommandIo& io, bool json, std::string_view stage = {}, std::string_view eeprom = {});
    // Where the console dialogue stopped: the step that failed or, with
    // answerFailed, the answer of the last step; else empty.
    std::string failureDetail(bool answerFailed) const;

private:
    GatewaySession(CommandIo& io, Chatter chatter);

    SystemClock clock_;
    std::ofstream trace_;
    std::unique_ptr<SerialPort> device_;  // the port itself, behind port_ when tracing
    std::unique_ptr<SerialPort> port_;
    bool scanStarted_ = false;
    TerminalUserInterface ui_;
    std::unique_ptr<ConsoleLink> link_;
    ProgramState state_;
};

}  // namespace k400
