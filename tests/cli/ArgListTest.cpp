// Command line arguments and the command table.

#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include <sstream>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/GatewaySession.h"
#include "cli/TerminalUserInterface.h"

namespace k400::test {
namespace {

TEST(ArgListTest, ValuesInBothFormsAreTakenOut)
{
    ArgList args({"--port", "COM3", "--pace-ms=0", "--json", "--name=", "--x", "--port"});
    EXPECT_EQ(args.value("port"), "COM3");
    EXPECT_EQ(args.value("pace-ms"), "0");
    EXPECT_EQ(args.value("name"), "");
    EXPECT_TRUE(args.flag("json"));
    EXPECT_FALSE(args.flag("json"));
    // The trailing "--port" lacks its value and stays for the leftover report.
    EXPECT_EQ(args.value("port"), std::nullopt);
    ASSERT_TRUE(args.leftover().has_value());
    EXPECT_NE(args.leftover()->find("--x"), std::string::npos);
}

TEST(ArgListTest, PrefixOfAnotherOptionIsNotAMatch)
{
    ArgList args({"--portable", "1", "--port-x=2"});
    EXPECT_EQ(args.value("port"), std::nullopt);
    EXPECT_FALSE(args.flag("port"));
    EXPECT_EQ(args.remaining().size(), 3u);
}

TEST(ArgListTest, PositionalsAndDoubleDash)
{
    ArgList args({"file.json", "--flag", "--", "--not-an-option"});
    EXPECT_EQ(args.positional(), "file.json");
    EXPECT_TRUE(args.flag("flag"));
    EXPECT_FALSE(args.flag("not-an-option"));
    EXPECT_EQ(args.positional(), "--not-an-option");
    EXPECT_EQ(args.leftover(), std::nullopt);
}

TEST(ArgListTest, IntegerOptionsAreWholeAndInRange)
{
    EXPECT_EQ(ParseIntegerOption("5", 0, 1000), 5);
    EXPECT_EQ(ParseIntegerOption("0", 0, 1000), 0);
    EXPECT_EQ(ParseIntegerOption("1001", 0, 1000), std::nullopt);
    EXPECT_EQ(ParseIntegerOption("-1", 0, 1000), std::nullopt);
    EXPECT_EQ(ParseIntegerOption("5ms", 0, 1000), std::nullopt);
    EXPECT_EQ(ParseIntegerOption("", 0, 1000), std::nullopt);
    EXPECT_EQ(ParseIntegerOption("99999999999999999999", 0, 1000), std::nullopt);
}

struct CliRun {
    int rc;
    std::string out;
    std::string err;
};

CliRun RunCli(std::vector<std::string> args)
{
    std::ostringstream out;
    std::ostringstream err;
    CommandIo io{out, err};
    const int rc = RunCommandLine(args, io);
    return {rc, out.str(), err.str()};
}

TEST(CommandLineTest, HelpListsEveryCommandAndShowsUsage)
{
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.rc, 0);
    for (const CommandInfo& command : CommandTable()) {
        EXPECT_NE(help.out.find(std::string(command.name)), std::string::npos) << command.name;
        EXPECT_NE(help.out.find(std::string(command.summary)), std::string::npos) << command.name;
        EXPECT_EQ(RunCli({"help", std::string(command.name)}).out, command.usage);
        EXPECT_EQ(RunCli({std::string(command.name), "--help"}).out, command.usage);
    }
    EXPECT_EQ(RunCli({"--version"}).out, std::string("k400gw ") + K400GW_VERSION + "\n");
}

TEST(CommandLineTest, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(RunCli({}).rc, 2);
    const CliRun unknown = RunCli({"frobnicate"});
    EXPECT_EQ(unknown.rc, 2);
    EXPECT_NE(unknown.err.find("frobnicate"), std::string::npos);
    EXPECT_EQ(RunCli({"help", "frobnicate"}).rc, 2);
    const CliRun badOption = RunCli({"identify", "--colour"});
    EXPECT_EQ(badOption.rc, 2);
    EXPECT_NE(badOption.err.find("--colour"), std::string::npos);
    EXPECT_EQ(RunCli({"identify", "--pace-ms", "fast"}).rc, 2);
    EXPECT_EQ(RunCli({"identify", "--port"}).rc, 2);
}

TEST(CommandLineTest, IdentifyReportsUnopenablePortAsFailure)
{
    const CliRun run = RunCli({"identify", "--port", "/nonexistent/tty"});
    EXPECT_EQ(run.rc, 1);
    EXPECT_NE(run.err.find("Error: /nonexistent/tty"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
}

TEST(CommandLineTest, IdentifyRunsAgainstBuiltInSimulatedGateway)
{
    const CliRun run = RunCli({"identify", "--pace-ms", "0"});
    EXPECT_EQ(run.rc, 0) << run.err;
    EXPECT_EQ(run.out, "Controller: K400E\nFirmware: 1.05-2007/11/26\n");
}

TEST(CommandLineTest, IdentifyRunsAgainstSimulatedGatewayFromScenarioFile)
{
    char pattern[] = "/tmp/k400-demo-XXXXXX.json";
    const int fd = ::mkstemps(pattern, 5);
    ASSERT_GE(fd, 0);
    const std::string scenario = R"({"controller": "K400B", "firmware": {"major": 2, "minor": 1, "year": 2009, "month": 12, "day": 3}})";
    ASSERT_EQ(::write(fd, scenario.data(), scenario.size()), static_cast<ssize_t>(scenario.size()));
    ::close(fd);
    const CliRun run = RunCli({"identify", "--pace-ms", "0", "--port", std::string("sim:") + pattern});
    ::unlink(pattern);
    EXPECT_EQ(run.rc, 0) << run.err;
    EXPECT_EQ(run.out, "Controller: K400B\nFirmware: 2.01-2009/12/03\n");
}

TEST(TerminalUserInterfaceTest, MessagesGoToErrorStreamAndAreKept)
{
    std::ostringstream err;
    TerminalUserInterface ui(err);
    ui.showMessage("Timeout", "Error");
    ui.showMessage("COM 1 has been occupied", "");
    ui.setStatusText("Timeout");
    EXPECT_EQ(err.str(), "Error: Timeout\nCOM 1 has been occupied\n");
    EXPECT_EQ(ui.lastMessage(), "COM 1 has been occupied");
    EXPECT_EQ(ui.lastTitle(), "");
    EXPECT_EQ(ui.status(), "Timeout");
    EXPECT_EQ(ui.messageCount(), 2);

    std::ostringstream verboseErr;
    TerminalUserInterface verbose(verboseErr, true);
    verbose.setStatusText("Scaning...");
    EXPECT_EQ(verboseErr.str(), "Status: Scaning...\n");
}

TEST(GatewaySessionTest, OptionsAndPortKinds)
{
    std::ostringstream out;
    std::ostringstream err;
    CommandIo io{out, err};

    ArgList none({});
    EXPECT_EQ(TakeSessionOptions(none, io, "scan"), std::nullopt);
    EXPECT_NE(err.str().find("--port"), std::string::npos);

    ArgList given({"--port", "3", "--pace-ms=0", "--verbose"});
    const auto options = TakeSessionOptions(given, io, "scan");
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(options->paceMs, 0);
    EXPECT_TRUE(options->verbose);
    const auto real = GatewaySession::Create(*options, io);
    ASSERT_NE(real, nullptr);
    EXPECT_FALSE(real->simulated());
    EXPECT_EQ(real->port().portName(), "COM3");
    EXPECT_EQ(real->link().PaceMs, 0);
    EXPECT_FALSE(real->port().isOpen());

    const auto sim = GatewaySession::Create({"sim", 5, false}, io);
    ASSERT_NE(sim, nullptr);
    EXPECT_TRUE(sim->simulated());

    err.str("");
    EXPECT_EQ(GatewaySession::Create({"sim:/no/such/file.json", 5, false}, io), nullptr);
    EXPECT_NE(err.str().find("/no/such/file.json"), std::string::npos);
}

}  // namespace
}  // namespace k400::test
