// The whole connect sequence against a console that answers every command
// line with whatever the fuzzer chose. Whatever it says, the run ends with the
// port closed, the busy flag cleared, and an outcome that matches the state
// and the last phase the window was told.

#include "FuzzSupport.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewaySettings.h"
#include "platform/Messages.h"

using namespace k400;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    test::FakeClock clock;
    test::RecordingUserInterface ui;
    ui.answer.ChecksumIndex = data[0] & 1;
    ui.answer.BaudIndex = static_cast<std::uint8_t>((data[0] >> 1) & 7);
    fuzz::ReplyPort port(clock);
    port.replies = fuzz::SplitReplies(data + 1, size - 1);
    ConsoleLink link(port, clock, ui, fuzz::Unpaced());

    ProgramState state;
    const ConnectOutcome outcome = RunConnectSequence(state, link);

    fuzz::Require(!port.isOpen());
    fuzz::Require(!state.GatewayBusy);
    fuzz::Require(!ui.progressVisible);
    fuzz::Require(!ui.phases.empty() && ui.phases.front() == ConnectPhase::Started);
    if (outcome == ConnectOutcome::Succeeded) {
        fuzz::Require(ui.phases.back() == ConnectPhase::Succeeded);
        fuzz::Require(state.Connected);
        fuzz::Require(state.ControllerPrompt == "K400E>" || state.ControllerPrompt == "K400B>");
        fuzz::Require(state.ModuleCount <= ModuleTableSize);
        // Whatever the stored image held, the CAN side fits its application.
        const bool canopen = state.ApplicationLayer == CanopenLayer;
        fuzz::Require(state.NodeId >= 1 && state.NodeId <= (canopen ? MaxCanopenNodeId : MaxDeviceNetNodeId));
        fuzz::Require(state.CanBaudIndex < CanBaudListSize(state.ApplicationLayer));
        // Only the stored-image warning, and only once the result is on screen.
        for (const auto& message : ui.messages)
            fuzz::Require(message.title == msg::WarnningTitle && message.phasesBefore == ui.phases.size());
    } else {
        fuzz::Require(outcome == ConnectOutcome::Failed);
        fuzz::Require(!state.Connected);
        fuzz::Require(ui.phases.back() == ConnectPhase::Released);
        fuzz::Require(ui.messages.size() == 1 && ui.messages[0].title == msg::ErrorTitle);
    }
    return 0;
}
