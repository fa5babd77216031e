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

// Puts the modules into table entries 0 on, then recounts the byte totals,
// the module order and the module count over the whole table.
inline void PlaceModules(ProgramState& state, const std::vector<ModuleShape>& shapes)
{
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        auto& m = state.ModuleTable[i];
        m.Name = shapes[i].name;
        m.Address = shapes[i].address ? std::to_string(shapes[i].address) : "";
        m.DOChannels = static_cast<std::uint8_t>(shapes[i].doChannels);
        m.AOChannels = static_cast<std::uint8_t>(shapes[i].aoChannels);
        m.DIChannels = static_cast<std::uint8_t>(shapes[i].diChannels);
        m.AIChannels = static_cast<std::uint8_t>(shapes[i].aiChannels);
    }
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

}  // namespace k400::test
