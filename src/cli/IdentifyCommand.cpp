// `k400gw identify`: recognise the controller and read its firmware words, without scanning.

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/GatewaySession.h"
#include "gateway/ConfigImage.h"
#include "gateway/ConnectSequence.h"
#include "gateway/GatewayPort.h"

namespace k400 {

int RunIdentifyCommand(ArgList& args, CommandIo& io)
{
    const auto options = TakeSessionOptions(args, io, "identify", "sim");
    if (!options)
        return ExitUsage;
    if (const int rc = CheckNoLeftover(args, io, "identify"))
        return rc;
    const auto session = GatewaySession::Create(*options, io);
    if (!session)
        return ExitFailure;

    SerialPort& port = session->port();
    TerminalUserInterface& ui = session->ui();
    ConsoleLink& link = session->link();

    if (!OpenGatewayPort(port, ui, PortCaller::Connect))
        return ExitFailure;
    ui.setStatusText("Connecting");

    const auto fail = [&](const char* message) {
        ui.showMessage(message, "Error");
        ui.setStatusText("Timeout");
        port.close();
        return ExitFailure;
    };

    ProgramState& state = session->state();
    switch (RecogniseController(state, link)) {
    case ControllerRecognition::Recognised:
        break;
    case ControllerRecognition::NoAnswer:
        return fail("Timeout");
    case ControllerRecognition::Unknown:
        return fail(UnknownControllerMessage);
    }
    const std::string& prompt = state.ControllerPrompt;
    // Firmware words and the stored header, read as the connect sequence does.
    if (!ReadHeaderBlocks(state, link) || !link.SendAndExpect("exit", prompt))
        return fail("Timeout");
    port.close();

    io.out << "Controller: " << prompt.substr(0, prompt.size() - 1) << '\n'
           << "Firmware: " << FirmwareVersionText(state) << '\n';
    return ExitSuccess;
}

}  // namespace k400
