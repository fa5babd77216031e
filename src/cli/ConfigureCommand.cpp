// `k400gw configure` and `k400gw eds`: one flow for both profiles, the
// profile's part behind ProfileCommand.

#include <memory>
#include <optional>

#include <CLI/CLI.hpp>

#include "app/BuildEds.h"
#include "app/Plan.h"
#include "app/PlannedModules.h"
#include "cli/Commands.h"
#include "cli/GatewaySession.h"
#include "cli/Options.h"
#include "cli/ProfileCommand.h"
#include "gateway/ConnectSequence.h"
#include "gateway/GatewaySettings.h"
#include "gateway/ProfileFinish.h"
#include "platform/Messages.h"
#include "platform/ProgramFolder.h"

namespace k400 {

namespace {

constexpr const char* DefaultFirmware = "1.05-20071126";

// What `configure` and `eds` share: the profile and its options, the CAN
// settings, the EDS texts and the output.
class ProfileFlow : public Command {
protected:
    ProfileFlow()
    {
        profiles_.push_back(MakeCanopenCommand());
        profiles_.push_back(MakeDeviceNetCommand());
    }

    void defineCommon(CLI::App& command, bool com2)
    {
        command.add_option("--profile", profileName_, msg::HelpProfile)
            ->check(CLI::IsMember({"canopen", "devicenet"}))
            ->option_text("canopen|devicenet");
        AddSettingsOptions(command, settings_, com2);
        for (const auto& profile : profiles_)
            profile->define(command);
        AddEdsTextOptions(command, edsText_);
        AddOutputOptions(command, output_);
        AddTextOption(command, "--plan", planFile_, "FILE", msg::HelpPlan);
        AddTextOption(command, "--save-plan", savePlanFile_, "FILE", msg::HelpSavePlan);
    }

    // Fills what no option gave from the plan file; a plan that cannot be
    // read is a usage error, found before anything is touched.
    int takePlan(CommandIo& io)
    {
        if (!planFile_)
            return ExitSuccess;
        std::string error;
        const auto plan = LoadPlanFile(*planFile_, error);
        if (!plan)
            return UsageError(io, name(), "--plan: " + error);
        if (profileName_.empty() && plan->Slave != Profile::None)
            profileName_ = plan->Slave == Profile::Canopen ? "canopen" : "devicenet";
        const auto fill = [](auto& option, const auto& planned) {
            if (!option && planned)
                option = *planned;
        };
        fill(settings_.nodeId, plan->NodeId);
        fill(settings_.canBaudKbps, plan->CanBaudKbps);
        fill(settings_.com2BaudBps, plan->Com2BaudBps);
        fill(settings_.com2TimeoutMs, plan->Com2TimeoutMs);
        if (!settings_.com2Checksum && plan->Com2Checksum)
            settings_.com2Checksum = *plan->Com2Checksum ? "on" : "off";
        fill(edsText_.description, plan->Description);
        fill(edsText_.createdBy, plan->CreatedBy);
        plannedModules_ = plan->Modules;
        for (const auto& profile : profiles_)
            if (profile->name() == profileName_)
                profile->takePlan(*plan);
        return ExitSuccess;
    }

    // --save-plan: after load, so that it holds what the run configures.
    int savePlan(ProfileCommand& profile, const ProgramState& state, CommandIo& io)
    {
        if (!savePlanFile_)
            return ExitSuccess;
        const TextFileResult written = WritePlanFile(*savePlanFile_, profile.usedPlan(state));
        if (written)
            return ExitSuccess;
        io.err << msg::CliErrorPrefix << written.error << std::endl;
        return ExitFailure;
    }

