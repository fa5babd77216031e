#pragma once
// The modules found by the scan, as the module record, the DeviceNet
// application object and the byte totals the profiles are built from.

#include <array>
#include <cstdint>

#include "modules/ScannedModule.h"

namespace k400 {

struct ModuleTables {
    // Modules found by the scan
    std::array<ScannedModule, ModuleTableSize> ModuleTable;
    std::array<TarnInf, ModuleTableSize> TarnInfTable;
    std::uint8_t CurrentModuleIndex = 0;
    // Byte totals. Widened from 8 bits: fifteen large analog modules pass 255,
    // which the image's 16-bit halves carry; the profile builders refuse what
    // their layouts cannot hold.
    std::uint16_t TotalDIBytes = 0;
    std::uint16_t TotalDOBytes = 0;
    std::uint16_t TotalAIBytes = 0;
    std::uint16_t TotalAOBytes = 0;
    std::array<std::uint8_t, ModuleTableSize> ModuleOrder{};
    std::uint8_t ModuleCount = 0;
};

}  // namespace k400
