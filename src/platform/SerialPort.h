#pragma once
// The serial port as the console link sees it. Implementations: the real port
// (platform/qt), the simulator's in-process port (sim) and a scripted fake (tests).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace k400 {

struct PortOpenError {
    enum class Kind {
        None,      // opened
        Occupied,  // held by another program: its own case, with its own message
        Other,     // any other failure; description says what
    };
    PortOpenError() = default;
    PortOpenError(Kind k, std::string text, std::string heldBy = {})
        : kind(k), description(std::move(text)), holders(std::move(heldBy))
    {
    }

    Kind kind = Kind::None;
    std::string description;
    std::string holders;  // Occupied: the programs seen holding it ("minicom, PID 4242"), when known

    bool ok() const { return kind == Kind::None; }
};

// Puts bytes on the line from any thread; false when they could not be written.
using LineWriter = std::function<bool(std::string_view)>;

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // "COM1".."COM16", or a device path such as /dev/ttyUSB0.
    virtual void setPortName(const std::string& name) = 0;
    virtual std::string portName() const = 0;

    // Opens at 115200 8N1, no handshake. Opening an open port is a no-op.
    virtual PortOpenError open() = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;

    // Characters received and waiting / still queued for sending.
    virtual std::size_t inputCount() = 0;
    virtual std::size_t outputCount() = 0;

    virtual void write(std::string_view data) = 0;
    // All waiting input; empties the receive queue.
    virtual std::string readAll() = 0;
    // Drops all waiting input.
    virtual void clearInput() = 0;

    // Blocks in the OS until input is waiting or the time is up; never spins.
    // True when input is waiting.
    virtual bool waitForInput(int timeoutMs) = 0;

    // For a pacer that serves many sessions from its own thread (SharedPacer):
    // writes straight to the operating system, past the port's own buffers,
    // while the owner waits. Valid while the port stays open. Empty when the
    // port has no such way; its owner then paces lines itself.
    virtual LineWriter lineWriter() { return {}; }
};

}  // namespace k400
