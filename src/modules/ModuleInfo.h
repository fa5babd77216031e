#pragma once
// Classifying a scanned module by the catalogue. Both work on the
// ModuleTable / TarnInfTable entry at CurrentModuleIndex.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "modules/ModuleTables.h"

namespace k400 {

// Channel counts, byte totals and the TarnInf entry from the catalogue.
// False for a model the catalogue lacks: the entry's Address becomes "" and
// nothing else changes.
bool ModuleChInfo(ModuleTables& state, const std::string& moduleName);

// Derives TarnInfTable[account] from ModuleTable[account]. Always true.
bool ModuleCode(ModuleTables& state, std::uint8_t account, std::uint8_t ioType);

// Numeric value of a module's decimal address text; nullopt for "" or any text
// that is not a plain decimal number.
std::optional<int> AddressValue(std::string_view addressText);

// Two upper-case hex digits: 1 gives "01", 26 gives "1A".
std::string TwoDigitHex(unsigned value);

}  // namespace k400
