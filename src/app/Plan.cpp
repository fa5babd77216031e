#include "app/Plan.h"

#include <fstream>
#include <sstream>

#include "gateway/GatewaySettings.h"
#include "gateway/ProgramState.h"
#include "modules/ModuleInfo.h"
#include "modules/ModuleInfoTable.h"
#include "platform/JsonReader.h"

namespace k400 {

namespace {

using OrderedJson = nlohmann::ordered_json;

constexpr int PlanFormat = 1;
constexpr std::array<const char*, 3> ConnectionNames = {"poll", "strobe", "cos"};
constexpr std::array<const char*, 4> DefaultConnectionNames = {"poll", "strobe", "cos", "cyclic"};

class PlanReader : public JsonFieldReader {
public:
    bool optionalInt(const JsonValue& object, const char* name, int min, int max, std::optional<int>& out,
                     const std::string& at = {})
    {
        const JsonValue* v = Member(object, name);
        if (!v)
            return true;
        int value = 0;
        if (!intField(*v, at + name, min, max, value))
            return false;
        out = value;
        return true;
    }

    bool optionalText(const JsonValue& object, const char* name, std::optional<std::string>& out,
                      const std::string& at = {})
    {
        const JsonValue* v = Member(object, name);
        std::string text;
        if (v && !stringField(*v, at + name, text))
            return false;
        if (v)
            out = text;
        return true;
    }

