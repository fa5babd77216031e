#include "devicenet/DeviceNetConfiguration.h"

#include "devicenet/AssemblyObjects.h"
#include "devicenet/EdsWriter.h"
#include "devicenet/ModelCode.h"
#include "gateway/ConfigImage.h"
#include "gateway/GatewaySettings.h"
#include "platform/Messages.h"

namespace k400 {

DeviceNetConfiguration::DeviceNetConfiguration(ProgramState& state, UserInterface& ui) : state_(state), ui_(ui) {}

BuildResult DeviceNetConfiguration::Load()
{
    open_ = true;
    finished_ = false;
    choices_ = {};
    objects_ = BuildDeviceNetObjects(state_);
    lists_ = BuildSelectorLists(state_);
    finishEnabled_ = objects_.ok;
    if (!objects_.ok) {
        ui_.showMessage(objects_.error, msg::ErrorTitle);
        return objects_;
    }
    choices_ = RestoreConnectionChoices(state_, lists_, ui_);
    return objects_;
}

bool DeviceNetConfiguration::SelectInput(int kind, int listIndex)
{
    if (kind < 0 || kind >= ConnectionKinds || listIndex < 0 || listIndex >= static_cast<int>(lists_.Input.size()))
        return false;
    if (kind == StrobeConnection &&
        !StrobeAccepts(state_, listIndex, lists_.Input[static_cast<std::size_t>(listIndex)])) {
        ui_.showMessage(msg::StrobeTooLong, msg::ErrorTitle);
        return false;
    }
    choices_.InputSelection[static_cast<std::size_t>(kind)] = static_cast<std::int16_t>(listIndex);
    return true;
}

bool DeviceNetConfiguration::SelectOutput(int kind, int listIndex)
{
    if (kind < 0 || kind >= ConnectionKinds || listIndex < 0 || listIndex >= static_cast<int>(lists_.Output.size()))
        return false;
    choices_.OutputSelection[static_cast<std::size_t>(kind)] = static_cast<std::int16_t>(listIndex);
    return true;
}

bool DeviceNetConfiguration::SelectDefaultConnection(int option)
{
    if (option < 0 || option >= static_cast<int>(msg::DefaultConnectionNames.size()))
        return false;
    choices_.DefaultConnection = static_cast<std::uint16_t>(option);
    return true;
}

bool DeviceNetConfiguration::ApplyChoices(const DeviceNetChoices& choices)
{
    const DeviceNetChoices before = choices_;
    bool ok = SelectDefaultConnection(choices.DefaultConnection);
    for (int k = 0; ok && k < ConnectionKinds; ++k) {
        const auto i = static_cast<std::size_t>(k);
        ok = SelectInput(k, choices.InputSelection[i]) && SelectOutput(k, choices.OutputSelection[i]);
    }
    if (!ok)
        choices_ = before;
    return ok;
}

bool DeviceNetConfiguration::SetEdsInfo(const EdsInfo& info)
{
    if (!CheckEdsInfo(info, ui_))
        return false;
    state_.EdsInfoText = info;
    return true;
}

void DeviceNetConfiguration::PrepareImage(const LocalDateTime& now)
{
    state_.EepromBlock = 0;
    state_.ApplicationLayer = DeviceNetLayer;
    PrepareHeaderImage(state_, now, DeviceNetConnectionAreaBytes);
    PrepareApplicationImage(state_, [](const ScannedModule& module) { return DeviceNetModelCode(module); });
    const std::array<double, 7> words = PackConnectionImage(state_, lists_, choices_);
    if (state_.ConnectionImage.size() < words.size())
        state_.ConnectionImage.resize(words.size(), 0.0);
    for (std::size_t i = 0; i < words.size(); ++i)
        state_.ConnectionImage[i] = words[i];
}

FinishResult DeviceNetConfiguration::Finish(ConsoleLink& link, const LocalDateTime& now,
                                            const std::filesystem::path& folder)
{
    FinishResult result;
    if (state_.GatewayBusy)
        return result;
    if (!finishEnabled_ || !open_) {
        result.outcome = FinishOutcome::Refused;
        result.error = objects_.error;
        return result;
    }
    if (const auto problem = EdsInfoProblem(state_.EdsInfoText)) {
        result.outcome = FinishOutcome::Refused;
        result.error = *problem;
        ui_.showMessage(result.error, msg::ErrorTitle);
        return result;
    }
    state_.GatewayBusy = true;
    finishEnabled_ = false;
    PrepareImage(now);
    result = RunProfileFinish(state_, link, true, [&] { return WriteDeviceNetEds(state_, choices_, now, folder); });
    if (result.done()) {
        finished_ = true;
        finishEnabled_ = true;
    }
    return result;
}

bool DeviceNetConfiguration::Back()
{
    if (state_.GatewayBusy) {
        ui_.showMessage(msg::GatewayBusy, msg::NoTitle);
        return false;
    }
    lists_ = {};
    return RequestClose();
}

bool DeviceNetConfiguration::RequestClose()
{
    if (!open_)
        return true;
    if (state_.GatewayBusy) {
        ui_.showMessage(msg::GatewayBusy, msg::NoTitle);
        return false;
    }
    if (!finished_)
        ui_.showMessage(msg::NotFinished, msg::NoTitle);
    open_ = false;
    return true;
}

}  // namespace k400
