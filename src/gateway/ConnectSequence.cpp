#include "gateway/ConnectSequence.h"

#include <cstdio>

#include "gateway/ConfigImage.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "gateway/ModuleScan.h"
#include "gateway/NumberText.h"
#include "platform/SerialPort.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

constexpr const char* StoredImageWarning = "Attached modules do not match the configuration stored in EEPROM!";

std::string TwoDigits(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02u", value);
    return text;
}

class ConnectRun {
public:
    ConnectRun(ProgramState& state, ParameterPanel& panel, ConsoleLink& link)
        : state_(state), panel_(panel), link_(link), ui_(link.ui())
    {
    }

    ConnectOutcome run()
    {
        // 1, 2
        if (state_.GatewayBusy)
            return ConnectOutcome::Busy;
        if (!OpenGatewayPort(link_.port(), ui_, PortCaller::Connect)) {
            ReleaseConnection(state_, ui_, link_.port());
            return ConnectOutcome::PortNotOpened;
        }
        prepare();

        // 4 to 6
        switch (RecogniseController(state_, link_)) {
        case ControllerRecognition::Recognised:
            break;
        case ControllerRecognition::NoAnswer:
            return timeout();
        case ControllerRecognition::Unknown:
            return fail(UnknownControllerMessage, "Timeout");
        }

        // 7, 8
        if (!ReadHeaderBlocks(state_, link_))
            return timeout();
        if (!link_.SendAndExpect("exit", state_.ControllerPrompt))
            return timeout();

        // 9
        state_.ScanParametersDone = false;
        ui_.requestScanParameters(state_);
        state_.ScanParametersDone = true;

        // 10
        auto scan = RunScanDialogue(state_, link_);
        if (scan == ScanOutcome::Done)
            scan = ParseScanListing(state_, link_, link_.ReplyText);
        if (scan != ScanOutcome::Done) {
            const auto texts = ScanFailureTexts(scan);
            return fail(texts.message, texts.status);
        }
        ui_.setProgress(6);

        // 11, 12
        if (!link_.SendAndExpect("/q", state_.ControllerPrompt) ||
            !link_.SendAndExpect("/q", state_.ControllerPrompt))
            return timeout();
        BuildModuleOrder(state_);

        // 13, 14
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

        // 15, 16
        link_.port().close();
        ui_.setProgress(9);
        show();
        return ConnectOutcome::Succeeded;
    }

private:
    void prepare()
    {
        ResetMainView(panel_);
        ui_.setStatusText("Connecting");
        panel_.ComButton[0].Pressed = false;
        panel_.ComButton[0].BackColour = ToggleLightGrey;

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
        state_.SelectedSide = 3;
        state_.Connected = false;
        state_.StoredImageValid = 0;
        ui_.connectPhase(ConnectPhase::Started, state_);

        ui_.setProgress(0);
        ui_.showProgress(true);
        for (auto& entry : state_.ModuleTable)
            entry.Address.clear();
        ui_.setProgress(1);
    }

    void show()
    {
        const auto picture = static_cast<std::size_t>(ControllerPictureIndex(state_));
        panel_.ImageK400Visible[picture] = true;
        for (std::size_t i = 0; i < 2; ++i) {
            panel_.ComImageVisible[i] = true;
            panel_.ComButton[i].Visible = true;
            panel_.ComButton[i].Pressed = false;
            panel_.MousePointVisible[i] = true;
        }
        panel_.ModulesImageVisible = true;
        panel_.CANNodeId = std::to_string(state_.NodeId);
        ui_.setStatusText("Waiting for configuration");
        ApplicationOptionHandler(panel_, state_.ApplicationLayer == 0 ? 0 : 1);
        panel_.ComCaptionVisible = {true, true};
        // The image check refuses a baud index beyond the application's list,
        // so this selection always exists.
        panel_.CANBaudrateIndex =
            state_.CanBaudIndex < panel_.CANBaudrate.size() ? static_cast<int>(state_.CanBaudIndex) : 0;

        state_.Connected = true;
        state_.GatewayBusy = false;
        ui_.setProgress(10);
        ui_.showProgress(false);
        // The result is on screen before the warning box asks for attention.
        ui_.connectPhase(ConnectPhase::Succeeded, state_);
        if (state_.StoredImageInvalid)
            ui_.showMessage(StoredImageWarning, "Warnning");

        panel_.ComButton[0].Pressed = true;
        SideToggleHandler(state_, panel_, 0);
        ui_.connectPhase(ConnectPhase::SidePressed, state_);
    }

    ConnectOutcome fail(const std::string& message, const std::string& status)
    {
        ui_.showMessage(message, "Error");
        ui_.setStatusText(status);
        ReleaseConnection(state_, ui_, link_.port());
        return ConnectOutcome::Failed;
    }

    ConnectOutcome timeout() { return fail("Timeout", "Timeout"); }

    ProgramState& state_;
    ParameterPanel& panel_;
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

ConnectOutcome RunConnectSequence(ProgramState& state, ParameterPanel& panel, ConsoleLink& link)
{
    return ConnectRun(state, panel, link).run();
}

void ReleaseConnection(ProgramState& state, UserInterface& ui, SerialPort& port)
{
    if (port.isOpen())
        port.close();
    state.GatewayBusy = false;
    ui.showProgress(false);
    ui.connectPhase(ConnectPhase::Released, state);
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
