#include "cli/GatewayOptions.h"

#include <algorithm>
#include <set>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "gateway/ModuleScan.h"
#include "modules/ModuleInfo.h"
#include "platform/UserInterface.h"

namespace k400 {

const char* const ScanOptionsUsage =
    "  --scan-baud BPS       COM2 baud rate of the module scan: 1200, 2400, 4800,\n"
    "                        9600, 19200, 38400, 57600 or 115200 (default 9600)\n"
    "  --scan-checksum off|on  scan with the TARN checksum (default off)\n"
    "  --scan-timeout MS     module reply time-out of the scan, 1..32767 (default 200)\n";

const char* const SettingsOptionsUsage =
    "  --node-id N           CAN node ID (1..127 CANopen, 1..63 DeviceNet)\n"
    "  --can-baud KBPS       CAN baud rate in kbit/s from the application's list\n"
    "                        (CANopen 10 20 50 125 250 500 800 1000; DeviceNet 125 250 500)\n"
    "  --com2-baud BPS       COM2 baud rate, 1200..115200\n"
    "  --com2-checksum on|off  COM2 checksum\n"
    "  --com2-timeout MS     COM2 reply time-out, 1..32767\n"
    "  Settings not given keep what the connect read from the gateway.\n";

const char* const ModulesOptionUsage =
    "  --modules LIST        planned modules in order, MODEL@ADDRESS separated by\n"
    "                        commas, e.g. M38@3,M33@26 (addresses 1..255, at most 15)\n";

namespace {

std::optional<std::uint8_t> BaudIndexOf(std::string_view bps)
{
    for (std::size_t i = 0; i < BaudRateTable.size(); ++i)
        if (BaudRateTable[i] == bps)
            return static_cast<std::uint8_t>(i);
    return std::nullopt;
}

std::optional<std::uint8_t> OnOff(std::string_view text)
{
    if (text == "on")
        return 1;
    if (text == "off")
        return 0;
    return std::nullopt;
}

// The user interface of a connect whose scan dialog is answered by options.
class ScanAnsweringUi final : public UserInterface {
public:
    ScanAnsweringUi(UserInterface& inner, const ScanOptions& scan) : inner_(inner), scan_(scan) {}

