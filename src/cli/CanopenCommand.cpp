// The CANopen profile of `k400gw configure` and `k400gw eds`.

#include <memory>
#include <optional>
#include <ostream>

#include <CLI/CLI.hpp>

#include "canopen/CanopenConfiguration.h"
#include "canopen/DcfWriter.h"
#include "canopen/EdsWriter.h"
#include "canopen/PdoTables.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/ProfileCommand.h"
#include "gateway/ProgramState.h"
#include "platform/Messages.h"

namespace k400 {

namespace {

void PrintPdoTables(std::ostream& out, const ProgramState& state)
{
    PrintTable(out, msg::ReceivePdoTab, PdoTableRows(state, PdoDirection::Receive));
    PrintTable(out, msg::TransmitPdoTab, PdoTableRows(state, PdoDirection::Transmit));
}

Json PdoRows(const TableRows& rows)
{
    Json pdos = Json::array();
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto& row = rows[r];
        pdos.push_back({{"pdo", row[0]},
                        {"cob_id", row[1]},
                        {"transmission_type", row[2]},
                        {"inhibit_time", row[3]},
                        {"event_timer", row[4]},
                        {"mapping", std::vector<std::string>(row.begin() + 5, row.end())}});
    }
    return pdos;
}

// eds_file, header_image (offsets 40..72), application_image, last_rx_pdo,
// last_tx_pdo and the PDO table of both directions.
Json CanopenJson(const ProgramState& state, const std::string& edsFile, const std::string& dcfFile = {})
{
    Json json;
    json["eds_file"] = edsFile;
    if (!dcfFile.empty())
        json["dcf_file"] = dcfFile;
    json["node_id"] = state.NodeId;
    json["header_image"] = ImageWords(state.HeaderImage, 9);
    json["application_image"] =
        ImageWords(state.ApplicationImage, static_cast<std::size_t>(std::max(0, state.ApplicationAreaBytes / 4)));
    json["last_rx_pdo"] = state.LastOutputAssembly;
    json["last_tx_pdo"] = state.LastInputAssembly;
    json["pdo_table"] = {{"receive", PdoRows(PdoTableRows(state, PdoDirection::Receive))},
                         {"transmit", PdoRows(PdoTableRows(state, PdoDirection::Transmit))}};
    return json;
}

class CanopenCommand final : public ProfileCommand {
public:
    std::string_view name() const override { return "canopen"; }
    std::uint8_t layer() const override { return CanopenLayer; }
    ApplicationChoice choice() const override { return ApplicationChoice::Canopen; }
    Profile profile() const override { return Profile::Canopen; }

    void define(CLI::App& command) override
    {
        options_[0] = AddWholeOption(command, "--guard-time", guardTime_, 0, 65535, "MS", msg::HelpGuardTime);
        options_[1] = AddWholeOption(command, "--life-factor", lifeFactor_, 0, 255, "N", msg::HelpLifeFactor);
        options_[2] = AddWholeOption(command, "--heartbeat", heartbeat_, 0, 65535, "MS", msg::HelpHeartbeat);
        options_[2]->excludes(options_[0])->excludes(options_[1]);
        command.add_flag("--no-dcf", noDcf_, msg::HelpNoDcf);
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
        // Either error control is planned whole; an option for either keeps the plan's out.
        if (heartbeat_ || guardTime_ || lifeFactor_)
            return;
        heartbeat_ = plan.HeartbeatMs;
        guardTime_ = plan.GuardTimeMs;
        lifeFactor_ = plan.LifeFactor;
    }

    Plan usedPlan(const ProgramState& state) const override { return PlanOfCanopen(state, configuration_->Choices()); }

    bool checkOptions(UserInterface& ui) const override { return CheckCanopenChoices(given(CanopenChoices{}), ui); }

    int load(ProgramState& state, UserInterface& ui, const EdsInfo& edsInfo, CommandIo&, std::string_view) override
    {
        configuration_ = std::make_unique<CanopenConfiguration>(state, ui);
        if (!configuration_->Load())
            return ExitFailure;
        if (!configuration_->ApplyChoices(given(configuration_->Choices())))
            return ExitFailure;
        if (!configuration_->SetEdsInfo(edsInfo))
            return ExitUsage;
        configuration_->SetWriteDcf(!noDcf_);
        return ExitSuccess;
    }

