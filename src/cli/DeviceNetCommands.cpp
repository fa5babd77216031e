// The DeviceNet profile of `k400gw configure` and `k400gw eds`: the DeviceNet
// window driven from the command line.

#include <array>
#include <memory>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>

#include "app/BuildEds.h"
#include "app/ProgramState.h"
#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/ConfigureCommon.h"
#include "cli/JsonWriter.h"
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

std::optional<DeviceNetWindowOptions> TakeDeviceNetWindowOptions(ArgList& args, CommandIo& io, std::string_view command)
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

void PrintJson(std::ostream& out, const ProgramState& state, const DeviceNetWindow& window, const std::string& edsFile,
               bool withImage)
{
    JsonWriter json(out);
    json.beginObject();
    json.key("eds_file").value(edsFile);
    json.key("node_id").value(static_cast<int>(state.NodeId));
    if (withImage) {
        json.key("header_image");
        JsonWords(json, state.HeaderImage, 9);
        json.key("application_image");
        JsonWords(json, state.ApplicationImage,
                     static_cast<std::size_t>(state.ApplicationAreaBytes > 0 ? state.ApplicationAreaBytes / 4 : 0));
        json.key("connection_image");
        JsonWords(json, state.ConnectionImage, 7);
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

class DeviceNetCommand final : public ProfileCommand {
public:
    std::uint8_t ApplicationLayer() const override { return DeviceNetLayer; }
    ApplicationChoice Choice() const override { return ApplicationChoice::DeviceNet; }
    ProfileWindow Window() const override { return ProfileWindow::DeviceNet; }

    int TakeWindowOptions(ArgList& args, CommandIo& io, std::string_view command) override
    {
        auto options = TakeDeviceNetWindowOptions(args, io, command);
        if (!options)
            return ExitUsage;
        options_ = *options;
        return ExitSuccess;
    }

    int OpenWindow(ProgramState& state, UserInterface& ui, CommandIo& io, std::string_view command) override
    {
        window_ = std::make_unique<DeviceNetWindow>(state, ui);
        if (!window_->Load())
            return ExitFailure;
        return EnterWindowOptions(*window_, options_, io, command);
    }

    int DryRun(ProgramState& state, Clock& clock, const std::filesystem::path& edsFolder, bool json,
               CommandIo& io) override
    {
        window_->PrepareImage(clock.localTime());
        const std::string edsFile = (edsFolder / DeviceNetEdsFileName(state.NodeId)).string();
        if (json) {
            PrintJson(io.out, state, *window_, edsFile, true);
        } else {
            io.out << "Dry run: nothing written. EDS file would be " << edsFile << '\n';
            PrintSelectors(io.out, *window_);
            PrintAssemblyTables(io.out, state);
            PrintImageWords(io.out, state, true);
        }
        return ExitSuccess;
    }

    int Finish(ProgramState& state, ConsoleLink& link, Clock&, const std::filesystem::path& edsFolder, bool json,
               CommandIo& io) override
    {
        const FinishResult result = window_->Finish(link, edsFolder);
        if (!result.done())
            return ExitFailure;
        if (json) {
            PrintJson(io.out, state, *window_, result.edsPath, true);
        } else {
            PrintSelectors(io.out, *window_);
            PrintAssemblyTables(io.out, state);
            io.out << "EDS file: " << result.edsPath << '\n' << FinishDoneStatus << '\n';
        }
        return ExitSuccess;
    }

    int WriteEds(ProgramState& state, Clock& clock, const std::filesystem::path& edsFolder, bool json,
                 CommandIo& io) override
    {
        state.EdsInfoText = window_->EdsInfo;
        const TextFileResult written = WriteDeviceNetEds(state, window_->Choices(), clock.localTime(), edsFolder);
        if (!written.ok) {
            io.err << written.error << '\n';
            return ExitFailure;
        }
        if (json) {
            PrintJson(io.out, state, *window_, written.path.string(), false);
        } else {
            PrintSelectors(io.out, *window_);
            PrintAssemblyTables(io.out, state);
            io.out << "EDS file: " << written.path.string() << '\n';
        }
        return ExitSuccess;
    }

private:
    DeviceNetWindowOptions options_;
    std::unique_ptr<DeviceNetWindow> window_;
};

}  // namespace

std::unique_ptr<ProfileCommand> MakeDeviceNetCommand()
{
    return std::make_unique<DeviceNetCommand>();
}

}  // namespace k400
