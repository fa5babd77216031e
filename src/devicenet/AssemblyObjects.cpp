#include "devicenet/AssemblyObjects.h"

#include <array>
#include <cstdio>

#include "gateway/ProgramState.h"
#include "modules/ByteLabels.h"
#include "modules/ModelCatalogue.h"
#include "modules/ModuleInfo.h"
#include "platform/NumberText.h"

namespace k400 {

namespace {

std::string TwoDigits(int n)
{
    return FormatInt("%02d", n);
}

std::string BitRange(int byteNumber, int channels)
{
    const int first = 8 * (byteNumber - 1);
    int last = 8 * byteNumber - 1;
    if (last > channels - 1)
        last = channels - 1;
    return TwoDigits(first) + "~" + TwoDigits(last);
}

bool Usable(const ScannedModule& module)
{
    return !module.Address.empty();
}

// Appends labels to one assembly record; refuses to pass the label table.
class AssemblyFiller {
public:
    AssemblyFiller(AssemblyObject& record, std::uint8_t kind) : record_(record), kind_(kind) {}

    bool add(const std::string& label)
    {
        ++needed_;
        if (position_ >= AssemblyMappingSize)
            return false;
        record_.Mapping[position_++] = label;
        record_.DataLength = static_cast<std::uint8_t>(position_);
        record_.DataKind = kind_;
        return true;
    }
    bool filled() const { return position_ > 0; }
    bool overflowed() const { return needed_ > AssemblyMappingSize; }
    std::size_t needed() const { return needed_; }

private:
    AssemblyObject& record_;
    std::uint8_t kind_;
    std::size_t position_ = 0;
    std::size_t needed_ = 0;
};

enum class Side { Output, Input };

// Fills the digital record, then the analog one (the next record when the
// digital one holds data); returns the index of the last record in use.
BuildResult FillSide(ProgramState& state, Side side, std::uint8_t& last)
{
    AssemblyTable& table = side == Side::Output ? state.OutputAssemblies : state.InputAssemblies;
    const char* direction = side == Side::Output ? "output" : "input";

    AssemblyFiller digital(table[0], 0);
    for (const ScannedModule& module : state.ModuleTable) {
        const int channels = side == Side::Output ? module.DOChannels : module.DIChannels;
        if (!Usable(module) || channels == 0)
            continue;
        for (int k = 1; k <= (channels + 7) / 8; ++k)
            digital.add(side == Side::Output ? DeviceNetOutputByteLabel(module, k)
                                             : DeviceNetInputByteLabel(module, k));
    }

    std::size_t analogRecord = digital.filled() ? 1 : 0;
    AssemblyFiller analog(table[analogRecord], 1);
    for (const ScannedModule& module : state.ModuleTable) {
        const int channels = side == Side::Output ? module.AOChannels : module.AIChannels;
        if (!Usable(module) || channels == 0)
            continue;
        for (int c = 1; c <= channels; ++c) {
            const std::string label = DeviceNetAnalogLabel(module, c);
            analog.add(label);
            analog.add(label);
        }
    }

    for (const auto* filler : {&digital, &analog}) {
        if (filler->overflowed()) {
            return {false, std::string("The ") + (filler == &digital ? "digital " : "analog ") + direction +
                               " assembly would need " + std::to_string(filler->needed()) +
                               " bytes; an assembly holds at most " + std::to_string(AssemblyMappingSize) + " bytes."};
        }
    }
    last = analog.filled() ? static_cast<std::uint8_t>(analogRecord) : 0;
    return {};
}

int FilledRecords(const AssemblyTable& table, std::uint8_t last)
{
    int count = 0;
    for (int k = 0; k <= last && table[k].DataLength != 0; ++k)
        ++count;
    return count;
}

}  // namespace

std::string DeviceNetOutputByteLabel(const ScannedModule& module, int byteNumber)
{
    return module.Name + ":" + BitRange(byteNumber, module.DOChannels);
}

std::string DeviceNetInputByteLabel(const ScannedModule& module, int byteNumber)
{
    return DigitalByteLabel(module, module.DIChannels, byteNumber);
}

std::string DeviceNetAnalogLabel(const ScannedModule& module, int channel)
{
    if (!IsCounterModel(module.Name))
        return AnalogChannelLabel(module, channel);
    const int counter = channel <= 2 ? 1 : channel <= 4 ? 2 : 3;
    return ModuleLabelPrefix(module) + ":" + std::to_string(counter);
}

BuildResult BuildDeviceNetObjects(ProgramState& state)
{
    for (auto* table : {&state.OutputAssemblies, &state.InputAssemblies})
        for (AssemblyObject& record : *table)
            record.clear();
    state.LastOutputAssembly = 0;
    state.LastInputAssembly = 0;

    std::uint8_t lastOutput = 0;
    std::uint8_t lastInput = 0;
    BuildResult result = FillSide(state, Side::Output, lastOutput);
    if (result)
        result = FillSide(state, Side::Input, lastInput);
    if (!result) {
        for (auto* table : {&state.OutputAssemblies, &state.InputAssemblies})
            for (AssemblyObject& record : *table)
                record.clear();
        return result;
    }
    state.LastOutputAssembly = lastOutput;
    state.LastInputAssembly = lastInput;
    return result;
}

int OutputAssemblyCount(const ProgramState& state)
{
    return FilledRecords(state.OutputAssemblies, state.LastOutputAssembly);
}

int InputAssemblyCount(const ProgramState& state)
{
    return FilledRecords(state.InputAssemblies, state.LastInputAssembly);
}

ConnectionPath GetDNSInfo(const ProgramState& state, int listIndex, std::string_view itemText)
{
    auto piece = [&](std::size_t first, std::size_t count) {
        return first - 1 < itemText.size() ? itemText.substr(first - 1, count) : std::string_view();
    };
    const std::string_view kind = piece(11, 2);
    const auto applicationPath = [&](std::uint8_t attribute) {
        return ConnectionPath{ApplicationObjectClass, static_cast<std::uint8_t>(AddressValue(piece(18, 2)).value_or(0)),
                              attribute};
    };
    if (kind == "DO")
        return applicationPath(DigitalOutputAttribute);
    if (kind == "AO")
        return applicationPath(AnalogOutputAttribute);
    if (kind == "DI")
        return applicationPath(DigitalInputAttribute);
    if (kind == "AI")
        return applicationPath(AnalogInputAttribute);
    if (kind != "As")
        return {AssemblyObjectClass, 0, AssemblyDataAttribute};

    int instance = listIndex;
    if (piece(1, 2) == "IN") {
        instance = state.LastOutputAssembly + listIndex;
        if (state.OutputAssemblies[state.LastOutputAssembly].DataLength != 0)
            instance += 1;
    }
    return {AssemblyObjectClass, static_cast<std::uint8_t>(instance), AssemblyDataAttribute};
}

}  // namespace k400
