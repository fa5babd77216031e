// `k400gw configure --profile devicenet` and `k400gw eds --profile devicenet`:
// the DeviceNet window driven from the command line.

#include <array>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>

#include "app/BuildEds.h"
#include "app/ProgramState.h"
#include "app/Settings.h"
#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/ConfigureCommon.h"
#include "cli/GatewayOptions.h"
#include "cli/GatewaySession.h"
#include "cli/JsonWriter.h"
#include "cli/TerminalUserInterface.h"
#include "devicenet/DeviceNetWindow.h"
#include "devicenet/EdsWriter.h"
#include "devicenet/ObjectTables.h"
#include "gateway/ConfigImage.h"
#include "platform/Clock.h"

namespace k400 {

namespace {

constexpr std::uint8_t DeviceNetLayer = 1;
constexpr std::array<const char*, ConnectionKinds> KindNames = {"poll", "strobe", "cos"};
constexpr std::array<const char*, 4> DefaultIoNames = {"poll", "strobe", "cos", "cyclic"};

// The window's selectors and fields as options: list indexes as the EDS
// numbers them ("Input N" / "Output N"), 0 = "None".
struct DeviceNetWindowOptions {
    std::array<std::optional<int>, ConnectionKinds> input;
    std::array<std::optional<int>, ConnectionKinds> output;
    std::optional<int> defaultIo;
    std::optional<std::string> description;
    std::optional<std::string> createdBy;
};

std::optional<DeviceNetWindowOptions> TakeWindowOptions(ArgList& args, CommandIo& io, std::string_view command)
{
    DeviceNetWindowOptions options;
    for (int k = 0; k < ConnectionKinds; ++k) {
        for (const bool in : {true, false}) {
            const std::string name = std::string(KindNames[k]) + (in ? "-in" : "-out");
            const auto text = args.value(name);
            if (!text)
                continue;
            const auto index = ParseIntegerOption(*text, 0, 255);
            if (!index) {
                UsageError(io, command, "--" + name + " needs a selector list index (0 = None), not '" + *text + "'");
                return std::nullopt;
            }
            (in ? options.input : options.output)[k] = static_cast<int>(*index);
        }
    }
    if (const auto text = args.value("default-io")) {
        for (std::size_t i = 0; i < DefaultIoNames.size(); ++i)
            if (*text == DefaultIoNames[i])
                options.defaultIo = static_cast<int>(i);
        if (!options.defaultIo) {
            UsageError(io, command, "--default-io needs poll, strobe, cos or cyclic, not '" + *text + "'");
            return std::nullopt;
        }
    }
    options.description = args.value("description");
    options.createdBy = args.value("created-by");
    return options;
}

// Makes the given choices through the selectors, each with its own checks.
// A list index the selector does not have is a usage error (2); a choice
// the selector refuses (strobe data too long) a failure (1).
int EnterWindowOptions(DeviceNetWindow& window, const DeviceNetWindowOptions& options, CommandIo& io,
                       std::string_view command)
{
    for (int k = 0; k < ConnectionKinds; ++k) {
        for (const bool in : {true, false}) {
            const auto& chosen = (in ? options.input : options.output)[k];
            if (!chosen)
                continue;
            const auto& list = in ? window.Lists().Input : window.Lists().Output;
            if (*chosen >= static_cast<int>(list.size())) {
                return UsageError(io, command,
                                  "--" + std::string(KindNames[k]) + (in ? "-in " : "-out ") +
                                      std::to_string(*chosen) + ": the " + (in ? "input" : "output") +
                                      " selector has the entries 0.." + std::to_string(list.size() - 1));
            }
            if (in) {
                if (!window.SelectInput(k, *chosen))
                    return ExitFailure;
            } else {
                window.SelectOutput(k, *chosen);
            }
        }
    }
    if (options.defaultIo)
        window.SelectDefaultConnection(*options.defaultIo);
    if (options.description)
        window.EdsInfo[0] = *options.description;
    if (options.createdBy)
        window.EdsInfo[1] = *options.createdBy;
    return ExitSuccess;
}

void PrintSelectors(std::ostream& out, const DeviceNetWindow& window)
{
    const auto list = [&](const char* title, const std::vector<std::string>& entries) {
        out << title << ":\n";
        for (std::size_t i = 0; i < entries.size(); ++i) {
            char number[32];
            std::snprintf(number, sizeof number, "%4zu  ", i);
            out << number << entries[i] << '\n';
        }
    };
    list("Input selector (produced connection)", window.Lists().Input);
    list("Output selector (consumed connection)", window.Lists().Output);
    const ConnectionChoices& c = window.Choices();
    out << "Selections: poll in " << c.InputSelection[0] << " out " << c.OutputSelection[0] << ", strobe in "
        << c.InputSelection[1] << " out " << c.OutputSelection[1] << ", cos/cyclic in " << c.InputSelection[2]
        << " out " << c.OutputSelection[2] << ", default " << DefaultIoNames[c.DefaultConnection] << '\n';
}

void PrintAssemblyTables(std::ostream& out, const ProgramState& state)
{
    const auto tabs = AssemblyTabs(state);
    if (tabs.empty())
        out << "No assembly instances.\n";
    for (const AssemblyTab tab : tabs)
        PrintTable(out, AssemblyTabCaption(tab), AssemblyObjectTable(state, tab).rows);
}

void JsonWordList(JsonWriter& json, const std::vector<double>& words, std::size_t count)
{
    json.beginArray();
    for (std::size_t i = 0; i < count && i < words.size(); ++i)
        json.value(static_cast<long long>(words[i]));
    json.endArray();
}

void PrintJson(std::ostream& out, const ProgramState& state, const DeviceNetWindow& window, const std::string& edsFile,
               bool withImage)
{
    JsonWriter json(out);
    json.beginObject();
    json.key("eds_file").value(edsFile);
    json.key("node_id").value(static_cast<int>(state.NodeId));
    if (withImage) {
        json.key("header_image");
        JsonWordList(json, state.HeaderImage, 9);
        json.key("application_image");
        JsonWordList(json, state.ApplicationImage,
                     static_cast<std::size_t>(state.ApplicationAreaBytes > 0 ? state.ApplicationAreaBytes / 4 : 0));
        json.key("connection_image");
        JsonWordList(json, state.ConnectionImage, 7);
    }
    json.key("last_output_assembly").value(static_cast<int>(state.LastOutputAssembly));
    json.key("last_input_assembly").value(static_cast<int>(state.LastInputAssembly));
    json.key("selectors").beginObject();
    for (const bool in : {true, false}) {
        json.key(in ? "input" : "output").beginArray();
        for (const std::string& entry : in ? window.Lists().Input : window.Lists().Output)
            json.value(entry);
        json.endArray();
    }
    json.endObject();
    const ConnectionChoices& c = window.Choices();
    json.key("selections").beginObject();
    for (int k = 0; k < ConnectionKinds; ++k) {
        json.key(KindNames[k]).beginObject();
        json.key("input").value(static_cast<int>(c.InputSelection[k]));
        json.key("output").value(static_cast<int>(c.OutputSelection[k]));
        json.endObject();
    }
    json.endObject();
    json.key("default_connection").value(DefaultIoNames[c.DefaultConnection]);
    json.key("assemblies").beginObject();
    for (const AssemblyTab tab : {AssemblyTab::Output, AssemblyTab::Input}) {
        json.key(tab == AssemblyTab::Output ? "output" : "input").beginArray();
        const TextGrid grid = AssemblyObjectTable(state, tab);
        for (std::size_t r = 1; r < grid.rows.size(); ++r) {
            const auto& row = grid.rows[r];
            json.beginObject();
            json.key("instance_id").value("0x" + row[1]);
            json.key("length").value(std::stoi(row[2]));
            json.key("mapping").beginArray();
            for (std::size_t c2 = 3; c2 < row.size() && !row[c2].empty(); ++c2)
                json.value(row[c2]);
            json.endArray();
            json.endObject();
        }
        json.endArray();
    }
    json.endObject();
    json.endObject();
}

// "1.05-20071126": major.minor and the build date.
bool TakeFirmware(const std::string& text, ProgramState& state)
{
    unsigned major = 0, minor = 0, year = 0, month = 0, day = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%3u.%3u-%4u%2u%2u%c", &major, &minor, &year, &month, &day, &tail) != 5)
        return false;
    if (major > 255 || minor > 255 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    state.FirmwareVersion = {static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor)};
    state.FirmwareDate = {static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
                          static_cast<std::uint8_t>(day)};
    return true;
}

}  // namespace

int RunDeviceNetConfigure(ArgList& args, CommandIo& io)
{
    constexpr const char* Command = "configure";
    const auto sessionOptions = TakeSessionOptions(args, io, Command);
    if (!sessionOptions)
        return ExitUsage;
    const auto gatewayOptions = TakeGatewayOptions(args, io, Command);
    if (!gatewayOptions)
        return ExitUsage;
    const auto windowOptions = TakeWindowOptions(args, io, Command);
    if (!windowOptions)
        return ExitUsage;
    const auto outputDir = args.value("output-dir");
    const bool dryRun = args.flag("dry-run");
    const bool json = args.flag("json");
    if (const int rc = CheckNoLeftover(args, io, Command))
        return rc;

    std::optional<std::filesystem::path> folder;
    if (!dryRun) {
        folder = OutputFolder(outputDir, io);
        if (!folder)
            return ExitFailure;
    }

    const auto session = GatewaySession::Create(*sessionOptions, io);
    if (!session)
        return ExitFailure;
    ProgramState& state = session->state();
    TerminalUserInterface& ui = session->ui();
    ConsoleLink& link = session->link();

    ParameterPanel panel;
    if (!ConnectWithGatewayOptions(state, panel, link, *gatewayOptions, DeviceNetLayer))
        return ExitFailure;
    panel.ApplicationSelect = {false, true};
    if (BuildEdsFile(state, ui, ApplicationChoice::DeviceNet, &session->port()) != ProfileWindow::DeviceNet)
        return ExitFailure;

    DeviceNetWindow window(state, ui);
    if (!window.Load())
        return ExitFailure;
    if (const int rc = EnterWindowOptions(window, *windowOptions, io, Command))
        return rc;

    if (dryRun) {
        // What Finish would write; nothing reaches the gateway or the disk.
        window.PrepareImage(session->clock().localTime());
        const std::string edsFile = DeviceNetEdsFileName(state.NodeId);
        if (json) {
            PrintJson(io.out, state, window, edsFile, true);
        } else {
            io.out << "Dry run: nothing written. EDS file would be " << edsFile << '\n';
            PrintSelectors(io.out, window);
            PrintAssemblyTables(io.out, state);
            PrintImageWords(io.out, state, true);
        }
        return ExitSuccess;
    }

    const FinishResult result = window.Finish(link, *folder);
    if (!result.done())
        return ExitFailure;
    if (json) {
        PrintJson(io.out, state, window, result.edsPath, true);
    } else {
        PrintSelectors(io.out, window);
        PrintAssemblyTables(io.out, state);
        io.out << "EDS file: " << result.edsPath << '\n' << FinishDoneStatus << '\n';
    }
    return ExitSuccess;
}

int RunDeviceNetEds(ArgList& args, CommandIo& io)
{
    constexpr const char* Command = "eds";
    const auto modules = TakeModulesOption(args, io, Command);
    if (!modules)
        return ExitUsage;
    const auto settings = TakeSettingsOptions(args, io, Command);
    if (!settings)
        return ExitUsage;
    const auto windowOptions = TakeWindowOptions(args, io, Command);
    if (!windowOptions)
        return ExitUsage;
    ProgramState state;
    const std::string firmware = args.value("firmware").value_or("1.05-20071126");
    if (!TakeFirmware(firmware, state))
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
    if (!ApplySettingsOptions(state, panel, ui, *settings, DeviceNetLayer))
        return ExitFailure;
    state.ApplicationLayer = DeviceNetLayer;

    DeviceNetWindow window(state, ui);
    if (!window.Load())
        return ExitFailure;
    if (const int rc = EnterWindowOptions(window, *windowOptions, io, Command))
        return rc;
    state.EdsInfoText = window.EdsInfo;

    const TextFileResult written = WriteDeviceNetEds(state, window.Choices(), clock.localTime(), *folder);
    if (!written.ok) {
        io.err << written.error << '\n';
        return ExitFailure;
    }
    if (json) {
        PrintJson(io.out, state, window, written.path.string(), false);
    } else {
        PrintSelectors(io.out, window);
        PrintAssemblyTables(io.out, state);
        io.out << "EDS file: " << written.path.string() << '\n';
    }
    return ExitSuccess;
}

}  // namespace k400
