// `k400gw batch MANIFEST`: many gateways at once, each in its own session on
// its own thread (the console dialogue blocks in the OS, so a thread per port
// costs no processor time while it waits), with the paced characters of all
// of them sent by one shared thread. A gateway that fails never stops or
// touches the others.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QThread>

#include "app/Plan.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "platform/JsonReader.h"
#include "platform/Messages.h"
#include "platform/SharedPacer.h"

namespace k400 {

namespace {

struct Gateway {
    std::string name;
    std::string port;
    std::string planFile;    // the plan as a file, inline plans written out first (configure)
    std::string backupFile;  // the backup to compare with
};

struct Outcome {
    std::string status = msg::CliBatchWaiting;
    bool done = false;
    bool ok = false;
    bool differs = false;  // compare: the gateway differs from its backup
    int exitCode = 0;
    Json report;  // what the command printed as JSON
    double seconds = 0;
};

class ManifestReader : public JsonFieldReader {
public:
    bool read(const JsonValue& root, const std::filesystem::path& manifest, const std::filesystem::path& scratch,
              const std::string& action, std::vector<Gateway>& gateways, std::string& outputDir)
    {
        if (!expectType(root, JsonValue::value_t::object, msg::CliManifestWhat) ||
            !knownMembers(root, "", {"output_dir", "gateways"}))
            return false;
        if (const JsonValue* v = Member(root, "output_dir"); v && !stringField(*v, "output_dir", outputDir))
            return false;
        const JsonValue* list = Member(root, "gateways");
        if (!list)
            return fail("gateways", msg::CliManifestNoGateways);
        if (!expectType(*list, JsonValue::value_t::array, "gateways"))
            return false;
        for (std::size_t i = 0; i < list->size(); ++i) {
            const std::string at = "gateways[" + std::to_string(i) + "]";
            const JsonValue& g = (*list)[i];
            Gateway gateway;
            if (!expectType(g, JsonValue::value_t::object, at) ||
                !knownMembers(g, at, {"name", "port", "plan", "backup"}))
                return false;
            const JsonValue* name = Member(g, "name");
            const JsonValue* port = Member(g, "port");
            const JsonValue* plan = Member(g, "plan");
            const JsonValue* backup = Member(g, "backup");
            // What the action works from: a plan to configure, a backup to compare with.
            const char* needed = action == "configure" ? "plan" : action == "compare" ? "backup" : nullptr;
            if (!name || !port || (needed && !Member(g, needed)))
                return fail(at, msg::CliGatewayNeeds(needed));
            if (!stringField(*name, at + ".name", gateway.name) || !stringField(*port, at + ".port", gateway.port))
                return false;
            std::string backupFile;
            if (backup && !stringField(*backup, at + ".backup", backupFile))
                return false;
            if (backup)
                gateway.backupFile = (manifest.parent_path() / backupFile).string();
            if (gateway.name.empty() || gateway.name.find_first_of("/\\") != std::string::npos)
                return fail(at + ".name", msg::CliBadGatewayName);
            for (const Gateway& other : gateways) {
                if (other.name == gateway.name)
                    return fail(at + ".name", msg::CliNameTwice(gateway.name));
                if (other.port == gateway.port)
                    return fail(at + ".port", msg::CliPortTwice(gateway.port));
            }
            // Only a configuration follows a plan.
            if (action == "configure" && plan->is_string()) {
                // Relative to the manifest, as a user writing one expects.
                gateway.planFile = (manifest.parent_path() / plan->get<std::string>()).string();
            } else if (action == "configure") {
                // Checked now, so that a bad inline plan is refused before any gateway is touched.
                std::string error;
                if (!ParsePlan(plan->dump(), error))
                    return fail(at + ".plan", error);
                gateway.planFile = (scratch / (gateway.name + ".plan.json")).string();
                std::ofstream(gateway.planFile, std::ios::binary) << plan->dump(2);
            }
            gateways.push_back(std::move(gateway));
        }
        return true;
    }
};

std::string FilesWritten(const Json& report)
{
    std::string files;
    for (const char* key : {"eds_file", "dcf_file", "backup_file"})
        if (report.contains(key))
            files += (files.empty() ? "" : " ") +
                     std::filesystem::path(report[key].get<std::string>()).filename().string();
    return files;
}

class BatchCommand final : public Command {
public:
    std::string_view name() const override { return "batch"; }
    std::string_view summary() const override { return msg::HelpBatchSummary; }
    std::string_view description() const override { return msg::HelpBatchDescription; }

