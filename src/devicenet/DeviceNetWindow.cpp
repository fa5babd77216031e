#include "devicenet/DeviceNetWindow.h"

#include "app/ProgramState.h"
#include "devicenet/AssemblyObjects.h"
#include "devicenet/EdsWriter.h"
#include "devicenet/ModelCode.h"
#include "gateway/ConfigImage.h"
#include "gateway/ConsoleLink.h"
#include "platform/UserInterface.h"

namespace k400 {

DeviceNetWindow::DeviceNetWindow(ProgramState& state, UserInterface& ui) : state_(state), ui_(ui) {}

bool DeviceNetWindow::Load()
{
    open_ = true;
    frame1Enabled_ = true;
    finished_ = false;
    choices_ = {};
    const BuildObjectsResult built = BuildDeviceNetObjects(state_);
    lists_ = BuildSelectorLists(state_);
    if (!built) {
        finishEnabled_ = false;
        ui_.showMessage(built.error, "Error");
        return false;
    }
    finishEnabled_ = true;
    choices_ = RestoreConnectionChoices(state_, lists_, ui_);
    return true;
}

bool DeviceNetWindow::SelectInput(int kind, int listIndex)
{
    if (kind < 0 || kind >= ConnectionKinds || listIndex < 0 || listIndex >= static_cast<int>(lists_.Input.size()))
        return false;
    if (kind == StrobeConnection && !StrobeAccepts(state_, listIndex, lists_.Input[listIndex])) {
        ui_.showMessage(StrobeTooLongMessage, "Error");
        return false;
    }
    choices_.InputSelection[kind] = static_cast<std::int16_t>(listIndex);
    return true;
}

void DeviceNetWindow::SelectOutput(int kind, int listIndex)
{
    if (kind < 0 || kind >= ConnectionKinds || listIndex < 0 || listIndex >= static_cast<int>(lists_.Output.size()))
        return;
    choices_.OutputSelection[kind] = static_cast<std::int16_t>(listIndex);
}

void DeviceNetWindow::SelectDefaultConnection(int option)
{
    if (option >= 0 && option < static_cast<int>(DefaultConnectionNames.size()))
        choices_.DefaultConnection = static_cast<std::uint16_t>(option);
}

void DeviceNetWindow::PrepareImage(const LocalDateTime& now)
{
    state_.EepromBlock = 0;
    state_.ApplicationLayer = 1;
    PrepareHeaderImage(state_, now, DeviceNetConnectionAreaBytes);
    PrepareApplicationImage(state_, [](const ScannedModule& module) { return DeviceNetModelCode(module); });
    const std::array<double, 7> words = PackConnectionImage(state_, lists_, choices_);
    if (state_.ConnectionImage.size() < words.size())
        state_.ConnectionImage.resize(words.size(), 0.0);
    for (std::size_t i = 0; i < words.size(); ++i)
        state_.ConnectionImage[i] = words[i];
}

FinishResult DeviceNetWindow::Finish(ConsoleLink& link, const std::filesystem::path& edsFolder)
{
    state_.EdsInfoText = EdsInfo;
    if (state_.GatewayBusy || !finishEnabled_ || !open_)
        return {};

    frame1Enabled_ = false;
    state_.GatewayBusy = true;
    finishEnabled_ = false;

    const LocalDateTime now = link.clock().localTime();
    PrepareImage(now);
    const ConnectionChoices choices = choices_;
    FinishResult result = RunProfileFinish(state_, link, true, [&] {
        // The file carries the time it is written, after the console dialogue.
        return WriteDeviceNetEds(state_, choices, link.clock().localTime(), edsFolder);
    });
    if (result.done()) {
        finished_ = true;
        finishEnabled_ = true;
        Unload();
    }
    return result;
}

bool DeviceNetWindow::Back()
{
    if (state_.GatewayBusy) {
        ui_.showMessage(FinishRunningMessage, "");
        return false;
    }
    lists_ = {};
    return Unload();
}

bool DeviceNetWindow::Unload()
{
    if (!open_)
        return true;
    if (state_.GatewayBusy) {
        ui_.showMessage(FinishRunningMessage, "");
        return false;
    }
    if (!finished_)
        ui_.showMessage(NotFinishedMessage, "");
    open_ = false;
    return true;
}

}  // namespace k400
