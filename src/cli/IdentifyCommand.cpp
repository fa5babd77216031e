// `k400gw identify`: recognise the controller and read its firmware words, without scanning.

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/GatewaySession.h"
#include "cli/Output.h"
#include "gateway/ConfigImage.h"
#include "gateway/ConnectSequence.h"
#include "gateway/GatewayPort.h"
#include "platform/Messages.h"

namespace k400 {

namespace {

class IdentifyCommand final : public Command {
public:
    std::string_view name() const override { return "identify"; }
    std::string_view summary() const override { return msg::HelpIdentifySummary; }
    std::string_view description() const override { return msg::HelpIdentifyDescription; }

    void define(CLI::App& command) override
    {
        AddSessionOptions(command, session_);
        command.add_flag("--json", json_, msg::HelpJsonResult);
    }

    int run(CommandIo& io) override
    {
        if (const int rc = RequirePort(session_, io, name()))
            return rc;
        const auto session = GatewaySession::Create(session_, ScanParameters{}, io, json_);
        if (!session)
            return ExitFailure;
        SerialPort& port = session->port();
        UserInterface& ui = session->ui();
        ConsoleLink& link = session->link();

        if (!OpenGatewayPort(port, ui, PortCaller::Connect))
            return session->failed(io, json_);
        ui.setStatusText(msg::StatusConnecting);

        const auto fail = [&](const char* message) {
            ui.showMessage(message, msg::ErrorTitle);
            ui.setStatusText(msg::StatusTimeout);
            port.close();
            return session->failed(io, json_);
        };

        ProgramState& state = session->state();
        switch (RecogniseController(state, link)) {
        case ControllerRecognition::Recognised:
            break;
        case ControllerRecognition::NoAnswer:
            return fail(msg::Timeout);
        case ControllerRecognition::Unknown:
            return fail(msg::UnknownController);
        }
        const std::string& prompt = state.ControllerPrompt;
        // Firmware words and the stored header, read as the connect sequence does.
        if (!ReadHeaderBlocks(state, link) || !link.SendAndExpect("exit", prompt))
            return fail(msg::Timeout);
        port.close();

        const std::string controller = prompt.substr(0, prompt.size() - 1);
        if (json_)
            PrintJson(io.out, Json{{"controller", controller}, {"firmware", FirmwareVersionText(state)}});
        else
            io.out << msg::CliControllerLabel << controller << '\n'
                   << msg::CliFirmwareLabel << FirmwareVersionText(state) << '\n';
        return ExitSuccess;
    }

private:
    SessionOptions session_;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeIdentifyCommand()
{
    return std::make_unique<IdentifyCommand>();
}

}  // namespace k400
