#include "gateway/ConnectSequence.h"

#include <cstdio>

#include "gateway/ConfigImage.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "gateway/GatewaySettings.h"
#include "gateway/ModuleScan.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "platform/SerialPort.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

std::string TwoDigits(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02u", value);
    return text;
}

class ConnectRun {
public:
    ConnectRun(ProgramState& state, ConsoleLink& link) : state_(state), link_(link), ui_(link.ui()) {}

    ConnectOutcome run()
    {
        if (state_.GatewayBusy)
            return ConnectOutcome::Busy;
        if (!OpenGatewayPort(link_.port(), ui_, PortCaller::Connect)) {
            ReleaseConnection(state_, ui_, link_.port());
            return ConnectOutcome::PortNotOpened;
        }
        prepare();

        switch (RecogniseController(state_, link_)) {
        case ControllerRecognition::Recognised:
            break;
        case ControllerRecognition::NoAnswer:
            return timeout();
        case ControllerRecognition::Unknown:
            return fail(msg::UnknownController, msg::StatusTimeout);
        }

        if (!ReadHeaderBlocks(state_, link_))
            return timeout();
        if (!link_.SendAndExpect("exit", state_.ControllerPrompt))
            return timeout();

        askScanParameters();

        auto scan = RunScanDialogue(state_, link_);
        if (scan == ScanOutcome::Done)
            scan = ParseScanListing(state_, link_, link_.ReplyText);
        if (scan != ScanOutcome::Done) {
            const auto texts = ScanFailureTexts(scan);
            return fail(texts.message, texts.status);
        }
        ui_.setProgress(6);

        // Out of the COM2 sub-mode and the TARN pass-through below it.
        if (!link_.SendAndExpect("/q", state_.ControllerPrompt) || !link_.SendAndExpect("/q", state_.ControllerPrompt))
            return timeout();
        BuildModuleOrder(state_);

        // The stored image counts only when it describes the modules just found.
        CheckHeaderImage(state_, ui_);
        ui_.setProgress(8);
        if (state_.StoredImageInvalid) {
            ApplyImageDefaults(state_);
        } else {
            if (!ReadApplicationBlock(state_, link_))
                return timeout();
            if (!link_.SendAndExpect("exit", state_.ControllerPrompt))
                return timeout();
            state_.StoredImageValid = 1;
        }

        state_.ConnectedPort = link_.port().portName();
        link_.port().close();
        ui_.setProgress(9);
        show();
        return ConnectOutcome::Succeeded;
    }

private:
    void prepare()
    {
        ui_.setStatusText(msg::StatusConnecting);
        state_.GatewayBusy = true;
        state_.StoredImageInvalid = false;
        state_.EepromBlock = 0;
        state_.LastOutputAssembly = 0;
        state_.LastInputAssembly = 0;
        state_.TotalDOBytes = 0;
        state_.TotalAIBytes = 0;
        state_.TotalAOBytes = 0;
        state_.TotalDIBytes = 0;
        state_.ModuleCount = 0;
        state_.Connected = false;
        state_.StoredImageValid = 0;
        ui_.connectPhase(ConnectPhase::Started);

        ui_.setProgress(0);
        ui_.showProgress(true);
        for (auto& entry : state_.ModuleTable)
            entry.Address.clear();
        ui_.setProgress(1);
    }

    // The dialog is asked until it gives values the checks accept; a window
    // checks them itself before it closes, so that is once.
    void askScanParameters()
    {
        state_.ScanParametersDone = false;
        do {
            const ScanParameters chosen = ui_.requestScanParameters(StoredScanParameters(state_));
            ApplyScanParameters(state_, chosen, ui_);
        } while (!state_.ScanParametersDone);
    }

    void show()
    {
        RepairCanSettings(state_);
        ui_.setStatusText(msg::StatusWaiting);
        state_.Connected = true;
        state_.GatewayBusy = false;
        ui_.setProgress(10);
        ui_.showProgress(false);
        // The result is on screen before the warning box asks for attention.
        ui_.connectPhase(ConnectPhase::Succeeded);
        if (state_.StoredImageInvalid)
            ui_.showMessage(msg::StoredImageMismatch, msg::WarnningTitle);
    }

    ConnectOutcome fail(const std::string& message, const std::string& status)
    {
        ui_.showMessage(message, msg::ErrorTitle);
        ui_.setStatusText(status);
        ReleaseConnection(state_, ui_, link_.port());
        return ConnectOutcome::Failed;
    }

    ConnectOutcome timeout() { return fail(msg::Timeout, msg::StatusTimeout); }

    ProgramState& state_;
    ConsoleLink& link_;
    UserInterface& ui_;
};

}  // namespace

ControllerRecognition RecogniseController(ProgramState& state, ConsoleLink& link)
{
    // Back to the top level from whatever mode the console is in.
    link.SendIgnored("", ">");
    link.SendIgnored("", ">");
    link.SendIgnored("", ">");
    link.SendIgnored("/q", ">");
    link.SendIgnored(".", "[EEPROM:]");

    if (!link.SendAndExpect("exit", ">"))
        return ControllerRecognition::NoAnswer;
    const std::string prompt(TrimBlanks(link.ReplyText));
    if (prompt.find("K400E") != std::string::npos)
        state.ControllerPrompt = "K400E>";
    else if (prompt.find("K400B") != std::string::npos)
        state.ControllerPrompt = "K400B>";
    else
        return ControllerRecognition::Unknown;
    return ControllerRecognition::Recognised;
}

ConnectOutcome RunConnectSequence(ProgramState& state, ConsoleLink& link)
{
    return ConnectRun(state, link).run();
}

void ReleaseConnection(ProgramState& state, UserInterface& ui, SerialPort& port)
{
    if (port.isOpen())
        port.close();
    state.GatewayBusy = false;
    ui.showProgress(false);
    ui.connectPhase(ConnectPhase::Released);
}

std::string FirmwareVersionText(const ProgramState& state)
{
    return std::to_string(state.FirmwareVersion.Major) + "." + TwoDigits(state.FirmwareVersion.Minor) + "-" +
           std::to_string(state.FirmwareDate.Year) + "/" + TwoDigits(state.FirmwareDate.Month) + "/" +
           TwoDigits(state.FirmwareDate.Day);
}

int ControllerPictureIndex(const ProgramState& state)
{
    return state.ControllerPrompt == "K400B>" ? 1 : 0;
}

}  // namespace k400
