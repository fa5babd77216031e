#include "sim/PtySimulator.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "platform/Messages.h"

namespace k400 {

namespace {

std::string ErrnoText(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

bool SetNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

PtySimulator::PtySimulator(Scenario scenario, PtySimulatorOptions options)
    : host_(std::move(scenario), options.eepromOut), options_(std::move(options))
{
}

PtySimulator::~PtySimulator()
{
    closeDevice();
    removeLink();
}

bool PtySimulator::open(std::string& error)
{
    if (!host_.ready()) {
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
    if (!host_.writeEepromFile(error)) {
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

int PtySimulator::serve(std::ostream& err)
{
    if (master_ < 0) {
        err << "the pseudo-terminal is not open" << std::endl;
        return 1;
    }
    const ConsoleHost::Stream device{master_, "the pseudo-terminal"};
    for (;;) {
        switch (host_.serve(device, err)) {
        case ConsoleHost::End::Stopped:
            return 0;
        case ConsoleHost::End::Vanished:
            err << "the device vanished (scenario fault)" << std::endl;
            closeDevice();
            removeLink();
            return 0;
        case ConsoleHost::End::PeerClosed:
        case ConsoleHost::End::SideReady:
            // Cannot happen while we hold the slave open; wait rather than spin if it does.
            if (host_.waitForStop(100))
                return 0;
            break;
        case ConsoleHost::End::Failed:
            return 1;
        }
    }
}

int RunPtySimulator(const PtySimulatorOptions& options, std::ostream& out, std::ostream& err)
{
    auto scenario = LoadServedScenario(options.scenarioFile, err);
    if (!scenario)
        return 1;
    const std::string controller = scenario->controller;

    PtySimulator simulator(std::move(*scenario), options);
    const StopSignals signals(simulator.stopFd());
    std::string error;
    if (!simulator.open(error)) {
        err << "Error: " << error << std::endl;
        return 1;
    }
    out << simulator.devicePath() << std::endl;
    // A test waiting to act in the middle of a client's EEPROM write reads this line.
    simulator.console().setPauseListener([&out](int value) { out << msg::SimPausedAfterValue << value << std::endl; });
    err << "Simulated " << controller << " gateway on " << simulator.devicePath();
    if (!options.linkPath.empty())
        err << " (link " << options.linkPath << ")";
    err << "; stop with Ctrl+C" << std::endl;
    return simulator.serve(err);
}

}  // namespace k400
