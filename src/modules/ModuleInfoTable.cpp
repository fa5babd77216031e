#include "modules/ModuleInfoTable.h"

#include <cstdio>

#include "modules/ModelCatalogue.h"
#include "modules/ModuleInfo.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace k400 {

const ModuleInfoRow ModuleInfoHeadings = [] {
    ModuleInfoRow row;
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = msg::ModuleInfoHeadings[i];
    return row;
}();

namespace {

std::string Hex(unsigned value)
{
    return FormatInt("%X", static_cast<int>(value));
}

}  // namespace

std::string PrefixedHex(unsigned value)
{
    return (value < 16 ? "0x0" : "0x") + Hex(value);
}

std::vector<ShownModule> ShownModules(const ModuleTables& state)
{
    std::vector<ShownModule> shown;
    const std::size_t count = state.ModuleCount < ModuleTableSize ? state.ModuleCount : ModuleTableSize;
    for (std::size_t r = 0; r < count; ++r) {
        const std::size_t index = state.ModuleOrder[r];
        if (index < ModuleTableSize && !state.ModuleTable[index].Address.empty())
            shown.push_back({r, index});
    }
    return shown;
}

std::vector<ModuleInfoRow> ModuleInfoRows(const ModuleTables& state)
{
    std::vector<ModuleInfoRow> rows;
    rows.push_back(ModuleInfoHeadings);
    for (const auto [position, index] : ShownModules(state)) {
        const auto& m = state.ModuleTable[index];
        ModuleInfoRow row;
        row[0] = std::to_string(position + 1);
        row[1] = PrefixedHex(static_cast<unsigned>(AddressValue(m.Address).value_or(0)));
        row[2] = m.Name;
        row[3] = m.TypeCodeCount == 1 ? PrefixedHex(m.TypeCode)
                                      : "Ch0:" + Hex(m.TypeCode) + "--" + "Ch1:" + Hex(m.TypeCode2);
        row[4] = PrefixedHex(m.DataFormat);
        row[5] = std::to_string(m.DOChannels);
        row[6] = std::to_string(m.AOChannels);
        row[7] = std::to_string(m.DIChannels);
        row[8] = std::to_string(IsCounterModel(m.Name) ? m.AIChannels / 2 : m.AIChannels);
        rows.push_back(row);
    }
    return rows;
}

}  // namespace k400
