#include "gateway/GatewaySettings.h"

#include <cmath>

#include "gateway/ProgramState.h"
#include "platform/Messages.h"

namespace k400 {

namespace {

// As entered, before it is rounded to the whole number stored: within whole
// bounds the rounded value then is too (127.4 is refused, not stored as 127).
// Written so that NaN is refused.
bool InRange(EnteredNumber value, long low, long high)
{
    return value >= static_cast<double>(low) && value <= static_cast<double>(high);
}

bool Refuse(UserInterface& ui, const std::string& message)
{
    ui.showMessage(message, msg::ErrorTitle);
    return false;
}

}  // namespace

int CanBaudListSize(std::uint8_t applicationLayer)
{
    return applicationLayer == CanopenLayer ? static_cast<int>(CanopenBaudKbps.size())
                                            : static_cast<int>(DeviceNetBaudKbps.size());
}

std::optional<int> CanBaudKbps(std::uint8_t applicationLayer, int index)
{
    if (index < 0 || index >= CanBaudListSize(applicationLayer))
        return std::nullopt;
    const auto i = static_cast<std::size_t>(index);
    return applicationLayer == CanopenLayer ? CanopenBaudKbps[i] : DeviceNetBaudKbps[i];
}

std::optional<std::uint8_t> CanBaudIndexOf(std::uint8_t applicationLayer, int kbps)
{
    for (int i = 0; i < CanBaudListSize(applicationLayer); ++i)
        if (CanBaudKbps(applicationLayer, i) == kbps)
            return static_cast<std::uint8_t>(i);
    return std::nullopt;
}

std::optional<std::uint8_t> BaudIndexOf(int bps)
{
    for (std::size_t i = 0; i < BaudRateTable.size(); ++i)
        if (BaudRateTable[i] == std::to_string(bps))
            return static_cast<std::uint8_t>(i);
    return std::nullopt;
}

int BaudRateBps(std::uint8_t index)
{
    return index < BaudRateTable.size() ? std::stoi(BaudRateTable[index]) : 0;
}

CanSettings StoredCanSettings(const ProgramState& state)
{
    return {state.ApplicationLayer == CanopenLayer ? CanopenLayer : DeviceNetLayer, double(state.NodeId),
            state.CanBaudIndex};
}

Com2Settings StoredCom2Settings(const ProgramState& state)
{
    return {state.Com2BaudIndex, state.Com2Checksum != 0, double(state.Com2Timeout)};
}

ScanParameters StoredScanParameters(const ProgramState& state)
{
    return {state.ScanBaudIndex, state.ScanChecksumIndex, double(state.ScanTimeoutMs)};
}

bool CheckCanSettings(const CanSettings& settings, UserInterface& ui)
{
    const bool canopen = settings.Application == CanopenLayer;
    if (!InRange(settings.NodeId, 1, canopen ? MaxCanopenNodeId : MaxDeviceNetNodeId))
        return Refuse(ui, canopen ? msg::CanopenNodeIdOutOfRange : msg::DeviceNetNodeIdOutOfRange);
    if (settings.CanBaudIndex >= CanBaudListSize(settings.Application))
        return Refuse(
            ui, msg::CanBaudIndexNotInList(settings.CanBaudIndex, canopen ? msg::CanopenName : msg::DeviceNetName));
    return true;
}

bool ApplyCanSettings(ProgramState& state, const CanSettings& settings, UserInterface& ui)
{
    if (!CheckCanSettings(settings, ui))
        return false;
    state.ApplicationLayer = settings.Application == CanopenLayer ? CanopenLayer : DeviceNetLayer;
    state.CanBaudIndex = settings.CanBaudIndex;
    state.NodeId = static_cast<std::uint8_t>(std::lround(settings.NodeId));
    ui.setStatusText(msg::StatusSettingOk);
    return true;
}

bool CheckCom2Settings(const Com2Settings& settings, UserInterface& ui)
{
    if (!InRange(settings.TimeoutMs, 1, 32767))
        return Refuse(ui, msg::TimeoutOutOfRange);
    if (settings.BaudIndex >= BaudRateTable.size())
        return Refuse(ui, msg::BaudIndexNotInList(settings.BaudIndex));
    return true;
}

bool ApplyCom2Settings(ProgramState& state, const Com2Settings& settings, UserInterface& ui)
{
    if (!CheckCom2Settings(settings, ui))
        return false;
    state.Com2Checksum = settings.Checksum ? 1 : 0;
    state.Com2BaudIndex = settings.BaudIndex;
    state.Com2Timeout = static_cast<std::int16_t>(std::lround(settings.TimeoutMs));
    ui.setStatusText(msg::StatusSettingOk);
    return true;
}

bool CheckScanParameters(const ScanParameters& parameters, UserInterface& ui)
{
    // The scan dialog's time-out is judged as the COM2 time-out is.
    if (!InRange(parameters.TimeoutMs, 1, 32767))
        return Refuse(ui, msg::TimeoutOutOfRange);
    if (parameters.BaudIndex >= BaudRateTable.size())
        return Refuse(ui, msg::BaudIndexNotInList(parameters.BaudIndex));
    return true;
}

bool ApplyScanParameters(ProgramState& state, const ScanParameters& parameters, UserInterface& ui)
{
    if (!CheckScanParameters(parameters, ui))
        return false;
    state.ScanBaudIndex = parameters.BaudIndex;
    state.ScanChecksumIndex = parameters.ChecksumIndex != 0 ? 1 : 0;
    state.ScanTimeoutMs = static_cast<std::int16_t>(std::lround(parameters.TimeoutMs));
    state.ScanParametersDone = true;
    return true;
}

void RepairCanSettings(ProgramState& state)
{
    const int maxNode = state.ApplicationLayer == CanopenLayer ? MaxCanopenNodeId : MaxDeviceNetNodeId;
    if (state.NodeId < 1 || state.NodeId > maxNode)
        state.NodeId = 1;
    if (state.CanBaudIndex >= CanBaudListSize(state.ApplicationLayer))
        state.CanBaudIndex = 0;
}

}  // namespace k400
