#pragma once
// One module found by the scan, and the same module as a DeviceNet
// application object instance. Both tables have 15 fixed entries.

#include <array>
#include <cstdint>
#include <string>

namespace k400 {

struct ScannedModule {
    std::string Name;
    std::string Address;  // decimal text; "" marks an unusable entry
    std::uint8_t DOChannels = 0;
    std::uint8_t AOChannels = 0;
    std::uint8_t DIChannels = 0;
    std::uint8_t AIChannels = 0;  // AI words; a 32-bit counter counts as two
    std::uint8_t TypeCodeCount = 0;
    std::uint8_t TypeCode = 0;
    std::uint8_t TypeCode2 = 0;
    std::uint8_t DataFormat = 0;
};

struct TarnInf {
    std::string Name;
    std::uint8_t IOType = 0;
    std::uint8_t Address = 0;
    std::uint8_t Baud = 0;
    std::uint8_t TypeCode = 0;
    std::uint8_t TypeCode2 = 0;
    std::uint8_t TypeCodeCount = 0;
    std::uint8_t DataFormat = 0;
    std::uint8_t DOLength = 0;
    std::uint8_t AOLength = 0;
    std::uint8_t DILength = 0;
    std::uint8_t AILength = 0;
    std::uint8_t DOChannels = 0;
    std::uint8_t AOChannels = 0;
    std::uint8_t DIChannels = 0;
    std::uint8_t AIChannels = 0;
};

inline constexpr std::size_t ModuleTableSize = 15;

}  // namespace k400
