#include "platform/TracingSerialPort.h"

#include <cstdio>

namespace k400 {

std::string TraceText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\t')
            text += "\\t";
        else if (c == '\\')
            text += "\\\\";
        else if (byte >= 0x20 && byte < 0x7F)
            text += c;
        else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            text += hex;
        }
    }
    return text;
}

TracingSerialPort::TracingSerialPort(SerialPort& inner, Clock& clock, std::ostream& trace)
    : inner_(inner), clock_(clock), trace_(trace), startMs_(clock.nowMs())
{
}

void TracingSerialPort::line(std::string_view direction, std::string_view text)
{
    char stamp[24];
    std::snprintf(stamp, sizeof stamp, "%10lld ms ", static_cast<long long>(clock_.nowMs() - startMs_));
    trace_ << stamp << direction << ' ' << text << '\n';
    // Flushed per line: the trace of a run that hangs or is killed is the one that matters.
    trace_.flush();
}

PortOpenError TracingSerialPort::open()
{
    PortOpenError error = inner_.open();
    line("==", "open " + inner_.portName() + (error.ok() ? ": ok" : ": " + error.description));
    return error;
}

void TracingSerialPort::close()
{
    if (inner_.isOpen())
        line("==", "close");
    inner_.close();
}

void TracingSerialPort::write(std::string_view data)
{
    line(">>", TraceText(data));
    inner_.write(data);
}

LineWriter TracingSerialPort::lineWriter()
{
    LineWriter inner = inner_.lineWriter();
    if (!inner)
        return {};
    return [this, inner = std::move(inner)](std::string_view data) {
        line(">>", TraceText(data));
        return inner(data);
    };
}

std::string TracingSerialPort::readAll()
{
    std::string data = inner_.readAll();
    if (!data.empty())
        line("<<", TraceText(data));
    return data;
}

void TracingSerialPort::clearInput()
{
    // What is thrown away unread is still part of the dialogue on the line.
    if (inner_.inputCount() > 0)
        line("<<", TraceText(inner_.readAll()) + "  (discarded)");
    inner_.clearInput();
}

}  // namespace k400
