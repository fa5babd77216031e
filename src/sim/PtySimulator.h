#pragma once
// The simulated gateway on a pseudo-terminal, so that any program (ours or a
// terminal emulator) can open it like a serial port.

#include <iosfwd>
#include <string>

#include "sim/ConsoleHost.h"
#include "sim/GatewayConsole.h"
#include "sim/Scenario.h"

namespace k400 {

struct PtySimulatorOptions {
    std::string scenarioFile;  // empty = built-in scenario
    std::string linkPath;      // symlink to the device, made at start and removed at the end
    std::string eepromOut;     // EEPROM written here at start and after every change
};

// Loads the scenario, opens the pseudo-terminal, prints the device path as the
// first line of out (flushed) and serves until SIGINT or SIGTERM, or until a
// "vanish" fault makes the device disappear. Errors go to err; returns 0 on a
// clean end, 1 on failure.
int RunPtySimulator(const PtySimulatorOptions& options, std::ostream& out, std::ostream& err);

// The server itself, for callers that bring their own scenario and stop signal.
class PtySimulator {
public:
    PtySimulator(Scenario scenario, PtySimulatorOptions options);
    ~PtySimulator();
    PtySimulator(const PtySimulator&) = delete;
    PtySimulator& operator=(const PtySimulator&) = delete;

    // Opens the pseudo-terminal (raw, no echo), makes the link, writes the EEPROM file.
    bool open(std::string& error);
    const std::string& devicePath() const { return devicePath_; }

    // Serves until requestStop() or a vanish. Returns 0, or 1 on an I/O failure.
    int serve(std::ostream& err);
    // Safe from another thread.
    void requestStop() { host_.requestStop(); }
    // Writing one byte here stops serve(); for signal handlers.
    int stopFd() const { return host_.stopFd(); }

    // The console; read it only while serve() is not running.
    const GatewayConsole& console() const { return host_.console(); }
    GatewayConsole& console() { return host_.console(); }

private:
    void closeDevice();
    void removeLink();

    ConsoleHost host_;
    PtySimulatorOptions options_;
    std::string devicePath_;
    int master_ = -1;
    int slave_ = -1;  // held open so that the master never hangs up between clients
    bool linkMade_ = false;
};

}  // namespace k400
