#pragma once
// Which other programs hold a serial device open. A terminal program that
// takes no lock still swallows the console's replies; the lock file and
// flock cannot see it, the process table can.

#include <string>
#include <vector>

namespace k400 {

struct DeviceHolder {
    int pid = 0;
    std::string name;  // the command name, empty when it cannot be read
};

// Other processes with `devicePath` (symbolic links followed) open, as far as
// this user may see them (Linux: /proc/*/fd). For a pseudo-terminal, a
// process holding its master side is the line's far end, not a competitor,
// and is left out. Empty on other systems and for anything but a character
// device. The process table is read at most every half second: callers
// opening ports together share one reading.
std::vector<DeviceHolder> OtherProcessesHoldingDevice(const std::string& devicePath);

// "minicom, PID 4242" (or "PID 4242" without a name); several joined with "; ".
std::string DeviceHoldersText(const std::vector<DeviceHolder>& holders);

}  // namespace k400
