#pragma once
// The rows of the module information viewer: a heading row, then one row of
// cell texts per module found, in display order.

#include <array>
#include <string>
#include <vector>

#include "app/ProgramState.h"

namespace k400 {

inline constexpr std::size_t ModuleInfoColumns = 9;
using ModuleInfoRow = std::array<std::string, ModuleInfoColumns>;

extern const ModuleInfoRow ModuleInfoHeadings;

// "0x0A", "0x10", "0xFF": upper-case hex, at least two digits.
std::string PrefixedHex(unsigned value);

// Row 0 the headings; rows 1..ModuleCount the modules named by ModuleOrder.
std::vector<ModuleInfoRow> ModuleInfoRows(const ProgramState& state);

}  // namespace k400
