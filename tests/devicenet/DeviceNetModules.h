#pragma once
// Puts modules into a program state the way a scan does: name and address,
// then the catalogue's classification, then the configuration reply fields.

#include <string>
#include <vector>

#include "gateway/ProgramState.h"
#include "modules/ModuleInfo.h"

namespace k400::test {

struct ModuleSetup {
    std::string name;  // "": an entry the scan could not use
    int address = 1;
    std::uint8_t typeCode = 0x40, baud = 0x06, dataFormat = 0x00;
    int typeCodeCount = 1;
    std::uint8_t typeCode2 = 0;
};

// Adds the modules from CurrentModuleIndex on, stepping the index.
inline void AddModules(ProgramState& state, const std::vector<ModuleSetup>& setups)
{
    for (const ModuleSetup& setup : setups) {
        const std::uint8_t i = state.CurrentModuleIndex;
        ScannedModule& module = state.ModuleTable[i];
        module.Name = setup.name;
        module.Address = setup.name.empty() ? "" : std::to_string(setup.address);
        const bool known = !setup.name.empty() && ModuleChInfo(state, setup.name);  // works on CurrentModuleIndex
        state.CurrentModuleIndex = static_cast<std::uint8_t>(i + 1);
        if (!known)
            continue;
        TarnInf& object = state.TarnInfTable[i];
        module.TypeCode = object.TypeCode = setup.typeCode;
        module.TypeCode2 = object.TypeCode2 = setup.typeCode2;
        module.TypeCodeCount = object.TypeCodeCount = static_cast<std::uint8_t>(setup.typeCodeCount);
        module.DataFormat = object.DataFormat = setup.dataFormat;
        object.Baud = setup.baud;
    }
}

}  // namespace k400::test
