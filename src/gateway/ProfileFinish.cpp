#include "gateway/ProfileFinish.h"

#include "gateway/ConfigImage.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "gateway/ProgramState.h"
#include "platform/Messages.h"
#include "platform/StopRequest.h"
#include "platform/UserInterface.h"
#include "platform/Windows1252.h"

namespace k400 {

void ProcessError(ProgramState& state, SerialPort& port)
{
    if (port.isOpen())
        port.close();
    state.GatewayBusy = false;
}

std::optional<std::string> EdsInfoProblem(const std::array<std::string, 2>& info)
{
    const char* fields[2] = {msg::DescriptionField, msg::CreatorField};
    for (std::size_t i = 0; i < info.size(); ++i) {
        const auto encoded = ToWindows1252(info[i]);
        if (const auto* bad = std::get_if<UnencodableCharacter>(&encoded))
            return msg::NotInEdsCharacterSet(fields[i], bad->character);
    }
    return std::nullopt;
}

bool CheckEdsInfo(const std::array<std::string, 2>& info, UserInterface& ui)
{
    const auto problem = EdsInfoProblem(info);
    if (problem)
        ui.showMessage(*problem, msg::ErrorTitle);
    return !problem;
}

const char* StoppedMessage(EepromStatus status)
{
    switch (status) {
    case EepromStatus::Unchanged:
        return msg::StoppedUnchanged;
    case EepromStatus::PartlyWritten:
        return msg::StoppedPartlyWritten;
    case EepromStatus::WrittenAndVerified:
        return msg::StoppedWritten;
    }
    return msg::StoppedUnchanged;
}

FinishResult RunProfileFinish(ProgramState& state, ConsoleLink& link, bool includeConnectionBlock,
                              const EdsWriter& writeEds)
{
    FinishResult result;
    SerialPort& port = link.port();
    UserInterface& ui = link.ui();

    // The gateway that was scanned is the one configured.
    if (!state.ConnectedPort.empty() && port.portName() != state.ConnectedPort) {
        port.close();
        port.setPortName(state.ConnectedPort);
    }
    if (!OpenGatewayPort(port, ui, PortCaller::Finish)) {
        ProcessError(state, port);
        result.outcome = FinishOutcome::PortNotOpened;
        return result;
    }

    // A stop request ends the Finish where it is; the message says what the EEPROM holds.
    const auto stopped = [&](EepromStatus status) {
        result.outcome = FinishOutcome::Interrupted;
        result.stopSignal = StopSignal();
        result.error = StoppedMessage(status);
        ui.showMessage(result.error, msg::NoTitle);
        ui.setStatusText("");
        ProcessError(state, port);
        return result;
    };
    const EepromWriteResult written = WriteConfigurationImage(state, link, includeConnectionBlock);
    result.eeprom = written.status;
    result.verifyMs = written.verifyMs;
    if (!written.ok()) {
        switch (written.failure) {
        case EepromWriteFailure::Stopped:
            return stopped(written.status);
        case EepromWriteFailure::Mismatch:
            result.outcome = FinishOutcome::VerifyFailed;
            result.error = written.mismatch;
            ui.setStatusText(msg::StatusVerifyFailed);
            break;
        default:
            result.outcome = FinishOutcome::Timeout;
            result.error = msg::Timeout;
            ui.setStatusText(msg::StatusTimeout);
            break;
        }
        // One box: what failed, and what the gateway is left holding.
        const bool partly = written.status == EepromStatus::PartlyWritten;
        ui.showMessage(partly ? result.error + "\n" + msg::EepromIncomplete : result.error,
                       result.outcome == FinishOutcome::VerifyFailed ? msg::ErrorTitle : msg::NoTitle);
        ProcessError(state, port);
        return result;
    }

    port.close();
    if (StopRequested())
        return stopped(written.status);
    TextFileResult eds = writeEds ? writeEds() : TextFileResult{};
    if (!eds.ok) {
        // The image is in the gateway, the file is not: say both, and never
        // leave a success text standing.
        result.error = (eds.error.empty() ? std::string(msg::EdsNotWritten) : eds.error) + "\n" +
                       msg::EdsMissingAfterEeprom;
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
