#include "canopen/CanopenConfiguration.h"

#include "canopen/DcfWriter.h"

#include <cmath>
#include <cstdint>

#include "canopen/EdsWriter.h"
#include "canopen/PdoMapping.h"
#include "gateway/ConfigImage.h"
#include "platform/Messages.h"

namespace k400 {

namespace {

constexpr double MaxTimeMs = 65535;
constexpr double MaxLifeFactor = 255;

bool InRange(EnteredNumber value, double max)
{
    return value >= 0 && value <= max;
}

// Values just below a limit (65535.4) round onto it, never past it.
std::uint32_t Nearest(EnteredNumber value)
{
    return static_cast<std::uint32_t>(std::lround(value));
}

}  // namespace

CanopenConfiguration::CanopenConfiguration(ProgramState& state, UserInterface& ui) : state_(state), ui_(ui) {}

BuildResult CanopenConfiguration::Load()
{
    state_.EdsInfoText = {};
    choices_ = CanopenChoices{};
    if (state_.StoredImageValid == 1 && !state_.ApplicationImage.empty()) {
        const double word = state_.ApplicationImage[0];
        state_.ErrorControlFlags = static_cast<std::uint8_t>(HighByte(HighHalf(word)));
        const std::uint32_t time = LowHalf(word) / 256 + LowByte(HighHalf(word)) * 256;
        if (state_.ErrorControlFlags & HeartbeatBit) {
            state_.GuardTime = 0;
            state_.LifeTimeFactor = 0;
            state_.HeartbeatTime = time;
            choices_.Mode = ErrorControlMode::Heartbeat;
            choices_.HeartbeatMs = time;
        } else {
            state_.GuardTime = time;
            state_.LifeTimeFactor = static_cast<std::uint8_t>(LowByte(LowHalf(word)));
            state_.HeartbeatTime = 0;
            choices_.GuardTimeMs = state_.GuardTime;
            choices_.LifeFactor = state_.LifeTimeFactor;
        }
    } else {
        // The times themselves stay: only what the boxes show is reset.
        state_.ErrorControlFlags = 0;
    }
    SelectErrorControl(choices_.Mode);

    mapping_ = BuildCanopenPdoMapping(state_);
    if (!mapping_.ok)
        ui_.showMessage(mapping_.error, msg::ErrorTitle);
    return mapping_;
}

void CanopenConfiguration::SelectErrorControl(ErrorControlMode mode)
{
    choices_.Mode = mode;
    if (mode == ErrorControlMode::Heartbeat)
        state_.ErrorControlFlags |= HeartbeatBit;
    else
        state_.ErrorControlFlags &= static_cast<std::uint8_t>(~HeartbeatBit);
}

bool CheckCanopenChoices(const CanopenChoices& choices, UserInterface& ui)
{
    const auto refuse = [&ui](const char* message) {
        ui.showMessage(message, msg::NoTitle);
        return false;
    };
    if (choices.Mode == ErrorControlMode::Heartbeat)
        return InRange(choices.HeartbeatMs, MaxTimeMs) || refuse(msg::HeartbeatOverflow);
    if (!InRange(choices.GuardTimeMs, MaxTimeMs))
        return refuse(msg::GuardTimeOverflow);
    return InRange(choices.LifeFactor, MaxLifeFactor) || refuse(msg::LifeFactorOverflow);
}

bool CanopenConfiguration::ApplyChoices(const CanopenChoices& choices)
{
    if (!CheckCanopenChoices(choices, ui_))
        return false;
    SelectErrorControl(choices.Mode);
    if (choices.Mode == ErrorControlMode::Heartbeat) {
        state_.HeartbeatTime = Nearest(choices.HeartbeatMs);
    } else {
        state_.GuardTime = Nearest(choices.GuardTimeMs);
        state_.LifeTimeFactor = static_cast<std::uint8_t>(Nearest(choices.LifeFactor));
    }
    choices_ = choices;
    return true;
}

bool CanopenConfiguration::SetEdsInfo(const EdsInfo& info)
{
    if (!CheckEdsInfo(info, ui_))
        return false;
    state_.EdsInfoText = info;
    return true;
}

void PrepareCanopenImage(ProgramState& state, const LocalDateTime& now)
{
    state.EepromBlock = 0;
    PrepareHeaderImage(state, now, 0);
    PrepareApplicationImage(state, CatalogueModelCode);
}

FinishResult CanopenConfiguration::Finish(ConsoleLink& link, const LocalDateTime& now,
                                          const std::filesystem::path& folder)
{
    FinishResult result;
    if (state_.GatewayBusy)
        return result;
    if (!mapping_.ok) {
        // Nothing may reach the gateway for a configuration the PDOs cannot carry.
        result.outcome = FinishOutcome::Refused;
        result.error = mapping_.error.empty() ? std::string(msg::NoPdoMapping) : mapping_.error;
        ui_.showMessage(result.error, msg::ErrorTitle);
        return result;
    }
    if (const auto problem = EdsInfoProblem(state_.EdsInfoText)) {
        result.outcome = FinishOutcome::Refused;
        result.error = *problem;
        ui_.showMessage(result.error, msg::ErrorTitle);
        return result;
    }
    state_.GatewayBusy = true;
    PrepareImage(now);
    state_.StoredImageValid = 1;
    return RunProfileFinish(state_, link, false, [&] { return WriteCanopenFiles(state_, now, folder, writeDcf_); });
}

bool CanopenConfiguration::RequestClose()
{
    if (state_.GatewayBusy) {
        ui_.showMessage(msg::GatewayBusy, msg::NoTitle);
        return false;
    }
    return true;
}

bool CanopenConfiguration::RequestViewer(CanopenViewer viewer)
{
    if (state_.TotalDIBytes == 0 && state_.TotalDOBytes == 0 && state_.TotalAIBytes == 0 && state_.TotalAOBytes == 0) {
        ui_.showMessage(viewer == CanopenViewer::ObjectDictionary ? msg::NoObjectAvailable : msg::NoChannelAvailable,
                        msg::NoTitle);
        return false;
    }
    return true;
}

}  // namespace k400
