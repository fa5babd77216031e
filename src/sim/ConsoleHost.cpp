#include "sim/ConsoleHost.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>

#include "platform/TelnetComPort.h"

namespace k400 {

namespace {

constexpr std::size_t kMaxPendingBytes = 64 * 1024;

std::string ErrnoText(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

bool SetNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool PeerGoneErrno()
{
    return errno == ECONNRESET || errno == EPIPE || errno == ENOTCONN;
}

// The signal handlers only write one byte to the running server's stop pipe.
std::atomic<int> gStopFd{-1};

extern "C" void OnStopSignal(int)
{
    const int fd = gStopFd.load();
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
}

}  // namespace

ConsoleHost::ConsoleHost(Scenario scenario, std::string eepromOut)
    : console_(std::move(scenario)), eepromOut_(std::move(eepromOut))
{
    if (::pipe(stopPipe_) == 0) {
        for (const int fd : stopPipe_) {
            SetNonBlocking(fd);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    if (!eepromOut_.empty()) {
        console_.setEepromListener([this](const EepromImage& image) {
            std::string error;
            if (!WriteEepromFile(eepromOut_, image, error))
                eepromError_ = error;
        });
    }
}

ConsoleHost::~ConsoleHost()
{
    for (int& fd : stopPipe_)
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
}

bool ConsoleHost::writeEepromFile(std::string& error)
{
    return eepromOut_.empty() || WriteEepromFile(eepromOut_, console_.eeprom(), error);
}

void ConsoleHost::requestStop()
{
    if (stopPipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopPipe_[1], &byte, 1);
    }
}

bool ConsoleHost::waitForStop(int ms, int otherFd) const
{
    pollfd fds[2] = {{stopPipe_[0], POLLIN, 0}, {otherFd, POLLIN, 0}};
    return ::poll(fds, otherFd >= 0 ? 2 : 1, ms) > 0 && (fds[0].revents & POLLIN);
}

void ConsoleHost::dropOutput()
{
    console_.takeOutput(clock_.nowMs());
    pending_.clear();
    wire_.clear();
}

bool ConsoleHost::flush(const Stream& stream, std::ostream& err, bool& peerGone)
{
    if (!stream.telnet) {
        wire_ += pending_;
        pending_.clear();
        if (wire_.size() > kMaxPendingBytes)
            wire_.erase(0, wire_.size() - kMaxPendingBytes);
    } else if (wire_.empty()) {
        // Escaped only as it goes out, so that a cut of the backlog never
        // falls inside an escaped byte.
        wire_ = TelnetEscape(pending_);
        pending_.clear();
    }
    while (!wire_.empty()) {
        const ssize_t written = stream.socket ? ::send(stream.fd, wire_.data(), wire_.size(), MSG_NOSIGNAL)
                                              : ::write(stream.fd, wire_.data(), wire_.size());
        if (written > 0) {
            wire_.erase(0, static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return true;  // the stream is full; poll says when it drains
        if (written < 0 && stream.socket && PeerGoneErrno()) {
            peerGone = true;
            return true;
        }
        err << ErrnoText(std::string("write to ") + stream.what + " failed") << std::endl;
        return false;
    }
    return true;
}

ConsoleHost::End ConsoleHost::serve(const Stream& stream, std::ostream& err)
{
    char buffer[4096];
    for (;;) {
        const std::int64_t now = clock_.nowMs();
        // Nobody reading for a long time: keep the newest text only, bounded.
        pending_ += console_.takeOutput(now);
        if (pending_.size() > kMaxPendingBytes)
            pending_.erase(0, pending_.size() - kMaxPendingBytes);
        bool peerGone = false;
        if (!flush(stream, err, peerGone))
            return End::Failed;
        if (peerGone)
            return End::PeerClosed;
        if (!eepromError_.empty()) {
            err << "cannot write the EEPROM file: " << eepromError_ << std::endl;
            eepromError_.clear();
        }

        int timeoutMs = -1;
        if (const auto next = console_.nextReleaseMs())
            timeoutMs = static_cast<int>(std::clamp<std::int64_t>(*next - now, 0, INT_MAX));
        const bool wantsOut = !wire_.empty() || !pending_.empty();
        pollfd fds[3] = {{stream.fd, static_cast<short>(POLLIN | (wantsOut ? POLLOUT : 0)), 0},
                         {stopPipe_[0], POLLIN, 0},
                         {stream.sideFd, POLLIN, 0}};
        const int ready = ::poll(fds, stream.sideFd >= 0 ? 3 : 2, timeoutMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            err << ErrnoText("poll failed") << std::endl;
            return End::Failed;
        }
        if (fds[1].revents & POLLIN)
            return End::Stopped;
        // The stream before the side: a client that left and a newcomer seen
        // in one wake-up must end this session first.
        if (fds[0].revents & POLLIN) {
            const ssize_t count = ::read(stream.fd, buffer, sizeof buffer);
            if (count > 0) {
                std::string_view bytes(buffer, static_cast<std::size_t>(count));
                std::string data;
                if (stream.telnet) {
                    data = stream.telnet->receive(bytes);
                    wire_ += stream.telnet->takeOutgoing();
                    bytes = data;
                }
                if (!bytes.empty())
                    console_.receive(bytes, clock_.nowMs());
                if (console_.vanished())
                    return End::Vanished;
            } else if (count == 0 || (stream.socket && PeerGoneErrno())) {
                return End::PeerClosed;
            } else if (errno != EAGAIN && errno != EINTR && errno != EIO) {
                err << ErrnoText(std::string("read from ") + stream.what + " failed") << std::endl;
                return End::Failed;
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            return End::PeerClosed;
        }
        if (stream.sideFd >= 0 && (fds[2].revents & POLLIN))
            return End::SideReady;
    }
}

std::optional<Scenario> LoadServedScenario(const std::string& file, std::ostream& err)
{
    if (file.empty())
        return BuiltInScenario();
    std::string error;
    auto loaded = LoadScenarioFile(file, error);
    if (!loaded)
        err << "Error: " << error << std::endl;
    return loaded;
}

StopSignals::StopSignals(int stopFd)
{
    // In before the device or socket exists, so that a stop request is never
    // lost; a signal handler cannot call into an object, it writes the pipe.
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    gStopFd.store(stopFd);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
}

StopSignals::~StopSignals()
{
    gStopFd.store(-1);
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

}  // namespace k400
