#include "canopen/PdoMapping.h"

#include <cmath>
#include <cstdio>

#include "gateway/ProgramState.h"
#include "modules/ByteLabels.h"
#include "platform/NumberText.h"

namespace k400 {

namespace {

constexpr int LastPdoIndex = static_cast<int>(AssemblyTableSize) - 1;

bool Usable(const ScannedModule& module)
{
    return !module.Address.empty();
}

struct SideInputs {
    std::uint8_t ScannedModule::*digital;
    std::uint8_t ScannedModule::*analog;
    AssemblyTable* table;
    std::uint16_t* overflowPdo;
    std::uint8_t* lastIndex;
    const char* pdoKind;      // for the refusal message
    const char* channelKind;  // for the refusal message
};

void Pad(AssemblyObject& pdo, int fromEntry)
{
    for (int e = fromEntry; e < PdoDataBytes; ++e)
        pdo.Mapping[static_cast<std::size_t>(e)] = EmptyMappingLabel;
}

// One direction of the build. False when a PDO beyond the table would be needed.
bool BuildSide(const ProgramState& state, const SideInputs& side)
{
    AssemblyTable& table = *side.table;
    int p = 0;
    int e = 0;

    for (const auto& module : state.ModuleTable) {
        if (!Usable(module) || module.*side.digital == 0)
            continue;
        int bytes = (module.*side.digital + 7) / 8;
        for (int b = 1; b <= bytes; ++b) {
            if (p > LastPdoIndex)
                return false;
            auto& pdo = table[static_cast<std::size_t>(p)];
            pdo.Mapping[static_cast<std::size_t>(e)] = DigitalByteLabel(module, module.*side.digital, b);
            pdo.DataKind = 0;
            if (++e > PdoDataBytes - 1) {
                e = 0;
                if (++p == 1)
                    p = 4;
            }
        }
    }

    int overflow = (p == 0) ? 4 : p + 1;
    *side.overflowPdo = static_cast<std::uint16_t>(overflow);
    if (e != 0)
        Pad(table[static_cast<std::size_t>(p)], e);

    p = 1;
    e = 0;
    for (const auto& module : state.ModuleTable) {
        if (!Usable(module) || module.*side.analog == 0)
            continue;
        for (int c = 0; c < module.*side.analog; ++c) {
            if (p > LastPdoIndex)
                return false;
            auto& pdo = table[static_cast<std::size_t>(p)];
            std::string label = AnalogChannelLabel(module, c);
            pdo.Mapping[static_cast<std::size_t>(e)] = label;
            pdo.Mapping[static_cast<std::size_t>(e + 1)] = std::move(label);
            pdo.DataKind = 1;
            e += 2;
            if (e > PdoDataBytes - 1) {
                e = 0;
                if (++p == 4)
                    p = overflow;
            }
        }
    }

    int last = 0;
    if (e != 0 && p >= 4) {
        Pad(table[static_cast<std::size_t>(p)], e);
        last = p;
    } else if (e != 0) {
        Pad(table[static_cast<std::size_t>(p)], e);
        for (int k = p + 1; k <= 3; ++k)
            Pad(table[static_cast<std::size_t>(k)], 0);
        last = (overflow == 4) ? 3 : overflow - 1;
    } else if (p >= 4) {
        last = p - 1;
    } else {
        for (int k = p; k <= 3; ++k)
            Pad(table[static_cast<std::size_t>(k)], 0);
        last = 3;
    }
    // Digital data ending exactly at PDO 31 with the analog PDOs 1 to 3 full
    // would count the unused PDO after it.
    if (last > LastPdoIndex)
        return false;
    *side.lastIndex = static_cast<std::uint8_t>(last);
    return true;
}

void ClearTables(ProgramState& state)
{
    for (auto& pdo : state.OutputAssemblies)
        pdo.clear();
    for (auto& pdo : state.InputAssemblies)
        pdo.clear();
}

}  // namespace

bool IsEmptyPdoLabel(const std::string& label)
{
    return label.empty() || label == EmptyMappingLabel;
}

int MappedObjectCount(const AssemblyObject& pdo)
{
    int count = 0;
    while (count < PdoDataBytes && !IsEmptyPdoLabel(pdo.Mapping[static_cast<std::size_t>(count)]))
        ++count;
    return pdo.DataKind == 1 ? count / 2 : count;
}

bool IsDigitalPdo(int k, int overflowPdo)
{
    return k == 0 || (k >= 4 && k < overflowPdo);
}

std::array<std::vector<std::uint32_t>, AssemblyTableSize> PdoMappingEntries(const ProgramState& state,
                                                                            PdoDirection direction)
{
    bool receive = direction == PdoDirection::Receive;
    const AssemblyTable& table = receive ? state.OutputAssemblies : state.InputAssemblies;
    int overflow = receive ? state.AOOverflowPdo : state.AIOverflowPdo;
    std::uint32_t digitalObject = receive ? 0x6200 : 0x6000;
    std::uint32_t analogObject = receive ? 0x6411 : 0x6401;

    std::array<std::vector<std::uint32_t>, AssemblyTableSize> entries;
    std::uint32_t digitalSub = 1;
    std::uint32_t analogSub = 1;
    for (std::size_t k = 0; k < AssemblyTableSize; ++k) {
        int count = MappedObjectCount(table[k]);
        bool digital = IsDigitalPdo(static_cast<int>(k), overflow);
        for (int i = 0; i < count; ++i) {
            if (digital)
                entries[k].push_back((digitalObject << 16) | ((digitalSub++ & 0xFF) << 8) | 8);
            else
                entries[k].push_back((analogObject << 16) | ((analogSub++ & 0xFF) << 8) | 16);
        }
    }
    return entries;
}

BuildResult BuildCanopenPdoMapping(ProgramState& state)
{
    // Labels left by an earlier build (of either profile) would otherwise be
    // read as mapped data.
    ClearTables(state);
    state.AOOverflowPdo = 0;
    state.AIOverflowPdo = 0;

    SideInputs receive{&ScannedModule::DOChannels,
                       &ScannedModule::AOChannels,
                       &state.OutputAssemblies,
                       &state.AOOverflowPdo,
                       &state.LastOutputAssembly,
                       "receive",
                       "output"};
    SideInputs transmit{&ScannedModule::DIChannels,
                        &ScannedModule::AIChannels,
                        &state.InputAssemblies,
                        &state.AIOverflowPdo,
                        &state.LastInputAssembly,
                        "transmit",
                        "input"};
    for (const SideInputs* side : {&receive, &transmit}) {
        if (!BuildSide(state, *side)) {
            // Nothing of a refused layout may look mapped, not even the PDO
            // count an earlier build left.
            ClearTables(state);
            state.LastOutputAssembly = 0;
            state.LastInputAssembly = 0;
            BuildResult result;
            result.ok = false;
            result.error = std::string("The ") + side->channelKind + " channels of the modules do not fit into 32 " +
                           side->pdoKind + " PDOs";
            return result;
        }
    }
    return {};
}

}  // namespace k400
