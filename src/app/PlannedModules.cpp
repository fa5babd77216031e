#include "app/PlannedModules.h"

#include <charconv>
#include <set>

#include "gateway/ModuleScan.h"
#include "gateway/ProgramState.h"
#include "modules/ModuleInfo.h"
#include "platform/Messages.h"

namespace k400 {

namespace {

std::optional<int> WholeNumber(std::string_view text, int low, int high)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::vector<PlannedModule>> ParsePlannedModules(std::string_view text, std::string& error)
{
    std::vector<PlannedModule> modules;
    std::set<int> addresses;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto comma = std::min(text.find(',', start), text.size());
        const std::string_view item = text.substr(start, comma - start);
        const auto at = item.find('@');
        if (item.empty() || at == std::string_view::npos || at == 0 ||
            item.find('@', at + 1) != std::string_view::npos) {
            error = msg::BadPlannedModule(item);
            return std::nullopt;
        }
        const auto address = WholeNumber(item.substr(at + 1), 1, 255);
        if (!address) {
            error = msg::BadPlannedAddress(item);
            return std::nullopt;
        }
        if (!addresses.insert(*address).second) {
            error = msg::PlannedAddressTwice(*address);
            return std::nullopt;
        }
        if (modules.size() == ModuleTableSize) {
            error = msg::TooManyPlannedModules;
            return std::nullopt;
        }
        modules.push_back({std::string(item.substr(0, at)), *address});
        start = comma + 1;
    }
    return modules;
}

bool ApplyPlannedModules(ProgramState& state, const std::vector<PlannedModule>& modules, std::string& error)
{
    if (modules.size() > ModuleTableSize) {
        error = msg::TooManyPlannedModules;
        return false;
    }
    state.TotalDIBytes = state.TotalDOBytes = state.TotalAIBytes = state.TotalAOBytes = 0;
    for (auto& entry : state.ModuleTable)
        entry = ScannedModule{};
    for (auto& entry : state.TarnInfTable)
        entry = TarnInf{};
    state.CurrentModuleIndex = 0;
    for (const auto& planned : modules) {
        auto& entry = state.ModuleTable[state.CurrentModuleIndex];
        entry.Name = planned.Model;
        entry.Address = std::to_string(planned.Address);
        if (!ModuleChInfo(state, entry.Name)) {
            error = msg::ModuleNotSupportedAt(planned.Model, planned.Address);
            BuildModuleOrder(state);
            return false;
        }
        entry.TypeCodeCount = 1;
        state.TarnInfTable[state.CurrentModuleIndex].TypeCodeCount = 1;
        ++state.CurrentModuleIndex;
    }
    BuildModuleOrder(state);
    return true;
}

}  // namespace k400