    // The chosen profile, after the checks that need no gateway: its options
    // only, the given settings and choices within the profile's ranges. On a
    // refusal returns nothing and sets rc.
    ProfileCommand* checkedProfile(CommandIo& io, UserInterface& ui, int& rc)
    {
        rc = ExitUsage;
        ProfileCommand* chosen = nullptr;
        for (const auto& profile : profiles_)
            if (profile->name() == profileName_)
                chosen = profile.get();
        if (chosen == nullptr) {
            UsageError(io, name(), msg::CliProfileRequired);
            return nullptr;
        }
        for (const auto& profile : profiles_) {
            if (profile.get() != chosen && !profile->givenOption().empty()) {
                UsageError(io, name(), msg::CliAppliesToProfile(profile->givenOption(), profile->name()));
                return nullptr;
            }
        }
        if (settings_.nodeId && !CheckCanSettings({chosen->layer(), double(*settings_.nodeId), 0}, ui))
            return nullptr;
        if (settings_.canBaudKbps && !CanSettingsFor(chosen->layer(), settings_, {}, io))
            return nullptr;
        if (!chosen->checkOptions(ui))
            return nullptr;
        // Refused before the gateway is touched: nothing may be written for a
        // text the EDS file cannot carry.
        if (const auto problem = EdsInfoProblem(edsInfo())) {
            ui.showMessage(*problem, msg::ErrorTitle);
            return nullptr;
        }
        rc = ExitSuccess;
        return chosen;
    }

    EdsInfo edsInfo() const { return {edsText_.description.value_or(""), edsText_.createdBy.value_or("")}; }

    std::vector<std::unique_ptr<ProfileCommand>> profiles_;
    std::string profileName_;
    std::optional<std::string> planFile_;
    std::optional<std::string> savePlanFile_;
    std::optional<std::vector<PlannedModule>> plannedModules_;
    SettingsOptions settings_;
    EdsTextOptions edsText_;
    OutputOptions output_;
};

// A whole configuration of a connected gateway, from the connect to the EDS file.
class ConfigureCommand final : public ProfileFlow {
public:
    std::string_view name() const override { return "configure"; }
    std::string_view summary() const override { return msg::HelpConfigureSummary; }
    std::string_view description() const override { return msg::HelpConfigureDescription; }

    void define(CLI::App& command) override
    {
        AddSessionOptions(command, session_);
        AddScanOptions(command, scan_);
        defineCommon(command, true);
        command.add_flag("--dry-run", dryRun_, msg::HelpDryRun);
        command.add_flag("--accept-defaults", acceptDefaults_, msg::HelpAcceptDefaults);
    }

