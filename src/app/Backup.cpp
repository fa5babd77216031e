#include "app/Backup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include <nlohmann/json.hpp>

#include "canopen/DcfWriter.h"
#include "canopen/EdsWriter.h"
#include "devicenet/EdsWriter.h"
#include "gateway/ConfigImage.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "gateway/GatewaySettings.h"
#include "gateway/ProfileFinish.h"
#include "gateway/ProgramState.h"
#include "modules/ModuleInfo.h"
#include "modules/ModuleInfoTable.h"
#include "platform/JsonReader.h"
#include "platform/Messages.h"

namespace k400 {

namespace {

using OrderedJson = nlohmann::ordered_json;

constexpr std::string_view EepromPrompt = "[EEPROM:]";
constexpr std::size_t HeaderWords = 10;     // offsets 40..76
constexpr std::size_t ConnectionWords = 7;  // offsets 0..24
constexpr std::size_t FixedApplicationWords = 3;
constexpr std::size_t MaxApplicationWords = FixedApplicationWords + ModuleTableSize;
constexpr std::array<const char*, 3> ConnectionKeys = {"poll", "strobe", "cos"};
constexpr std::array<const char*, 4> DefaultConnectionKeys = {"poll", "strobe", "cos", "cyclic"};

bool ReadRun(ConsoleLink& link, int block, std::size_t count, std::vector<std::uint32_t>& words, int firstOffset = 0)
{
    if (!SelectEepromBlock(link, block))
        return false;
    words.clear();
    for (std::size_t i = 0; i < count; ++i) {
        double value = 0;
        if (!ReadEepromWord(link, firstOffset + 4 * static_cast<int>(i), value))
            return false;
        // A garbled line is no word of the image, and no backup should keep it.
        if (!std::isfinite(value) || value < 0 || value > 4294967295.0 || value != std::floor(value))
            return false;
        words.push_back(static_cast<std::uint32_t>(value));
    }
    return true;
}

std::uint32_t HighOf(std::uint32_t word)
{
    return word >> 16;
}
std::uint32_t LowOf(std::uint32_t word)
{
    return word & 0xFFFFu;
}

bool HasConnectionArea(const StoredImage& image)
{
    return image.Header.size() > 1 && HighOf(image.Header[1]) == DeviceNetConnectionAreaBytes;
}

StoredSettings SettingsOf(const std::vector<std::uint32_t>& h)
{
    StoredSettings s;
    if (h.size() < 6)
        return s;
    s.NodeId = static_cast<int>(HighOf(h[2]));
    s.ApplicationLayer = static_cast<int>(LowOf(h[2]) >> 8);
    s.CanBaudIndex = static_cast<int>(h[2] & 0xFFu);
    s.Com2Checksum = (h[5] >> 24) != 0;
    s.Com2BaudIndex = static_cast<int>(HighOf(h[5]) & 0xFFu);
    s.Com2TimeoutMs = static_cast<int>(LowOf(h[5]));
    return s;
}

std::string ControllerName(const ProgramState& state)
{
    std::string name = state.ControllerPrompt;
    if (!name.empty() && name.back() == '>')
        name.pop_back();
    return name;
}

std::string TimeText(const LocalDateTime& t)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour, t.Minute,
                  t.Second);
    return text;
}

std::vector<BackupModule> ModulesOf(const ProgramState& state)
{
    std::vector<BackupModule> modules;
    for (const ShownModule& shown : ShownModules(state)) {
        const ScannedModule& m = state.ModuleTable[shown.index];
        BackupModule b{AddressValue(m.Address).value_or(0),
                       m.Name,
                       {m.TypeCode},
                       state.TarnInfTable[shown.index].Baud,
                       m.DataFormat};
        if (m.TypeCodeCount == 2)
            b.TypeCodes.push_back(m.TypeCode2);
        modules.push_back(std::move(b));
    }
    return modules;
}

std::string EntryOf(const std::vector<std::string>& list, int index)
{
    return index >= 0 && index < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(index)]
                                                               : std::string(msg::NoneEntry);
}

