#include "gateway/ProfileFinish.h"

#include "gateway/ProgramState.h"
#include "gateway/ConfigImage.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "platform/Messages.h"

namespace k400 {

void ProcessError(ProgramState& state, SerialPort& port)
{
    if (port.isOpen())
        port.close();
    state.GatewayBusy = false;
}

FinishResult RunProfileFinish(ProgramState& state, ConsoleLink& link, bool includeConnectionBlock,
                              const EdsWriter& writeEds)
{
    FinishResult result;
    SerialPort& port = link.port();
    UserInterface& ui = link.ui();

    if (!OpenGatewayPort(port, ui, PortCaller::Finish)) {
        ProcessError(state, port);
        result.outcome = FinishOutcome::PortNotOpened;
        return result;
    }

    if (!WriteConfigurationImage(state, link, includeConnectionBlock)) {
        ui.showMessage(msg::Timeout, msg::NoTitle);
        ui.setStatusText(msg::StatusTimeout);
        ProcessError(state, port);
        result.outcome = FinishOutcome::Timeout;
        return result;
    }

    port.close();
    TextFileResult eds = writeEds ? writeEds() : TextFileResult{};
    if (!eds.ok) {
        // The image is in the gateway, the file is not: say so, and never
        // leave a success text standing.
        result.error = eds.error.empty() ? std::string(msg::EdsNotWritten) : eds.error;
        ui.showMessage(result.error, msg::NoTitle);
        ui.setStatusText("");
        ProcessError(state, port);
        result.outcome = FinishOutcome::EdsFailed;
        return result;
    }

    ui.setStatusText(msg::StatusFinishDone);
    state.GatewayBusy = false;
    result.outcome = FinishOutcome::Done;
    result.edsPath = eds.path.string();
    return result;
}

}  // namespace k400
