// The command line's planned module list ("M38@3,M33@26"), taken on to the
// I/O images and the EDS texts of both profiles: any list either is refused
// with a reason or yields two complete files.

#include <string>

#include "FuzzSupport.h"
#include "app/PlannedModules.h"
#include "canopen/EdsWriter.h"
#include "canopen/PdoMapping.h"
#include "devicenet/AssemblyObjects.h"
#include "devicenet/ConnectionSettings.h"
#include "devicenet/EdsWriter.h"
#include "gateway/ProgramState.h"

using namespace k400;

namespace {

// Every line ends in CR LF and the text ends with one.
bool CrLfLines(const std::string& text)
{
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto modules = ParsePlannedModules(text, error);
    if (!modules) {
        fuzz::Require(!error.empty());
        return 0;
    }
    fuzz::Require(modules->size() <= ModuleTableSize);
    for (std::size_t i = 0; i < modules->size(); ++i) {
        fuzz::Require((*modules)[i].Address >= 1 && (*modules)[i].Address <= 255);
        for (std::size_t j = 0; j < i; ++j)
            fuzz::Require((*modules)[i].Address != (*modules)[j].Address);
    }

    ProgramState state;
    if (!ApplyPlannedModules(state, *modules, error))
        return 0;
    fuzz::Require(state.ModuleCount == modules->size());

    const LocalDateTime now{2008, 1, 24, 13, 45, 10};
    if (BuildCanopenPdoMapping(state))
        fuzz::Require(CrLfLines(CanopenEdsText(state, now)));

    if (BuildDeviceNetObjects(state)) {
        state.NodeId = 63;
        const ConnectionChoices choices;
        fuzz::Require(CrLfLines(DeviceNetEdsText(state, choices, now)));
        const SelectorLists lists = BuildSelectorLists(state);
        fuzz::Require(!lists.Input.empty() && !lists.Output.empty());
    }
    return 0;
}
