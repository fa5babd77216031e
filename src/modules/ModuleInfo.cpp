#include "modules/ModuleInfo.h"

#include <charconv>

#include "modules/ModelCatalogue.h"
#include "platform/NumberText.h"

namespace k400 {

std::optional<int> AddressValue(std::string_view addressText)
{
    if (addressText.empty())
        return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(addressText.data(), addressText.data() + addressText.size(), value);
    if (ec != std::errc() || end != addressText.data() + addressText.size())
        return std::nullopt;
    return value;
}

std::string TwoDigitHex(unsigned value)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    if (value >= 256)
        text = TwoDigitHex(value >> 8);
    text += Digits[(value >> 4) & 0xF];
    text += Digits[value & 0xF];
    return text;
}

bool ModuleChInfo(ModuleTables& state, const std::string& moduleName)
{
    const auto index = state.CurrentModuleIndex;
    if (index >= ModuleTableSize)
        return false;
    auto& entry = state.ModuleTable[index];
    const ModelInfo* model = FindModel(moduleName);
    if (!model) {
        entry.Address.clear();
        return false;
    }
    entry.DOChannels = model->DOChannels;
    entry.AOChannels = model->AOChannels;
    entry.DIChannels = model->DIChannels;
    entry.AIChannels = model->AIChannels;
    state.TotalAIBytes = static_cast<std::uint16_t>(state.TotalAIBytes + model->AILength());
    state.TotalAOBytes = static_cast<std::uint16_t>(state.TotalAOBytes + model->AOLength());
    state.TotalDIBytes = static_cast<std::uint16_t>(state.TotalDIBytes + model->DILength());
    state.TotalDOBytes = static_cast<std::uint16_t>(state.TotalDOBytes + model->DOLength());
    return ModuleCode(state, index, model->IOType);
}

bool ModuleCode(ModuleTables& state, std::uint8_t account, std::uint8_t ioType)
{
    if (account >= ModuleTableSize)
        return false;
    const auto& s = state.ModuleTable[account];
    auto& t = state.TarnInfTable[account];
    t.IOType = ioType;
    t.Address = static_cast<std::uint8_t>(AddressValue(s.Address).value_or(0));
    t.Name = s.Name;
    t.AIChannels = s.AIChannels;
    t.AOChannels = s.AOChannels;
    t.DIChannels = s.DIChannels;
    t.DOChannels = s.DOChannels;
    t.AILength = AILengthOf(s.AIChannels);
    t.AOLength = AOLengthOf(s.AOChannels);
    t.DILength = DILengthOf(s.DIChannels);
    t.DOLength = DOLengthOf(s.DOChannels);
    return true;
}

}  // namespace k400
