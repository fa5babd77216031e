#pragma once
// One CANopen PDO or one DeviceNet assembly instance: a label per data byte.
// Both profiles keep theirs in the same two tables of 32 records.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace k400 {

inline constexpr std::size_t AssemblyMappingSize = 251;
inline constexpr std::size_t AssemblyTableSize = 32;
// Label of a PDO entry that carries no data.
inline constexpr const char* EmptyMappingLabel = "--------:----";

// Labels by byte position, 0..AssemblyMappingSize-1, empty where none was
// set. Storage grows with the positions written: most of a state's 64
// instances stay empty, and states are made and copied whole.
class MappingLabels {
public:
    std::string& operator[](std::size_t position)
    {
        if (position >= labels_.size())
            labels_.resize(position + 1);
        return labels_[position];
    }
    const std::string& operator[](std::size_t position) const
    {
        static const std::string none;
        return position < labels_.size() ? labels_[position] : none;
    }
    void clear() { labels_.clear(); }

private:
    std::vector<std::string> labels_;
};

struct AssemblyObject {
    MappingLabels Mapping;
    std::uint8_t DataLength = 0;  // bytes in use; 0 = empty
    std::uint8_t DataKind = 0;    // 0 digital, 1 analog

    void clear()
    {
        Mapping.clear();
        DataLength = 0;
        DataKind = 0;
    }
};

using AssemblyTable = std::array<AssemblyObject, AssemblyTableSize>;

}  // namespace k400
