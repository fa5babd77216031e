#pragma once
// The model code a DeviceNet gateway expects in its module list: the
// catalogue's model number, except for the M27, M29 and Q29 families, whose
// variants the firmware tells apart by a last decimal digit.

#include <cstdint>

namespace k400 {

struct ScannedModule;

std::uint32_t DeviceNetModelCode(const ScannedModule& module);

}  // namespace k400
