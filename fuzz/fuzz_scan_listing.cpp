// The scan listing parser: any listing text, with the modules answering their
// configuration queries from the rest of the input (then properly).

#include "FuzzSupport.h"
#include "gateway/ConsoleLink.h"
#include "gateway/ModuleScan.h"
#include "modules/ModelCatalogue.h"
#include "modules/ModuleInfo.h"

using namespace k400;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool checksum = (data[0] & 1) != 0;
    auto parts = fuzz::SplitReplies(data + 1, size - 1);

    test::FakeClock clock;
    test::RecordingUserInterface ui;
    fuzz::ReplyPort port(clock);
    port.open();
    port.replies.assign(parts.begin() + 1, parts.end());
    for (int i = 0; i < 3 * static_cast<int>(ModuleTableSize) + 3; ++i)
        port.replies.push_back("!0140060F\r\n[COM2:]");
    ConsoleLink link(port, clock, ui, fuzz::Unpaced());

    ProgramState state;
    state.ScanChecksumIndex = checksum ? 1 : 0;
    for (auto& entry : state.ModuleTable)
        entry.Address.clear();

    const ScanOutcome outcome = ParseScanListing(state, link, parts[0]);
    fuzz::Require(ui.messages.empty());  // the caller shows the messages, never the parser
    for (const std::string& line : port.lines) {
        // Only module queries go out: "$", two hex digits, then 2, 90 or 91.
        fuzz::Require(line.size() >= 4 && line[0] == '$');
        const std::string tail = line.substr(3);
        fuzz::Require(tail == "2" || tail == "90" || tail == "91");
    }
    if (outcome != ScanOutcome::Done)
        return 0;

    fuzz::Require(state.CurrentModuleIndex <= ModuleTableSize);
    for (std::size_t i = 0; i < state.CurrentModuleIndex; ++i) {
        const auto address = AddressValue(state.ModuleTable[i].Address);
        fuzz::Require(address && *address >= 1 && *address <= 255);
        fuzz::Require(FindModel(state.ModuleTable[i].Name) != nullptr);
        const auto count = state.ModuleTable[i].TypeCodeCount;
        fuzz::Require(count == 1 || count == 2);
    }
    BuildModuleOrder(state);
    fuzz::Require(state.ModuleCount == state.CurrentModuleIndex);
    return 0;
}
