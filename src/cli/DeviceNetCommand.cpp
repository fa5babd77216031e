// The DeviceNet profile of `k400gw configure` and `k400gw eds`.

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/ProfileCommand.h"
#include "devicenet/DeviceNetConfiguration.h"
#include "devicenet/EdsWriter.h"
#include "devicenet/ObjectTables.h"
#include "gateway/ProgramState.h"
#include "platform/Messages.h"

namespace k400 {

namespace {

constexpr std::array<const char*, ConnectionKinds> KindNames = {"poll", "strobe", "cos"};
constexpr std::array<const char*, 4> DefaultIoNames = {"poll", "strobe", "cos", "cyclic"};

void PrintSelectors(std::ostream& out, const DeviceNetConfiguration& configuration)
{
    const auto list = [&](const char* title, const std::vector<std::string>& entries) {
        out << title << ":\n";
        for (std::size_t i = 0; i < entries.size(); ++i) {
            char number[32];
            std::snprintf(number, sizeof number, "%4zu  ", i);
            out << number << entries[i] << '\n';
        }
    };
    list(msg::CliInputSelectorTitle, configuration.Lists().Input);
    list(msg::CliOutputSelectorTitle, configuration.Lists().Output);
    const DeviceNetChoices& c = configuration.Choices();
    out << msg::CliSelections({c.InputSelection[0], c.InputSelection[1], c.InputSelection[2]},
                              {c.OutputSelection[0], c.OutputSelection[1], c.OutputSelection[2]},
                              DefaultIoNames[c.DefaultConnection])
        << '\n';
}

void PrintAssemblyTables(std::ostream& out, const ProgramState& state)
{
    const auto tabs = AssemblyTabs(state);
    if (tabs.empty())
        out << msg::CliNoAssemblies << '\n';
    for (const AssemblyTab tab : tabs)
        PrintTable(out, AssemblyTabCaption(tab), AssemblyObjectTable(state, tab).rows);
}

Json DeviceNetJson(const ProgramState& state, const DeviceNetConfiguration& configuration, const std::string& edsFile,
                   bool withImage)
{
    Json json;
    json["eds_file"] = edsFile;
    json["node_id"] = state.NodeId;
    if (withImage) {
        json["header_image"] = ImageWords(state.HeaderImage, 9);
        json["application_image"] =
            ImageWords(state.ApplicationImage, static_cast<std::size_t>(std::max(0, state.ApplicationAreaBytes / 4)));
        json["connection_image"] = ImageWords(state.ConnectionImage, 7);
    }
    json["last_output_assembly"] = state.LastOutputAssembly;
    json["last_input_assembly"] = state.LastInputAssembly;
    json["selectors"] = {{"input", configuration.Lists().Input}, {"output", configuration.Lists().Output}};
    const DeviceNetChoices& c = configuration.Choices();
    Json& selections = json["selections"];
    for (int k = 0; k < ConnectionKinds; ++k)
        selections[KindNames[static_cast<std::size_t>(k)]] = {
            {"input", c.InputSelection[static_cast<std::size_t>(k)]},
            {"output", c.OutputSelection[static_cast<std::size_t>(k)]}};
    json["default_connection"] = DefaultIoNames[c.DefaultConnection];
    Json& assemblies = json["assemblies"];
    for (const AssemblyTab tab : {AssemblyTab::Output, AssemblyTab::Input}) {
        Json instances = Json::array();
        const TextGrid grid = AssemblyObjectTable(state, tab);
        for (std::size_t r = 1; r < grid.rows.size(); ++r) {
            const auto& row = grid.rows[r];
            Json mapping = Json::array();
            for (std::size_t c2 = 3; c2 < row.size() && !row[c2].empty(); ++c2)
                mapping.push_back(row[c2]);
            instances.push_back({{"instance_id", "0x" + row[1]}, {"length", std::stoi(row[2])}, {"mapping", mapping}});
        }
        assemblies[tab == AssemblyTab::Output ? "output" : "input"] = instances;
    }
    return json;
}

class DeviceNetCommand final : public ProfileCommand {
public:
    std::string_view name() const override { return "devicenet"; }
    std::uint8_t layer() const override { return DeviceNetLayer; }
    ApplicationChoice choice() const override { return ApplicationChoice::DeviceNet; }
    Profile profile() const override { return Profile::DeviceNet; }

    void define(CLI::App& command) override
    {
        for (std::size_t k = 0; k < KindNames.size(); ++k) {
            for (const bool in : {true, false}) {
                const std::string name = std::string("--") + KindNames[k] + (in ? "-in" : "-out");
                options_.push_back(AddWholeOption(command, name, (in ? input_ : output_)[k], 0, 255, "N",
                                                  msg::HelpSelectorEntry(KindNames[k], in)));
            }
        }
        options_.push_back(command.add_option("--default-io", defaultIo_, msg::HelpDefaultIo)
                               ->check(CLI::IsMember({"poll", "strobe", "cos", "cyclic"}))
                               ->option_text("poll|strobe|cos|cyclic"));
        // Added to what the settings options already say below the options.
        const std::string before = command.get_footer();
        command.footer(before + (before.empty() ? "" : "\n") + msg::HelpSelectorFooter);
    }