    void define(CLI::App& command) override
    {
        command.add_option("manifest", manifest_, msg::HelpManifest)->required()->option_text("MANIFEST");
        command.add_option("--action", action_, msg::HelpAction)
            ->check(CLI::IsMember({"configure", "backup", "compare"}))
            ->option_text("configure|backup|compare");
        AddWholeOption(command, "--jobs", jobs_, 0, 64, "N", msg::HelpJobs);
        AddTextOption(command, "--trace-dir", traceDir_, "DIR", msg::HelpTraceDir);
        AddWholeOption(command, "--pace-ms", paceMs_, 0, 1000, "MS", msg::HelpPaceMs);
        command.add_flag("--json", json_, msg::HelpJsonReport);
    }

    int run(CommandIo& io) override
    {
        std::vector<Gateway> gateways;
        std::string outputDir = ".";
        const auto scratch = std::filesystem::temp_directory_path() / ("k400gw-batch-" + std::to_string(::getpid()));
        std::error_code ignored;
        std::filesystem::create_directories(scratch, ignored);
        std::string error;
        std::ifstream in(manifest_, std::ios::binary);
        std::ostringstream text;
        if (!in || !(text << in.rdbuf())) {
            std::filesystem::remove_all(scratch, ignored);
            return UsageError(io, name(), msg::CliCannotReadManifest(manifest_));
        }
        const auto root = ParseJson(text.str(), error);
        ManifestReader reader;
        if (!root || !reader.read(*root, manifest_, scratch, action_, gateways, outputDir)) {
            std::filesystem::remove_all(scratch, ignored);
            return UsageError(io, name(), manifest_ + ": " + (root ? reader.error : error));
        }
        if (std::filesystem::path(outputDir).is_relative())
            outputDir = (std::filesystem::path(manifest_).parent_path() / outputDir).string();
        // The manifest names the folder its gateways write into: made here,
        // once, rather than every gateway failing for want of it.
        if (action_ != "compare") {
            std::error_code made;
            std::filesystem::create_directories(outputDir, made);
            if (made) {
                std::filesystem::remove_all(scratch, ignored);
                return UsageError(io, name(), msg::CliCannotMakeFolder(outputDir, made.message()));
            }
        }

        // Every session's characters go out from one thread: one wake-up per
        // pause for all of them rather than one each.
        std::optional<SharedPacer> pacer;
        if (paceMs_ > 0)
            pacer.emplace(paceMs_);
        std::vector<Outcome> outcomes(gateways.size());
        std::mutex lock;
        std::atomic<std::size_t> next{0};
        const auto worker = [&] {
            for (std::size_t i; (i = next++) < gateways.size();)
                runOne(gateways[i], outputDir, pacer ? &*pacer : nullptr, outcomes[i], lock);
        };
        const std::size_t threads = jobs_ == 0 ? gateways.size() : std::min<std::size_t>(jobs_, gateways.size());
        // QThreads: the serial and network ports want Qt's own threads for their notifiers.
        std::vector<std::unique_ptr<QThread>> pool;
        for (std::size_t t = 0; t < threads; ++t) {
            pool.emplace_back(QThread::create(worker));
            pool.back()->start();
        }
        showWhileRunning(io, gateways, outcomes, lock);
        for (const auto& thread : pool)
            thread->wait();
        std::filesystem::remove_all(scratch, ignored);
        return report(io, gateways, outcomes);
    }

private:
    void runOne(const Gateway& gateway, const std::string& outputDir, SharedPacer* pacer, Outcome& outcome,
                std::mutex& lock)
    {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::string> args{action_,  "--port", gateway.port, "--pace-ms", std::to_string(paceMs_),
                                      "--json", "--quiet"};
        if (action_ == "configure")
            args.insert(args.end(), {"--plan", gateway.planFile, "--output-dir", outputDir});
        else if (action_ == "backup")
            args.insert(args.end(),
                        {"--output", (std::filesystem::path(outputDir) / (gateway.name + ".backup.json")).string()});
        else
            args.push_back(gateway.backupFile);
        if (traceDir_)
            args.insert(args.end(),
                        {"--trace", (std::filesystem::path(*traceDir_) / (gateway.name + ".trace")).string()});
        std::ostringstream out, err;
        CommandIo io{out, err,
                     [&](std::string_view status) {
                         std::lock_guard guard(lock);
                         outcome.status = std::string(status);
                     },
                     pacer};
        {
            std::lock_guard guard(lock);
            outcome.status = msg::CliBatchConnecting;
        }
        const int rc = RunCommandLine(args, io);
        std::lock_guard guard(lock);
        outcome.exitCode = rc;
        outcome.ok = rc == ExitSuccess;
        outcome.differs = rc == ExitDiffers;
        outcome.report = Json::parse(out.str(), nullptr, false);
        if (outcome.report.is_discarded() || !outcome.report.is_object())
            outcome.report = Json{{"error", err.str()}};
        outcome.status = outcome.ok        ? msg::CliBatchDone
                         : outcome.differs ? msg::CliBatchDiffers
                                           : msg::CliBatchFailed(outcome.report.value("error", msg::CliBatchExit(rc)));
        outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        outcome.done = true;
    }