void DecodeChoices(const ProgramState& connected, GatewayBackup& backup)
{
    if (!backup.StoredImageValid)
        return;
    ProgramState state = connected;  // Load takes its own view of the tables
    // Load's notices are for a window the user configures in; a backup only reads.
    SilentUserInterface ui;
    if (backup.Settings.ApplicationLayer == CanopenLayer) {
        CanopenConfiguration configuration(state, ui);
        configuration.Load();
        backup.Canopen = configuration.Choices();
    } else if (backup.Settings.ApplicationLayer == DeviceNetLayer) {
        DeviceNetConfiguration configuration(state, ui);
        if (!configuration.Load())
            return;
        configuration.ApplyChoices(StoredDeviceNetChoices(state, configuration));
        const DeviceNetChoices& c = configuration.Choices();
        DeviceNetSelections s;
        for (std::size_t k = 0; k < s.Input.size(); ++k) {
            s.Input[k] = EntryOf(configuration.Lists().Input, c.InputSelection[k]);
            s.Output[k] = EntryOf(configuration.Lists().Output, c.OutputSelection[k]);
        }
        s.DefaultConnection = c.DefaultConnection;
        backup.DeviceNet = s;
    }
}

// --- the file ---

OrderedJson WordsJson(const std::vector<std::uint32_t>& words)
{
    OrderedJson list = OrderedJson::array();
    for (const std::uint32_t word : words)
        list.push_back(WordText(word));
    return list;
}

std::string LayerName(int layer)
{
    if (layer == CanopenLayer)
        return msg::CanopenName;
    if (layer == DeviceNetLayer)
        return msg::DeviceNetName;
    return std::to_string(layer);
}

std::string CanBaudText(const StoredSettings& s)
{
    if (const auto kbps = CanBaudKbps(static_cast<std::uint8_t>(s.ApplicationLayer), s.CanBaudIndex))
        return std::to_string(*kbps) + msg::FactKbps;
    return msg::FactIndex + std::to_string(s.CanBaudIndex);
}

std::string Com2BaudText(int index)
{
    if (index >= 0 && index < static_cast<int>(BaudRateTable.size()))
        return BaudRateTable[static_cast<std::size_t>(index)] + msg::FactBps;
    return msg::FactIndex + std::to_string(index);
}

class BackupReader : public JsonFieldReader {
public:
    bool words(const JsonValue& root, const char* name, std::size_t min, std::size_t max,
               std::vector<std::uint32_t>& out)
    {
        const std::string at = std::string("image.") + name;
        const JsonValue* list = Member(root, name);
        if (!list)
            return fail(at, "missing");
        if (!expectType(*list, JsonValue::value_t::array, at))
            return false;
        if (list->size() < min || list->size() > max)
            return fail(at, "expected " + std::to_string(min) + (min == max ? "" : " to " + std::to_string(max)) +
                                " long words");
        for (std::size_t i = 0; i < list->size(); ++i) {
            std::int64_t word = 0;
            if (!integer((*list)[i], at + "[" + std::to_string(i) + "]", 0, 0xFFFFFFFFLL, word))
                return false;
            out.push_back(static_cast<std::uint32_t>(word));
        }
        return true;
    }

    bool text(const JsonValue& object, const std::string& at, const char* name, std::string& out)
    {
        const JsonValue* v = Member(object, name);
        if (!v)
            return fail(at + name, "missing");
        return stringField(*v, at + name, out);
    }

    bool number(const JsonValue& object, const std::string& at, const char* name, int min, int max, int& out)
    {
        const JsonValue* v = Member(object, name);
        if (!v)
            return fail(at + name, "missing");
        return intField(*v, at + name, min, max, out);
    }

    bool module(const JsonValue& m, const std::string& at, BackupModule& out)
    {
        if (!expectType(m, JsonValue::value_t::object, at) ||
            !knownMembers(m, at, {"address", "name", "type_codes", "baud_code", "data_format"}) ||
            !number(m, at + ".", "address", 1, 255, out.Address) || !text(m, at + ".", "name", out.Name) ||
            !number(m, at + ".", "baud_code", 0, 255, out.BaudCode) ||
            !number(m, at + ".", "data_format", 0, 255, out.DataFormat))
            return false;
        const JsonValue* codes = Member(m, "type_codes");
        if (!codes)
            return fail(at + ".type_codes", "missing");
        if (!expectType(*codes, JsonValue::value_t::array, at + ".type_codes"))
            return false;
        if (codes->empty() || codes->size() > 2)
            return fail(at + ".type_codes", "one or two type codes");
        for (std::size_t i = 0; i < codes->size(); ++i) {
            int code = 0;
            if (!intField((*codes)[i], at + ".type_codes[" + std::to_string(i) + "]", 0, 255, code))
                return false;
            out.TypeCodes.push_back(code);
        }
        return true;
    }

