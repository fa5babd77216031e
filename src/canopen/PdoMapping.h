#pragma once
// The CANopen I/O image: the modules' channels laid onto 32 receive PDOs
// (outputs) and 32 transmit PDOs (inputs), one label per PDO data byte.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gateway/ProfileFinish.h"
#include "modules/AssemblyObject.h"
#include "modules/ScannedModule.h"

namespace k400 {

struct ProgramState;

inline constexpr int PdoDataBytes = 8;

// Clears both tables, then fills the receive table from the outputs and the
// transmit table from the inputs; sets LastOutputAssembly, LastInputAssembly,
// AOOverflowPdo and AIOverflowPdo. A configuration whose channels need a PDO
// beyond the 32 of a table is refused and leaves both tables cleared.
BuildResult BuildCanopenPdoMapping(ProgramState& state);

enum class PdoDirection { Receive, Transmit };

// A label that stands for no data: padding or never written.
bool IsEmptyPdoLabel(const std::string& label);

// Objects a PDO maps: labelled entries before the first empty one, halved
// for an analog PDO whose objects take two entries each.
int MappedObjectCount(const AssemblyObject& pdo);

// Whether PDO k carries digital objects, given the direction's overflow PDO.
bool IsDigitalPdo(int k, int overflowPdo);

// The mapping entries (index << 16 | sub-index << 8 | bit length) of every
// PDO of a direction, with the running digital and analog sub-indexes.
std::array<std::vector<std::uint32_t>, AssemblyTableSize> PdoMappingEntries(const ProgramState& state,
                                                                            PdoDirection direction);
}  // namespace k400
