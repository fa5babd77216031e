// `k400gw scan`: the whole connect sequence with the scan parameters given as
// options, then what the main window and the module information viewer show.

#include <ostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/GatewaySession.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "gateway/ConnectSequence.h"
#include "gateway/GatewaySettings.h"
#include "modules/ModuleInfo.h"
#include "modules/ModuleInfoTable.h"
#include "platform/Messages.h"

namespace k400 {

namespace {

std::string ControllerName(const ProgramState& state)
{
    std::string name = state.ControllerPrompt;
    if (!name.empty() && name.back() == '>')
        name.pop_back();
    return name;
}

std::string ApplicationName(const ProgramState& state)
{
    return state.ApplicationLayer == CanopenLayer ? msg::CanopenName : msg::DeviceNetName;
}

std::string CanBaudText(const ProgramState& state)
{
    if (const auto kbps = CanBaudKbps(state.ApplicationLayer, state.CanBaudIndex))
        return std::to_string(*kbps) + msg::FactKbps;
    return msg::FactIndex + std::to_string(state.CanBaudIndex);
}

std::string Com2BaudText(const ProgramState& state)
{
    if (state.Com2BaudIndex < BaudRateTable.size())
        return BaudRateTable[state.Com2BaudIndex] + msg::FactBps;
    return msg::FactIndex + std::to_string(state.Com2BaudIndex);
}

void PrintText(std::ostream& out, const ProgramState& state)
{
    out << msg::CliControllerLabel << ControllerName(state) << '\n'
        << msg::CliFirmwareVersionLabel << FirmwareVersionText(state) << '\n'
        << msg::CliStoredImageLabel << (state.StoredImageInvalid ? msg::FactInvalid : msg::FactValid) << '\n'
        << msg::CliApplicationLabel << ApplicationName(state) << '\n'
        << msg::CliNodeIdLabel << static_cast<int>(state.NodeId) << '\n'
        << msg::CliCanBaudLabel << CanBaudText(state) << '\n'
        << msg::CliCom2BaudLabel << Com2BaudText(state) << '\n'
        << msg::CliCom2ChecksumLabel << (state.Com2Checksum != 0 ? msg::FactOn : msg::FactOff) << '\n'
        << msg::CliCom2TimeoutLabel << state.Com2Timeout << msg::FactMs << '\n';
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : ModuleInfoRows(state))
        rows.emplace_back(row.begin(), row.end());
    out << '\n';
    PrintTable(out, msg::CliModulesTitle(state.ModuleCount), rows);
}

Json ScanJson(const ProgramState& state)
{
    Json json;
    json["controller"] = ControllerName(state);
    json["firmware"] = FirmwareVersionText(state);
    json["stored_image"] = state.StoredImageInvalid ? "invalid" : "valid";
    Json& settings = json["settings"];
    settings["application"] = ApplicationName(state);
    settings["node_id"] = state.NodeId;
    settings["can_baud_index"] = state.CanBaudIndex;
    settings["can_baud_kbps"] = CanBaudKbps(state.ApplicationLayer, state.CanBaudIndex).value_or(0);
    settings["com2_baud_index"] = state.Com2BaudIndex;
    settings["com2_baud_bps"] = BaudRateBps(state.Com2BaudIndex);
    settings["com2_checksum"] = state.Com2Checksum;
    settings["com2_timeout"] = state.Com2Timeout;
    json["totals"] = {
        {"di", state.TotalDIBytes}, {"do", state.TotalDOBytes}, {"ai", state.TotalAIBytes}, {"ao", state.TotalAOBytes}};
    Json modules = Json::array();
    for (const ShownModule& shown : ShownModules(state)) {
        const auto& m = state.ModuleTable[shown.index];
        const auto& t = state.TarnInfTable[shown.index];
        modules.push_back({{"index", shown.index},
                           {"address", AddressValue(m.Address).value_or(0)},
                           {"name", m.Name},
                           {"io_type", t.IOType},
                           {"type_code", m.TypeCode},
                           {"type_code2", m.TypeCode2},
                           {"type_code_count", m.TypeCodeCount},
                           {"baud", t.Baud},
                           {"data_format", m.DataFormat},
                           {"do", m.DOChannels},
                           {"ao", m.AOChannels},
                           {"di", m.DIChannels},
                           {"ai", m.AIChannels}});
    }
    json["modules"] = modules;
    return json;
}

class ScanCommand final : public Command {
public:
    std::string_view name() const override { return "scan"; }
    std::string_view summary() const override { return msg::HelpScanSummary; }
    std::string_view description() const override { return msg::HelpScanDescription; }

    void define(CLI::App& command) override
    {
        AddSessionOptions(command, session_);
        AddScanOptions(command, scan_);
        command.add_flag("--json", json_, msg::HelpJsonResult);
    }

    int run(CommandIo& io) override
    {
        if (const int rc = RequirePort(session_, io, name()))
            return rc;
        const auto session = GatewaySession::Create(session_, scan_.parameters(), io, json_);
        if (!session)
            return ExitFailure;
        ProgramState& state = session->state();
        if (RunConnectSequence(state, session->link()) != ConnectOutcome::Succeeded)
            return session->failed(io, json_);
        if (json_)
            PrintJson(io.out, ScanJson(state));
        else
            PrintText(io.out, state);
        return ExitSuccess;
    }

private:
    SessionOptions session_;
    ScanOptions scan_;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeScanCommand()
{
    return std::make_unique<ScanCommand>();
}

}  // namespace k400
