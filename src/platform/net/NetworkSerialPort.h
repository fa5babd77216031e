#pragma once
// A gateway console wired to a serial device server, reached over TCP through
// QTcpSocket: "tcp://HOST:PORT" carries the bytes as they are,
// "rfc2217://HOST:PORT" speaks Telnet with the COM-PORT-OPTION and sets the
// line to 115200 8N1, no flow control, when opening.
//
// It behaves as the serial port does. Each write goes to the operating system
// at once, without coalescing (TCP_NODELAY), so the console link's pacing
// reaches the far serial line. waitForInput blocks in the OS. A connection
// the far end closes or resets reads as a device that went away: isOpen()
// turns false and waitForInput returns at once.
//
// Opening fails as data the caller shows:
//  - bad name, refused or unreachable host, DNS failure, connect time-out:
//    Other, "Can't open <name>! (<reason>)" (bad name: "<name>: <what is wrong>");
//  - accepted and closed again before any byte within the grace (see
//    NetworkPortTimings), which is how device servers turn away a second
//    client: Occupied;
//  - RFC 2217 not agreed or the line not confirmed within NegotiationMs, or
//    confirmed with other settings: Other, naming it and what differs.

#include <chrono>
#include <memory>
#include <string>

#include "platform/SerialPort.h"

class QTcpSocket;

namespace k400 {

class TelnetComPort;

struct NetworkPortTimings {
    int connectMs = 5000;
    // A raw open waits for a refusing device server's close, since a console
    // that is not asked says nothing: that close comes about one round trip
    // after the connect, so the wait is four times what the connect took,
    // and at least this long.
    int occupiedGraceMs = 50;
    int negotiationMs = 3000;
};

class NetworkSerialPort final : public SerialPort {
public:
    NetworkSerialPort();
    ~NetworkSerialPort() override;

    void setPortName(const std::string& name) override { name_ = name; }
    std::string portName() const override { return name_; }
    void setTimings(const NetworkPortTimings& timings) { timings_ = timings; }

    PortOpenError open() override;
    bool isOpen() const override;
    void close() override;

    std::size_t inputCount() override;
    // Bytes the socket has not yet handed to the operating system.
    std::size_t outputCount() override;
    void write(std::string_view data) override;
    std::string readAll() override;
    void clearInput() override;
    bool waitForInput(int timeoutMs) override;
    // The socket written directly, escaped as write() escapes (not on Windows).
    LineWriter lineWriter() override;

private:
    // Waits out the grace period (raw) or the negotiation (RFC 2217).
    PortOpenError settle(std::chrono::steady_clock::duration connectTook);
    // Moves what the socket holds into input_, through the Telnet layer.
    void pull();
    void send(std::string_view bytes);
    void sendTelnetAnswers();

    std::unique_ptr<QTcpSocket> socket_;
    std::unique_ptr<TelnetComPort> telnet_;
    std::string name_;
    std::string input_;
    bool anyByte_ = false;
    NetworkPortTimings timings_;
};

// What keeps an RFC 2217 negotiation from being done, as the open error
// says it after the name; empty once the line is confirmed as wanted.
std::string ComPortProblem(const TelnetComPort& telnet);

// The port for a network port name (see IsNetworkPortName), its name set;
// nothing and the reason in error for a name that is not well formed.
std::unique_ptr<SerialPort> MakeNetworkSerialPort(const std::string& name, std::string& error);

}  // namespace k400