    bool canopen(const JsonValue& c, CanopenChoices& out)
    {
        std::string mode;
        if (!expectType(c, JsonValue::value_t::object, "canopen") ||
            !knownMembers(c, "canopen", {"error_control", "heartbeat_ms", "guard_time_ms", "life_factor"}) ||
            !text(c, "canopen.", "error_control", mode))
            return false;
        int a = 0;
        int b = 0;
        if (mode == "heartbeat") {
            out.Mode = ErrorControlMode::Heartbeat;
            if (!number(c, "canopen.", "heartbeat_ms", 0, 65535, a))
                return false;
            out.HeartbeatMs = a;
            return true;
        }
        if (mode != "node guarding")
            return fail("canopen.error_control", "\"" + mode + "\" is not heartbeat or node guarding");
        if (!number(c, "canopen.", "guard_time_ms", 0, 65535, a) || !number(c, "canopen.", "life_factor", 0, 255, b))
            return false;
        out.GuardTimeMs = a;
        out.LifeFactor = b;
        return true;
    }

    bool devicenet(const JsonValue& d, DeviceNetSelections& out)
    {
        if (!expectType(d, JsonValue::value_t::object, "devicenet") ||
            !knownMembers(
                d, "devicenet",
                {"poll_in", "poll_out", "strobe_in", "strobe_out", "cos_in", "cos_out", "default_connection"}))
            return false;
        for (std::size_t k = 0; k < ConnectionKeys.size(); ++k)
            if (!text(d, "devicenet.", (std::string(ConnectionKeys[k]) + "_in").c_str(), out.Input[k]) ||
                !text(d, "devicenet.", (std::string(ConnectionKeys[k]) + "_out").c_str(), out.Output[k]))
                return false;
        std::string io;
        if (!text(d, "devicenet.", "default_connection", io))
            return false;
        const auto found = std::find(DefaultConnectionKeys.begin(), DefaultConnectionKeys.end(), io);
        if (found == DefaultConnectionKeys.end())
            return fail("devicenet.default_connection", "\"" + io + "\" is not poll, strobe, cos or cyclic");
        out.DefaultConnection = static_cast<int>(found - DefaultConnectionKeys.begin());
        return true;
    }

