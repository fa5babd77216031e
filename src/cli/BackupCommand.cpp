// `k400gw backup`, `k400gw compare` and `k400gw restore`: a gateway's stored
// configuration kept in a file, held against the gateway, and written into a
// replacement with the same modules.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "app/Backup.h"
#include "cli/Commands.h"
#include "cli/GatewaySession.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "gateway/ConnectSequence.h"
#include "platform/Messages.h"
#include "platform/StopRequest.h"

namespace k400 {

namespace {

// What the three share: the session and scan options, and the connect that
// reads the gateway's backup.
class GatewayFileCommand : public Command {
protected:
    void defineSession(CLI::App& command)
    {
        command_ = &command;
        AddSessionOptions(command, session_);
        AddScanOptions(command, scan_);
        command.add_flag("--json", json_, msg::HelpJsonResult);
    }

    void defineFile(CLI::App& command)
    {
        command.add_option("file", file_, msg::HelpBackupFile)->required()->option_text("FILE");
    }

    // The backup file named on the command line; a file that is no backup is a usage error.
    std::optional<GatewayBackup> loadFile(CommandIo& io, int& rc)
    {
        std::string error;
        auto backup = LoadBackupFile(file_, error);
        if (!backup)
            rc = UsageError(io, name(), error);
        return backup;
    }

    // The scan as the file was made with, unless the command line says otherwise.
    ScanParameters scanFor(const GatewayBackup* file) const
    {
        const bool given =
            command_->count("--scan-baud") + command_->count("--scan-checksum") + command_->count("--scan-timeout") > 0;
        return file && !given ? file->Scan : scan_.parameters();
    }

    // Connects and reads the gateway's stored configuration; on a failure
    // sets rc and gives nothing.
    std::optional<GatewayBackup> readGateway(GatewaySession& session, CommandIo& io, int& rc)
    {
        ProgramState& state = session.state();
        if (RunConnectSequence(state, session.link()) != ConnectOutcome::Succeeded) {
            rc = session.failed(io, json_);
            return std::nullopt;
        }
        auto backup = ReadGatewayBackup(state, session.link());
        if (!backup)
            rc = session.failed(io, json_, "backup");
        return backup;
    }

    SessionOptions session_;
    ScanOptions scan_;
    std::string file_;
    bool json_ = false;
    CLI::App* command_ = nullptr;
};

class BackupCommand final : public GatewayFileCommand {
public:
    std::string_view name() const override { return "backup"; }
    std::string_view summary() const override { return msg::HelpBackupSummary; }
    std::string_view description() const override { return msg::HelpBackupDescription; }

    void define(CLI::App& command) override
    {
        defineSession(command);
        AddTextOption(command, "--output", file_, "FILE", msg::HelpBackupOutput)->required();
    }

    int run(CommandIo& io) override
    {
        if (const int rc = RequirePort(session_, io, name()))
            return rc;
        const auto session = GatewaySession::Create(session_, scan_.parameters(), io, json_);
        if (!session)
            return ExitFailure;
        int rc = ExitSuccess;
        const auto backup = readGateway(*session, io, rc);
        if (!backup)
            return rc;
        const TextFileResult written = WriteBackupFile(file_, *backup);
        if (!written) {
            io.err << msg::CliErrorPrefix << written.error << std::endl;
            return ExitFailure;
        }
        if (json_)
            PrintJson(io.out, Json{{"backup_file", written.path.string()},
                                   {"node_id", backup->Settings.NodeId},
                                   {"stored_image", backup->StoredImageValid ? msg::FactValid : msg::FactInvalid},
                                   {"modules", backup->Modules.size()}});
        else
            io.out << msg::BackupFileLabel << written.path.string() << '\n';
        return ExitSuccess;
    }
};

class CompareCommand final : public GatewayFileCommand {
public:
    std::string_view name() const override { return "compare"; }
    std::string_view summary() const override { return msg::HelpCompareSummary; }
    std::string_view description() const override { return msg::HelpCompareDescription; }

    void define(CLI::App& command) override
    {
        defineSession(command);
        defineFile(command);
    }

