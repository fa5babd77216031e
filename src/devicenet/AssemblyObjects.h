#pragma once
// DeviceNet view of the scanned modules: one application object instance
// (class 0x64) per module and up to two output and two input assembly
// instances (class 0x04), digital data before analog data.

#include <cstdint>
#include <string>
#include <string_view>

#include "gateway/ProfileFinish.h"

namespace k400 {

struct ProgramState;
struct ScannedModule;

inline constexpr std::uint8_t ApplicationObjectClass = 0x64;
inline constexpr std::uint8_t AssemblyObjectClass = 0x04;
inline constexpr std::uint8_t AssemblyDataAttribute = 3;
inline constexpr std::uint8_t DigitalOutputAttribute = 0x14;
inline constexpr std::uint8_t AnalogOutputAttribute = 0x15;
inline constexpr std::uint8_t DigitalInputAttribute = 0x16;
inline constexpr std::uint8_t AnalogInputAttribute = 0x17;
// First assembly instance ID; outputs come first, inputs continue after them.
inline constexpr int FirstAssemblyId = 0x64;

struct ConnectionPath {
    std::uint8_t Class = AssemblyObjectClass;
    std::uint8_t Instance = 0;
    std::uint8_t Attribute = AssemblyDataAttribute;

    bool operator==(const ConnectionPath&) const = default;
};

// Fills OutputAssemblies / InputAssemblies and the two last indexes from the
// module table. Every record of both tables is cleared first, so nothing from
// an earlier build (or from the CANopen PDOs) survives. An assembly that
// would exceed its 251 byte labels is refused: the tables are left cleared
// and the result names the assembly and its size.
BuildResult BuildDeviceNetObjects(ProgramState& state);

// Byte labels; byte and channel numbers are 1-based. Digital output labels
// carry no address; counter modules name the counter, not the word.
std::string DeviceNetOutputByteLabel(const ScannedModule& module, int byteNumber);
std::string DeviceNetInputByteLabel(const ScannedModule& module, int byteNumber);
std::string DeviceNetAnalogLabel(const ScannedModule& module, int channel);

// The number of output assembly records in use (0, 1 or 2): input assembly
// IDs and ordinals continue after them.
int OutputAssemblyCount(const ProgramState& state);
int InputAssemblyCount(const ProgramState& state);

// The path a selector entry stands for, read from the entry's fixed layout:
// characters 11-12 give the kind, 18-19 the application instance.
ConnectionPath GetDNSInfo(const ProgramState& state, int listIndex, std::string_view itemText);

}  // namespace k400
