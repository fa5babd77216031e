#include "devicenet/ConnectionSettings.h"

#include <cstdio>

#include "gateway/ProgramState.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

std::string Entry(const char* direction, int number, const std::string& rest)
{
    return direction + FormatInt("%02d", number) + rest;
}

std::string ApplicationEntry(const char* direction, int number, const char* kind, int instance)
{
    return Entry(direction, number, std::string("(") + kind + ",App." + FormatInt("%02d", instance) + ")");
}

std::vector<std::string> BuildList(const ProgramState& state, bool output)
{
    const char* direction = output ? "OUTPUT " : "INPUT  ";
    const int assemblies = output ? OutputAssemblyCount(state) : InputAssemblyCount(state);
    std::vector<std::string> list{msg::NoneEntry};
    for (int k = 0; k < assemblies; ++k)
        list.push_back(Entry(direction, k + 1, "(Assembly)"));
    if (assemblies == 0)
        return list;
    for (const ApplicationData& data : ApplicationDataObjects(state, output)) {
        const char* kind = output ? (data.analog ? "AO" : "DO") : (data.analog ? "AI" : "DI");
        list.push_back(ApplicationEntry(direction, static_cast<int>(list.size()), kind, data.slot + 1));
    }
    return list;
}

}  // namespace

int ScannedSlots(const ProgramState& state)
{
    return state.CurrentModuleIndex < ModuleTableSize ? state.CurrentModuleIndex : ModuleTableSize;
}

std::vector<ApplicationData> ApplicationDataObjects(const ProgramState& state, bool output)
{
    std::vector<ApplicationData> objects;
    for (bool analog : {false, true}) {
        for (int i = 0; i < ScannedSlots(state); ++i) {
            if (state.ModuleTable[i].Address.empty())
                continue;
            const TarnInf& object = state.TarnInfTable[i];
            const int length = output ? (analog ? object.AOLength : object.DOLength)
                                      : (analog ? object.AILength : object.DILength);
            if (length != 0)
                objects.push_back({i, analog, length});
        }
    }
    return objects;
}

SelectorLists BuildSelectorLists(const ProgramState& state)
{
    return {BuildList(state, false), BuildList(state, true)};
}

int InputEntryLength(const ProgramState& state, int listIndex, const std::string& itemText)
{
    const ConnectionPath path = GetDNSInfo(state, listIndex, itemText);
    if (path.Instance == 0)
        return 0;
    if (path.Class == AssemblyObjectClass) {
        if (listIndex < 1 || listIndex > static_cast<int>(AssemblyTableSize))
            return 0;
        return state.InputAssemblies[listIndex - 1].DataLength;
    }
    if (path.Class == ApplicationObjectClass && path.Instance <= ModuleTableSize) {
        const TarnInf& object = state.TarnInfTable[path.Instance - 1];
        if (path.Attribute == DigitalInputAttribute)
            return object.DILength;
        if (path.Attribute == AnalogInputAttribute)
            return object.AILength;
    }
    return 0;
}

bool StrobeAccepts(const ProgramState& state, int listIndex, const std::string& itemText)
{
    return InputEntryLength(state, listIndex, itemText) <= StrobeDataLimit;
}

ConnectionChoices RestoreConnectionChoices(ProgramState& state, const SelectorLists& lists, UserInterface& ui)
{
    const auto word = [&](std::size_t i) { return i < state.ConnectionImage.size() ? state.ConnectionImage[i] : 0.0; };
    const auto topByte = [&](std::size_t i) { return static_cast<long long>(word(i) / 16777216.0); };

    if (static_cast<long long>(word(0) / 65536.0) > 3)
        state.StoredImageInvalid = true;

    ConnectionChoices choices;
    if (state.StoredImageInvalid) {
        ui.showMessage(msg::NewDeviceNetSetting, msg::NoTitle);
        return choices;
    }
    const long long lastInput = static_cast<long long>(lists.Input.size()) - 1;
    const long long lastOutput = static_cast<long long>(lists.Output.size()) - 1;
    // A stored assembly entry that the list leaves out because that assembly
    // holds no data now: the connection has nothing to carry, so it reads as
    // "None" rather than as a damaged image.
    const auto emptyAssembly = [&](std::size_t i, long long stored, int assemblies) {
        const auto cls = static_cast<long long>(word(i) / 65536.0) % 256;
        return cls == AssemblyObjectClass && stored > assemblies;
    };
    bool fits = true;
    for (int k = 0; k < ConnectionKinds; ++k) {
        long long stored = topByte(static_cast<std::size_t>(k) + 1);
        if (stored > lastInput && emptyAssembly(static_cast<std::size_t>(k) + 1, stored, InputAssemblyCount(state)))
            stored = 0;
        fits = fits && stored <= lastInput;
        choices.InputSelection[k] = static_cast<std::int16_t>(stored);
    }
    long long storedOutput = topByte(4);
    if (storedOutput > lastOutput && emptyAssembly(4, storedOutput, OutputAssemblyCount(state)))
        storedOutput = 0;
    fits = fits && storedOutput <= lastOutput;
    choices.OutputSelection[PollConnection] = static_cast<std::int16_t>(storedOutput);
    if (!fits) {
        ui.showMessage(msg::StoredSelectionError, msg::NoTitle);
        return ConnectionChoices{};
    }
    return choices;
}

double PackConnectionWord(int selection, const ConnectionPath& path)
{
    return selection * 16777216.0 + path.Class * 65536.0 + path.Instance * 256.0 + path.Attribute;
}

std::array<double, 7> PackConnectionImage(const ProgramState& state, const SelectorLists& lists,
                                          const ConnectionChoices& choices)
{
    const auto side = [&](const std::vector<std::string>& list, int selection) {
        // A selection outside the list (which the selectors never make) packs as "None".
        const bool listed = selection >= 0 && selection < static_cast<int>(list.size());
        const std::string text = listed ? list[static_cast<std::size_t>(selection)] : msg::NoneEntry;
        return PackConnectionWord(selection, GetDNSInfo(state, selection, text));
    };
    std::array<double, 7> words{};
    words[0] = choices.DefaultConnection * 65536.0;
    for (int k = 0; k < ConnectionKinds; ++k)
        words[1 + k] = side(lists.Input, choices.InputSelection[k]);
    words[4] = side(lists.Output, choices.OutputSelection[PollConnection]);
    words[5] = side(lists.Output, choices.OutputSelection[StrobeConnection]);
    words[6] = PackConnectionWord(choices.OutputSelection[CosConnection], AcknowledgeHandlerPath);
    return words;
}

}  // namespace k400