    int run(CommandIo& io) override
    {
        int rc = ExitSuccess;
        const auto file = loadFile(io, rc);
        if (!file)
            return rc;
        if ((rc = RequirePort(session_, io, name())))
            return rc;
        const auto session = GatewaySession::Create(session_, scanFor(&*file), io, json_);
        if (!session)
            return ExitFailure;
        const auto gateway = readGateway(*session, io, rc);
        if (!gateway)
            return rc;
        const BackupComparison comparison = CompareBackups(*file, *gateway);
        if (json_)
            PrintJson(io.out, report(comparison, gateway->Settings.NodeId));
        else
            print(io.out, comparison);
        return comparison.Equal() ? ExitSuccess : ExitDiffers;
    }

private:
    Json report(const BackupComparison& c, int nodeId) const
    {
        Json facts = Json::array();
        for (const FactDifference& d : c.Facts)
            facts.push_back({{"what", d.What}, {"file", d.File}, {"gateway", d.Gateway}, {"counts", d.Counts}});
        Json words = Json::array();
        for (const WordDifference& d : c.Words) {
            Json word{{"block", d.Block},
                      {"offset", d.Offset},
                      {"file", WordOrAbsent(d.File)},
                      {"gateway", WordOrAbsent(d.Gateway)},
                      {"counts", d.NotCounted == nullptr}};
            if (d.NotCounted)
                word["not_counted"] = d.NotCounted;
            words.push_back(word);
        }
        return Json{
            {"equal", c.Equal()}, {"file", file_}, {"node_id", nodeId}, {"differences", facts}, {"words", words}};
    }

    static void print(std::ostream& out, const BackupComparison& c)
    {
        for (const std::string& line : ComparisonLines(c))
            out << line << '\n';
        out << (c.Equal() ? msg::CompareEqual : msg::CompareDiffers) << '\n';
    }
};

class RestoreCommand final : public GatewayFileCommand {
public:
    std::string_view name() const override { return "restore"; }
    std::string_view summary() const override { return msg::HelpRestoreSummary; }
    std::string_view description() const override { return msg::HelpRestoreDescription; }

    void define(CLI::App& command) override
    {
        defineSession(command);
        defineFile(command);
        AddTextOption(command, "--output-dir", folder_, "DIR", msg::HelpOutputDirEdsDcf);
        command.add_flag("--no-dcf", noDcf_, msg::HelpNoDcf);
    }

    int run(CommandIo& io) override
    {
        int rc = ExitSuccess;
        const auto file = loadFile(io, rc);
        if (!file)
            return rc;
        if ((rc = RequirePort(session_, io, name())))
            return rc;
        if (!file->StoredImageValid) {
            io.err << msg::CliErrorPrefix << msg::RestoreInvalidBackup << std::endl;
            return ExitFailure;
        }
        const auto folder = OutputFolder(folder_, io);
        if (!folder)
            return ExitFailure;
        const auto session = GatewaySession::Create(session_, scanFor(&*file), io, json_);
        if (!session)
            return ExitFailure;
        ProgramState& state = session->state();
        if (RunConnectSequence(state, session->link()) != ConnectOutcome::Succeeded)
            return session->failed(io, json_);
        if (const std::string difference = BackupModulesDiffer(*file, state); !difference.empty()) {
            session->ui().showMessage(msg::RestoreModulesDiffer(difference), msg::ErrorTitle);
            return session->failed(io, json_, "scan");
        }

        const RestoreResult restored = RestoreBackup(state, session->link(), *file, *folder, noDcf_);
        const EepromWriteResult& written = restored.Written;
        switch (restored.Reached) {
        case RestoreStep::Write: {
            const int failed = session->failed(io, json_, "restore", EepromStatusText(written.status));
            if (!json_)
                io.err << msg::EepromStatusLabel << EepromStatusText(written.status) << '\n';
            return written.failure == EepromWriteFailure::Stopped && StopSignal() > 0 ? 128 + StopSignal() : failed;
        }
        case RestoreStep::Connect:
            return session->failed(io, json_);
        case RestoreStep::Files:
            return session->failed(io, json_, "files", EepromStatusText(written.status));
        case RestoreStep::Done:
            break;
        }
        const DeviceFiles& files = restored.Files;

        if (json_) {
            Json report{{"file", file_},
                        {"eeprom", EepromStatusText(written.status)},
                        {"node_id", state.NodeId},
                        {"eds_file", files.Eds.path.string()}};
            if (files.Dcf)
                report["dcf_file"] = files.Dcf->path.string();
            PrintJson(io.out, report);
        } else {
            io.out << msg::EepromStatusLabel << EepromStatusText(written.status) << '\n'
                   << msg::EdsFileLabel << files.Eds.path.string() << '\n';
            if (files.Dcf)
                io.out << msg::DcfFileLabel << files.Dcf->path.string() << '\n';
        }
        return ExitSuccess;
    }

private:
    std::optional<std::string> folder_;
    bool noDcf_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeBackupCommand()
{
    return std::make_unique<BackupCommand>();
}

std::unique_ptr<Command> MakeCompareCommand()
{
    return std::make_unique<CompareCommand>();
}

std::unique_ptr<Command> MakeRestoreCommand()
{
    return std::make_unique<RestoreCommand>();
}

}  // namespace k400
