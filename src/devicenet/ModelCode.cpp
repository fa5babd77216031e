#include "devicenet/ModelCode.h"

#include <array>
#include <string_view>

#include "modules/ModelCatalogue.h"
#include "modules/ScannedModule.h"

namespace k400 {

namespace {

struct FamilyCode {
    std::string_view Name;
    std::string_view Base;  // whose model number is scaled
    std::uint32_t Variant;  // last decimal digit
};

// Q29W belongs to the family too, but the gateway cannot poll it, so it
// never reaches the image.
constexpr std::array<FamilyCode, 11> FamilyCodes = {{
    {"M27", "M27", 0},
    {"M27P", "M27", 1},
    {"M29", "M29", 0},
    {"M29P", "M29", 0},
    {"M29R", "M29", 0},
    {"M29BL", "M29", 0},
    {"M29Z", "M29", 1},
    {"Q29", "Q29", 0},
    {"Q29W", "Q29", 0},
    {"Q29R", "Q29", 0},
    {"Q29Z", "Q29", 1},
}};

std::uint32_t ModelNumberOf(std::string_view name)
{
    const ModelInfo* model = FindModel(name);
    return model ? model->ModelNumber : 0;
}

}  // namespace

std::uint32_t DeviceNetModelCode(const ScannedModule& module)
{
    for (const FamilyCode& family : FamilyCodes)
        if (module.Name == family.Name)
            return ModelNumberOf(family.Base) * 10 + family.Variant;
    return ModelNumberOf(module.Name);
}

}  // namespace k400