    bool backup(const JsonValue& root, GatewayBackup& b)
    {
        if (!expectType(root, JsonValue::value_t::object, "the backup") ||
            !knownMembers(root, "",
                          {"backup", "program_version", "time", "port", "controller", "firmware", "scan",
                           "stored_image", "settings", "modules", "canopen", "devicenet", "image"}))
            return false;
        const JsonValue* format = Member(root, "backup");
        int version = 0;
        if (!format)
            return fail("backup", "missing: a backup file starts with \"backup\": 1");
        if (!intField(*format, "backup", BackupFormat, BackupFormat, version) ||
            !text(root, "", "program_version", b.ProgramVersion) || !text(root, "", "time", b.Time) ||
            !text(root, "", "port", b.Port) || !text(root, "", "controller", b.Controller) ||
            !text(root, "", "firmware", b.Firmware))
            return false;

        const JsonValue* scan = Member(root, "scan");
        int bps = 0;
        int timeout = 0;
        bool checksum = false;
        if (!scan)
            return fail("scan", "missing");
        if (!expectType(*scan, JsonValue::value_t::object, "scan") ||
            !knownMembers(*scan, "scan", {"baud_bps", "checksum", "timeout_ms"}) ||
            !number(*scan, "scan.", "baud_bps", 1200, 115200, bps) ||
            !number(*scan, "scan.", "timeout_ms", 1, 32767, timeout))
            return false;
        if (const JsonValue* v = Member(*scan, "checksum"); !v || !boolField(*v, "scan.checksum", checksum))
            return error.empty() ? fail("scan.checksum", "missing") : false;
        const auto baud = BaudIndexOf(bps);
        if (!baud)
            return fail("scan.baud_bps", std::to_string(bps) + " is not a baud rate of the scan");
        b.Scan = {*baud, static_cast<std::uint8_t>(checksum ? 1 : 0), static_cast<double>(timeout)};

        std::string valid;
        if (!text(root, "", "stored_image", valid))
            return false;
        if (valid != msg::FactValid && valid != msg::FactInvalid)
            return fail("stored_image", "\"" + valid + "\" is not valid or invalid");
        b.StoredImageValid = valid == msg::FactValid;
        // The settings are there for a reader; what counts is the words they come from.
        if (const JsonValue* v = Member(root, "settings"); v && !expectType(*v, JsonValue::value_t::object, "settings"))
            return false;

        const JsonValue* modules = Member(root, "modules");
        if (!modules)
            return fail("modules", "missing");
        if (!expectType(*modules, JsonValue::value_t::array, "modules"))
            return false;
        if (modules->size() > ModuleTableSize)
            return fail("modules", "more than 15 modules");
        for (std::size_t i = 0; i < modules->size(); ++i) {
            BackupModule m;
            if (!module((*modules)[i], "modules[" + std::to_string(i) + "]", m))
                return false;
            b.Modules.push_back(std::move(m));
        }
        if (const JsonValue* v = Member(root, "canopen")) {
            b.Canopen.emplace();
            if (!canopen(*v, *b.Canopen))
                return false;
        }
        if (const JsonValue* v = Member(root, "devicenet")) {
            b.DeviceNet.emplace();
            if (!devicenet(*v, *b.DeviceNet))
                return false;
        }

        const JsonValue* image = Member(root, "image");
        if (!image)
            return fail("image", "missing");
        if (!expectType(*image, JsonValue::value_t::object, "image") ||
            !knownMembers(*image, "image", {"header", "connection", "application"}) ||
            !words(*image, "header", HeaderWords, HeaderWords, b.Image.Header) ||
            !words(*image, "connection", ConnectionWords, ConnectionWords, b.Image.Connection) ||
            !words(*image, "application", FixedApplicationWords, MaxApplicationWords, b.Image.Application))
            return false;
        b.Settings = SettingsOf(b.Image.Header);
        return true;
    }
};

// --- compare ---

using Facts = std::vector<std::pair<std::string, std::string>>;

Facts FactsOf(const GatewayBackup& b)
{
    const StoredSettings& s = b.Settings;
    Facts facts{{msg::FactController, b.Controller},
                {msg::FactFirmware, b.Firmware},
                {msg::FactStoredImage, b.StoredImageValid ? msg::FactValid : msg::FactInvalid},
                {msg::FactApplication, LayerName(s.ApplicationLayer)},
                {msg::FactNodeId, std::to_string(s.NodeId)},
                {msg::FactCanBaud, CanBaudText(s)},
                {msg::FactCom2Baud, Com2BaudText(s.Com2BaudIndex)},
                {msg::FactCom2Checksum, s.Com2Checksum ? msg::FactOn : msg::FactOff},
                {msg::FactCom2Timeout, std::to_string(s.Com2TimeoutMs) + msg::FactMs}};
    if (b.Canopen) {
        const CanopenChoices& c = *b.Canopen;
        facts.emplace_back(msg::FactErrorControl, c.Mode == ErrorControlMode::Heartbeat
                                                      ? msg::FactHeartbeat(static_cast<int>(c.HeartbeatMs))
                                                      : msg::FactNodeGuarding(static_cast<int>(c.GuardTimeMs),
                                                                              static_cast<int>(c.LifeFactor)));
    }
    if (b.DeviceNet) {
        for (std::size_t k = 0; k < msg::FactConnectionNames.size(); ++k) {
            facts.emplace_back(std::string(msg::FactConnectionNames[k]) + msg::FactInput, b.DeviceNet->Input[k]);
            facts.emplace_back(std::string(msg::FactConnectionNames[k]) + msg::FactOutput, b.DeviceNet->Output[k]);
        }
        facts.emplace_back(msg::FactDefaultConnection,
                           DefaultConnectionKeys[static_cast<std::size_t>(b.DeviceNet->DefaultConnection)]);
    }
    return facts;
}