    void showMessage(std::string_view text, std::string_view title) override { inner_.showMessage(text, title); }
    bool askYesNo(std::string_view text, std::string_view title) override { return inner_.askYesNo(text, title); }
    void setStatusText(std::string_view text) override { inner_.setStatusText(text); }
    void setProgress(int value) override { inner_.setProgress(value); }
    void showProgress(bool visible) override { inner_.showProgress(visible); }
    void pumpEvents() override { inner_.pumpEvents(); }
    void requestScanParameters(ProgramState& state) override
    {
        state.ScanBaudIndex = scan_.baudIndex;
        state.ScanChecksumIndex = scan_.checksumIndex;
        state.ScanTimeoutMs = scan_.timeoutMs;
        state.ScanParametersDone = true;
    }
    void connectPhase(ConnectPhase phase, const ProgramState& state) override { inner_.connectPhase(phase, state); }

private:
    UserInterface& inner_;
    const ScanOptions& scan_;
};

template <std::size_t N>
std::optional<int> IndexOfKbps(const std::array<int, N>& list, int kbps)
{
    for (std::size_t i = 0; i < N; ++i)
        if (list[i] == kbps)
            return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace

std::optional<ScanOptions> TakeScanOptions(ArgList& args, CommandIo& io, std::string_view command)
{
    ScanOptions scan;
    if (auto baud = args.value("scan-baud")) {
        auto index = BaudIndexOf(*baud);
        if (!index) {
            UsageError(io, command, "--scan-baud must be one of 1200 2400 4800 9600 19200 38400 57600 115200");
            return std::nullopt;
        }
        scan.baudIndex = *index;
    }
    if (auto checksum = args.value("scan-checksum")) {
        auto on = OnOff(*checksum);
        if (!on) {
            UsageError(io, command, "--scan-checksum must be off or on");
            return std::nullopt;
        }
        scan.checksumIndex = *on;
    }
    if (auto timeout = args.value("scan-timeout")) {
        auto ms = ParseIntegerOption(*timeout, 1, 32767);
        if (!ms) {
            UsageError(io, command, "--scan-timeout must be a number of ms from 1 to 32767");
            return std::nullopt;
        }
        scan.timeoutMs = static_cast<std::int16_t>(*ms);
    }
    return scan;
}

std::optional<SettingsOptions> TakeSettingsOptions(ArgList& args, CommandIo& io, std::string_view command)
{
    SettingsOptions settings;
    settings.nodeId = args.value("node-id");
    if (auto kbps = args.value("can-baud")) {
        auto value = ParseIntegerOption(*kbps, 1, 1000);
        if (!value || !IndexOfKbps(CanopenBaudKbps, static_cast<int>(*value))) {
            UsageError(io, command, "--can-baud must be one of 10 20 50 125 250 500 800 1000 (kbit/s)");
            return std::nullopt;
        }
        settings.canBaudKbps = static_cast<int>(*value);
    }
    if (auto bps = args.value("com2-baud")) {
        auto index = BaudIndexOf(*bps);
        if (!index) {
            UsageError(io, command, "--com2-baud must be one of 1200 2400 4800 9600 19200 38400 57600 115200");
            return std::nullopt;
        }
        settings.com2BaudIndex = *index;
    }
    if (auto checksum = args.value("com2-checksum")) {
        auto on = OnOff(*checksum);
        if (!on) {
            UsageError(io, command, "--com2-checksum must be on or off");
            return std::nullopt;
        }
        settings.com2Checksum = *on;
    }
    settings.com2Timeout = args.value("com2-timeout");
    return settings;
}

std::optional<GatewayOptions> TakeGatewayOptions(ArgList& args, CommandIo& io, std::string_view command)
{
    auto scan = TakeScanOptions(args, io, command);
    if (!scan)
        return std::nullopt;
    auto settings = TakeSettingsOptions(args, io, command);
    if (!settings)
        return std::nullopt;
    return GatewayOptions{*scan, *settings};
}

bool ApplySettingsOptions(ProgramState& state, ParameterPanel& panel, UserInterface& ui,
                          const SettingsOptions& settings, std::uint8_t applicationLayer)
{
    if (settings.anyCom2()) {
        if (state.SelectedSide != 1)
            ClickSideToggle(state, panel, 1);
        if (settings.com2BaudIndex)
            panel.CANBaudrateIndex = *settings.com2BaudIndex;
        if (settings.com2Checksum)
            panel.ComChecksumIndex = *settings.com2Checksum;
        if (settings.com2Timeout)
            panel.CANNodeId = *settings.com2Timeout;
        if (!SettingHandler(state, panel, ui))
            return false;
    }
    if (settings.anyCan()) {
        if (state.SelectedSide != 0)
            ClickSideToggle(state, panel, 0);
        const bool deviceNet = applicationLayer != 0;
        // Choosing the option refills the list; the stored index stays if it exists in it.
        const int stored = state.CanBaudIndex;
        ApplicationOptionHandler(panel, deviceNet ? 1 : 0);
        if (stored < static_cast<int>(panel.CANBaudrate.size()))
            panel.CANBaudrateIndex = stored;
        if (settings.canBaudKbps) {
            auto index = deviceNet ? IndexOfKbps(DeviceNetBaudKbps, *settings.canBaudKbps)
                                   : IndexOfKbps(CanopenBaudKbps, *settings.canBaudKbps);
            if (!index) {
                ui.showMessage("CAN baud rate " + std::to_string(*settings.canBaudKbps) +
                                   " kbit/s is not in the DeviceNet list (125, 250, 500)",
                               "Error");
                return false;
            }
            panel.CANBaudrateIndex = *index;
        }
        panel.CANNodeId = settings.nodeId ? *settings.nodeId : std::to_string(state.NodeId);
        if (!SettingHandler(state, panel, ui))
            return false;
    }
    return true;
}

bool ConnectWithGatewayOptions(ProgramState& state, ParameterPanel& panel, ConsoleLink& link,
                               const GatewayOptions& options, std::optional<std::uint8_t> applicationLayer)
{
    ScanAnsweringUi ui(link.ui(), options.scan);
    ConsoleLink scanLink(link.port(), link.clock(), ui);
    scanLink.ConsoleTimeoutMs = link.ConsoleTimeoutMs;
    scanLink.PaceMs = link.PaceMs;
    if (RunConnectSequence(state, panel, scanLink) != ConnectOutcome::Succeeded)
        return false;
    return ApplySettingsOptions(state, panel, link.ui(), options.settings,
                                applicationLayer.value_or(state.ApplicationLayer == 0 ? 0 : 1));
}

std::optional<std::vector<PlannedModule>> ParsePlannedModules(std::string_view text, std::string& error)
{
    std::vector<PlannedModule> modules;
    std::set<int> addresses;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto comma = std::min(text.find(',', start), text.size());
        const std::string_view item = text.substr(start, comma - start);
        const auto at = item.find('@');
        if (item.empty() || at == std::string_view::npos || at == 0 || item.find('@', at + 1) != std::string_view::npos) {
            error = "bad module '" + std::string(item) + "' (expected MODEL@ADDRESS, e.g. M38@3)";
            return std::nullopt;
        }
        const auto address = ParseIntegerOption(item.substr(at + 1), 1, 255);
        if (!address) {
            error = "bad address in '" + std::string(item) + "' (1..255)";
            return std::nullopt;
        }
        if (!addresses.insert(static_cast<int>(*address)).second) {
            error = "address " + std::to_string(*address) + " is given twice";
            return std::nullopt;
        }
        if (modules.size() == ModuleTableSize) {
            error = "more than 15 modules";
            return std::nullopt;
        }
        modules.push_back({std::string(item.substr(0, at)), static_cast<int>(*address)});
        start = comma + 1;
    }
    return modules;
}

std::optional<std::optional<std::vector<PlannedModule>>> TakeModulesOption(ArgList& args, CommandIo& io,
                                                                          std::string_view command)
{
    const auto text = args.value("modules");
    if (!text)
        return std::optional<std::vector<PlannedModule>>{};
    std::string error;
    auto modules = ParsePlannedModules(*text, error);
    if (!modules) {
        UsageError(io, command, "--modules: " + error);
        return std::nullopt;
    }
    return std::optional<std::vector<PlannedModule>>{std::move(*modules)};
}

bool ApplyPlannedModules(ProgramState& state, const std::vector<PlannedModule>& modules, std::string& error)
{
    if (modules.size() > ModuleTableSize) {
        error = "more than 15 modules";
        return false;
    }
    state.TotalDIBytes = state.TotalDOBytes = state.TotalAIBytes = state.TotalAOBytes = 0;
    for (auto& entry : state.ModuleTable)
        entry = ScannedModule{};
    for (auto& entry : state.TarnInfTable)
        entry = TarnInf{};
    state.CurrentModuleIndex = 0;
    for (const auto& planned : modules) {
        auto& entry = state.ModuleTable[state.CurrentModuleIndex];
        entry.Name = planned.model;
        entry.Address = std::to_string(planned.address);
        if (!ModuleChInfo(state, entry.Name)) {
            error = "This modules is not supported!";
            BuildModuleOrder(state);
            return false;
        }
        entry.TypeCodeCount = 1;
        state.TarnInfTable[state.CurrentModuleIndex].TypeCodeCount = 1;
        ++state.CurrentModuleIndex;
    }
    BuildModuleOrder(state);
    return true;
}

}  // namespace k400
