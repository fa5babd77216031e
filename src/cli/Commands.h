#pragma once
// The command line `k400gw`: one subcommand per job, parsed with CLI11 into
// the core's typed values, run in-process so that tests drive it with
// string streams.

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace k400 {

class SharedPacer;

struct CommandIo {
    std::ostream& out;
    std::ostream& err;
    // Status texts of a gateway dialogue as they change, for a caller that
    // shows many runs at once (batch); empty for a run on its own.
    std::function<void(std::string_view)> onStatus = {};
    // The pacer the runs of a batch share (see SharedPacer); none for a run on its own.
    SharedPacer* pacer = nullptr;
};

// Exit codes of every command.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;  // the operation failed; the reason is on err
inline constexpr int ExitUsage = 2;    // bad command line, or a value refused before the gateway was touched
inline constexpr int ExitDiffers = 3;  // compare: the gateway differs from the file

// One subcommand: declares its options on its CLI11 subcommand, then runs
// with what the parse stored.
class Command {
public:
    virtual ~Command() = default;
    virtual std::string_view name() const = 0;
    virtual std::string_view summary() const = 0;
    // Longer text shown under the usage line of the command's help.
    virtual std::string_view description() const { return {}; }
    virtual void define(CLI::App& command) = 0;
    virtual int run(CommandIo& io) = 0;
};

// The commands, in the order the help lists them.
std::vector<std::unique_ptr<Command>> MakeCommands();

std::unique_ptr<Command> MakeScanCommand();
std::unique_ptr<Command> MakeConfigureCommand();
std::unique_ptr<Command> MakeEdsCommand();
std::unique_ptr<Command> MakeIdentifyCommand();
std::unique_ptr<Command> MakeSimCommand();
std::unique_ptr<Command> MakeDemoCommand();
std::unique_ptr<Command> MakePortsCommand();
std::unique_ptr<Command> MakeModelsCommand();
std::unique_ptr<Command> MakeBatchCommand();
std::unique_ptr<Command> MakeBackupCommand();
std::unique_ptr<Command> MakeCompareCommand();
std::unique_ptr<Command> MakeRestoreCommand();

// The whole command line after the program name; returns the exit code.
int RunCommandLine(const std::vector<std::string>& args, CommandIo& io);

// Prints a usage error naming the command (with a pointer to its help) and returns ExitUsage.
int UsageError(CommandIo& io, std::string_view command, std::string_view text);

}  // namespace k400
