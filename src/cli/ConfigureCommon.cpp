#include "cli/ConfigureCommon.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <unistd.h>

#include "app/ProgramState.h"
#include "app/Settings.h"
#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/GatewayOptions.h"
#include "cli/GatewaySession.h"
#include "cli/JsonWriter.h"
#include "cli/TerminalUserInterface.h"
#include "gateway/ConfigImage.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"

namespace k400 {

namespace {

std::unique_ptr<ProfileCommand> ProfileOption(ArgList& args, CommandIo& io, std::string_view command)
{
    const auto profile = args.value("profile");
    if (!profile) {
        UsageError(io, command, "--profile canopen|devicenet is required");
        return nullptr;
    }
    if (*profile == "canopen")
        return MakeCanopenCommand();
    if (*profile == "devicenet")
        return MakeDeviceNetCommand();
    UsageError(io, command, "unknown profile '" + *profile + "' (canopen or devicenet)");
    return nullptr;
}

}  // namespace

// `k400gw configure --profile canopen|devicenet`: a whole configuration of a
// connected gateway, from the connect to the EDS file.
int RunConfigureCommand(ArgList& args, CommandIo& io)
{
    constexpr const char* Command = "configure";
    const auto profile = ProfileOption(args, io, Command);
    if (!profile)
        return ExitUsage;
    const auto sessionOptions = TakeSessionOptions(args, io, Command);
    if (!sessionOptions)
        return ExitUsage;
    const auto gatewayOptions = TakeGatewayOptions(args, io, Command);
    if (!gatewayOptions)
        return ExitUsage;
    if (const int rc = profile->TakeWindowOptions(args, io, Command))
        return rc;
    const auto outputDir = args.value("output-dir");
    const bool dryRun = args.flag("dry-run");
    const bool json = args.flag("json");
    if (const int rc = CheckNoLeftover(args, io, Command))
        return rc;

    // A dry run writes nothing, so its folder need not exist yet.
    std::optional<std::filesystem::path> folder;
    if (dryRun)
        folder = outputDir ? std::filesystem::path(*outputDir) : ProgramFolder();
    else if (!(folder = OutputFolder(outputDir, io)))
        return ExitFailure;

    const auto session = GatewaySession::Create(*sessionOptions, io);
    if (!session)
        return ExitFailure;
    ProgramState& state = session->state();
    TerminalUserInterface& ui = session->ui();

    const std::uint8_t layer = profile->ApplicationLayer();
    ParameterPanel panel;
    if (!ConnectWithGatewayOptions(state, panel, session->link(), *gatewayOptions, layer))
        return ExitFailure;
    panel.ApplicationSelect = {layer == 0, layer != 0};
    if (BuildEdsFile(state, ui, profile->Choice(), &session->port()) != profile->Window())
        return ExitFailure;

    if (const int rc = profile->OpenWindow(state, ui, io, Command))
        return rc;
    if (dryRun)
        return profile->DryRun(state, session->clock(), *folder, json, io);
    return profile->Finish(state, session->link(), session->clock(), *folder, json, io);
}

// `k400gw eds --profile canopen|devicenet`: the EDS file of a planned set of
// modules, with no gateway attached.
int RunEdsCommand(ArgList& args, CommandIo& io)
{
    constexpr const char* Command = "eds";
    const auto profile = ProfileOption(args, io, Command);
    if (!profile)
        return ExitUsage;
    const auto modules = TakeModulesOption(args, io, Command);
    if (!modules)
        return ExitUsage;
    const auto settings = TakeSettingsOptions(args, io, Command);
    if (!settings)
        return ExitUsage;
    if (const int rc = profile->TakeWindowOptions(args, io, Command))
        return rc;
    ProgramState state;
    const std::string firmware = args.value("firmware").value_or("1.05-20071126");
    if (!ParseFirmwareText(firmware, state))
        return UsageError(io, Command,
                          "--firmware needs MAJOR.MINOR-YYYYMMDD such as 1.05-20071126, not '" + firmware + "'");
    const auto outputDir = args.value("output-dir");
    const bool json = args.flag("json");
    if (const int rc = CheckNoLeftover(args, io, Command))
        return rc;
    const auto folder = OutputFolder(outputDir, io);
    if (!folder)
        return ExitFailure;

    TerminalUserInterface ui(io.err);
    SystemClock clock;
    std::string error;
    if (!ApplyPlannedModules(state, modules->value_or(std::vector<PlannedModule>{}), error)) {
        io.err << error << '\n';
        return ExitFailure;
    }
    state.Connected = true;
    ParameterPanel panel;
    const std::uint8_t layer = profile->ApplicationLayer();
    if (!ApplySettingsOptions(state, panel, ui, *settings, layer))
        return ExitFailure;
    state.ApplicationLayer = layer;

    if (const int rc = profile->OpenWindow(state, ui, io, Command))
        return rc;
    return profile->WriteEds(state, clock, *folder, json, io);
}

bool ParseFirmwareText(const std::string& text, ProgramState& state)
{
    unsigned major = 0, minor = 0, year = 0, month = 0, day = 0;
    char tail = 0;
    // The length check keeps a short date such as "2007111" from passing as YYYYMMD.
    if (text.size() < 12 || std::sscanf(text.c_str(), "%3u.%3u-%4u%2u%2u%c", &major, &minor, &year, &month, &day,
                                        &tail) != 5)
        return false;
    if (major > 255 || minor > 255 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    state.FirmwareVersion = {static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor)};
    state.FirmwareDate = {static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
                          static_cast<std::uint8_t>(day)};
    return true;
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

void JsonWords(JsonWriter& json, const std::vector<double>& words, std::size_t count)
{
    json.beginArray();
    for (std::size_t i = 0; i < count && i < words.size(); ++i)
        json.value(static_cast<long long>(words[i]));
    json.endArray();
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

}  // namespace k400
