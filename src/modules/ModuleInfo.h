#pragma once
// Classifying a scanned module by the catalogue and reading its configuration
// (type code, baud code, data format) through the gateway's COM2 pass-through.
// All three work on the ModuleTable / TarnInfTable entry at CurrentModuleIndex.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/ProgramState.h"

namespace k400 {

class ConsoleLink;

// Channel counts, byte totals and the TarnInf entry from the catalogue.
// False for a model the catalogue lacks: the entry's Address becomes "" and
// nothing else changes.
bool ModuleChInfo(ProgramState& state, const std::string& moduleName);

// Derives TarnInfTable[account] from ModuleTable[account]. Always true.
bool ModuleCode(ProgramState& state, std::uint8_t account, std::uint8_t ioType);

// "$AA2" (and "$AA90"/"$AA91" for type code 0x3F) with the console in its
// COM2 sub-mode. False when there is no proper reply; fields stored before a
// failing second query keep their new values.
bool ModuleOtherInfo(ProgramState& state, ConsoleLink& link);

// Numeric value of a module's decimal address text; nullopt for "" or any text
// that is not a plain decimal number.
std::optional<int> AddressValue(std::string_view addressText);

// Two upper-case hex digits: 1 gives "01", 26 gives "1A".
std::string TwoDigitHex(unsigned value);

}  // namespace k400
