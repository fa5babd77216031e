#pragma once
// The main window's one serial port object. The port list can name a real
// port or, in demo mode, the in-process simulated gateway; this forwards to
// whichever the chosen name stands for, so the console link is made once.

#include <functional>
#include <memory>
#include <string>

#include "platform/SerialPort.h"

namespace k400::ui {

// Port list entry and port name of the simulated gateway.
inline constexpr const char* SimulatedPortName = "Simulated gateway";

class SelectablePort final : public SerialPort {
public:
    using Factory = std::function<std::unique_ptr<SerialPort>()>;

    // The simulated port is made on first use (and kept, so the simulated
    // gateway remembers its EEPROM for the whole run).
    SelectablePort(std::unique_ptr<SerialPort> real, Factory makeSimulated);

    void setPortName(const std::string& name) override;
    std::string portName() const override { return name_; }
    PortOpenError open() override { return target().open(); }
    bool isOpen() const override;
    void close() override;
    std::size_t inputCount() override { return target().inputCount(); }
    std::size_t outputCount() override { return target().outputCount(); }
    void write(std::string_view data) override { target().write(data); }
    std::string readAll() override { return target().readAll(); }
    void clearInput() override { target().clearInput(); }
    bool waitForInput(int timeoutMs) override { return target().waitForInput(timeoutMs); }

    bool simulated() const { return useSimulated_; }

private:
    SerialPort& target();

    std::unique_ptr<SerialPort> real_;
    std::unique_ptr<SerialPort> simulated_;
    Factory makeSimulated_;
    std::string name_;
    bool useSimulated_ = false;
};

}  // namespace k400::ui