    int dryRun(ProgramState& state, const LocalDateTime& now, const std::filesystem::path& folder, bool json,
               CommandIo& io) override
    {
        // Prepared on a copy, so the state stays as the connect left it.
        ProgramState preview = state;
        PrepareCanopenImage(preview, now);
        const std::string edsFile = (folder / CanopenEdsFileName(preview.NodeId)).string();
        if (json) {
            PrintJson(io.out, CanopenJson(preview, edsFile));
        } else {
            io.out << msg::CliDryRunEdsFile << edsFile << '\n';
            PrintPdoTables(io.out, preview);
            PrintImageWords(io.out, preview, false);
        }
        return ExitSuccess;
    }

    int finish(ProgramState& state, ConsoleLink& link, const LocalDateTime& now, const std::filesystem::path& folder,
               bool json, CommandIo& io) override
    {
        const FinishResult result = configuration_->Finish(link, now, folder);
        if (!result.done())
            return ReportFailedFinish(result, json, io);
        const std::string dcfFile = noDcf_ ? "" : (folder / CanopenDcfFileName(state.NodeId)).string();
        if (json) {
            Json report = CanopenJson(state, result.edsPath, dcfFile);
            report["eeprom"] = EepromStatusText(result.eeprom);
            PrintJson(io.out, report);
        } else {
            io.out << msg::EdsFileLabel << result.edsPath << '\n';
            if (!dcfFile.empty())
                io.out << msg::DcfFileLabel << dcfFile << '\n';
            PrintPdoTables(io.out, state);
            io.out << msg::EepromStatusLabel << EepromStatusText(result.eeprom) << '\n'
                   << msg::StatusFinishDone << '\n';
        }
        return ExitSuccess;
    }

    int writeEds(ProgramState& state, const LocalDateTime& now, const std::filesystem::path& folder, bool json,
                 CommandIo& io) override
    {
        const TextFileResult written = WriteCanopenFiles(state, now, folder, !noDcf_);
        if (!written.ok) {
            io.err << written.error << '\n';
            return ExitFailure;
        }
        const std::string edsFile = (folder / CanopenEdsFileName(state.NodeId)).string();
        const std::string dcfFile = (folder / CanopenDcfFileName(state.NodeId)).string();
        if (json) {
            // The image words a Finish with this configuration would write.
            configuration_->PrepareImage(now);
            PrintJson(io.out, CanopenJson(state, edsFile, noDcf_ ? "" : dcfFile));
        } else {
            io.out << msg::EdsFileLabel << edsFile << '\n';
            if (!noDcf_)
                io.out << msg::DcfFileLabel << dcfFile << '\n';
            PrintPdoTables(io.out, state);
        }
        return ExitSuccess;
    }

private:
    // The choices the options give over `preset`: heartbeat when --heartbeat
    // is given, node guarding when a guarding option is.
    CanopenChoices given(CanopenChoices preset) const
    {
        if (heartbeat_) {
            preset.Mode = ErrorControlMode::Heartbeat;
            preset.HeartbeatMs = *heartbeat_;
        } else if (guardTime_ || lifeFactor_) {
            preset.Mode = ErrorControlMode::NodeGuarding;
            if (guardTime_)
                preset.GuardTimeMs = *guardTime_;
            if (lifeFactor_)
                preset.LifeFactor = *lifeFactor_;
        }
        return preset;
    }

    std::optional<int> guardTime_;
    std::optional<int> lifeFactor_;
    std::optional<int> heartbeat_;
    std::array<CLI::Option*, 3> options_{};
    bool noDcf_ = false;
    std::unique_ptr<CanopenConfiguration> configuration_;
};

}  // namespace

std::unique_ptr<ProfileCommand> MakeCanopenCommand()
{
    return std::make_unique<CanopenCommand>();
}

}  // namespace k400
