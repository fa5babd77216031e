#pragma once
// The rows of the module information viewer: a heading row, then one row of
// cell texts per module found, in display order.

#include <array>
#include <string>
#include <vector>

#include "modules/ModuleTables.h"

namespace k400 {

inline constexpr std::size_t ModuleInfoColumns = 9;
using ModuleInfoRow = std::array<std::string, ModuleInfoColumns>;

extern const ModuleInfoRow ModuleInfoHeadings;

// "0x0A", "0x10", "0xFF": upper-case hex, at least two digits.
std::string PrefixedHex(unsigned value);

// A module in display order: its place in the scan (from 0) and its table index.
struct ShownModule {
    std::size_t position = 0;
    std::size_t index = 0;
};

// The modules named by ModuleOrder that hold an entry, in display order.
std::vector<ShownModule> ShownModules(const ModuleTables& state);

// Row 0 the headings; rows 1..ModuleCount the modules named by ModuleOrder.
std::vector<ModuleInfoRow> ModuleInfoRows(const ModuleTables& state);

}  // namespace k400
