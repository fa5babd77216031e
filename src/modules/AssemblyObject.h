#pragma once
// One CANopen PDO or one DeviceNet assembly instance: a label per data byte.
// Both profiles keep theirs in the same two tables of 32 records.

#include <array>
#include <cstdint>
#include <string>

namespace k400 {

inline constexpr std::size_t AssemblyMappingSize = 251;
inline constexpr std::size_t AssemblyTableSize = 32;
// Label of a PDO entry that carries no data.
inline constexpr const char* EmptyMappingLabel = "--------:----";

struct AssemblyObject {
    std::array<std::string, AssemblyMappingSize> Mapping;
    std::uint8_t DataLength = 0;  // bytes in use; 0 = empty
    std::uint8_t DataKind = 0;    // 0 digital, 1 analog

    void clear()
    {
        for (auto& label : Mapping)
            label.clear();
        DataLength = 0;
        DataKind = 0;
    }
};

using AssemblyTable = std::array<AssemblyObject, AssemblyTableSize>;

}  // namespace k400
