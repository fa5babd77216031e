// `k400gw identify`: recognise the controller and read its firmware words, without scanning.

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/GatewaySession.h"
#include "gateway/ConfigImage.h"
#include "gateway/ConnectSequence.h"
#include "gateway/GatewayPort.h"
#include "gateway/NumberText.h"

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

    const auto timeout = [&] {
        ui.showMessage("Timeout", "Error");
        ui.setStatusText("Timeout");
        port.close();
        return ExitFailure;
    };

    // Whatever mode the console was left in, these bring it back to the top;
    // each may go unanswered.
    for (int i = 0; i < 3; ++i)
        link.SendAndExpect("", ">");
    link.SendAndExpect("/q", ">");
    link.SendAndExpect(".", "[EEPROM:]");
    if (!link.SendAndExpect("exit", ">"))
        return timeout();

    const std::string_view banner = TrimBlanks(link.ReplyText);
    std::string prompt;
    if (banner.find("K400E") != std::string_view::npos) {
        prompt = "K400E>";
    } else if (banner.find("K400B") != std::string_view::npos) {
        prompt = "K400B>";
    } else {
        ui.showMessage("This modules is not K400B/E!", "Error");
        ui.setStatusText("Timeout");
        port.close();
        return ExitFailure;
    }

    ProgramState& state = session->state();
    state.ControllerPrompt = prompt;
    // Firmware words and the stored header, read as the connect sequence does.
    if (!ReadHeaderBlocks(state, link) || !link.SendAndExpect("exit", prompt))
        return timeout();
    port.close();

    io.out << "Controller: " << prompt.substr(0, prompt.size() - 1) << '\n'
           << "Firmware: " << FirmwareVersionText(state) << '\n';
    return ExitSuccess;
}

}  // namespace k400
