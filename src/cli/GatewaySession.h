#pragma once
// What a command needs to talk to a gateway: the port named by --port (a real
// serial port or the simulated gateway), the machine's clock, the terminal
// user interface, the one console link and the program state.

#include <memory>

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
    static std::unique_ptr<GatewaySession> Create(const SessionOptions& options, const ScanParameters& scan,
                                                  CommandIo& io);
    ~GatewaySession();

    GatewaySession(const GatewaySession&) = delete;
    GatewaySession& operator=(const GatewaySession&) = delete;

    SerialPort& port() { return *port_; }
    Clock& clock() { return clock_; }
    TerminalUserInterface& ui() { return ui_; }
    ConsoleLink& link() { return *link_; }
    ProgramState& state() { return state_; }

private:
    GatewaySession(CommandIo& io, bool verbose);

    SystemClock clock_;
    std::unique_ptr<SerialPort> port_;
    TerminalUserInterface ui_;
    std::unique_ptr<ConsoleLink> link_;
    ProgramState state_;
};

}  // namespace k400