    bool plan(const JsonValue& root, Plan& p)
    {
        if (!expectType(root, JsonValue::value_t::object, "the plan") ||
            !knownMembers(
                root, "",
                {"plan", "profile", "node_id", "can_baud_kbps", "com2", "canopen", "devicenet", "eds", "modules"}))
            return false;
        int format = 0;
        const JsonValue* version = Member(root, "plan");
        if (!version)
            return fail("plan", "missing: a plan file starts with \"plan\": 1");
        if (!intField(*version, "plan", PlanFormat, PlanFormat, format))
            return false;
        std::optional<std::string> profile;
        if (!optionalText(root, "profile", profile))
            return false;
        if (profile && *profile != "canopen" && *profile != "devicenet")
            return fail("profile", "\"" + *profile + "\" is not canopen or devicenet");
        if (profile)
            p.Slave = *profile == "canopen" ? Profile::Canopen : Profile::DeviceNet;
        if (!optionalInt(root, "node_id", 1, MaxCanopenNodeId, p.NodeId) ||
            !optionalInt(root, "can_baud_kbps", 10, 1000, p.CanBaudKbps))
            return false;
        if (p.CanBaudKbps && !CanBaudIndexOf(CanopenLayer, *p.CanBaudKbps))
            return fail("can_baud_kbps", std::to_string(*p.CanBaudKbps) + " is not a CAN baud rate");
        if (const JsonValue* com2 = Member(root, "com2")) {
            bool checksum = false;
            if (!expectType(*com2, JsonValue::value_t::object, "com2") ||
                !knownMembers(*com2, "com2", {"baud_bps", "checksum", "timeout_ms"}) ||
                !optionalInt(*com2, "baud_bps", 1200, 115200, p.Com2BaudBps, "com2.") ||
                !optionalInt(*com2, "timeout_ms", 1, 32767, p.Com2TimeoutMs, "com2."))
                return false;
            if (p.Com2BaudBps && !BaudIndexOf(*p.Com2BaudBps))
                return fail("com2.baud_bps", std::to_string(*p.Com2BaudBps) + " is not a COM2 baud rate");
            if (const JsonValue* v = Member(*com2, "checksum")) {
                if (!boolField(*v, "com2.checksum", checksum))
                    return false;
                p.Com2Checksum = checksum;
            }
        }
        if (const JsonValue* canopen = Member(root, "canopen")) {
            if (!expectType(*canopen, JsonValue::value_t::object, "canopen") ||
                !knownMembers(*canopen, "canopen", {"heartbeat_ms", "guard_time_ms", "life_factor"}) ||
                !optionalInt(*canopen, "heartbeat_ms", 0, 65535, p.HeartbeatMs, "canopen.") ||
                !optionalInt(*canopen, "guard_time_ms", 0, 65535, p.GuardTimeMs, "canopen.") ||
                !optionalInt(*canopen, "life_factor", 0, 255, p.LifeFactor, "canopen."))
                return false;
            if (p.HeartbeatMs && (p.GuardTimeMs || p.LifeFactor))
                return fail("canopen", "heartbeat and node guarding exclude each other");
        }
        if (const JsonValue* devicenet = Member(root, "devicenet")) {
            if (!expectType(*devicenet, JsonValue::value_t::object, "devicenet") ||
                !knownMembers(*devicenet, "devicenet",
                              {"poll_in", "poll_out", "strobe_in", "strobe_out", "cos_in", "cos_out", "default_io"}))
                return false;
            for (std::size_t k = 0; k < ConnectionNames.size(); ++k)
                if (!optionalInt(*devicenet, (std::string(ConnectionNames[k]) + "_in").c_str(), 0, 255, p.InputEntry[k],
                                 "devicenet.") ||
                    !optionalInt(*devicenet, (std::string(ConnectionNames[k]) + "_out").c_str(), 0, 255,
                                 p.OutputEntry[k], "devicenet."))
                    return false;
            std::optional<std::string> io;
            if (!optionalText(*devicenet, "default_io", io, "devicenet."))
                return false;
            for (std::size_t i = 0; io && i < DefaultConnectionNames.size(); ++i)
                if (*io == DefaultConnectionNames[i])
                    p.DefaultConnection = static_cast<int>(i);
            if (io && !p.DefaultConnection)
                return fail("devicenet.default_io", "\"" + *io + "\" is not poll, strobe, cos or cyclic");
        }
        if (const JsonValue* eds = Member(root, "eds")) {
            if (!expectType(*eds, JsonValue::value_t::object, "eds") ||
                !knownMembers(*eds, "eds", {"description", "created_by"}) ||
                !optionalText(*eds, "description", p.Description, "eds.") ||
                !optionalText(*eds, "created_by", p.CreatedBy, "eds."))
                return false;
        }
        if (const JsonValue* modules = Member(root, "modules")) {
            if (!expectType(*modules, JsonValue::value_t::array, "modules"))
                return false;
            std::string list;
            for (std::size_t i = 0; i < modules->size(); ++i) {
                const std::string at = "modules[" + std::to_string(i) + "]";
                const JsonValue& m = (*modules)[i];
                std::string model;
                int address = 0;
                if (!expectType(m, JsonValue::value_t::object, at) || !knownMembers(m, at, {"model", "address"}))
                    return false;
                const JsonValue* name = Member(m, "model");
                const JsonValue* where = Member(m, "address");
                if (!name || !where)
                    return fail(at, "a module needs \"model\" and \"address\"");
                if (!stringField(*name, at + ".model", model) || !intField(*where, at + ".address", 1, 255, address))
                    return false;
                list += (list.empty() ? "" : ",") + model + "@" + std::to_string(address);
            }
            // The same rules as a list typed on the command line (count, duplicates).
            std::string listError;
            p.Modules = ParsePlannedModules(list, listError);
            if (!p.Modules)
                return fail("modules", listError);
        }
        return true;
    }
};

Plan PlanOfSettings(const ProgramState& state, Profile profile)
{
    Plan p;
    p.Slave = profile;
    p.NodeId = state.NodeId;
    p.CanBaudKbps = CanBaudKbps(state.ApplicationLayer, state.CanBaudIndex);
    p.Com2BaudBps = BaudRateBps(state.Com2BaudIndex);
    p.Com2Checksum = state.Com2Checksum != 0;
    p.Com2TimeoutMs = state.Com2Timeout;
    p.Description = state.EdsInfoText[0];
    p.CreatedBy = state.EdsInfoText[1];
    std::vector<PlannedModule> modules;
    for (const ShownModule& shown : ShownModules(state)) {
        const auto& m = state.ModuleTable[shown.index];
        modules.push_back({m.Name, AddressValue(m.Address).value_or(0)});
    }
    p.Modules = modules;
    return p;
}

}  // namespace

std::optional<Plan> ParsePlan(std::string_view json, std::string& error)
{
    const auto root = ParseJson(json, error);
    if (!root)
        return std::nullopt;
    PlanReader reader;
    Plan plan;
    if (!reader.plan(*root, plan)) {
        error = reader.error;
        return std::nullopt;
    }
    return plan;
}

std::optional<Plan> LoadPlanFile(const std::filesystem::path& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    auto plan = ParsePlan(text.str(), error);
    if (!plan)
        error = path.string() + ": " + error;
    return plan;
}

std::string PlanText(const Plan& p)
{
    OrderedJson json;
    json["plan"] = PlanFormat;
    if (p.Slave != Profile::None)
        json["profile"] = p.Slave == Profile::Canopen ? "canopen" : "devicenet";
    const auto put = [](OrderedJson& into, const char* key, const auto& value) {
        if (value)
            into[key] = *value;
    };
    put(json, "node_id", p.NodeId);
    put(json, "can_baud_kbps", p.CanBaudKbps);
    OrderedJson com2 = OrderedJson::object();
    put(com2, "baud_bps", p.Com2BaudBps);
    put(com2, "checksum", p.Com2Checksum);
    put(com2, "timeout_ms", p.Com2TimeoutMs);
    if (!com2.empty())
        json["com2"] = com2;
    OrderedJson canopen = OrderedJson::object();
    put(canopen, "heartbeat_ms", p.HeartbeatMs);
    put(canopen, "guard_time_ms", p.GuardTimeMs);
    put(canopen, "life_factor", p.LifeFactor);
    if (!canopen.empty())
        json["canopen"] = canopen;
    OrderedJson devicenet = OrderedJson::object();
    for (std::size_t k = 0; k < ConnectionNames.size(); ++k) {
        put(devicenet, (std::string(ConnectionNames[k]) + "_in").c_str(), p.InputEntry[k]);
        put(devicenet, (std::string(ConnectionNames[k]) + "_out").c_str(), p.OutputEntry[k]);
    }
    if (p.DefaultConnection)
        devicenet["default_io"] = DefaultConnectionNames[static_cast<std::size_t>(*p.DefaultConnection)];
    if (!devicenet.empty())
        json["devicenet"] = devicenet;
    OrderedJson eds = OrderedJson::object();
    put(eds, "description", p.Description);
    put(eds, "created_by", p.CreatedBy);
    if (!eds.empty())
        json["eds"] = eds;
    if (p.Modules) {
        OrderedJson modules = OrderedJson::array();
        for (const PlannedModule& m : *p.Modules)
            modules.push_back({{"model", m.Model}, {"address", m.Address}});
        json["modules"] = modules;
    }
    return json.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

TextFileResult WritePlanFile(const std::filesystem::path& path, const Plan& plan)
{
    return WriteTextFile(path, PlanText(plan));
}

Plan PlanOfCanopen(const ProgramState& state, const CanopenChoices& choices)
{
    Plan p = PlanOfSettings(state, Profile::Canopen);
    if (choices.Mode == ErrorControlMode::Heartbeat) {
        p.HeartbeatMs = static_cast<int>(choices.HeartbeatMs);
    } else {
        p.GuardTimeMs = static_cast<int>(choices.GuardTimeMs);
        p.LifeFactor = static_cast<int>(choices.LifeFactor);
    }
    return p;
}

Plan PlanOfDeviceNet(const ProgramState& state, const DeviceNetChoices& choices)
{
    Plan p = PlanOfSettings(state, Profile::DeviceNet);
    for (std::size_t k = 0; k < p.InputEntry.size(); ++k) {
        if (choices.InputSelection[k] >= 0)
            p.InputEntry[k] = choices.InputSelection[k];
        if (choices.OutputSelection[k] >= 0)
            p.OutputEntry[k] = choices.OutputSelection[k];
    }
    p.DefaultConnection = choices.DefaultConnection;
    return p;
}

std::string ModulesDiffer(const ProgramState& state, const std::vector<PlannedModule>& planned)
{
    const auto shown = ShownModules(state);
    for (std::size_t i = 0; i < std::max(shown.size(), planned.size()); ++i) {
        const auto* found = i < shown.size() ? &state.ModuleTable[shown[i].index] : nullptr;
        const PlannedModule* plan = i < planned.size() ? &planned[i] : nullptr;
        const int address = found ? AddressValue(found->Address).value_or(0) : plan->Address;
        if (found && plan && found->Name == plan->Model && address == plan->Address)
            continue;
        return "module " + std::to_string(i + 1) + ": planned " +
               (plan ? plan->Model + " at " + std::to_string(plan->Address) : std::string("none")) + ", found " +
               (found ? found->Name + " at " + std::to_string(address) : std::string("none"));
    }
    return {};
}

}  // namespace k400
