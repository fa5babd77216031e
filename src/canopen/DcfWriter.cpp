#include "canopen/DcfWriter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <initializer_list>
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

namespace {

// Calls onSection(name) and onKey(key, value) in file order: lines ended by
// CR LF or LF, blank lines and ';' comments skipped, blanks around keys and
// values trimmed. Keys before the first section are dropped, unless the text
// is known to be one section's keys.
template <typename OnSection, typename OnKey>
void ForEachDeviceFileLine(std::string_view text, OnSection onSection, OnKey onKey, bool inSection = false)
{
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            onSection(line.substr(1, line.size() - 2));
            inSection = true;
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || !inSection)
            continue;
        onKey(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
}

// The EDS as the DCF is made from it: each section's name and the text of
// its keys, read again where needed, rather than a string or even a view
// per key (some four thousand for a full gateway, whose memory is most of
// the cost).
struct EdsView {
    struct Section {
        std::string_view name;
        std::string_view body;  // the lines after the name, up to the next section
    };
    std::vector<Section> sections;

    explicit EdsView(std::string_view text)
    {
        sections.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '[')));
        const auto endBody = [&](const char* end) {
            if (!sections.empty())
                sections.back().body = {sections.back().body.data(),
                                        static_cast<std::size_t>(end - sections.back().body.data())};
        };
        ForEachDeviceFileLine(
            text,
            [&](std::string_view name) {
                endBody(name.data() - 1);  // before the '['
                sections.push_back({name, {name.data() + name.size() + 1, 0}});
            },
            [](std::string_view, std::string_view) {});
        endBody(text.data() + text.size());
    }
    template <typename OnKey>
    static void ForEachKey(const Section& section, OnKey onKey)
    {
        ForEachDeviceFileLine(
            section.body, [](std::string_view) {}, onKey, true);
    }
    static std::optional<std::string_view> find(const Section& section, std::string_view key)
    {
        std::optional<std::string_view> found;
        ForEachKey(section, [&](std::string_view k, std::string_view v) {
            if (!found && k == key)
                found = v;
        });
        return found;
    }
    const Section* section(std::string_view name) const
    {
        for (const Section& s : sections)
            if (s.name == name)
                return &s;
        return nullptr;
    }
};

// What the DCF changes in one section: a key set replaces the first of that
// name or, without one, follows the section's keys; an erased key is left out.
class SectionEdits {
public:
    void clear()
    {
        set_.clear();
        erased_.clear();
    }
    void set(std::string_view key, std::string value)
    {
        for (auto& [k, v] : set_)
            if (k == key) {
                v = std::move(value);
                return;
            }
        set_.emplace_back(key, std::move(value));
    }
    void erase(std::string_view key) { erased_.push_back(key); }

    void write(std::string& out, std::string_view name, const EdsView::Section* section)
    {
        used_.assign(set_.size(), false);
        AppendAll(out, {"[", name, "]\r\n"});
        if (section)
            EdsView::ForEachKey(*section, [&](std::string_view key, std::string_view value) {
                if (std::find(erased_.begin(), erased_.end(), key) != erased_.end())
                    return;
                for (std::size_t i = 0; i < set_.size(); ++i)
                    if (!used_[i] && set_[i].first == key) {
                        value = set_[i].second;
                        used_[i] = true;
                        break;
                    }
                AppendAll(out, {key, "=", value, "\r\n"});
            });
        for (std::size_t i = 0; i < set_.size(); ++i)
            if (!used_[i])
                AppendAll(out, {set_[i].first, "=", set_[i].second, "\r\n"});
        out += "\r\n";
    }

private:
    static void AppendAll(std::string& out, std::initializer_list<std::string_view> pieces)
    {
        for (std::string_view piece : pieces)
            out.append(piece);
    }

    std::vector<std::pair<std::string_view, std::string>> set_;
    std::vector<std::string_view> erased_;
    std::vector<bool> used_;
};

}  // namespace

