#include "cli/ConfigureCommon.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <unistd.h>

#include "app/ProgramState.h"
#include "canopen/CanopenWindow.h"
#include "canopen/PdoTables.h"
#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "gateway/ConfigImage.h"
#include "platform/ProgramFolder.h"

namespace k400 {

std::optional<CliProfile> ProfileOption(ArgList& args, CommandIo& io, std::string_view command)
{
    const auto profile = args.value("profile");
    if (!profile) {
        UsageError(io, command, "--profile canopen|devicenet is required");
        return std::nullopt;
    }
    if (*profile == "canopen")
        return CliProfile::Canopen;
    if (*profile == "devicenet")
        return CliProfile::DeviceNet;
    UsageError(io, command, "unknown profile '" + *profile + "' (canopen or devicenet)");
    return std::nullopt;
}

std::optional<std::string> CheckWritableFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return "The output folder " + folder.string() + " does not exist or is not a folder";
    std::string probe = (folder / ".k400gw-probe-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return "Cannot write to the output folder " + folder.string() + ": " + std::strerror(errno);
    ::close(fd);
    ::unlink(probe.c_str());
    return std::nullopt;
}

std::optional<std::filesystem::path> OutputFolder(const std::optional<std::string>& given, CommandIo& io)
{
    std::filesystem::path folder = given ? std::filesystem::path(*given) : ProgramFolder();
    if (folder.empty())
        folder = ".";
    if (const auto problem = CheckWritableFolder(folder)) {
        io.err << *problem << '\n';
        return std::nullopt;
    }
    return folder;
}

void PrintImageWords(std::ostream& out, const ProgramState& state, bool includeConnectionBlock)
{
    auto word = [&](int block, int offset, double value) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(value));
        out << "  block " << block << " offset " << offset << ": " << LongWordText(value) << " (0x" << hex
            << ")\n";
    };
    out << "Configuration image:\n";
    const int headerWords = std::min<int>(state.HeaderAreaBytes / 4, static_cast<int>(state.HeaderImage.size()));
    for (int i = 0; i < headerWords; ++i)
        word(0, 40 + 4 * i, state.HeaderImage[static_cast<std::size_t>(i)]);
    const int applicationWords =
        std::min<int>(state.ApplicationAreaBytes / 4, static_cast<int>(state.ApplicationImage.size()));
    for (int i = 0; i < applicationWords; ++i)
        word(2, 4 * i, state.ApplicationImage[static_cast<std::size_t>(i)]);
    if (includeConnectionBlock) {
        for (int i = 0; i < 7 && i < static_cast<int>(state.ConnectionImage.size()); ++i)
            word(1, 4 * i, state.ConnectionImage[static_cast<std::size_t>(i)]);
    }
}

void PrintTable(std::ostream& out, const std::string& title, const std::vector<std::vector<std::string>>& rows)
{
    out << title << ":\n";
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size())
            widths.resize(row.size(), 1);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    }
    for (const auto& row : rows) {
        std::string line = " ";
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string& cell = row[c].empty() ? std::string("-") : row[c];
            line += ' ';
            line += cell;
            if (c + 1 < row.size())
                line.append(widths[c] - cell.size() + 1, ' ');
        }
        out << line << '\n';
    }
}

std::optional<CanopenWindowOptions> TakeCanopenWindowOptions(ArgList& args, CommandIo& io, std::string_view command)
{
    CanopenWindowOptions options;
    options.guardTime = args.value("guard-time");
    options.lifeFactor = args.value("life-factor");
    options.heartbeat = args.value("heartbeat");
    options.description = args.value("description");
    options.createdBy = args.value("created-by");
    if (options.heartbeat && (options.guardTime || options.lifeFactor)) {
        UsageError(io, command, "--heartbeat cannot be combined with --guard-time or --life-factor");
        return std::nullopt;
    }
    return options;
}

void EnterCanopenWindowOptions(CanopenWindow& window, const CanopenWindowOptions& options)
{
    auto& view = window.view();
    if (options.heartbeat) {
        window.SelectErrorControl(ErrorControlOption::Heartbeat);
        view.HeartbeatText = *options.heartbeat;
    } else if (options.guardTime || options.lifeFactor) {
        window.SelectErrorControl(ErrorControlOption::NodeGuarding);
        if (options.guardTime)
            view.GuardTimeText = *options.guardTime;
        if (options.lifeFactor)
            view.LifeFactorText = *options.lifeFactor;
    }
    if (options.description)
        view.EdsInfo[0] = *options.description;
    if (options.createdBy)
        view.EdsInfo[1] = *options.createdBy;
}

void PrintPdoTables(std::ostream& out, const ProgramState& state)
{
    PrintTable(out, "Receive PDO", PdoTableRows(state, PdoDirection::Receive));
    PrintTable(out, "Transmit PDO", PdoTableRows(state, PdoDirection::Transmit));
}

namespace {

void JsonWords(JsonWriter& json, const std::vector<double>& words, std::size_t count)
{
    json.beginArray();
    for (std::size_t i = 0; i < count && i < words.size(); ++i)
        json.value(static_cast<long long>(words[i]));
    json.endArray();
}

void JsonPdoRows(JsonWriter& json, const std::vector<std::vector<std::string>>& rows)
{
    json.beginArray();
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto& row = rows[r];
        json.beginObject();
        json.key("pdo").value(row[0]);
        json.key("cob_id").value(row[1]);
        json.key("transmission_type").value(row[2]);
        json.key("inhibit_time").value(row[3]);
        json.key("event_timer").value(row[4]);
        json.key("mapping").beginArray();
        for (std::size_t c = 5; c < row.size(); ++c)
            json.value(row[c]);
        json.endArray();
        json.endObject();
    }
    json.endArray();
}

}  // namespace

void PrintCanopenJson(std::ostream& out, const ProgramState& state, const std::string& edsFile)
{
    JsonWriter json(out);
    json.beginObject();
    json.key("eds_file").value(edsFile);
    json.key("header_image");
    JsonWords(json, state.HeaderImage, 9);
    json.key("application_image");
    JsonWords(json, state.ApplicationImage, static_cast<std::size_t>(std::max(0, state.ApplicationAreaBytes / 4)));
    json.key("last_rx_pdo").value(static_cast<int>(state.LastOutputAssembly));
    json.key("last_tx_pdo").value(static_cast<int>(state.LastInputAssembly));
    json.key("pdo_table").beginObject();
    json.key("receive");
    JsonPdoRows(json, PdoTableRows(state, PdoDirection::Receive));
    json.key("transmit");
    JsonPdoRows(json, PdoTableRows(state, PdoDirection::Transmit));
    json.endObject();
    json.endObject();
}

}  // namespace k400
