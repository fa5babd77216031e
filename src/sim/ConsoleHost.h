#pragma once
// What the simulator's servers (pseudo-terminal and TCP) share: the console,
// its EEPROM file, a stop pipe, and the loop that moves bytes between one
// descriptor and the console with the console's own timing.

#include <csignal>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "sim/GatewayConsole.h"
#include "sim/Scenario.h"

namespace k400 {

class TelnetComPort;

class ConsoleHost {
public:
    // eepromOut: written by writeEepromFile() and after every change of a long word.
    ConsoleHost(Scenario scenario, std::string eepromOut);
    ~ConsoleHost();
    ConsoleHost(const ConsoleHost&) = delete;
    ConsoleHost& operator=(const ConsoleHost&) = delete;

    // False when the stop pipe could not be made.
    bool ready() const { return stopPipe_[0] >= 0; }
    // The starting EEPROM, when a file was asked for; true when there is none.
    bool writeEepromFile(std::string& error);

    struct Stream {
        int fd = -1;                      // nonblocking
        const char* what = "";            // for error texts: "the pseudo-terminal"
        bool socket = false;              // send() without SIGPIPE; a reset is the peer leaving
        TelnetComPort* telnet = nullptr;  // non-null: the bytes are Telnet (RFC 2217 server side)
        int sideFd = -1;                  // also watched: readable ends serve() with SideReady
    };
    enum class End {
        Stopped,     // requestStop() or a stop signal
        Vanished,    // a "vanish" fault fired; the console answers nothing more
        PeerClosed,  // end of file, hang-up or reset on the stream
        SideReady,   // sideFd is readable; call serve() again to go on
        Failed,      // an I/O error, written to err
    };
    // Serves the console on the stream: releases each reply piece when it is
    // due, takes what arrives, reports EEPROM file errors to err. Output that
    // the stream does not take is kept (the newest 64 KiB) for the next
    // serve(), unless dropOutput() is called.
    End serve(const Stream& stream, std::ostream& err);
    // Forgets output released but not yet sent (nobody was there to read it).
    void dropOutput();

    void requestStop();                          // safe from another thread
    int stopFd() const { return stopPipe_[1]; }  // writing one byte here stops serve()
    // Waits up to ms (-1: no limit) for a stop request or for otherFd to
    // become readable; true when a stop came.
    bool waitForStop(int ms, int otherFd = -1) const;

    GatewayConsole& console() { return console_; }
    const GatewayConsole& console() const { return console_; }

private:
    // Writes what is queued; false on a failure other than a full stream.
    bool flush(const Stream& stream, std::ostream& err, bool& peerGone);

    GatewayConsole console_;
    std::string eepromOut_;
    std::string eepromError_;
    SystemClock clock_;
    int stopPipe_[2] = {-1, -1};
    std::string pending_;  // released console output not yet put on the wire
    std::string wire_;     // bytes for the stream (escaped when Telnet), partly written
};

// The scenario file, or the built-in scenario for an empty name; errors go
// to err as "Error: ...".
std::optional<Scenario> LoadServedScenario(const std::string& file, std::ostream& err);

// While it lives, SIGINT and SIGTERM write one byte to stopFd instead of
// ending the process; the earlier handlers come back afterwards.
class StopSignals {
public:
    explicit StopSignals(int stopFd);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

}  // namespace k400
