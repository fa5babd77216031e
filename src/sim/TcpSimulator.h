#pragma once
// The simulated gateway behind a simulated serial device server: the console
// offered as a TCP port, raw or with the server side of RFC 2217, so that the
// network ports can be tried without a device server.
//
// One client at a time, as device servers do: a second connection while one
// is served is accepted and closed at once. The console outlives clients (the
// next one finds it in the mode the last one left it in); output released
// while nobody is connected is dropped. A "vanish" fault closes the client's
// connection and ends the server, as the pseudo-terminal server ends.

#include <cstdint>
#include <iosfwd>
#include <string>

#include "sim/ConsoleHost.h"
#include "sim/GatewayConsole.h"
#include "sim/Scenario.h"

namespace k400 {

struct TcpSimulatorOptions {
    std::string scenarioFile;            // empty = built-in scenario
    std::string listen = "127.0.0.1:0";  // HOST:PORT, :PORT or PORT (port 0: a free one)
    bool rfc2217 = false;                // Telnet with the COM-PORT-OPTION instead of raw bytes
    std::string eepromOut;               // EEPROM written here at start and after every change
};

// Loads the scenario, listens, prints the port name clients use
// ("tcp://127.0.0.1:40123", "rfc2217://[::1]:4001") as the first line of out
// (flushed) and serves until SIGINT or SIGTERM, or until a "vanish" fault.
// Errors go to err; returns 0 on a clean end, 1 on failure.
int RunTcpSimulator(const TcpSimulatorOptions& options, std::ostream& out, std::ostream& err);

class TcpSimulator {
public:
    TcpSimulator(Scenario scenario, TcpSimulatorOptions options);
    ~TcpSimulator();
    TcpSimulator(const TcpSimulator&) = delete;
    TcpSimulator& operator=(const TcpSimulator&) = delete;

    // Binds and listens, writes the EEPROM file.
    bool open(std::string& error);
    // The name a client opens: scheme, the address bound and the port.
    const std::string& portName() const { return portName_; }
    std::uint16_t port() const { return port_; }

    // Serves clients until requestStop() or a vanish. Returns 0, or 1 on a
    // failure of the listening socket.
    int serve(std::ostream& err);
    void requestStop() { host_.requestStop(); }  // safe from another thread
    int stopFd() const { return host_.stopFd(); }

    // Read only while serve() is not running.
    const GatewayConsole& console() const { return host_.console(); }

private:
    enum class Session { ClientLeft, Stop, Vanished };
    Session serveClient(int client, std::ostream& err);
    void closeListener();

    ConsoleHost host_;
    TcpSimulatorOptions options_;
    int listener_ = -1;
    std::string portName_;
    std::uint16_t port_ = 0;
};

}  // namespace k400
