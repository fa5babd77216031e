#include "gateway/ModuleScan.h"
#include "gateway/ModuleQuery.h"

#include <optional>

#include "gateway/ConsoleLink.h"
#include "gateway/GatewaySettings.h"
#include "modules/ModuleInfo.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

constexpr std::string_view Com2Prompt = "[COM2:]";
// Highest module address the scan searches.
constexpr int ScanEndAddress = 15;

std::optional<unsigned> HexPair(std::string_view text)
{
    if (text.size() != 2)
        return std::nullopt;
    const auto value = HexDigitsValue(text);
    return value ? std::optional<unsigned>(static_cast<unsigned>(*value)) : std::nullopt;
}

}  // namespace

ScanFailureText ScanFailureTexts(ScanOutcome outcome)
{
    switch (outcome) {
    case ScanOutcome::Done:
        return {};
    case ScanOutcome::Timeout:
        return {msg::Timeout, msg::StatusTimeout};
    case ScanOutcome::NotConfigured:
        return {msg::ModuleNotConfigured, msg::StatusScanStopped};
    case ScanOutcome::NotSupported:
        return {msg::ModuleNotSupported, msg::StatusTimeout};
    case ScanOutcome::TooManyModules:
        return {msg::TooManyModules, msg::StatusScanStopped};
    case ScanOutcome::BadAddress:
        return {msg::BadModuleAddress, msg::StatusScanStopped};
    }
    return {msg::Timeout, msg::StatusTimeout};
}

ScanOutcome RunScanDialogue(ProgramState& state, ConsoleLink& link)
{
    UserInterface& ui = link.ui();
    if (!link.SendAndExpect("use com2", Com2Prompt))
        return ScanOutcome::Timeout;
    ui.setStatusText(msg::StatusScanning);
    if (state.ScanChecksumIndex == 1 && !link.SendAndExpect("/s1", Com2Prompt))
        return ScanOutcome::Timeout;
    link.SendAndExpect("", "]");
    // The console echoes the value it took; that echo is the marker.
    const std::string timeout = std::to_string(state.ScanTimeoutMs);
    if (!link.SendAndExpect("/timeout " + timeout, timeout))
        return ScanOutcome::Timeout;
    link.SendAndExpect("", "]");
    if (!link.SendAndExpect("", Com2Prompt))
        return ScanOutcome::Timeout;
    link.SendAndExpect("", "]");
    const std::string& baud = BaudRateTable[state.ScanBaudIndex < BaudRateTable.size() ? state.ScanBaudIndex : 3];
    if (!link.SendAndExpect("/baud " + baud, baud))
        return ScanOutcome::Timeout;
    if (!link.SendAndExpect("/start 0", Com2Prompt))
        return ScanOutcome::Timeout;
    if (!link.SendAndExpect("/end " + std::to_string(ScanEndAddress), Com2Prompt))
        return ScanOutcome::Timeout;
    ui.setProgress(3);
    if (!link.ScanAndWait("2"))
        return ScanOutcome::Timeout;
    ui.setProgress(5);
    return ScanOutcome::Done;
}

ScanOutcome ParseScanListing(ProgramState& state, ConsoleLink& link, std::string listing)
{
    state.CurrentModuleIndex = 0;
    std::string_view s = listing;
    for (;;) {
        const auto bang = s.find('!');
        if (bang == std::string_view::npos)
            return ScanOutcome::Done;
        const auto brace = s.find('{');
        if (brace == std::string_view::npos || brace <= bang)
            return ScanOutcome::Done;
        if (state.CurrentModuleIndex >= ModuleTableSize)
            return ScanOutcome::TooManyModules;

        auto& entry = state.ModuleTable[state.CurrentModuleIndex];
        const auto address = HexPair(s.substr(bang + 1, 2));
        if (!address || bang + 3 > brace)
            return ScanOutcome::BadAddress;
        entry.Address = std::to_string(*address);
        if (*address == 0)
            return ScanOutcome::NotConfigured;

        // Name, then two checksum characters when the scan used them, then
        // an optional "D", then "{".
        auto length = static_cast<long>(brace) - static_cast<long>(bang) - 3;
        if (s[brace - 1] == 'D')
            length -= 1;
        if (state.ScanChecksumIndex == 1)
            length -= 2;
        entry.Name = length > 0 ? std::string(s.substr(bang + 3, static_cast<std::size_t>(length))) : std::string();

        if (!ModuleChInfo(state, entry.Name))
            return ScanOutcome::NotSupported;
        if (!ModuleOtherInfo(state, link))
            return ScanOutcome::NotSupported;

        s = s.substr(brace + 1);
        if (state.CurrentModuleIndex < 255)
            ++state.CurrentModuleIndex;
    }
}

void BuildModuleOrder(ProgramState& state)
{
    state.ModuleCount = 0;
    for (std::size_t i = 0; i < ModuleTableSize; ++i) {
        if (!state.ModuleTable[i].Address.empty())
            state.ModuleOrder[state.ModuleCount++] = static_cast<std::uint8_t>(i);
    }
}

}  // namespace k400