    std::string givenOption() const override
    {
        for (const CLI::Option* option : options_)
            if (option->count() > 0)
                return option->get_name();
        return {};
    }

    void takePlan(const Plan& plan) override
    {
        for (std::size_t k = 0; k < KindNames.size(); ++k) {
            if (!input_[k])
                input_[k] = plan.InputEntry[k];
            if (!output_[k])
                output_[k] = plan.OutputEntry[k];
        }
        if (!defaultIo_ && plan.DefaultConnection)
            defaultIo_ = DefaultIoNames[static_cast<std::size_t>(*plan.DefaultConnection)];
    }

    Plan usedPlan(const ProgramState& state) const override
    {
        return PlanOfDeviceNet(state, configuration_->Choices());
    }

    // The selector entries exist only once the modules are known.
    bool checkOptions(UserInterface&) const override { return true; }

    int load(ProgramState& state, UserInterface& ui, const EdsInfo& edsInfo, CommandIo& io,
             std::string_view command) override
    {
        configuration_ = std::make_unique<DeviceNetConfiguration>(state, ui);
        if (!configuration_->Load())
            return ExitFailure;
        // Each given choice through its selector, with the selector's own checks.
        for (std::size_t k = 0; k < KindNames.size(); ++k) {
            for (const bool in : {true, false}) {
                const auto& given = (in ? input_ : output_)[k];
                const auto& list = in ? configuration_->Lists().Input : configuration_->Lists().Output;
                if (!given)
                    continue;
                if (*given >= static_cast<int>(list.size()))
                    return UsageError(
                        io, command,
                        msg::CliSelectorHasEntries(std::string("--") + KindNames[k] + (in ? "-in" : "-out"), *given, in,
                                                   list.size() - 1));
                const int kind = static_cast<int>(k);
                if (!(in ? configuration_->SelectInput(kind, *given) : configuration_->SelectOutput(kind, *given)))
                    return ExitFailure;
            }
        }
        for (std::size_t i = 0; defaultIo_ && i < DefaultIoNames.size(); ++i)
            if (*defaultIo_ == DefaultIoNames[i])
                configuration_->SelectDefaultConnection(static_cast<int>(i));
        if (!configuration_->SetEdsInfo(edsInfo))
            return ExitUsage;
        return ExitSuccess;
    }

    int dryRun(ProgramState& state, const LocalDateTime& now, const std::filesystem::path& folder, bool json,
               CommandIo& io) override
    {
        configuration_->PrepareImage(now);
        const std::string edsFile = (folder / DeviceNetEdsFileName(state.NodeId)).string();
        if (json) {
            PrintJson(io.out, DeviceNetJson(state, *configuration_, edsFile, true));
        } else {
            io.out << msg::CliDryRunEdsFile << edsFile << '\n';
            PrintSelectors(io.out, *configuration_);
            PrintAssemblyTables(io.out, state);
            PrintImageWords(io.out, state, true);
        }
        return ExitSuccess;
    }

    int finish(ProgramState& state, ConsoleLink& link, const LocalDateTime& now, const std::filesystem::path& folder,
               bool json, CommandIo& io) override
    {
        const FinishResult result = configuration_->Finish(link, now, folder);
        if (!result.done())
            return ReportFailedFinish(result, json, io);
        if (json) {
            Json report = DeviceNetJson(state, *configuration_, result.edsPath, true);
            report["eeprom"] = EepromStatusText(result.eeprom);
            PrintJson(io.out, report);
        } else {
            PrintSelectors(io.out, *configuration_);
            PrintAssemblyTables(io.out, state);
            io.out << msg::EdsFileLabel << result.edsPath << '\n'
                   << msg::EepromStatusLabel << EepromStatusText(result.eeprom) << '\n'
                   << msg::StatusFinishDone << '\n';
        }
        return ExitSuccess;
    }

    int writeEds(ProgramState& state, const LocalDateTime& now, const std::filesystem::path& folder, bool json,
                 CommandIo& io) override
    {
        const TextFileResult written = WriteDeviceNetEds(state, configuration_->Choices(), now, folder);
        if (!written.ok) {
            io.err << written.error << '\n';
            return ExitFailure;
        }
        if (json) {
            PrintJson(io.out, DeviceNetJson(state, *configuration_, written.path.string(), false));
        } else {
            PrintSelectors(io.out, *configuration_);
            PrintAssemblyTables(io.out, state);
            io.out << msg::EdsFileLabel << written.path.string() << '\n';
        }
        return ExitSuccess;
    }

private:
    std::array<std::optional<int>, ConnectionKinds> input_;
    std::array<std::optional<int>, ConnectionKinds> output_;
    std::optional<std::string> defaultIo_;
    std::vector<CLI::Option*> options_;
    std::unique_ptr<DeviceNetConfiguration> configuration_;
};

}  // namespace

std::unique_ptr<ProfileCommand> MakeDeviceNetCommand()
{
    return std::make_unique<DeviceNetCommand>();
}

}  // namespace k400
