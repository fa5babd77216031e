#pragma once
// The cell texts of the PDO viewer and the object dictionary viewer: row 0
// is the header row, column 0 the header column.

#include <string>
#include <vector>

#include "canopen/PdoMapping.h"

namespace k400 {

struct ProgramState;

using TableRows = std::vector<std::vector<std::string>>;

// Receive (tab 1) or transmit (tab 2) PDOs 0 to the last index in use.
TableRows PdoTableRows(const ProgramState& state, PdoDirection direction);

// Objects 0x2000 to 0x2003, one sub-index per module.
TableRows ManufacturerObjectRows(const ProgramState& state);

// Objects 0x6000 to 0x6444, one row per sub-index up to MaxSub.
TableRows StandardizedObjectRows(const ProgramState& state);

// The largest sub-index count of the standardized objects.
int MaxSubIndexCount(const ProgramState& state);

}  // namespace k400
