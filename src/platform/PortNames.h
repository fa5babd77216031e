#pragma once
// The names users give to ports and the devices they stand for.

#include <optional>
#include <string>
#include <string_view>

namespace k400 {

// The port as messages name it: "COM" + blank + number for COM1..COM16, the
// name itself for anything else.
std::string PortDisplayName(std::string_view portName);

// The port number 1..16 of "COM1".."COM16" (any letter case), else nothing.
std::optional<int> ComPortNumber(std::string_view portName);

// What a user typed for a port: "COM1".."COM16" (any case) and the numbers
// 1..16 become "COM1".."COM16"; anything else is kept as a device path.
std::string NormalizePortName(std::string_view userText);

// The device to open for a port name: on Linux COMn is /dev/ttyS(n-1) and a
// bare name is the device of that name under /dev or, when there is none,
// the path of that name in the working folder; on Windows COMn stays as it
// is; device paths are used unchanged.
std::string DevicePathForPortName(std::string_view portName);

}  // namespace k400
