#pragma once
// The commands of `k400gw`: one function each, listed in one table.

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Usage lines of the options GatewaySession takes, for the usage texts of the
// commands that talk to a gateway: "usage: ...\n" K400_PORT_OPTIONS_USAGE "..."
#define K400_PORT_OPTIONS_USAGE                                                          \
    "  --port PORT     COM1..COM16, a number 1..16, a device path such as\n"          \
    "                  /dev/ttyUSB0, `sim` (built-in simulated gateway) or\n"        \
    "                  `sim:FILE.json` (simulated gateway from a scenario file)\n"   \
    "  --pace-ms N     pause after each character sent, in ms (default 5)\n"          \
    "  --strict-timing let every recovery step wait its whole time-out\n"             \
    "  --verbose       print status texts while running\n"

namespace k400 {

class ArgList;

struct CommandIo {
    std::ostream& out;
    std::ostream& err;
};

// Exit codes of every command.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;  // the operation failed; the reason is on err
inline constexpr int ExitUsage = 2;    // bad command line

using CommandFunction = int (*)(ArgList& args, CommandIo& io);

struct CommandInfo {
    std::string_view name;
    std::string_view summary;  // one line for the command list
    std::string_view usage;    // full usage text, options one per line
    CommandFunction run;
};

// Registered commands, in the order `--help` lists them.
std::span<const CommandInfo> CommandTable();
const CommandInfo* FindCommand(std::string_view name);

// The whole command line after the program name; returns the exit code.
// Runs in-process, so tests can drive it with string streams.
int RunCommandLine(const std::vector<std::string>& args, CommandIo& io);

// Prints a usage error (with a pointer to the command's help) and returns ExitUsage.
int UsageError(CommandIo& io, std::string_view command, std::string_view text);
// Usage error for the first argument the command did not ask for; nullopt-like
// ExitSuccess (0) when everything was used, so callers can `if (int rc = ...)`.
int CheckNoLeftover(ArgList& args, CommandIo& io, std::string_view command);

int RunDemoCommand(ArgList& args, CommandIo& io);
int RunIdentifyCommand(ArgList& args, CommandIo& io);
int RunSimCommand(ArgList& args, CommandIo& io);
int RunScanCommand(ArgList& args, CommandIo& io);
int RunConfigureCommand(ArgList& args, CommandIo& io);
int RunEdsCommand(ArgList& args, CommandIo& io);

}  // namespace k400
