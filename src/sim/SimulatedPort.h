#pragma once
// The simulated gateway as an in-process serial port. Everything runs on the
// injected clock: with a test's fake clock every delay and time-out passes
// instantly, with the system clock waiting blocks in the OS.

#include <string>

#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "sim/GatewayConsole.h"
#include "sim/Scenario.h"

namespace k400 {

class SimulatedPort final : public SerialPort {
public:
    SimulatedPort(Scenario scenario, Clock& clock);

    void setPortName(const std::string& name) override { name_ = name; }
    std::string portName() const override { return name_; }

    PortOpenError open() override;
    bool isOpen() const override { return open_ && !console_.vanished(); }
    void close() override;

    std::size_t inputCount() override;
    std::size_t outputCount() override { return 0; }  // the console takes every byte at once

    void write(std::string_view data) override;
    std::string readAll() override;
    void clearInput() override;
    bool waitForInput(int timeoutMs) override;

    // The console behind the port, for assertions (EEPROM, mode, lines received).
    GatewayConsole& console() { return console_; }
    const GatewayConsole& console() const { return console_; }

    // Makes the next open() fail this way (for example Occupied), once.
    void failNextOpen(PortOpenError error) { nextOpenError_ = std::move(error); }

private:
    void pump();

    GatewayConsole console_;
    Clock& clock_;
    std::string name_ = "sim";
    bool open_ = false;
    std::string input_;
    PortOpenError nextOpenError_;
};

}  // namespace k400
