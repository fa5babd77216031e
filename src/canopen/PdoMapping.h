#pragma once
// The CANopen I/O image: the modules' channels laid onto 32 receive PDOs
// (outputs) and 32 transmit PDOs (inputs), one label per PDO data byte.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "modules/AssemblyObject.h"
#include "modules/ScannedModule.h"

namespace k400 {

struct ProgramState;

inline constexpr int PdoDataBytes = 8;

struct PdoBuildResult {
    bool ok = true;
    std::string error;  // why the configuration cannot be mapped

    explicit operator bool() const { return ok; }
};

// Clears both tables, then fills the receive table from the outputs and the
// transmit table from the inputs; sets LastOutputAssembly, LastInputAssembly,
// AOOverflowPdo and AIOverflowPdo. A configuration whose channels need a PDO
// beyond the 32 of a table is refused and leaves both tables cleared.
PdoBuildResult BuildCanopenPdoMapping(ProgramState& state);

enum class PdoDirection { Receive, Transmit };

// "0x" + hex address + "-" + name, the source part of every label.
std::string ModuleLabelPrefix(const ScannedModule& module);
// Digital byte b (1-based) of a module with that many digital channels of
// the direction: 0x3-M38:08~12.
std::string DigitalByteLabel(const ScannedModule& module, int channels, int byteNumber);
// Analog channel c (0-based) of a module: 0x1A-M28:0.
std::string AnalogChannelLabel(const ScannedModule& module, int channel);

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

// The numeric value of a module's address text, rounded; 0 when it has none.
unsigned ModuleAddressValue(const std::string& address);

}  // namespace k400
