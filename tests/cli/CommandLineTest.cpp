// The command line as a user types it: what is refused as a usage error
// (exit 2, naming the option), what is refused before any port is opened,
// which boundary values are taken, and what the help promises.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "support/CommandRun.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

// A port that cannot be opened: a command that got as far as opening it
// would fail with exit code 1, not refuse with 2.
constexpr const char* NoPort = "/dev/k400-no-such-port";
// Stands for the test's scratch folder in the arguments.
constexpr const char* OutDir = "@OUT";

using Args = std::vector<std::string>;
using Texts = std::vector<std::string>;

struct Line {
    const char* name;
    Args args;
    int rc;
    Texts err;       // each must be on stderr
    Texts out = {};  // each must be on stdout
    Texts notOut = {};
    Texts notErr = {};
};

// Failures name the command line rather than dumping the row's bytes.
void PrintTo(const Line& line, std::ostream* os)
{
    *os << "k400gw";
    for (const std::string& arg : line.args)
        *os << ' ' << arg;
}

Args Configure(const char* profile, Args extra)
{
    Args args = {"configure", "--port", NoPort, "--profile", profile};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

Args Eds(const char* profile, Args extra)
{
    Args args = {"eds", "--profile", profile, "--modules", "M38@3,M33@26", "--json", "--output-dir", OutDir};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

class CommandLine : public ::testing::TestWithParam<Line> {
protected:
    CommandRun Run(Args args)
    {
        for (std::string& arg : args)
            if (arg == OutDir)
                arg = dir.string();
        return RunK400(args);
    }

    TempFolder dir{"k400-cli"};
};

TEST_P(CommandLine, ExitCodeAndMessages)
{
    const Line& line = GetParam();
    const CommandRun run = Run(line.args);
    EXPECT_EQ(run.rc, line.rc) << "err: " << run.err << "\nout: " << run.out;
    for (const std::string& text : line.err)
        EXPECT_NE(run.err.find(text), std::string::npos) << "missing '" << text << "' in:\n" << run.err;
    for (const std::string& text : line.out)
        EXPECT_NE(run.out.find(text), std::string::npos) << "missing '" << text << "' in:\n" << run.out;
    for (const std::string& text : line.notOut)
        EXPECT_EQ(run.out.find(text), std::string::npos) << "unexpected '" << text << "' in:\n" << run.out;
    for (const std::string& text : line.notErr)
        EXPECT_EQ(run.err.find(text), std::string::npos) << "unexpected '" << text << "' in:\n" << run.err;
    // Scripts read stdout: a refusal leaves it empty, and help or a result leaves stderr quiet.
    if (line.rc == ExitUsage) {
        EXPECT_EQ(run.out, "");
    } else if (line.err.empty()) {
        EXPECT_EQ(run.err, "");
    }
}

std::string NameOf(const ::testing::TestParamInfo<Line>& info)
{
    return info.param.name;
}

// Parse errors: exit 2, the command and the option named, a pointer to the help.
const Line UsageErrors[] = {
    {"UnknownOption",
     {"scan", "--port", "sim", "--colour", "red"},
     2,
     {"k400gw scan: ", "--colour red", "Try 'k400gw help scan' for more information."}},
    {"OptionOfAnotherCommand", {"eds", "--profile", "canopen", "--com2-timeout", "40"}, 2, {"--com2-timeout"}},
    {"ValueMissingBeforeNextOption", {"scan", "--port", "--json"}, 2, {"k400gw scan: ", "--port"}},
    {"ValueMissingAtEnd", {"identify", "--port"}, 2, {"k400gw identify: ", "--port"}},
    {"UnknownCommand", {"frobnicate", "--port", "sim"}, 2, {"unknown command: frobnicate", "Try 'k400gw --help'"}},
    {"HelpOfUnknownCommand", {"help", "frobnicate"}, 2, {"unknown command: frobnicate"}},
    {"NoCommand", {}, 2, {"usage: k400gw COMMAND", "configure", "identify"}},
    // Numbers are whole decimal numbers, nothing else.
    {"ExponentNodeId", Configure("canopen", {"--node-id", "1e2"}), 2, {"--node-id", "'1e2' is not a whole decimal"}},
    {"LetterONodeId", Configure("canopen", {"--node-id", "12O"}), 2, {"--node-id", "'12O' is not a whole decimal"}},
    {"UnitSuffixTimeout",
     Configure("canopen", {"--com2-timeout", "20ms"}),
     2,
     {"--com2-timeout", "'20ms' is not a whole decimal"}},
    {"FractionScanTimeout", {"scan", "--port", NoPort, "--scan-timeout", "200.5"}, 2, {"--scan-timeout", "'200.5'"}},
    {"HexNodeId", Configure("canopen", {"--node-id", "0x10"}), 2, {"--node-id", "'0x10'"}},
    {"SignedNodeId", Configure("canopen", {"--node-id", "+5"}), 2, {"--node-id", "'+5'"}},
    {"NegativePace", {"identify", "--port", NoPort, "--pace-ms", "-1"}, 2, {"--pace-ms", "'-1'"}},
    {"BlankInNodeId", Configure("canopen", {"--node-id", "5 "}), 2, {"--node-id"}},
    {"EmptyNodeId", Configure("canopen", {"--node-id", ""}), 2, {"--node-id"}},
    {"NodeIdBeyondInt", Configure("canopen", {"--node-id", "4294967301"}), 2, {"--node-id", "'4294967301'"}},
    // Ranges, each named in the message.
    {"NodeIdZero", Configure("canopen", {"--node-id", "0"}), 2, {"--node-id", "0 is out of range 1..127"}},
    {"NodeId128", Configure("canopen", {"--node-id", "128"}), 2, {"--node-id", "128 is out of range 1..127"}},
    {"Com2TimeoutZero", Configure("canopen", {"--com2-timeout", "0"}), 2, {"--com2-timeout", "1..32767"}},
    {"Com2Timeout32768", Configure("canopen", {"--com2-timeout", "32768"}), 2, {"--com2-timeout", "1..32767"}},
    {"ScanTimeout32768", {"scan", "--port", NoPort, "--scan-timeout", "32768"}, 2, {"--scan-timeout", "1..32767"}},
    {"PaceOver1000", {"identify", "--port", NoPort, "--pace-ms", "1001"}, 2, {"--pace-ms", "0..1000"}},
    {"GuardTime65536", Configure("canopen", {"--guard-time", "65536"}), 2, {"--guard-time", "0..65535"}},
    {"LifeFactor256", Configure("canopen", {"--life-factor", "256"}), 2, {"--life-factor", "0..255"}},
    {"Heartbeat65536", Configure("canopen", {"--heartbeat", "65536"}), 2, {"--heartbeat", "0..65535"}},
    {"PollIn256", Configure("devicenet", {"--poll-in", "256"}), 2, {"--poll-in", "0..255"}},
    {"CosOutNotANumber", Configure("devicenet", {"--cos-out", "two"}), 2, {"--cos-out", "'two'"}},
    // Choices are spelled as listed.
    {"ScanBaudNotInList", {"scan", "--port", NoPort, "--scan-baud", "300"}, 2, {"--scan-baud"}},
    {"Com2BaudWithFraction", Configure("canopen", {"--com2-baud", "9600.0"}), 2, {"--com2-baud"}},
    {"CanBaudInBps", Configure("canopen", {"--can-baud", "125000"}), 2, {"--can-baud"}},
    {"ChecksumCapitals", {"scan", "--port", NoPort, "--scan-checksum", "ON"}, 2, {"--scan-checksum"}},
    {"UnknownProfile", {"configure", "--port", NoPort, "--profile", "profibus"}, 2, {"--profile"}},
    {"NodeIdGivenTwice", Configure("canopen", {"--node-id", "5", "--node-id", "6"}), 2, {"--node-id"}},
    {"HeartbeatWithGuarding",
     Configure("canopen", {"--heartbeat", "100", "--guard-time", "10"}),
     2,
     {"--heartbeat", "--guard-time"}},
};
INSTANTIATE_TEST_SUITE_P(UsageErrors, CommandLine, ::testing::ValuesIn(UsageErrors), NameOf);

// Refused after the parse but before any port is opened: exit 2 although the
// port cannot be opened, and the reason on stderr.
const Line RefusedBeforeThePort[] = {
    {"IdentifyWithoutPort",
     {"identify", "--pace-ms", "0"},
     2,
     {"k400gw identify: --port PORT is required", "Try 'k400gw help identify'"}},
    {"ScanWithoutPort", {"scan", "--json"}, 2, {"k400gw scan: --port PORT is required"}},
    {"ConfigureWithoutPort", {"configure", "--profile", "canopen"}, 2, {"--port PORT is required"}},
    {"ConfigureWithoutProfile",
     {"configure", "--port", NoPort, "--node-id", "5"},
     2,
     {"k400gw configure: --profile canopen|devicenet is required"}},
    {"DeviceNetNodeId64", Configure("devicenet", {"--node-id", "64"}), 2, {"Node ID is not supported!(1~63)"}},
    {"DeviceNetCanBaud1000",
     Configure("devicenet", {"--can-baud", "1000"}),
     2,
     {"CAN baud rate 1000 kbit/s is not in the DeviceNet list (125 250 500)"}},
    {"DeviceNetCanBaud10", Configure("devicenet", {"--can-baud", "10", "--dry-run"}), 2, {"10 kbit/s"}},
    {"DeviceNetOptionWithCanopen",
     Configure("canopen", {"--heartbeat", "10", "--poll-in", "1"}),
     2,
     {"--poll-in applies to --profile devicenet"}},
    {"CanopenOptionWithDeviceNet",
     Configure("devicenet", {"--life-factor", "3"}),
     2,
     {"--life-factor applies to --profile canopen"}},
    {"EdsDeviceNetNodeId64", Eds("devicenet", {"--node-id", "64"}), 2, {"Node ID is not supported!(1~63)"}},
};
INSTANTIATE_TEST_SUITE_P(RefusedBeforeThePort, CommandLine, ::testing::ValuesIn(RefusedBeforeThePort), NameOf);

// Values at the edges of their ranges are taken, and read in base 10.
const Line Accepted[] = {
    {"DeviceNetNodeId63", Eds("devicenet", {"--node-id", "63"}), 0, {}, {"\"node_id\":63"}},
    {"NodeIdWithLeadingZeroIsDecimal", Eds("devicenet", {"--node-id", "010"}), 0, {}, {"\"node_id\":10"}},
    {"NodeIdZeroNine", Eds("devicenet", {"--node-id", "09"}), 0, {}, {"\"node_id\":9"}},
    {"CanopenNodeId127", Eds("canopen", {"--node-id", "127"}), 0, {}, {"COPn127.eds"}},
    {"CanopenNodeId1", Eds("canopen", {"--node-id", "0001"}), 0, {}, {"COPn1.eds"}},
    {"GuardingAtItsMaxima", Eds("canopen", {"--guard-time", "65535", "--life-factor", "255"}), 0, {}, {"COPn"}},
    {"HeartbeatZero", Eds("canopen", {"--heartbeat", "0", "--can-baud", "1000"}), 0, {}, {"COPn"}},
    {"DeviceNetNoneSelected",
     Eds("devicenet", {"--poll-in", "0", "--can-baud", "125"}),
     0,
     {},
     {"\"poll\":{\"input\":0"}},
};
INSTANTIATE_TEST_SUITE_P(Accepted, CommandLine, ::testing::ValuesIn(Accepted), NameOf);

// The help lists every option with its range, on stdout, exit 0.
const Line Help[] = {
    {"Configure",
     {"help", "configure"},
     0,
     {},
     {"usage: k400gw configure [OPTIONS]", "--node-id N (1..127)", "--com2-timeout MS (1..32767)",
      "--scan-timeout MS (1..32767)", "--pace-ms MS (0..1000)", "--guard-time MS (0..65535)",
      "--life-factor N (0..255)", "--heartbeat MS (0..65535)", "--poll-in N (0..255)", "--strobe-out N (0..255)",
      "--scan-baud BPS (1200, 2400", "115200)", "--com2-baud BPS (1200", "--can-baud KBPS",
      "CANopen 10 20 50 125 250 500 800 1000; DeviceNet 125 250 500", "1..63 for DeviceNet"}},
    {"ScanFlag",
     {"scan", "--help"},
     0,
     {},
     {"usage: k400gw scan [OPTIONS]", "--scan-timeout MS (1..32767)", "--json"},
     {"--node-id", "--com2-timeout"}},
    {"EdsShortFlag", {"eds", "-h"}, 0, {}, {"--node-id N (1..127)", "--modules LIST"}, {"--com2-timeout", "--port"}},
    {"Identify", {"help", "identify"}, 0, {}, {"--port PORT", "--pace-ms MS (0..1000)"}, {"--scan-baud"}},
    {"CommandList", {"--help"}, 0, {}, {"scan", "configure", "eds", "identify", "sim", "demo"}},
};
INSTANTIATE_TEST_SUITE_P(Help, CommandLine, ::testing::ValuesIn(Help), NameOf);

std::string Scenario(const char* name)
{
    return "sim:" + std::string(K400_TEST_DATA_DIR) + "/scenarios/" + name;
}

// What a script reads: lists, JSON results and failures that say where they happened.
const Line Reports[] = {
    {"ModelsListed", {"models"}, 0, {}, {"TARN models (", "M38 ", "Input bytes"}},
    {"ModelsAsJson", {"models", "--json"}, 0, {}, {"{\"model\":\"M38\","}},
    {"UnsupportedModuleNamed",
     {"eds", "--profile", "canopen", "--modules", "M99@3", "--output-dir", OutDir},
     1,
     {"M99 at 3: This modules is not supported!"}},
    {"IdentifyAsJson", {"identify", "--port", "sim", "--json"}, 0, {}, {"{\"controller\":\"K400E\",\"firmware\":"}},
    {"ScanJsonGivesRates",
     {"scan", "--port", "sim", "--json"},
     0,
     {},
     {"\"can_baud_index\":2,\"can_baud_kbps\":50", "\"com2_baud_bps\":9600"}},
    {"FailureSaysWhereItStopped",
     {"identify", "--port", Scenario("no-answer-el40.json")},
     1,
     {"Error: Timeout\n", "no \"Long(40)=...-->\" after \"el 40\" within "}},
    {"FailureAsJsonObject",
     {"identify", "--port", Scenario("no-answer-el40.json"), "--json"},
     1,
     {"Timeout"},
     {"{\"error\":\"Timeout\",\"detail\":\"no \\\"Long(40)", "\"stage\":\"connect\"}"}},
    {"BareNameShowsThePathTried", {"identify", "--port", "k400-no-such-device"}, 1, {"/dev/k400-no-such-device"}},
    {"WarningSpelledOnce",
     {"scan", "--port", Scenario("blank-eeprom.json"), "--scan-baud", "19200", "--scan-timeout", "150"},
     0,
     {"warning: Attached modules do not match"},
     {"Stored configuration: invalid"},
     {},
     {"Warnning"}},
};
INSTANTIATE_TEST_SUITE_P(Reports, CommandLine, ::testing::ValuesIn(Reports), NameOf);

}  // namespace
}  // namespace k400::test
