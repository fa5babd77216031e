#include "sim/PtySimulator.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/Clock.h"

namespace k400 {

namespace {

constexpr std::size_t kMaxPendingBytes = 64 * 1024;

std::string ErrnoText(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

bool SetNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
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

PtySimulator::PtySimulator(Scenario scenario, PtySimulatorOptions options)
    : console_(std::move(scenario)), options_(std::move(options))
{
    if (::pipe(stopPipe_) == 0) {
        SetNonBlocking(stopPipe_[0]);
        SetNonBlocking(stopPipe_[1]);
        fcntl(stopPipe_[0], F_SETFD, FD_CLOEXEC);
        fcntl(stopPipe_[1], F_SETFD, FD_CLOEXEC);
    }
    if (!options_.eepromOut.empty()) {
        const std::string path = options_.eepromOut;
        console_.setEepromListener([this, path](const EepromImage& image) {
            std::string error;
            if (!WriteEepromFile(path, image, error))
                eepromError_ = error;
        });
    }
}

PtySimulator::~PtySimulator()
{
    closeDevice();
    removeLink();
    for (int& fd : stopPipe_)
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
}

bool PtySimulator::open(std::string& error)
{
    if (stopPipe_[0] < 0) {
        error = "cannot create the stop pipe";
        return false;
    }
    char name[PATH_MAX] = {};
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B115200);
    cfsetospeed(&raw, B115200);
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
        error = ErrnoText("cannot open a pseudo-terminal");
        return false;
    }
    devicePath_ = name;
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    if (!SetNonBlocking(master_)) {
        error = ErrnoText("cannot configure the pseudo-terminal");
        closeDevice();
        return false;
    }
    if (!options_.linkPath.empty()) {
        struct stat info {};
        if (::lstat(options_.linkPath.c_str(), &info) == 0) {
            // Only an old link is replaced; a real file there is somebody's data.
            if (!S_ISLNK(info.st_mode)) {
                error = options_.linkPath + " exists and is not a symbolic link";
                closeDevice();
                return false;
            }
            ::unlink(options_.linkPath.c_str());
        }
        if (::symlink(devicePath_.c_str(), options_.linkPath.c_str()) != 0) {
            error = ErrnoText(("cannot create the link " + options_.linkPath).c_str());
            closeDevice();
            return false;
        }
        linkMade_ = true;
    }
    if (!options_.eepromOut.empty() && !WriteEepromFile(options_.eepromOut, console_.eeprom(), error)) {
        closeDevice();
        removeLink();
        return false;
    }
    return true;
}

void PtySimulator::closeDevice()
{
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
}

void PtySimulator::removeLink()
{
    if (!linkMade_)
        return;
    // Removed only while it still points at our device.
    char target[PATH_MAX] = {};
    const ssize_t length = ::readlink(options_.linkPath.c_str(), target, sizeof target - 1);
    if (length > 0 && std::string(target, static_cast<std::size_t>(length)) == devicePath_)
        ::unlink(options_.linkPath.c_str());
    linkMade_ = false;
}

void PtySimulator::requestStop()
{
    if (stopPipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopPipe_[1], &byte, 1);
    }
}

bool PtySimulator::flushOutput(std::ostream& err)
{
    while (!pending_.empty()) {
        const ssize_t written = ::write(master_, pending_.data(), pending_.size());
        if (written > 0) {
            pending_.erase(0, static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return true;  // the terminal is full; poll says when it drains
        err << ErrnoText("write to the pseudo-terminal failed") << std::endl;
        return false;
    }
    return true;
}

int PtySimulator::serve(std::ostream& err)
{
    if (master_ < 0) {
        err << "the pseudo-terminal is not open" << std::endl;
        return 1;
    }
    SystemClock clock;
    char buffer[4096];
    for (;;) {
        const std::int64_t now = clock.nowMs();
        std::string released = console_.takeOutput(now);
        // Nobody reading for a long time: keep the newest text only, bounded.
        pending_ += released;
        if (pending_.size() > kMaxPendingBytes)
            pending_.erase(0, pending_.size() - kMaxPendingBytes);
        if (!flushOutput(err))
            return 1;
        if (!eepromError_.empty()) {
            err << "cannot write the EEPROM file: " << eepromError_ << std::endl;
            eepromError_.clear();
        }

        int timeoutMs = -1;
        if (const auto next = console_.nextReleaseMs())
            timeoutMs = static_cast<int>(std::clamp<std::int64_t>(*next - now, 0, INT_MAX));
        pollfd fds[2] = {{master_, static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT)), 0},
                         {stopPipe_[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            err << ErrnoText("poll failed") << std::endl;
            return 1;
        }
        if (fds[1].revents & POLLIN)
            return 0;
        if (fds[0].revents & POLLIN) {
            const ssize_t count = ::read(master_, buffer, sizeof buffer);
            if (count > 0) {
                console_.receive(std::string_view(buffer, static_cast<std::size_t>(count)), clock.nowMs());
                if (console_.vanished()) {
                    err << "the device vanished (scenario fault)" << std::endl;
                    closeDevice();
                    removeLink();
                    return 0;
                }
            } else if (count < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                err << ErrnoText("read from the pseudo-terminal failed") << std::endl;
                return 1;
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            // Cannot happen while we hold the slave open; wait rather than spin if it does.
            pollfd stop = {stopPipe_[0], POLLIN, 0};
            if (::poll(&stop, 1, 100) > 0)
                return 0;
        }
    }
}

int RunPtySimulator(const PtySimulatorOptions& options, std::ostream& out, std::ostream& err)
{
    Scenario scenario;
    if (options.scenarioFile.empty()) {
        scenario = BuiltInScenario();
    } else {
        std::string error;
        auto loaded = LoadScenarioFile(options.scenarioFile, error);
        if (!loaded) {
            err << "Error: " << error << std::endl;
            return 1;
        }
        scenario = std::move(*loaded);
    }
    const std::string controller = scenario.controller;

    PtySimulator simulator(std::move(scenario), options);

    // Handlers go in before the device exists, so a stop request can never be
    // lost; a signal handler cannot call into the object, it writes the stop pipe.
    struct sigaction action {};
    struct sigaction oldInt {};
    struct sigaction oldTerm {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    gStopFd.store(simulator.stopFd());
    sigaction(SIGINT, &action, &oldInt);
    sigaction(SIGTERM, &action, &oldTerm);

    int rc = 1;
    std::string error;
    if (!simulator.open(error)) {
        err << "Error: " << error << std::endl;
    } else {
        out << simulator.devicePath() << std::endl;
        err << "Simulated " << controller << " gateway on " << simulator.devicePath();
        if (!options.linkPath.empty())
            err << " (link " << options.linkPath << ")";
        err << "; stop with Ctrl+C" << std::endl;
        rc = simulator.serve(err);
    }
    gStopFd.store(-1);
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
    return rc;
}

}  // namespace k400
