#pragma once
// What a command needs to talk to a gateway: the port named by --port (a real
// serial port or the simulated gateway), the machine's clock, the terminal
// user interface, a console link and the program state.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/ProgramState.h"
#include "cli/TerminalUserInterface.h"
#include "gateway/ConsoleLink.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"

namespace k400 {

class ArgList;
struct CommandIo;

struct SessionOptions {
    std::string port;  // as typed: COMn, a number 1..16, a device path, "sim" or "sim:FILE"
    int paceMs = 5;
    bool strictTiming = false;  // recovery steps wait out the whole time-out
    bool verbose = false;
};

// Takes --port PORT, --pace-ms N (0..1000), --strict-timing and --verbose from the arguments.
// With no --port, defaultPort is used; when that is empty too, or a value is
// bad, prints a usage error and returns nothing (exit code 2).
std::optional<SessionOptions> TakeSessionOptions(ArgList& args, CommandIo& io, std::string_view command,
                                                 std::string_view defaultPort = {});

class GatewaySession {
public:
    // Builds the session. A scenario file that cannot be loaded is reported on
    // io.err and gives nothing (exit code 1). The port is not opened here:
    // OpenGatewayPort does that, with its messages.
    static std::unique_ptr<GatewaySession> Create(const SessionOptions& options, CommandIo& io);
    ~GatewaySession();

    GatewaySession(const GatewaySession&) = delete;
    GatewaySession& operator=(const GatewaySession&) = delete;

    SerialPort& port() { return *port_; }
    Clock& clock() { return *clock_; }
    TerminalUserInterface& ui() { return ui_; }
    ConsoleLink& link() { return *link_; }
    ProgramState& state() { return state_; }
    bool simulated() const { return simulated_; }

private:
    GatewaySession(CommandIo& io, bool verbose);

    std::unique_ptr<Clock> clock_;
    std::unique_ptr<SerialPort> port_;
    TerminalUserInterface ui_;
    std::unique_ptr<ConsoleLink> link_;
    ProgramState state_;
    bool simulated_ = false;
};

}  // namespace k400
