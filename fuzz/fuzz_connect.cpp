// The whole connect sequence against a console that answers every command
// line with whatever the fuzzer chose. Whatever it says, the run ends with the
// port closed, the busy flag cleared and an outcome that matches the state.

#include "FuzzSupport.h"
#include "app/Settings.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"

using namespace k400;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    test::FakeClock clock;
    test::RecordingUserInterface ui;
    ui.scanChecksumIndex = data[0] & 1;
    ui.scanBaudIndex = static_cast<std::uint8_t>((data[0] >> 1) & 7);
    fuzz::ReplyPort port(clock);
    port.replies = fuzz::SplitReplies(data + 1, size - 1);
    ConsoleLink link(port, clock, ui);
    link.PaceMs = 0;

    ProgramState state;
    ParameterPanel panel;
    const ConnectOutcome outcome = RunConnectSequence(state, panel, link);

    fuzz::Require(!port.isOpen());
    fuzz::Require(!state.GatewayBusy);
    fuzz::Require(!ui.progressVisible);
    if (outcome == ConnectOutcome::Succeeded) {
        fuzz::Require(state.Connected);
        fuzz::Require(state.ControllerPrompt == "K400E>" || state.ControllerPrompt == "K400B>");
        fuzz::Require(state.ModuleCount <= ModuleTableSize);
        fuzz::Require(state.NodeId >= 1 && state.NodeId <= 127);
        for (const auto& message : ui.messages)
            fuzz::Require(message.title == "Warnning");
    } else {
        fuzz::Require(outcome == ConnectOutcome::Failed);
        fuzz::Require(!state.Connected);
        fuzz::Require(ui.messages.size() == 1 && ui.messages[0].title == "Error");
    }
    return 0;
}
