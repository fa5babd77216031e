#pragma once
// A serial port that writes every byte sent and received to a trace, with the
// milliseconds since the trace began and the direction, one line per piece.
// The file is what an engineer attaches to a support request, so it is plain
// text: printable bytes as they are, the rest as \r, \n, \t or \xNN.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/SerialPort.h"

namespace k400 {

class TracingSerialPort final : public SerialPort {
public:
    TracingSerialPort(SerialPort& inner, Clock& clock, std::ostream& trace);

    void setPortName(const std::string& name) override { inner_.setPortName(name); }
    std::string portName() const override { return inner_.portName(); }
    PortOpenError open() override;
    bool isOpen() const override { return inner_.isOpen(); }
    void close() override;
    std::size_t inputCount() override { return inner_.inputCount(); }
    std::size_t outputCount() override { return inner_.outputCount(); }
    void write(std::string_view data) override;
    std::string readAll() override;
    void clearInput() override;
    bool waitForInput(int timeoutMs) override { return inner_.waitForInput(timeoutMs); }
    // The inner port's writer, tracing what it writes as write() does.
    LineWriter lineWriter() override;

private:
    void line(std::string_view direction, std::string_view text);

    SerialPort& inner_;
    Clock& clock_;
    std::ostream& trace_;
    std::int64_t startMs_;
};

// Bytes as a trace shows them.
std::string TraceText(std::string_view bytes);

}  // namespace k400
