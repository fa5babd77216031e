#include "sim/TcpSimulator.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <ostream>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>

#include "platform/Messages.h"
#include "platform/NetworkPortName.h"
#include "platform/TelnetComPort.h"

namespace k400 {

namespace {

// A client whose end is closed or reset; seen without reading its data.
bool ClientGone(int fd)
{
    pollfd p = {fd, POLLIN | POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR));
}

struct AddressList {
    addrinfo* first = nullptr;
    ~AddressList()
    {
        if (first != nullptr)
            ::freeaddrinfo(first);
    }
};

}  // namespace

TcpSimulator::TcpSimulator(Scenario scenario, TcpSimulatorOptions options)
    : host_(std::move(scenario), options.eepromOut), options_(std::move(options))
{
}

TcpSimulator::~TcpSimulator()
{
    closeListener();
}

void TcpSimulator::closeListener()
{
    if (listener_ >= 0)
        ::close(listener_);
    listener_ = -1;
}

bool TcpSimulator::open(std::string& error)
{
    if (!host_.ready()) {
        error = msg::SimNoStopPipe;
        return false;
    }
    const auto address = ParseListenAddress(options_.listen, error);
    if (!address)
        return false;
    const std::string cannot = std::string(msg::SimCannotListen) + " " + options_.listen + ": ";

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    AddressList list;
    if (const int rc = ::getaddrinfo(address->host.c_str(), std::to_string(address->port).c_str(), &hints, &list.first);
        rc != 0) {
        error = cannot + ::gai_strerror(rc);
        return false;
    }
    int lastErrno = 0;
    for (const addrinfo* a = list.first; a != nullptr && listener_ < 0; a = a->ai_next) {
        listener_ = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (listener_ < 0) {
            lastErrno = errno;
            continue;
        }
        const int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(listener_, a->ai_addr, a->ai_addrlen) != 0 || ::listen(listener_, 4) != 0) {
            lastErrno = errno;
            closeListener();
        }
    }
    if (listener_ < 0) {
        error = cannot + std::strerror(lastErrno);
        return false;
    }

    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    char host[NI_MAXHOST] = {};
    char service[NI_MAXSERV] = {};
    if (::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length) != 0 ||
        ::getnameinfo(reinterpret_cast<sockaddr*>(&bound), length, host, sizeof host, service, sizeof service,
                      NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        error = cannot + std::strerror(errno);
        closeListener();
        return false;
    }
    port_ = static_cast<std::uint16_t>(std::stoi(service));
    portName_ = MakeNetworkPortName(options_.rfc2217 ? NetworkProtocol::Rfc2217 : NetworkProtocol::Raw, host, port_);
    if (!host_.writeEepromFile(error)) {
        closeListener();
        return false;
    }
    return true;
}

int TcpSimulator::serve(std::ostream& err)
{
    if (listener_ < 0) {
        err << msg::SimNotListening << std::endl;
        return 1;
    }
    for (;;) {
        if (host_.waitForStop(-1, listener_))
            return 0;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0) {
            // Gone before it was taken, or a signal: wait for the next one.
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNABORTED || errno == EINTR)
                continue;
            err << msg::SimAcceptFailed << std::strerror(errno) << std::endl;
            return 1;
        }
        const Session end = serveClient(client, err);
        ::close(client);
        if (end == Session::Stop)
            return 0;
        if (end == Session::Vanished) {
            err << msg::SimVanished << std::endl;
            closeListener();
            return 0;
        }
    }
}

TcpSimulator::Session TcpSimulator::serveClient(int client, std::ostream& err)
{
    // Each character must leave as soon as the console releases it, as on a
    // serial line: no coalescing.
    const int on = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    // Whatever the console said while nobody was connected is gone, as a
    // device server drops what its serial line brings with no client.
    host_.dropOutput();
    std::optional<TelnetComPort> telnet;
    if (options_.rfc2217)
        telnet.emplace(TelnetComPort::Role::Server);
    const ConsoleHost::Stream stream{client, msg::SimConnection, true, telnet ? &*telnet : nullptr, listener_};
    for (;;) {
        switch (host_.serve(stream, err)) {
        case ConsoleHost::End::Stopped:
            return Session::Stop;
        case ConsoleHost::End::Vanished:
            return Session::Vanished;
        case ConsoleHost::End::SideReady:
            // A client that closed and reconnected at once is not refused
            // because its old connection was not noticed first.
            if (ClientGone(client)) {
                err << msg::SimClientLeft << std::endl;
                return Session::ClientLeft;
            }
            if (const int second = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC); second >= 0) {
                ::close(second);
                err << msg::SimSecondClientRefused << std::endl;
            }
            break;
        case ConsoleHost::End::PeerClosed:
            err << msg::SimClientLeft << std::endl;
            return Session::ClientLeft;
        case ConsoleHost::End::Failed:
            return Session::ClientLeft;
        }
    }
}

int RunTcpSimulator(const TcpSimulatorOptions& options, std::ostream& out, std::ostream& err)
{
    auto scenario = LoadServedScenario(options.scenarioFile, err);
    if (!scenario)
        return 1;
    const std::string controller = scenario->controller;

    TcpSimulator simulator(std::move(*scenario), options);
    const StopSignals signals(simulator.stopFd());
    std::string error;
    if (!simulator.open(error)) {
        err << "Error: " << error << std::endl;
        return 1;
    }
    out << simulator.portName() << std::endl;
    err << msg::SimServingBefore << controller << msg::SimServingOn << simulator.portName() << msg::SimServingAfter
        << std::endl;
    return simulator.serve(err);
}

}  // namespace k400
