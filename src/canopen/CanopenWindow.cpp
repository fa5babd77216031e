#include "canopen/CanopenWindow.h"

#include <cmath>
#include <cstdint>

#include "app/ProgramState.h"
#include "canopen/EdsWriter.h"
#include "gateway/ConfigImage.h"
#include "gateway/ConsoleLink.h"
#include "gateway/NumberText.h"
#include "platform/Clock.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

constexpr std::uint8_t HeartbeatBit = 0x04;
constexpr double MaxTimeMs = 65535;
constexpr double MaxLifeFactor = 255;

bool InRange(double value, double max)
{
    return value >= 0 && value <= max;
}

std::uint32_t Nearest(double value)
{
    return static_cast<std::uint32_t>(std::lround(value));
}

CanopenFinishStatus FromShared(FinishOutcome outcome)
{
    switch (outcome) {
    case FinishOutcome::Done: return CanopenFinishStatus::Done;
    case FinishOutcome::Busy: return CanopenFinishStatus::Busy;
    case FinishOutcome::PortNotOpened: return CanopenFinishStatus::PortNotOpened;
    case FinishOutcome::Timeout: return CanopenFinishStatus::Timeout;
    case FinishOutcome::EdsFailed: return CanopenFinishStatus::EdsFailed;
    }
    return CanopenFinishStatus::Refused;
}

}  // namespace

CanopenWindow::CanopenWindow(ProgramState& state, UserInterface& ui) : state_(state), ui_(ui) {}

PdoBuildResult CanopenWindow::Load()
{
    view_ = CanopenWindowView{};
    state_.EdsInfoText = {};

    ErrorControlOption option = ErrorControlOption::NodeGuarding;
    if (state_.StoredImageValid == 1 && !state_.ApplicationImage.empty()) {
        const double word = state_.ApplicationImage[0];
        state_.ErrorControlFlags = static_cast<std::uint8_t>(HighByte(HighHalf(word)));
        const std::uint32_t time = LowHalf(word) / 256 + LowByte(HighHalf(word)) * 256;
        if (state_.ErrorControlFlags & HeartbeatBit) {
            state_.GuardTime = 0;
            state_.LifeTimeFactor = 0;
            state_.HeartbeatTime = time;
            view_.GuardTimeText = "0";
            view_.LifeFactorText = "0";
            view_.HeartbeatText = std::to_string(time);
            option = ErrorControlOption::Heartbeat;
        } else {
            state_.GuardTime = time;
            state_.LifeTimeFactor = static_cast<std::uint8_t>(LowByte(LowHalf(word)));
            state_.HeartbeatTime = 0;
            view_.GuardTimeText = std::to_string(state_.GuardTime);
            view_.LifeFactorText = std::to_string(state_.LifeTimeFactor);
            view_.HeartbeatText = "0";
        }
    } else {
        state_.ErrorControlFlags = 0;
        view_.GuardTimeText = "0";
        view_.LifeFactorText = "0";
        view_.HeartbeatText = "0";
    }
    SelectErrorControl(option);

    mapping_ = BuildCanopenPdoMapping(state_);
    if (!mapping_.ok)
        ui_.showMessage(mapping_.error, "Error");
    return mapping_;
}

void CanopenWindow::SelectErrorControl(ErrorControlOption option)
{
    view_.Option = option;
    const bool heartbeat = option == ErrorControlOption::Heartbeat;
    view_.NodeGuardingFrameVisible = !heartbeat;
    view_.HeartbeatFrameVisible = heartbeat;
    if (heartbeat)
        state_.ErrorControlFlags |= HeartbeatBit;
    else
        state_.ErrorControlFlags &= static_cast<std::uint8_t>(~HeartbeatBit);
}

bool CanopenWindow::TakeErrorControl()
{
    if (state_.ErrorControlFlags & HeartbeatBit) {
        const double heartbeat = NumericValue(view_.HeartbeatText);
        if (!InRange(heartbeat, MaxTimeMs)) {
            ui_.showMessage("Consumer Heartbeat Time is overflow", "");
            return false;
        }
        state_.HeartbeatTime = Nearest(heartbeat);
        return true;
    }
    const double guard = NumericValue(view_.GuardTimeText);
    if (!InRange(guard, MaxTimeMs)) {
        ui_.showMessage("Guard Time is overflow", "");
        return false;
    }
    const double factor = NumericValue(view_.LifeFactorText);
    if (!InRange(factor, MaxLifeFactor)) {
        ui_.showMessage("Life factor is overflow", "");
        return false;
    }
    // Values just below a limit (65535.4) round onto it, never past it.
    state_.GuardTime = Nearest(guard);
    state_.LifeTimeFactor = static_cast<std::uint8_t>(Nearest(factor));
    return true;
}

CanopenFinishResult CanopenWindow::Finish(ConsoleLink& link, Clock& clock, const std::filesystem::path& edsFolder)
{
    CanopenFinishResult result;
    if (!TakeErrorControl()) {
        result.status = CanopenFinishStatus::Refused;
        return result;
    }
    state_.EdsInfoText = view_.EdsInfo;
    if (state_.GatewayBusy) {
        result.status = CanopenFinishStatus::Busy;
        return result;
    }
    if (!mapping_.ok) {
        // Nothing may reach the gateway for a configuration the PDOs cannot carry.
        result.status = CanopenFinishStatus::Refused;
        result.message = mapping_.error.empty() ? std::string("No PDO mapping has been built") : mapping_.error;
        ui_.showMessage(result.message, "Error");
        return result;
    }
    if (closeViewers)
        closeViewers();

    view_.Frame1Enabled = false;
    state_.GatewayBusy = true;
    state_.EepromBlock = 0;

    PrepareHeaderImage(state_, clock.localTime(), 0);
    PrepareApplicationImage(state_, CatalogueModelCode);
    state_.StoredImageValid = 1;

    FinishResult shared = RunProfileFinish(state_, link, false, [&] {
        return WriteCanopenEds(state_, clock, edsFolder);
    });
    result.status = FromShared(shared.outcome);
    result.edsPath = shared.edsPath;
    result.message = shared.error;
    if (shared.done())
        RequestClose();
    return result;
}

bool CanopenWindow::RequestClose()
{
    if (state_.GatewayBusy) {
        ui_.showMessage("Module is connecting now!", "");
        return false;
    }
    view_.Closed = true;
    return true;
}

bool CanopenWindow::RequestViewer(CanopenViewer viewer)
{
    if (state_.TotalDIBytes == 0 && state_.TotalDOBytes == 0 && state_.TotalAIBytes == 0 &&
        state_.TotalAOBytes == 0) {
        ui_.showMessage(viewer == CanopenViewer::ObjectDictionary ? "No object is available!"
                                                                  : "No channel is available!",
                        "");
        return false;
    }
    return true;
}

}  // namespace k400
