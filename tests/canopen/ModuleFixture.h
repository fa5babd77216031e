#pragma once
// Module tables for the CANopen tests, filled the way a scan leaves them.

#include <string>
#include <vector>

#include "gateway/ProgramState.h"

namespace k400::test {

struct ModuleShape {
    std::string name;
    int address = 0;  // 0: an entry the scan could not use (no address)
    int doChannels = 0, aoChannels = 0, diChannels = 0, aiChannels = 0;
};

// Puts the module into table entry `index`, then recounts the byte totals,
// the module order and the module count over the whole table.
inline void PlaceModule(ProgramState& state, std::size_t index, const ModuleShape& shape)
{
    auto& m = state.ModuleTable[index];
    m.Name = shape.name;
    m.Address = shape.address ? std::to_string(shape.address) : "";
    m.DOChannels = static_cast<std::uint8_t>(shape.doChannels);
    m.AOChannels = static_cast<std::uint8_t>(shape.aoChannels);
    m.DIChannels = static_cast<std::uint8_t>(shape.diChannels);
    m.AIChannels = static_cast<std::uint8_t>(shape.aiChannels);

    state.TotalDIBytes = state.TotalDOBytes = state.TotalAIBytes = state.TotalAOBytes = 0;
    state.ModuleCount = 0;
    for (std::size_t i = 0; i < state.ModuleTable.size(); ++i) {
        const auto& e = state.ModuleTable[i];
        if (e.Address.empty())
            continue;
        state.TotalDOBytes += static_cast<std::uint16_t>((e.DOChannels + 7) / 8);
        state.TotalDIBytes += static_cast<std::uint16_t>((e.DIChannels + 7) / 8);
        state.TotalAOBytes += static_cast<std::uint16_t>(2 * e.AOChannels);
        state.TotalAIBytes += static_cast<std::uint16_t>(2 * e.AIChannels);
        state.ModuleOrder[state.ModuleCount++] = static_cast<std::uint8_t>(i);
    }
}

inline void PlaceModules(ProgramState& state, const std::vector<ModuleShape>& shapes)
{
    for (std::size_t i = 0; i < shapes.size(); ++i)
        PlaceModule(state, i, shapes[i]);
}

}  // namespace k400::test