DeviceFile ParseDeviceFile(std::string_view text)
{
    DeviceFile file;
    ForEachDeviceFileLine(
        text,
        [&](std::string_view name) {
            file.push_back({std::string(name), {}});
        },
        [&](std::string_view key, std::string_view value) {
            file.back().keys.emplace_back(std::string(key), std::string(value));
        });
    return file;
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
    const EdsView eds(edsText);
    const EdsView::Section* info = eds.section("DeviceInfo");
    const auto infoValue = [&](std::string_view key) { return info ? EdsView::find(*info, key) : std::nullopt; };
    const auto identity = [&](std::string_view key) {
        const auto value = infoValue(key);
        const auto number = value ? ObjectValue(*value, state.NodeId) : std::nullopt;
        return number ? Hex(*number) : std::string("0x0");
    };
    const std::string vendor = identity("VendorNumber");
    const std::string product = identity("ProductNumber");
    const std::string revision = identity("RevisionNumber");

    SectionEdits commissioning;
    commissioning.set("NodeID", std::to_string(state.NodeId));
    commissioning.set("NodeName", std::string(infoValue("ProductName").value_or("")));
    commissioning.set("Baudrate", std::to_string(CanBaudKbps(state.ApplicationLayer, state.CanBaudIndex).value_or(0)));
    commissioning.set("NetNumber", "1");
    commissioning.set("CANopenManager", "0");
    // After [FileInfo] and [DeviceInfo], where readers and people look first.
    const std::size_t commissioningAt = std::min<std::size_t>(info ? 2 : 1, eds.sections.size());

    std::string out;
    // Room for the EDS and the keys the DCF adds, so that the text is not
    // copied as it grows.
    out.reserve(edsText.size() + edsText.size() / 8);
    SectionEdits edits;
    const auto& sections = eds.sections;
    for (std::size_t i = 0; i <= sections.size(); ++i) {
        if (i == commissioningAt)
            commissioning.write(out, "DeviceComissioning", nullptr);
        if (i == sections.size())
            break;
        const EdsView::Section& section = sections[i];
        const std::string_view name = section.name;
        edits.clear();
        const auto index = ObjectIndex(name);
        if (name == "FileInfo") {
            edits.set("FileName", CanopenDcfFileName(state.NodeId));
            edits.set("LastEDS", CanopenEdsFileName(state.NodeId));
        } else if (IsListSection(name)) {
            // Strict readers check the count against the entries listed.
            int listed = 0;
            EdsView::ForEachKey(section,
                                [&](std::string_view key, std::string_view) { listed += key != "SupportedObjects"; });
            edits.set("SupportedObjects", std::to_string(listed));
        } else if (index && name.size() == 4 && EdsView::find(section, "SubNumber")) {
            std::size_t subs = 0;
            while (i + 1 + subs < sections.size() && sections[i + 1 + subs].name.size() > 4 &&
                   sections[i + 1 + subs].name.substr(0, 4) == name &&
                   sections[i + 1 + subs].name.substr(4, 3) == "sub")
                ++subs;
            edits.set("SubNumber", std::to_string(subs));
        } else if (index) {
            std::optional<std::string_view> defaultValue = EdsView::find(section, "DefaultValue");
            if (*index == 0x1018) {
                // The identity object answers what [DeviceInfo] says.
                const std::string* stated = name == "1018sub1"   ? &vendor
                                            : name == "1018sub2" ? &product
                                            : name == "1018sub3" ? &revision
                                                                 : nullptr;
                if (stated) {
                    edits.set("DefaultValue", *stated);
                    defaultValue = *stated;
                }
            }
            if (defaultValue && defaultValue->empty()) {
                edits.erase("DefaultValue");
                defaultValue.reset();
            }
            if (defaultValue && HeldByGateway(*index))
                if (const auto number = ObjectValue(*defaultValue, state.NodeId))
                    edits.set("ParameterValue", Hex(*number));
        }
        edits.write(out, name, &section);
    }
    return out;
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
