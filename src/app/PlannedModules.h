#pragma once
// Modules planned without a gateway: "M38@3,M33@26" typed on the command
// line or listed in a plan, laid into the module tables as a scan listing
// them in that order would.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k400 {

struct ProgramState;

// One module of a planned list: model name and address.
struct PlannedModule {
    std::string Model;
    int Address = 0;

    bool operator==(const PlannedModule&) const = default;
};

// "M38@3,M33@26": nothing and an error text for bad syntax, an address
// outside 1..255, a duplicate address or more than 15 modules.
std::optional<std::vector<PlannedModule>> ParsePlannedModules(std::string_view text, std::string& error);

// Fills the module tables as a scan listing the modules in this order would,
// with type codes, baud and data format 0. False, with the model and its
// address named in error, for a model the catalogue lacks.
bool ApplyPlannedModules(ProgramState& state, const std::vector<PlannedModule>& modules, std::string& error);

}  // namespace k400
