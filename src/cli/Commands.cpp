#include "cli/Commands.h"

#include <CLI/CLI.hpp>

#include "platform/Messages.h"

namespace k400 {

namespace {

void PrintCommandList(std::ostream& out, const std::vector<std::unique_ptr<Command>>& commands)
{
    out << msg::HelpUsage << '\n' << msg::HelpProgramSummary << "\n\n" << msg::HelpCommandsHeading << '\n';
    std::size_t width = 0;
    for (const auto& command : commands)
        width = std::max(width, command->name().size());
    for (const auto& command : commands)
        out << "  " << command->name() << std::string(width + 2 - command->name().size(), ' ') << command->summary()
            << '\n';
}

// CLI11's formatter, with the usage line and description the commands give.
class HelpFormatter final : public CLI::Formatter {
public:
    HelpFormatter() { column_width(34); }
    std::string make_usage(const CLI::App* app, std::string name) const override
    {
        return msg::HelpCommandUsage(name.empty() ? app->get_name() : name);
    }
};

}  // namespace

std::vector<std::unique_ptr<Command>> MakeCommands()
{
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(MakeScanCommand());
    commands.push_back(MakeConfigureCommand());
    commands.push_back(MakeEdsCommand());
    commands.push_back(MakeBatchCommand());
    commands.push_back(MakeBackupCommand());
    commands.push_back(MakeCompareCommand());
    commands.push_back(MakeRestoreCommand());
    commands.push_back(MakeIdentifyCommand());
    commands.push_back(MakePortsCommand());
    commands.push_back(MakeModelsCommand());
    commands.push_back(MakeSimCommand());
    commands.push_back(MakeDemoCommand());
    return commands;
}

int UsageError(CommandIo& io, std::string_view command, std::string_view text)
{
    io.err << msg::CliProgramName;
    if (!command.empty())
        io.err << ' ' << command;
    io.err << ": " << text << '\n' << msg::CliTryHelp(command) << std::endl;
    return ExitUsage;
}

int RunCommandLine(const std::vector<std::string>& args, CommandIo& io)
{
    const auto commands = MakeCommands();
    if (args.empty()) {
        PrintCommandList(io.err, commands);
        return ExitUsage;
    }
    const std::string& first = args.front();
    if (first == "--help" || first == "-h" || (first == "help" && args.size() == 1)) {
        PrintCommandList(io.out, commands);
        return ExitSuccess;
    }
    if (first == "--version") {
        io.out << msg::CliProgramName << ' ' << K400GW_VERSION << '\n';
        return ExitSuccess;
    }

    CLI::App app{msg::HelpProgramSummary, msg::CliProgramName};
    app.formatter(std::make_shared<HelpFormatter>());
    app.set_help_flag();
    app.require_subcommand(1, 1);
    std::vector<std::pair<CLI::App*, Command*>> defined;
    for (const auto& command : commands) {
        std::string description(command->summary());
        if (!command->description().empty())
            description += "\n" + std::string(command->description());
        CLI::App* sub = app.add_subcommand(std::string(command->name()), description);
        sub->formatter(app.get_formatter());
        sub->set_help_flag("-h,--help", msg::HelpHelpFlag);
        command->define(*sub);
        defined.emplace_back(sub, command.get());
    }

    if (first == "help") {
        for (const auto& [sub, command] : defined)
            if (command->name() == args[1]) {
                io.out << sub->help();
                return ExitSuccess;
            }
        return UsageError(io, {}, msg::CliUnknownCommand(args[1]));
    }
    Command* chosen = nullptr;
    for (const auto& [sub, command] : defined)
        if (command->name() == first)
            chosen = command;
    if (chosen == nullptr)
        return UsageError(io, {}, msg::CliUnknownCommand(first));

    // CLI11 takes the arguments last to first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        io.out << app.get_subcommand(std::string(chosen->name()))->help();
        return ExitSuccess;
    } catch (const CLI::ExtrasError&) {
        // CLI11 lists the extras in the reversed order it parsed them in; name them as typed.
        std::string extras;
        for (const std::string& extra : app.get_subcommand(std::string(chosen->name()))->remaining())
            extras += (extras.empty() ? "" : " ") + extra;
        return UsageError(io, chosen->name(), msg::CliNotExpected(extras));
    } catch (const CLI::ParseError& error) {
        // "--port: 1 required TEXT missing" says it in CLI11's terms.
        std::string text = error.what();
        if (const auto at = text.find(": 1 required "); at != std::string::npos)
            text = text.substr(0, at) + ": " + msg::CliNeedsValue;
        return UsageError(io, chosen->name(), text);
    }
    return chosen->run(io);
}

}  // namespace k400
