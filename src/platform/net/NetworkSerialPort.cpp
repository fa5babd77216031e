#include "platform/net/NetworkSerialPort.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QTcpSocket>

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/Messages.h"
#include "platform/NetworkPortName.h"
#include "platform/SystemCalls.h"
#include "platform/TelnetComPort.h"

namespace k400 {

namespace {

using Steady = std::chrono::steady_clock;

// How long a direct write waits for room in a full socket buffer: as long as
// outputCount() waits for the socket's own queue.
[[maybe_unused]] constexpr int SocketWriteWaitMs = 50;

// QTcpSocket's notifiers want an application object; the command line makes
// one in main(), but a test or tool that drives the port directly may not.
void EnsureApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "k400gw";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

int MsLeft(Steady::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

PortOpenError Failure(const std::string& name, std::string_view text,
                      PortOpenError::Kind kind = PortOpenError::Kind::Other)
{
    return {kind, name + ": " + std::string(text)};
}

template <std::size_t N>
std::string CodeName(const std::string_view (&names)[N], unsigned code)
{
    return code > 0 && code < N ? std::string(names[code]) : std::to_string(code);
}

}  // namespace

std::string ComPortProblem(const TelnetComPort& telnet)
{
    using State = TelnetComPort::ComPortState;
    const State state = telnet.comPortState();
    if (state == State::Confirmed)
        return {};
    if (state == State::Refused)
        return std::string(msg::ComPortRefused);
    if (state == State::Pending && !telnet.comPortAgreed())
        return std::string(msg::ComPortNoAnswer);

    // Pending: the settings not answered; Differs: those answered otherwise.
    const ComPortSettings& want = telnet.wanted();
    const ComPortSettings& got = telnet.answered();
    struct Setting {
        std::string_view name;
        std::string wanted;
        std::string answered;
    };
    const Setting settings[] = {
        {msg::BaudRate, std::to_string(want.baudRate), std::to_string(got.baudRate)},
        {msg::DataBits, std::to_string(want.dataSize), std::to_string(got.dataSize)},
        {msg::Parity, CodeName(msg::ParityNames, want.parity), CodeName(msg::ParityNames, got.parity)},
        {msg::StopBits, CodeName(msg::StopBitNames, want.stopSize), CodeName(msg::StopBitNames, got.stopSize)},
        {msg::FlowControl, CodeName(msg::FlowControlNames, want.control), CodeName(msg::FlowControlNames, got.control)},
    };
    std::string text(state == State::Pending ? msg::LineNotConfirmed : msg::LineDiffers);
    const char* separator = " ";
    for (std::size_t i = 0; i < std::size(settings); ++i) {
        const bool answered = (telnet.answeredMask() >> i & 1u) != 0;
        const Setting& s = settings[i];
        if (state == State::Pending && !answered) {
            text += separator + std::string(s.name) + " " + s.wanted;
        } else if (state == State::Differs && s.answered != s.wanted) {
            text += separator + std::string(s.name) + " " + s.answered + " " + std::string(msg::InsteadOf) + " " +
                    s.wanted;
        } else {
            continue;
        }
        separator = ", ";
    }
    return text;
}

NetworkSerialPort::NetworkSerialPort()
{
    EnsureApplication();
}

NetworkSerialPort::~NetworkSerialPort()
{
    close();
}

PortOpenError NetworkSerialPort::open()
{
    if (isOpen())
        return {};
    close();
    std::string error;
    const auto address = ParseNetworkPortName(name_, error);
    if (!address)
        return {PortOpenError::Kind::Other, error};

    socket_ = std::make_unique<QTcpSocket>();
    // A device server sits on the plant network; an application-wide proxy is not for it.
    socket_->setProxy(QNetworkProxy::NoProxy);
    const auto connectStart = Steady::now();
    socket_->connectToHost(QString::fromStdString(address->endpoint.host), address->endpoint.port);
    if (!socket_->waitForConnected(timings_.connectMs)) {
        const std::string reason = socket_->errorString().toStdString();
        socket_.reset();
        return {PortOpenError::Kind::Other, std::string(msg::CantOpenBefore) + name_ + std::string(msg::CantOpenAfter) +
                                                reason + std::string(msg::CantOpenEnd)};
    }
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (address->protocol == NetworkProtocol::Rfc2217) {
        telnet_ = std::make_unique<TelnetComPort>(TelnetComPort::Role::Client);
        telnet_->start(GatewayLine);
        sendTelnetAnswers();
    }
    const PortOpenError settled = settle(Steady::now() - connectStart);
    if (!settled.ok())
        close();
    return settled;
}

PortOpenError NetworkSerialPort::settle(Steady::duration connectTook)
{
    const auto start = Steady::now();
    const auto grace = std::max<Steady::duration>(std::chrono::milliseconds(timings_.occupiedGraceMs), 4 * connectTook);
    const auto deadline = start + (telnet_ ? std::chrono::milliseconds(timings_.negotiationMs) : grace);
    while (!telnet_ || telnet_->comPortState() == TelnetComPort::ComPortState::Pending) {
        const int left = MsLeft(deadline);
        if (left <= 0)
            break;
        if (socket_->waitForReadyRead(left)) {
            pull();
            // A device server that talks is not turning us away.
            if (!telnet_)
                break;
            continue;
        }
        if (socket_->state() != QAbstractSocket::ConnectedState) {
            pull();
            const bool refused = !anyByte_ && Steady::now() - start <= grace;
            return refused ? Failure(name_, msg::SecondConnectionRefused, PortOpenError::Kind::Occupied)
                           : Failure(name_, msg::ClosedWhileOpening);
        }
    }
    if (telnet_) {
        if (const std::string problem = ComPortProblem(*telnet_); !problem.empty())
            return Failure(name_, problem);
    }
    return {};
}

bool NetworkSerialPort::isOpen() const
{
    if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState)
        return false;
    // A close by the far end shows only when the socket is read; a zero wait
    // looks without blocking (and leaves any data in the socket's buffer).
    if (socket_->bytesAvailable() == 0)
        socket_->waitForReadyRead(0);
    return socket_->state() == QAbstractSocket::ConnectedState;
}

void NetworkSerialPort::close()
{
    if (socket_) {
        // A clean close, after whatever is still queued has gone out.
        socket_->disconnectFromHost();
        if (socket_->state() != QAbstractSocket::UnconnectedState)
            socket_->waitForDisconnected(timings_.occupiedGraceMs);
        socket_.reset();
    }
    telnet_.reset();
    input_.clear();
    anyByte_ = false;
}

void NetworkSerialPort::pull()
{
    // After the far end closed the socket is no longer connected, but what
    // came before the close is still in its buffer.
    if (!socket_ || !socket_->isOpen())
        return;
    if (socket_->bytesAvailable() == 0 && socket_->state() == QAbstractSocket::ConnectedState)
        socket_->waitForReadyRead(0);
    const QByteArray bytes = socket_->readAll();
    if (bytes.isEmpty())
        return;
    anyByte_ = true;
    const std::string_view raw(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (telnet_) {
        input_ += telnet_->receive(raw);
        sendTelnetAnswers();
    } else {
        input_ += raw;
    }
}

void NetworkSerialPort::send(std::string_view bytes)
{
    if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState || bytes.empty())
        return;
    socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    // Hands the bytes to the operating system now, without blocking;
    // outputCount() waits for any rest.
    socket_->flush();
}

void NetworkSerialPort::sendTelnetAnswers()
{
    send(telnet_->takeOutgoing());
}

std::size_t NetworkSerialPort::inputCount()
{
    pull();
    return input_.size();
}

std::size_t NetworkSerialPort::outputCount()
{
    if (!isOpen())
        return 0;
    if (socket_->bytesToWrite() > 0)
        socket_->waitForBytesWritten(50);
    return static_cast<std::size_t>(socket_->bytesToWrite());
}

void NetworkSerialPort::write(std::string_view data)
{
    send(telnet_ ? TelnetEscape(data) : std::string(data));
}

std::string NetworkSerialPort::readAll()
{
    pull();
    return std::exchange(input_, {});
}

void NetworkSerialPort::clearInput()
{
    pull();
    input_.clear();
}

bool NetworkSerialPort::waitForInput(int timeoutMs)
{
    pull();
    const auto deadline = Steady::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    // Telnet traffic may carry no data: wait on until data or the time is up.
    // A closed connection ends the wait at once.
    while (input_.empty() && socket_ && socket_->state() == QAbstractSocket::ConnectedState) {
        const int left = MsLeft(deadline);
        if (left <= 0 || !socket_->waitForReadyRead(left)) {
            pull();
            break;
        }
        pull();
    }
    return !input_.empty();
}

LineWriter NetworkSerialPort::lineWriter()
{
#ifdef _WIN32
    return {};
#else
    if (!isOpen() || socket_->bytesToWrite() > 0)
        return {};
    const auto socket = static_cast<FileHandle>(socket_->socketDescriptor());
    const bool telnet = telnet_ != nullptr;
    return [socket, telnet](std::string_view data) {
        return !WriteToDevice(socket, telnet ? TelnetEscape(data) : std::string(data), true, SocketWriteWaitMs);
    };
#endif
}

std::unique_ptr<SerialPort> MakeNetworkSerialPort(const std::string& name, std::string& error)
{
    if (!ParseNetworkPortName(name, error))
        return nullptr;
    auto port = std::make_unique<NetworkSerialPort>();
    port->setPortName(name);
    return port;
}

}  // namespace k400