std::string TypeCodesText(const BackupModule& m)
{
    std::string text;
    for (const int code : m.TypeCodes)
        text += (text.empty() ? "" : ", ") + PrefixedHex(static_cast<unsigned>(code));
    return text;
}

const BackupModule* ModuleAt(const std::vector<BackupModule>& modules, int address)
{
    for (const BackupModule& m : modules)
        if (m.Address == address)
            return &m;
    return nullptr;
}

// Module by module in address order: a different (or missing) module by its
// name, else its type codes and, with allCodes, its baud code and data format.
std::vector<FactDifference> ModuleDifferences(const std::vector<BackupModule>& file,
                                              const std::vector<BackupModule>& gateway, bool allCodes)
{
    std::set<int> addresses;
    for (const auto* side : std::array<const std::vector<BackupModule>*, 2>{&file, &gateway})
        for (const BackupModule& m : *side)
            addresses.insert(m.Address);
    std::vector<FactDifference> differences;
    for (const int address : addresses) {
        const BackupModule* f = ModuleAt(file, address);
        const BackupModule* g = ModuleAt(gateway, address);
        const std::string what = msg::FactModuleAt(PrefixedHex(static_cast<unsigned>(address)));
        if (!f || !g || f->Name != g->Name) {
            differences.push_back({what, f ? f->Name : msg::FactNone, g ? g->Name : msg::FactNone});
            continue;
        }
        const auto codes = [allCodes](const BackupModule& m) {
            return allCodes ? msg::FactModuleCodes(TypeCodesText(m), PrefixedHex(static_cast<unsigned>(m.BaudCode)),
                                                   PrefixedHex(static_cast<unsigned>(m.DataFormat)))
                            : TypeCodesText(m);
        };
        if (codes(*f) != codes(*g))
            differences.push_back(
                {what + (allCodes ? msg::FactCodesSuffix : msg::FactTypeCodeSuffix), codes(*f), codes(*g)});
    }
    return differences;
}

void CompareWords(int block, int firstOffset, const std::vector<std::uint32_t>& file,
                  const std::vector<std::uint32_t>& gateway, const char* notCounted, BackupComparison& into)
{
    for (std::size_t i = 0; i < std::max(file.size(), gateway.size()); ++i) {
        WordDifference d{block, firstOffset + 4 * static_cast<int>(i), {}, {}, notCounted};
        if (i < file.size())
            d.File = file[i];
        if (i < gateway.size())
            d.Gateway = gateway[i];
        if (d.File == d.Gateway)
            continue;
        if (block == 0 && (d.Offset == 52 || d.Offset == 56))
            d.NotCounted = msg::WordFinishTime;
        else if (block == 0 && d.Offset == 76)
            d.NotCounted = msg::WordOutsideHeader;
        into.Words.push_back(d);
    }
}

}  // namespace

std::string WordText(std::uint32_t word)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", word);
    return text;
}

std::string WordOrAbsent(const std::optional<std::uint32_t>& word)
{
    return word ? WordText(*word) : msg::WordAbsent;
}

