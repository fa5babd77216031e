#include "canopen/DcfWriter.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

#include "canopen/EdsWriter.h"
#include "gateway/GatewaySettings.h"
#include "gateway/ProgramState.h"

namespace k400 {

namespace {

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// "0x1A", "26" or "$NODEID+0x180" as a number; nothing for anything else.
std::optional<std::uint32_t> ObjectValue(std::string_view text, std::uint8_t nodeId)
{
    std::uint32_t base = 0;
    constexpr std::string_view NodeIdTerm = "$NODEID";
    if (text.size() >= NodeIdTerm.size() && text.substr(0, NodeIdTerm.size()) == NodeIdTerm) {
        base = nodeId;
        text.remove_prefix(NodeIdTerm.size());
        if (text.empty())
            return base;
        if (text.front() != '+')
            return std::nullopt;
        text.remove_prefix(1);
    }
    int radix = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        radix = 16;
        text.remove_prefix(2);
    }
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, radix);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return base + value;
}

// Object index of a section named "1400" or "1400sub2".
std::optional<std::uint32_t> ObjectIndex(std::string_view section)
{
    if (section.size() < 4)
        return std::nullopt;
    std::uint32_t index = 0;
    const auto [end, ec] = std::from_chars(section.data(), section.data() + 4, index, 16);
    if (ec != std::errc() || end != section.data() + 4)
        return std::nullopt;
    if (section.size() > 4 && section.substr(4, 3) != "sub")
        return std::nullopt;
    return index;
}

// What the gateway holds after Finish: error control and the PDO
// communication and mapping parameters.
bool HeldByGateway(std::uint32_t index)
{
    return index == 0x100C || index == 0x100D || index == 0x1017 || (index >= 0x1400 && index <= 0x1BFF);
}

bool IsListSection(std::string_view name)
{
    return name == "MandatoryObjects" || name == "OptionalObjects" || name == "ManufacturerObjects";
}

}  // namespace

const std::string* DeviceFileSection::find(std::string_view key) const
{
    for (const auto& [k, v] : keys)
        if (k == key)
            return &v;
    return nullptr;
}

void DeviceFileSection::set(std::string_view key, std::string value)
{
    for (auto& [k, v] : keys)
        if (k == key) {
            v = std::move(value);
            return;
        }
    keys.emplace_back(std::string(key), std::move(value));
}

void DeviceFileSection::erase(std::string_view key)
{
    std::erase_if(keys, [&](const auto& entry) { return entry.first == key; });
}

DeviceFile ParseDeviceFile(std::string_view text)
{
    DeviceFile file;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            file.push_back({std::string(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || file.empty())
            continue;
        file.back().keys.emplace_back(std::string(Trim(line.substr(0, equals))),
                                      std::string(Trim(line.substr(equals + 1))));
    }
    return file;
}

std::string DeviceFileText(const DeviceFile& file)
{
    std::string text;
    for (const DeviceFileSection& section : file) {
        text += "[" + section.name + "]\r\n";
        for (const auto& [key, value] : section.keys)
            text += key + "=" + value + "\r\n";
        text += "\r\n";
    }
    return text;
}

const DeviceFileSection* FindSection(const DeviceFile& file, std::string_view name)
{
    for (const DeviceFileSection& section : file)
        if (section.name == name)
            return &section;
    return nullptr;
}

std::string CanopenDcfFileName(std::uint8_t nodeId)
{
    return "COPn" + std::to_string(nodeId) + ".dcf";
}

std::string CanopenDcfText(std::string_view edsText, const ProgramState& state)
{
    DeviceFile dcf = ParseDeviceFile(edsText);
    const DeviceFileSection* info = FindSection(dcf, "DeviceInfo");
    const auto identity = [&](std::string_view key) {
        const std::string* value = info ? info->find(key) : nullptr;
        const auto number = value ? ObjectValue(*value, state.NodeId) : std::nullopt;
        return number ? Hex(*number) : std::string("0x0");
    };
    const std::string vendor = identity("VendorNumber");
    const std::string product = identity("ProductNumber");
    const std::string revision = identity("RevisionNumber");
    const std::string productName = info && info->find("ProductName") ? *info->find("ProductName") : std::string();

    for (std::size_t i = 0; i < dcf.size(); ++i) {
        DeviceFileSection& section = dcf[i];
        if (section.name == "FileInfo") {
            section.set("FileName", CanopenDcfFileName(state.NodeId));
            section.set("LastEDS", CanopenEdsFileName(state.NodeId));
            continue;
        }
        if (IsListSection(section.name)) {
            // Strict readers check the count against the entries listed.
            int listed = 0;
            for (const auto& [key, value] : section.keys)
                listed += key != "SupportedObjects";
            section.set("SupportedObjects", std::to_string(listed));
            continue;
        }
        const auto index = ObjectIndex(section.name);
        if (!index)
            continue;
        if (section.name.size() == 4 && section.find("SubNumber")) {
            std::size_t subs = 0;
            while (i + 1 + subs < dcf.size() && dcf[i + 1 + subs].name.rfind(section.name + "sub", 0) == 0)
                ++subs;
            section.set("SubNumber", std::to_string(subs));
            continue;
        }
        if (*index == 0x1018) {
            // The identity object answers what [DeviceInfo] says.
            if (section.name == "1018sub1")
                section.set("DefaultValue", vendor);
            else if (section.name == "1018sub2")
                section.set("DefaultValue", product);
            else if (section.name == "1018sub3")
                section.set("DefaultValue", revision);
        }
        if (const std::string* value = section.find("DefaultValue"); value && value->empty())
            section.erase("DefaultValue");
        if (!HeldByGateway(*index))
            continue;
        if (const std::string* value = section.find("DefaultValue"))
            if (const auto number = ObjectValue(*value, state.NodeId))
                section.set("ParameterValue", Hex(*number));
    }

    DeviceFileSection commissioning{"DeviceComissioning", {}};
    commissioning.set("NodeID", std::to_string(state.NodeId));
    commissioning.set("NodeName", productName);
    commissioning.set("Baudrate", std::to_string(CanBaudKbps(state.ApplicationLayer, state.CanBaudIndex).value_or(0)));
    commissioning.set("NetNumber", "1");
    commissioning.set("CANopenManager", "0");
    // After [FileInfo] and [DeviceInfo], where readers and people look first.
    const auto at = FindSection(dcf, "DeviceInfo") ? 2 : std::min<std::size_t>(1, dcf.size());
    dcf.insert(dcf.begin() + static_cast<std::ptrdiff_t>(at), std::move(commissioning));
    return DeviceFileText(dcf);
}

TextFileResult WriteCanopenDcf(std::string_view edsText, const ProgramState& state, const std::filesystem::path& folder)
{
    return WriteTextFile(folder / CanopenDcfFileName(state.NodeId), CanopenDcfText(edsText, state));
}

TextFileResult WriteCanopenFiles(const ProgramState& state, const LocalDateTime& now,
                                 const std::filesystem::path& folder, bool withDcf)
{
    const std::string eds = CanopenEdsText(state, now);
    TextFileResult written = WriteTextFile(folder / CanopenEdsFileName(state.NodeId), eds);
    if (written && withDcf) {
        if (TextFileResult dcf = WriteCanopenDcf(eds, state, folder); !dcf)
            return dcf;
    }
    return written;
}

}  // namespace k400
