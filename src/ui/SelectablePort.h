#pragma once
// The main window's one serial port object. The port box can name a real
// port, a serial device server (tcp://HOST:PORT, rfc2217://HOST:PORT, the
// same ports the command line opens) or, in demo mode, the in-process
// simulated gateway; this forwards to whichever the chosen name stands for,
// so the console link is made once.
//
// A wait for input is cut into short slices with the window's events run
// between them, so that the window answers clicks while the console is
// awaited, on the one user-interface thread.

#include <functional>
#include <memory>
#include <string>

#include "platform/SerialPort.h"

namespace k400::ui {

// Port list entry and port name of the simulated gateway.
inline constexpr const char* SimulatedPortName = "Simulated gateway";

// The longest a wait for input runs without letting window events in.
inline constexpr int WaitSliceMs = 40;

class SelectablePort final : public SerialPort {
public:
    using Factory = std::function<std::unique_ptr<SerialPort>()>;

    // The simulated port is made on first use (and kept, so the simulated
    // gateway remembers its EEPROM for the whole run).
    SelectablePort(std::unique_ptr<SerialPort> real, Factory makeSimulated);

    // Runs between the slices of a wait: shows that a reply is awaited and
    // lets window events run.
    void setBetweenSlices(std::function<void()> betweenSlices) { betweenSlices_ = std::move(betweenSlices); }

    void setPortName(const std::string& name) override;
    std::string portName() const override { return name_; }
    PortOpenError open() override;
    bool isOpen() const override;
    void close() override;
    std::size_t inputCount() override { return target().inputCount(); }
    std::size_t outputCount() override { return target().outputCount(); }
    void write(std::string_view data) override { target().write(data); }
    std::string readAll() override { return target().readAll(); }
    void clearInput() override { target().clearInput(); }
    bool waitForInput(int timeoutMs) override;

    bool simulated() const { return kind_ == Kind::Simulated; }

private:
    enum class Kind { Real, Simulated, Network };
    SerialPort& target();

    std::unique_ptr<SerialPort> real_;
    std::unique_ptr<SerialPort> simulated_;
    std::unique_ptr<SerialPort> network_;
    std::string networkError_;  // why the network name cannot be opened
    Factory makeSimulated_;
    std::function<void()> betweenSlices_;
    std::string name_;
    Kind kind_ = Kind::Real;
};

}  // namespace k400::ui