std::vector<std::string> ComparisonLines(const BackupComparison& c)
{
    std::vector<std::string> lines;
    if (!c.Facts.empty())
        lines.push_back(std::string(msg::CompareDifferencesTitle) + " (" + std::to_string(c.Facts.size()) + "):");
    for (const FactDifference& d : c.Facts) {
        std::string line = "  " + msg::FactDifference(d.What, d.File, d.Gateway);
        if (!d.Counts)
            line += std::string(msg::WordNotCounted) + msg::FactIdentity + msg::WordNotCountedEnd;
        lines.push_back(std::move(line));
    }
    if (!c.Words.empty())
        lines.push_back(msg::CompareWordsTitle);
    for (const WordDifference& d : c.Words) {
        std::string line = "  " + msg::WordDifference(d.Block, d.Offset, WordOrAbsent(d.File), WordOrAbsent(d.Gateway));
        if (d.NotCounted)
            line += std::string(msg::WordNotCounted) + d.NotCounted + msg::WordNotCountedEnd;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::optional<StoredImage> ReadStoredImage(ProgramState& state, ConsoleLink& link)
{
    SerialPort& port = link.port();
    UserInterface& ui = link.ui();
    if (!OpenGatewayPort(port, ui, PortCaller::Connect))
        return std::nullopt;
    ui.setStatusText(msg::StatusReadingImage);
    StoredImage image;
    bool read = link.SendAndExpect("use eeprom", EepromPrompt) && ReadRun(link, 0, HeaderWords, image.Header, 40);
    if (read) {
        const std::size_t area = LowOf(image.Header[1]) / 4;
        const std::size_t count = std::clamp(area, FixedApplicationWords, MaxApplicationWords);
        read = ReadRun(link, 1, ConnectionWords, image.Connection) && ReadRun(link, 2, count, image.Application) &&
               link.SendAndExpect("exit", state.ControllerPrompt);
    }
    port.close();
    if (!read) {
        ui.showMessage(msg::Timeout, msg::ErrorTitle);
        ui.setStatusText(msg::StatusTimeout);
        return std::nullopt;
    }
    return image;
}

GatewayBackup DescribeGateway(const ProgramState& state, const StoredImage& image, const LocalDateTime& now)
{
    GatewayBackup b;
    b.ProgramVersion = K400GW_VERSION;
    b.Time = TimeText(now);
    b.Port = state.ConnectedPort;
    b.Controller = ControllerName(state);
    b.Firmware = FirmwareVersionText(state);
    b.Scan = StoredScanParameters(state);
    b.StoredImageValid = !state.StoredImageInvalid;
    b.Settings = SettingsOf(image.Header);
    b.Modules = ModulesOf(state);
    b.Image = image;
    DecodeChoices(state, b);
    return b;
}

std::optional<GatewayBackup> ReadGatewayBackup(ProgramState& state, ConsoleLink& link)
{
    state.GatewayBusy = true;
    const auto image = ReadStoredImage(state, link);
    state.GatewayBusy = false;
    if (!image)
        return std::nullopt;
    return DescribeGateway(state, *image, link.clock().localTime());
}

DeviceNetChoices StoredDeviceNetChoices(const ProgramState& state, const DeviceNetConfiguration& configuration)
{
    DeviceNetChoices choices = configuration.Choices();
    const auto word = [&state](std::size_t i) {
        return i < state.ConnectionImage.size() ? state.ConnectionImage[i] : 0.0;
    };
    const std::uint32_t defaultConnection = HighHalf(word(0));
    if (defaultConnection < DefaultConnectionKeys.size())
        choices.DefaultConnection = static_cast<std::uint16_t>(defaultConnection);
    // Output words: poll at 4, strobe at 5, COS/cyclic at 6; the selection is the top byte.
    for (const int kind : {StrobeConnection, CosConnection}) {
        const std::uint32_t selection = HighByte(HighHalf(word(4 + static_cast<std::size_t>(kind))));
        if (selection < configuration.Lists().Output.size())
            choices.OutputSelection[static_cast<std::size_t>(kind)] = static_cast<std::int16_t>(selection);
    }
    return choices;
}

std::string BackupText(const GatewayBackup& b)
{
    OrderedJson json;
    json["backup"] = BackupFormat;
    json["program_version"] = b.ProgramVersion;
    json["time"] = b.Time;
    json["port"] = b.Port;
    json["controller"] = b.Controller;
    json["firmware"] = b.Firmware;
    json["scan"] = {{"baud_bps", BaudRateBps(b.Scan.BaudIndex)},
                    {"checksum", b.Scan.ChecksumIndex != 0},
                    {"timeout_ms", static_cast<int>(b.Scan.TimeoutMs)}};
    json["stored_image"] = b.StoredImageValid ? msg::FactValid : msg::FactInvalid;
    const StoredSettings& s = b.Settings;
    const auto kbps = CanBaudKbps(static_cast<std::uint8_t>(s.ApplicationLayer), s.CanBaudIndex);
    json["settings"] = {
        {"application", LayerName(s.ApplicationLayer)},
        {"node_id", s.NodeId},
        {"can_baud_index", s.CanBaudIndex},
        {"can_baud_kbps", kbps ? OrderedJson(*kbps) : OrderedJson()},
        {"com2",
         {{"baud_index", s.Com2BaudIndex},
          {"baud_bps", s.Com2BaudIndex < 8 ? BaudRateBps(static_cast<std::uint8_t>(s.Com2BaudIndex)) : 0},
          {"checksum", s.Com2Checksum},
          {"timeout_ms", s.Com2TimeoutMs}}}};
    OrderedJson modules = OrderedJson::array();
    for (const BackupModule& m : b.Modules)
        modules.push_back({{"address", m.Address},
                           {"name", m.Name},
                           {"type_codes", m.TypeCodes},
                           {"baud_code", m.BaudCode},
                           {"data_format", m.DataFormat}});
    json["modules"] = modules;
    if (b.Canopen) {
        if (b.Canopen->Mode == ErrorControlMode::Heartbeat)
            json["canopen"] = {{"error_control", "heartbeat"},
                               {"heartbeat_ms", static_cast<int>(b.Canopen->HeartbeatMs)}};
        else
            json["canopen"] = {{"error_control", "node guarding"},
                               {"guard_time_ms", static_cast<int>(b.Canopen->GuardTimeMs)},
                               {"life_factor", static_cast<int>(b.Canopen->LifeFactor)}};
    }
    if (b.DeviceNet) {
        OrderedJson& d = json["devicenet"];
        for (std::size_t k = 0; k < ConnectionKeys.size(); ++k) {
            d[std::string(ConnectionKeys[k]) + "_in"] = b.DeviceNet->Input[k];
            d[std::string(ConnectionKeys[k]) + "_out"] = b.DeviceNet->Output[k];
        }
        d["default_connection"] = DefaultConnectionKeys[static_cast<std::size_t>(b.DeviceNet->DefaultConnection)];
    }
    json["image"] = {{"header", WordsJson(b.Image.Header)},
                     {"connection", WordsJson(b.Image.Connection)},
                     {"application", WordsJson(b.Image.Application)}};
    return json.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

TextFileResult WriteBackupFile(const std::filesystem::path& path, const GatewayBackup& backup)
{
    return WriteTextFile(path, BackupText(backup));
}

std::optional<GatewayBackup> ParseBackup(std::string_view json, std::string& error)
{
    const auto root = ParseJson(json, error);
    if (!root)
        return std::nullopt;
    BackupReader reader;
    GatewayBackup backup;
    if (!reader.backup(*root, backup)) {
        error = reader.error;
        return std::nullopt;
    }
    return backup;
}

std::optional<GatewayBackup> LoadBackupFile(const std::filesystem::path& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    auto backup = ParseBackup(text.str(), error);
    if (!backup)
        error = path.string() + ": " + error;
    return backup;
}

bool BackupComparison::Equal() const
{
    const bool factCounts = std::any_of(Facts.begin(), Facts.end(), [](const FactDifference& d) { return d.Counts; });
    const bool wordCounts =
        std::any_of(Words.begin(), Words.end(), [](const WordDifference& d) { return !d.NotCounted; });
    return !factCounts && !wordCounts;
}

BackupComparison CompareBackups(const GatewayBackup& file, const GatewayBackup& gateway)
{
    BackupComparison c;
    const Facts fileFacts = FactsOf(file);
    const Facts gatewayFacts = FactsOf(gateway);
    const auto valueIn = [](const Facts& facts, const std::string& what) -> std::string {
        for (const auto& [name, value] : facts)
            if (name == what)
                return value;
        return msg::FactNone;
    };
    std::vector<std::string> order;
    for (const Facts* side : std::array<const Facts*, 2>{&fileFacts, &gatewayFacts})
        for (const auto& fact : *side)
            if (std::find(order.begin(), order.end(), fact.first) == order.end())
                order.push_back(fact.first);
    for (const std::string& what : order) {
        const std::string f = valueIn(fileFacts, what);
        const std::string g = valueIn(gatewayFacts, what);
        const bool identity = what == msg::FactController || what == msg::FactFirmware;
        if (f != g)
            c.Facts.push_back({what, f, g, !identity});
    }
    for (FactDifference& d : ModuleDifferences(file.Modules, gateway.Modules, true))
        c.Facts.push_back(std::move(d));

    CompareWords(0, 40, file.Image.Header, gateway.Image.Header, nullptr, c);
    const bool connectionArea = HasConnectionArea(file.Image) || HasConnectionArea(gateway.Image);
    CompareWords(1, 0, file.Image.Connection, gateway.Image.Connection,
                 connectionArea ? nullptr : msg::WordNoConnectionArea, c);
    CompareWords(2, 0, file.Image.Application, gateway.Image.Application, nullptr, c);
    return c;
}

std::string BackupModulesDiffer(const GatewayBackup& file, const ProgramState& state)
{
    const auto differences = ModuleDifferences(file.Modules, ModulesOf(state), false);
    if (differences.empty())
        return {};
    const FactDifference& d = differences.front();
    return msg::FactDifference(d.What, d.File, d.Gateway);
}

EepromWriteResult RestoreImage(ProgramState& state, ConsoleLink& link, const StoredImage& image)
{
    const auto take = [](const std::vector<std::uint32_t>& words) {
        return std::vector<double>(words.begin(), words.end());
    };
    state.HeaderAreaBytes = static_cast<std::int16_t>(4 * (HeaderWords - 1));
    state.HeaderImage = take(image.Header);
    state.ApplicationAreaBytes = static_cast<std::int16_t>(4 * image.Application.size());
    state.ApplicationImage = take(image.Application);
    state.ConnectionImage = take(image.Connection);

    EepromWriteResult result;
    SerialPort& port = link.port();
    UserInterface& ui = link.ui();
    if (!OpenGatewayPort(port, ui, PortCaller::Finish)) {
        result.failure = EepromWriteFailure::Timeout;
        return result;
    }
    result = WriteConfigurationImage(state, link, HasConnectionArea(image));
    port.close();
    if (result.ok())
        return result;
    std::string text = result.failure == EepromWriteFailure::Mismatch  ? result.mismatch
                       : result.failure == EepromWriteFailure::Stopped ? std::string(StoppedMessage(result.status))
                                                                       : std::string(msg::Timeout);
    if (result.status == EepromStatus::PartlyWritten && result.failure != EepromWriteFailure::Stopped)
        text += std::string("\n") + msg::EepromIncomplete;
    ui.showMessage(text, msg::ErrorTitle);
    return result;
}

DeviceFiles WriteStoredDeviceFiles(ProgramState& state, UserInterface& ui, const LocalDateTime& now,
                                   const std::filesystem::path& folder, bool withoutDcf)
{
    DeviceFiles files;
    const auto failed = [&](const std::string& error) {
        files.Error = error;
        ui.showMessage(error, msg::ErrorTitle);
        return files;
    };
    if (state.StoredImageInvalid)
        return failed(msg::RestoreNotValidAfter);
    if (state.ApplicationLayer == CanopenLayer) {
        CanopenConfiguration configuration(state, ui);
        if (const BuildResult built = configuration.Load(); !built)
            return failed(built.error);
        const std::string eds = CanopenEdsText(state, now);
        files.Eds = WriteTextFile(folder / CanopenEdsFileName(state.NodeId), eds);
        if (!files.Eds)
            return failed(files.Eds.error);
        if (!withoutDcf && !*(files.Dcf = WriteCanopenDcf(eds, state, folder)))
            return failed(files.Dcf->error);
        return files;
    }
    if (state.ApplicationLayer != DeviceNetLayer)
        return failed(msg::RestoreNoProfile);
    DeviceNetConfiguration configuration(state, ui);
    if (const BuildResult built = configuration.Load(); !built)
        return failed(built.error);
    configuration.ApplyChoices(StoredDeviceNetChoices(state, configuration));
    files.Eds = WriteDeviceNetEds(state, configuration.Choices(), now, folder);
    if (!files.Eds)
        return failed(files.Eds.error);
    return files;
}

RestoreResult RestoreBackup(ProgramState& state, ConsoleLink& link, const GatewayBackup& file,
                            const std::filesystem::path& folder, bool withoutDcf)
{
    RestoreResult result;
    state.GatewayBusy = true;
    result.Written = RestoreImage(state, link, file.Image);
    state.GatewayBusy = false;
    if (!result.Written)
        return result;
    result.Reached = RestoreStep::Connect;
    if (RunConnectSequence(state, link) != ConnectOutcome::Succeeded)
        return result;
    result.Reached = RestoreStep::Files;
    result.Files = WriteStoredDeviceFiles(state, link.ui(), link.clock().localTime(), folder, withoutDcf);
    if (result.Files.ok())
        result.Reached = RestoreStep::Done;
    return result;
}

}  // namespace k400
