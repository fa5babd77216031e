// The CANopen profile of `k400gw configure` and `k400gw eds`: the CANopen
// window driven from the command line.

#include <memory>
#include <ostream>

#include "app/ProgramState.h"
#include "canopen/CanopenWindow.h"
#include "canopen/EdsWriter.h"
#include "canopen/PdoTables.h"
#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/ConfigureCommon.h"
#include "cli/JsonWriter.h"
#include "gateway/ConfigImage.h"
#include "platform/Clock.h"

namespace k400 {

namespace {

// The window's boxes as options: --guard-time MS --life-factor N, or
// --heartbeat MS; --description TEXT, --created-by TEXT. The values are typed
// into the boxes as they stand, so Finish's own checks judge them.
struct CanopenWindowOptions {
    std::optional<std::string> guardTime;
    std::optional<std::string> lifeFactor;
    std::optional<std::string> heartbeat;
    std::optional<std::string> description;
    std::optional<std::string> createdBy;
};

void PrintPdoTables(std::ostream& out, const ProgramState& state)
{
    PrintTable(out, "Receive PDO", PdoTableRows(state, PdoDirection::Receive));
    PrintTable(out, "Transmit PDO", PdoTableRows(state, PdoDirection::Transmit));
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

// One JSON object: eds_file, header_image (offsets 40..72), application_image,
// last_rx_pdo, last_tx_pdo and the PDO table of both directions.
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

class CanopenCommand final : public ProfileCommand {
public:
    std::uint8_t ApplicationLayer() const override { return 0; }
    ApplicationChoice Choice() const override { return ApplicationChoice::Canopen; }
    ProfileWindow Window() const override { return ProfileWindow::Canopen; }

    int TakeWindowOptions(ArgList& args, CommandIo& io, std::string_view command) override
    {
        options_.guardTime = args.value("guard-time");
        options_.lifeFactor = args.value("life-factor");
        options_.heartbeat = args.value("heartbeat");
        options_.description = args.value("description");
        options_.createdBy = args.value("created-by");
        if (options_.heartbeat && (options_.guardTime || options_.lifeFactor))
            return UsageError(io, command, "--heartbeat cannot be combined with --guard-time or --life-factor");
        return ExitSuccess;
    }

    // Chooses the protocol and fills the boxes as a user would; options not
    // given leave the window's preset.
    int OpenWindow(ProgramState& state, UserInterface& ui, CommandIo&, std::string_view) override
    {
        window_ = std::make_unique<CanopenWindow>(state, ui);
        if (!window_->Load())
            return ExitFailure;
        auto& view = window_->view();
        if (options_.heartbeat) {
            window_->SelectErrorControl(ErrorControlOption::Heartbeat);
            view.HeartbeatText = *options_.heartbeat;
        } else if (options_.guardTime || options_.lifeFactor) {
            window_->SelectErrorControl(ErrorControlOption::NodeGuarding);
            if (options_.guardTime)
                view.GuardTimeText = *options_.guardTime;
            if (options_.lifeFactor)
                view.LifeFactorText = *options_.lifeFactor;
        }
        if (options_.description)
            view.EdsInfo[0] = *options_.description;
        if (options_.createdBy)
            view.EdsInfo[1] = *options_.createdBy;
        return ExitSuccess;
    }

    int DryRun(ProgramState& state, Clock& clock, const std::filesystem::path& edsFolder, bool json,
               CommandIo& io) override
    {
        if (!window_->TakeErrorControl())
            return ExitFailure;
        // Prepared on a copy, so the state stays as the connect left it.
        ProgramState preview = state;
        preview.EdsInfoText = window_->view().EdsInfo;
        PrepareHeaderImage(preview, clock.localTime(), 0);
        PrepareApplicationImage(preview, CatalogueModelCode);
        const std::string edsFile = (edsFolder / CanopenEdsFileName(preview.NodeId)).string();
        if (json) {
            PrintCanopenJson(io.out, preview, edsFile);
        } else {
            io.out << "Dry run: nothing written. EDS file would be " << edsFile << '\n';
            PrintPdoTables(io.out, preview);
            PrintImageWords(io.out, preview, false);
        }
        return ExitSuccess;
    }

    int Finish(ProgramState& state, ConsoleLink& link, Clock& clock, const std::filesystem::path& edsFolder, bool json,
               CommandIo& io) override
    {
        const CanopenFinishResult result = window_->Finish(link, clock, edsFolder);
        if (result.status != CanopenFinishStatus::Done)
            return ExitFailure;
        if (json) {
            PrintCanopenJson(io.out, state, result.edsPath);
        } else {
            io.out << "EDS file: " << result.edsPath << '\n';
            PrintPdoTables(io.out, state);
            io.out << FinishDoneStatus << '\n';
        }
        return ExitSuccess;
    }

    int WriteEds(ProgramState& state, Clock& clock, const std::filesystem::path& edsFolder, bool json,
                 CommandIo& io) override
    {
        if (!window_->TakeErrorControl())
            return ExitFailure;
        state.EdsInfoText = window_->view().EdsInfo;
        const TextFileResult written = WriteCanopenEds(state, clock, edsFolder);
        if (!written.ok) {
            io.err << written.error << '\n';
            return ExitFailure;
        }
        if (json) {
            // The image words a Finish with this configuration would write.
            PrepareHeaderImage(state, clock.localTime(), 0);
            PrepareApplicationImage(state, CatalogueModelCode);
            PrintCanopenJson(io.out, state, written.path.string());
        } else {
            io.out << "EDS file: " << written.path.string() << '\n';
            PrintPdoTables(io.out, state);
        }
        return ExitSuccess;
    }

private:
    CanopenWindowOptions options_;
    std::unique_ptr<CanopenWindow> window_;
};

}  // namespace

std::unique_ptr<ProfileCommand> MakeCanopenCommand()
{
    return std::make_unique<CanopenCommand>();
}

}  // namespace k400
