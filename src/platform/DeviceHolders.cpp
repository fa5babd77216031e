#include "platform/DeviceHolders.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#ifdef __linux__
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include "platform/Messages.h"

namespace k400 {

#ifdef __linux__
namespace {

// Linux gives pseudo-terminal slaves majors 136..143 and the master
// multiplexer /dev/ptmx major 5, minor 2.
constexpr unsigned PtySlaveFirstMajor = 136;
constexpr unsigned PtySlaveLastMajor = 143;

int PtyIndex(dev_t device)
{
    const unsigned maj = major(device);
    if (maj < PtySlaveFirstMajor || maj > PtySlaveLastMajor)
        return -1;
    return static_cast<int>((maj - PtySlaveFirstMajor) * 256 + minor(device));
}

bool IsPtyMaster(dev_t device)
{
    return major(device) == 5 && minor(device) == 2;
}

struct CloseDirectory {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, CloseDirectory>;

// The "tty-index:" line of a master's fdinfo: the slave it serves.
int MasterIndex(const std::string& fdinfo)
{
    std::ifstream in(fdinfo);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("tty-index:", 0) == 0)
            return std::atoi(line.c_str() + 10);
    return -1;
}

std::string CommandName(const std::string& processDir)
{
    std::ifstream in(processDir + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// The character devices one other process holds open.
struct ProcessDevices {
    std::string pid;
    std::vector<dev_t> devices;
    std::vector<std::string> masters;  // descriptors of pseudo-terminal masters
};

std::vector<ProcessDevices> ScanProcesses()
{
    std::vector<ProcessDevices> processes;
    const std::string self = std::to_string(::getpid());
    // Directory streams and fstatat relative to them: every process's
    // descriptors are looked at, and a path walked from / for each one would
    // cost more than the look itself.
    const Directory proc(::opendir("/proc"));
    if (!proc)
        return processes;
    while (const dirent* entry = ::readdir(proc.get())) {
        ProcessDevices process{entry->d_name, {}, {}};
        if (process.pid.find_first_not_of("0123456789") != std::string::npos || process.pid == self)
            continue;
        const int fdDir = ::open(("/proc/" + process.pid + "/fd").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fdDir < 0)
            continue;  // gone, or another user's
        const Directory fds(::fdopendir(fdDir));
        if (!fds) {
            ::close(fdDir);
            continue;
        }
        while (const dirent* fd = ::readdir(fds.get())) {
            struct stat opened {};
            // stat follows the descriptor's link to the file itself, whatever name it was opened by.
            if (fd->d_name[0] == '.' || ::fstatat(fdDir, fd->d_name, &opened, 0) != 0 || !S_ISCHR(opened.st_mode))
                continue;
            if (IsPtyMaster(opened.st_rdev))
                process.masters.emplace_back(fd->d_name);
            else
                process.devices.push_back(opened.st_rdev);
        }
        if (!process.devices.empty())
            processes.push_back(std::move(process));
    }
    return processes;
}

// The scan costs milliseconds on a busy machine; sessions that open their
// ports together (a batch) share one taken moments before. Too short for a
// person to close the other program and try again in between.
constexpr auto SnapshotMaxAge = std::chrono::milliseconds(500);

std::vector<ProcessDevices> RecentProcesses()
{
    static std::mutex lock;
    static std::chrono::steady_clock::time_point taken;
    static std::vector<ProcessDevices> processes;
    std::lock_guard guard(lock);
    const auto now = std::chrono::steady_clock::now();
    if (taken == std::chrono::steady_clock::time_point{} || now - taken > SnapshotMaxAge) {
        processes = ScanProcesses();
        taken = std::chrono::steady_clock::now();
    }
    return processes;
}

}  // namespace

std::vector<DeviceHolder> OtherProcessesHoldingDevice(const std::string& devicePath)
{
    std::vector<DeviceHolder> holders;
    struct stat device {};
    if (::stat(devicePath.c_str(), &device) != 0 || !S_ISCHR(device.st_mode))
        return holders;
    const int ptyIndex = PtyIndex(device.st_rdev);
    for (const ProcessDevices& process : RecentProcesses()) {
        if (std::find(process.devices.begin(), process.devices.end(), device.st_rdev) == process.devices.end())
            continue;
        // Which line a master serves is read only for a process that holds
        // the device: every terminal and simulator on the machine holds masters.
        const std::string processDir = "/proc/" + process.pid;
        const auto servesDevice = [&](const std::string& master) {
            return ptyIndex >= 0 && MasterIndex(processDir + "/fdinfo/" + master) == ptyIndex;
        };
        if (std::none_of(process.masters.begin(), process.masters.end(), servesDevice))
            holders.push_back({std::atoi(process.pid.c_str()), CommandName(processDir)});
    }
    return holders;
}

#else

std::vector<DeviceHolder> OtherProcessesHoldingDevice(const std::string&)
{
    return {};
}

#endif

std::string DeviceHoldersText(const std::vector<DeviceHolder>& holders)
{
    std::string text;
    for (const DeviceHolder& holder : holders) {
        if (!text.empty())
            text += "; ";
        text += msg::ProcessText(holder.name, holder.pid);
    }
    return text;
}

}  // namespace k400