    int run(CommandIo& io) override
    {
        if (const int rc = RequirePort(session_, io, name()))
            return rc;
        if (const int rc = takePlan(io))
            return rc;
        TerminalUserInterface checks(io.err);
        int rc = ExitSuccess;
        ProfileCommand* profile = checkedProfile(io, checks, rc);
        if (profile == nullptr)
            return rc;

        // A dry run writes nothing, so its folder need not exist yet.
        std::optional<std::filesystem::path> folder;
        if (dryRun_)
            folder = output_.folder ? std::filesystem::path(*output_.folder) : ProgramFolder();
        else if (!(folder = OutputFolder(output_.folder, io)))
            return ExitFailure;

        const auto session = GatewaySession::Create(session_, scan_.parameters(), io, output_.json);
        if (!session)
            return ExitFailure;
        ProgramState& state = session->state();
        UserInterface& ui = session->ui();
        if (RunConnectSequence(state, session->link()) != ConnectOutcome::Succeeded)
            return session->failed(io, output_.json);
        // Defaults a script never chose (node 1, the slowest CAN rate) would
        // put the gateway on the bus at a setting nobody meant.
        if (state.StoredImageInvalid && !dryRun_ && !acceptDefaults_ && !(settings_.nodeId && settings_.canBaudKbps)) {
            session->ui().showMessage(msg::InvalidImageNeedsSettings, msg::ErrorTitle);
            session->failed(io, output_.json, "settings");
            return ExitUsage;
        }
        if (plannedModules_) {
            // Refused before anything is written: the plan was made for other modules.
            const std::string difference = ModulesDiffer(state, *plannedModules_);
            if (!difference.empty()) {
                session->ui().showMessage(msg::PlanModulesDiffer(difference), msg::ErrorTitle);
                return session->failed(io, output_.json, "scan");
            }
        }
        const auto can = CanSettingsFor(profile->layer(), settings_, StoredCanSettings(state), io);
        if (!can || !ApplyCanSettings(state, *can, ui))
            return ExitFailure;
        if (settings_.anyCom2() &&
            !ApplyCom2Settings(state, Com2SettingsFrom(settings_, StoredCom2Settings(state)), ui))
            return ExitFailure;
        if (BuildEdsFile(state, ui, profile->choice(), &session->port()) != profile->profile())
            return ExitFailure;

        if (const int loaded = profile->load(state, ui, edsInfo(), io, name()))
            return loaded;
        if (const int saved = savePlan(*profile, state, io))
            return saved;
        const LocalDateTime now = session->clock().localTime();
        if (dryRun_)
            return profile->dryRun(state, now, *folder, output_.json, io);
        if (const int finished = profile->finish(state, session->link(), now, *folder, output_.json, io)) {
            const int rc = session->failed(io, output_.json, "finish", EepromStatusText(LiveEepromStatus()));
            // A stop by a signal keeps its own exit code.
            return finished == ExitFailure ? rc : finished;
        }
        return ExitSuccess;
    }

private:
    SessionOptions session_;
    ScanOptions scan_;
    bool dryRun_ = false;
    bool acceptDefaults_ = false;
};

// The EDS file of a planned set of modules, with no gateway attached.
class EdsCommand final : public ProfileFlow {
public:
    std::string_view name() const override { return "eds"; }
    std::string_view summary() const override { return msg::HelpEdsSummary; }
    std::string_view description() const override { return msg::HelpEdsDescription; }

    void define(CLI::App& command) override
    {
        AddTextOption(command, "--modules", modules_, "LIST", msg::HelpModules);
        defineCommon(command, false);
        AddTextOption(command, "--firmware", firmware_, "V", msg::HelpFirmware(DefaultFirmware));
    }

    int run(CommandIo& io) override
    {
        if (const int rc = takePlan(io))
            return rc;
        if (!modules_ && plannedModules_)
            planned_ = *plannedModules_;
        TerminalUserInterface ui(io.err);
        int rc = ExitSuccess;
        ProfileCommand* profile = checkedProfile(io, ui, rc);
        if (profile == nullptr)
            return rc;
        ProgramState state;
        std::string error;
        if (modules_) {
            const auto typed = ParsePlannedModules(*modules_, error);
            if (!typed)
                return UsageError(io, name(), "--modules: " + error);
            planned_ = *typed;
        }
        if (!ParseFirmwareText(firmware_, state))
            return UsageError(io, name(), msg::CliBadFirmware(DefaultFirmware, firmware_));
        const auto folder = OutputFolder(output_.folder, io);
        if (!folder)
            return ExitFailure;

        if (!ApplyPlannedModules(state, planned_, error)) {
            io.err << error << '\n';
            return ExitFailure;
        }
        state.Connected = true;
        const auto can = CanSettingsFor(profile->layer(), settings_, {profile->layer(), 1, 0}, io);
        if (!can || !ApplyCanSettings(state, *can, ui))
            return ExitFailure;
        if (const int loaded = profile->load(state, ui, edsInfo(), io, name()))
            return loaded;
        if (const int saved = savePlan(*profile, state, io))
            return saved;
        SystemClock clock;
        return profile->writeEds(state, clock.localTime(), *folder, output_.json, io);
    }

private:
    std::optional<std::string> modules_;
    std::vector<PlannedModule> planned_;
    std::string firmware_ = DefaultFirmware;
};

}  // namespace

std::unique_ptr<Command> MakeConfigureCommand()
{
    return std::make_unique<ConfigureCommand>();
}

std::unique_ptr<Command> MakeEdsCommand()
{
    return std::make_unique<EdsCommand>();
}

}  // namespace k400