    // One line per gateway, redrawn in place on a terminal; on anything else
    // only the lines that changed, so a log stays readable.
    void showWhileRunning(CommandIo& io, const std::vector<Gateway>& gateways, const std::vector<Outcome>& outcomes,
                          std::mutex& lock)
    {
        const bool terminal = &io.err == &std::cerr && ::isatty(STDERR_FILENO) != 0 && !json_;
        std::vector<std::string> shown(gateways.size());
        bool drawn = false;
        for (;;) {
            bool all = true;
            std::vector<std::string> lines;
            {
                std::lock_guard guard(lock);
                for (std::size_t i = 0; i < gateways.size(); ++i) {
                    lines.push_back(gateways[i].name + " (" + gateways[i].port + "): " + outcomes[i].status);
                    all = all && outcomes[i].done;
                }
            }
            if (terminal) {
                if (drawn)
                    io.err << "\x1b[" << lines.size() << "F";
                for (const std::string& line : lines)
                    io.err << "\x1b[K" << line << '\n';
                io.err << std::flush;
                drawn = true;
            } else if (!json_) {
                for (std::size_t i = 0; i < lines.size(); ++i)
                    if (lines[i] != shown[i])
                        io.err << lines[i] << '\n';
                io.err << std::flush;
            }
            shown = lines;
            if (all)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }

    int report(CommandIo& io, const std::vector<Gateway>& gateways, const std::vector<Outcome>& outcomes)
    {
        bool allOk = true;
        bool anyFailed = false;
        Json list = Json::array();
        std::vector<std::vector<std::string>> rows{{msg::CliBatchColumns.begin(), msg::CliBatchColumns.end()}};
        for (std::size_t i = 0; i < gateways.size(); ++i) {
            const Outcome& o = outcomes[i];
            allOk = allOk && o.ok;
            anyFailed = anyFailed || !(o.ok || o.differs);
            const std::string node = o.report.contains("node_id") ? o.report["node_id"].dump() : std::string();
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%.1f s", o.seconds);
            rows.push_back({gateways[i].name, gateways[i].port, o.ok ? msg::CliBatchOk : o.status.substr(0, 60), node,
                            FilesWritten(o.report), seconds});
            list.push_back({{"name", gateways[i].name},
                            {"port", gateways[i].port},
                            {"ok", o.ok},
                            {"exit_code", o.exitCode},
                            {"seconds", o.seconds},
                            {"result", o.report}});
        }
        if (json_)
            PrintJson(io.out, Json{{"action", action_}, {"ok", allOk}, {"gateways", list}});
        else
            PrintTable(io.out, msg::CliGatewaysTitle(gateways.size()), rows);
        return allOk ? ExitSuccess : anyFailed ? ExitFailure : ExitDiffers;
    }

    std::string manifest_;
    std::string action_ = "configure";
    int jobs_ = 0;
    int paceMs_ = LinkTiming{}.PaceMs;
    std::optional<std::string> traceDir_;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeBatchCommand()
{
    return std::make_unique<BatchCommand>();
}

}  // namespace k400
