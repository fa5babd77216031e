// `k400gw scan`: the whole connect sequence with the scan parameters given as
// options, then what the main window and the module information viewer show.

#include <ostream>
#include <string>
#include <vector>

#include "app/ProgramState.h"
#include "app/Settings.h"
#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/ConfigureCommon.h"
#include "cli/GatewayOptions.h"
#include "cli/GatewaySession.h"
#include "cli/JsonWriter.h"
#include "gateway/ConnectSequence.h"
#include "modules/ModuleInfo.h"
#include "modules/ModuleInfoTable.h"

namespace k400 {

namespace {

constexpr const char* Command = "scan";
constexpr const char* StoredImageWarning = "Attached modules do not match the configuration stored in EEPROM!";

std::string ControllerName(const ProgramState& state)
{
    std::string name = state.ControllerPrompt;
    if (!name.empty() && name.back() == '>')
        name.pop_back();
    return name;
}

std::string ApplicationName(const ProgramState& state)
{
    return state.ApplicationLayer == 0 ? "CANopen" : "DeviceNet";
}

std::string CanBaudText(const ProgramState& state)
{
    const auto index = state.CanBaudIndex;
    if (state.ApplicationLayer == 0 && index < CanopenBaudKbps.size())
        return std::to_string(CanopenBaudKbps[index]) + " kbit/s";
    if (state.ApplicationLayer != 0 && index < DeviceNetBaudKbps.size())
        return std::to_string(DeviceNetBaudKbps[index]) + " kbit/s";
    return "index " + std::to_string(index);
}

std::string Com2BaudText(const ProgramState& state)
{
    if (state.Com2BaudIndex < BaudRateTable.size())
        return BaudRateTable[state.Com2BaudIndex] + " bps";
    return "index " + std::to_string(state.Com2BaudIndex);
}

void PrintText(std::ostream& out, const ProgramState& state)
{
    out << "Controller: " << ControllerName(state) << '\n'
        << "Firmware version: " << FirmwareVersionText(state) << '\n'
        << "Stored configuration: " << (state.StoredImageInvalid ? "invalid" : "valid") << '\n'
        << "Application layer: " << ApplicationName(state) << '\n'
        << "Node ID: " << static_cast<int>(state.NodeId) << '\n'
        << "CAN baud rate: " << CanBaudText(state) << '\n'
        << "COM2 baud rate: " << Com2BaudText(state) << '\n'
        << "COM2 checksum: " << (state.Com2Checksum != 0 ? "on" : "off") << '\n'
        << "COM2 time-out: " << state.Com2Timeout << " ms\n";
    if (state.StoredImageInvalid)
        out << "Warning: " << StoredImageWarning << '\n';
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : ModuleInfoRows(state))
        rows.emplace_back(row.begin(), row.end());
    out << '\n';
    PrintTable(out, "TARN modules (" + std::to_string(state.ModuleCount) + ")", rows);
}

void PrintJson(std::ostream& out, const ProgramState& state)
{
    JsonWriter json(out);
    json.beginObject();
    json.key("controller").value(ControllerName(state));
    json.key("firmware").value(FirmwareVersionText(state));
    json.key("stored_image").value(state.StoredImageInvalid ? "invalid" : "valid");
    json.key("settings").beginObject();
    json.key("application").value(ApplicationName(state));
    json.key("node_id").value(static_cast<int>(state.NodeId));
    json.key("can_baud_index").value(static_cast<int>(state.CanBaudIndex));
    json.key("com2_baud_index").value(static_cast<int>(state.Com2BaudIndex));
    json.key("com2_checksum").value(static_cast<int>(state.Com2Checksum));
    json.key("com2_timeout").value(static_cast<int>(state.Com2Timeout));
    json.endObject();
    json.key("totals").beginObject();
    json.key("di").value(static_cast<int>(state.TotalDIBytes));
    json.key("do").value(static_cast<int>(state.TotalDOBytes));
    json.key("ai").value(static_cast<int>(state.TotalAIBytes));
    json.key("ao").value(static_cast<int>(state.TotalAOBytes));
    json.endObject();
    json.key("modules").beginArray();
    for (const ShownModule& shown : ShownModules(state)) {
        const std::size_t index = shown.index;
        const auto& m = state.ModuleTable[index];
        const auto& t = state.TarnInfTable[index];
        json.beginObject();
        json.key("index").value(static_cast<int>(index));
        json.key("address").value(AddressValue(m.Address).value_or(0));
        json.key("name").value(m.Name);
        json.key("io_type").value(static_cast<int>(t.IOType));
        json.key("type_code").value(static_cast<int>(m.TypeCode));
        json.key("type_code2").value(static_cast<int>(m.TypeCode2));
        json.key("type_code_count").value(static_cast<int>(m.TypeCodeCount));
        json.key("baud").value(static_cast<int>(t.Baud));
        json.key("data_format").value(static_cast<int>(m.DataFormat));
        json.key("do").value(static_cast<int>(m.DOChannels));
        json.key("ao").value(static_cast<int>(m.AOChannels));
        json.key("di").value(static_cast<int>(m.DIChannels));
        json.key("ai").value(static_cast<int>(m.AIChannels));
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

}  // namespace

int RunScanCommand(ArgList& args, CommandIo& io)
{
    const auto sessionOptions = TakeSessionOptions(args, io, Command);
    if (!sessionOptions)
        return ExitUsage;
    const auto scan = TakeScanOptions(args, io, Command);
    if (!scan)
        return ExitUsage;
    const bool json = args.flag("json");
    if (const int rc = CheckNoLeftover(args, io, Command))
        return rc;

    const auto session = GatewaySession::Create(*sessionOptions, io);
    if (!session)
        return ExitFailure;
    ProgramState& state = session->state();
    ParameterPanel panel;
    GatewayOptions options;
    options.scan = *scan;
    if (!ConnectWithGatewayOptions(state, panel, session->link(), options))
        return ExitFailure;

    if (json)
        PrintJson(io.out, state);
    else
        PrintText(io.out, state);
    return ExitSuccess;
}

}  // namespace k400
