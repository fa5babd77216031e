#include "sim/GatewayConsole.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace k400::test {
namespace {

using Mode = GatewayConsole::Mode;

// Drives a console line by line; time only moves when a test says so.
struct Driver {
    explicit Driver(Scenario scenario) : console(std::move(scenario)) {}

    // Sends the line with its CR and returns what is released by then.
    std::string send(const std::string& line)
    {
        console.receive(line + "\r", now);
        return console.takeOutput(now);
    }
    std::string sendAll(std::initializer_list<std::string> lines)
    {
        std::string out;
        for (const auto& line : lines)
            out = send(line);
        return out;
    }
    std::string waitUntil(std::int64_t t)
    {
        now = t;
        return console.takeOutput(now);
    }

    GatewayConsole console;
    std::int64_t now = 5000;
};

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

Scenario TwoModules()
{
    Scenario s;
    SimModule m44;
    m44.address = 1;
    m44.model = "M44";
    m44.typeCode = 0x40;
    m44.baudCode = 0x06;
    m44.dataFormat = 0x0F;
    m44.dFlag = true;
    SimModule m28;
    m28.address = 5;
    m28.model = "M28";
    SimModule far;  // beyond the /end 15 of a normal scan
    far.address = 0x1A;
    far.model = "M33";
    s.modules = {m28, far, m44};
    return s;
}

TEST(GatewayConsoleTopLevel, PromptsAndRecoveryCommandsStayAtTopLevel)
{
    Driver d{Scenario{}};
    EXPECT_EQ(d.send(""), "\r\nK400E>");
    for (const char* line : {"exit", "/q", "."}) {
        EXPECT_EQ(d.send(line), "\r\nK400E>") << line;
        EXPECT_EQ(d.console.mode(), Mode::TopLevel);
    }
    const std::string unknown = d.send("frobnicate");
    EXPECT_NE(unknown.find("Unknown command"), std::string::npos);
    EXPECT_TRUE(EndsWith(unknown, "\r\nK400E>"));

    Scenario other;
    other.controller = "K400B";
    Driver b{other};
    EXPECT_EQ(b.send("exit"), "\r\nK400B>");
}

TEST(GatewayConsoleTopLevel, LfIsIgnoredAndBlanksAroundCommandsTrimmed)
{
    Driver d{Scenario{}};
    d.console.receive("  use eeprom \r\n", d.now);
    EXPECT_EQ(d.console.takeOutput(d.now), "\r\n[EEPROM:]");
    EXPECT_EQ(d.console.mode(), Mode::Eeprom);
}

// --- EEPROM and the value editor -------------------------------------------

Scenario WithHeader()
{
    Scenario s;
    s.setHeader({28573732, 20, 327683, 131596568, 221055488, 196808, 131080, 65540, 0});
    s.setWord(0, 76, 0xFFFFFFFFu);
    s.setWord(2, 252, 7);
    return s;
}

TEST(GatewayConsoleEeprom, EditorWalksRetypedWordsAndStoresNewOnes)
{
    Driver d{WithHeader()};
    EXPECT_EQ(d.send("use eeprom"), "\r\n[EEPROM:]");
    EXPECT_TRUE(EndsWith(d.send("block 0"), "\r\n[EEPROM:]"));
    EXPECT_EQ(d.send("el 40"), "\r\nLong(40)=28573732-->");
    EXPECT_EQ(d.console.mode(), Mode::ValueEditor);
    EXPECT_EQ(d.send("28573732"), "\r\nLong(44)=20-->");
    EXPECT_EQ(d.send("99"), "\r\nLong(48)=327683-->");
    EXPECT_EQ(d.send("."), "\r\n[EEPROM:]");
    EXPECT_EQ(d.console.mode(), Mode::Eeprom);

    EXPECT_EQ(d.console.eeprom()[0][10], 28573732u);
    EXPECT_EQ(d.console.eeprom()[0][11], 99u);
    EXPECT_EQ(d.console.eeprom()[0][12], 327683u) << "'.' keeps the word on display";
    ASSERT_EQ(d.console.eepromWrites().size(), 2u);
    EXPECT_FALSE(d.console.eepromWrites()[0].changed);
    EXPECT_EQ(d.console.eepromWrites()[1].offset, 44);
    EXPECT_TRUE(d.console.eepromWrites()[1].changed);
}

TEST(GatewayConsoleEeprom, SignedValuesAndTheirRange)
{
    Driver d{WithHeader()};
    d.sendAll({"use eeprom", "block 0"});
    EXPECT_EQ(d.send("el 76"), "\r\nLong(76)=-1-->");
    EXPECT_EQ(d.send("-2"), "\r\nLong(80)=0-->");
    EXPECT_EQ(d.console.eeprom()[0][19], 0xFFFFFFFEu);
    // The unsigned spelling of a word is the same 32 bits.
    EXPECT_EQ(d.send("2147483648"), "\r\nLong(84)=0-->");
    EXPECT_EQ(d.console.eeprom()[0][20], 0x80000000u);
    d.send("el 80");
    EXPECT_EQ(d.send("."), "\r\n[EEPROM:]");
    EXPECT_EQ(d.send("el 80"), "\r\nLong(80)=-2147483648-->");

    for (const char* bad : {"-2147483649", "4294967296", "12abc", "1 2", "--1", "0x10", "+"}) {
        const std::string out = d.send(bad);
        EXPECT_EQ(out, "\r\nInvalid value\r\nLong(80)=-2147483648-->") << bad;
    }
    EXPECT_EQ(d.send(""), "\r\nLong(80)=-2147483648-->") << "an empty line shows the word again";
    EXPECT_EQ(d.console.eeprom()[0][20], 0x80000000u);
}

TEST(GatewayConsoleEeprom, BlocksOffsetsAndTheEndOfABlock)
{
    Driver d{WithHeader()};
    d.send("use eeprom");
    EXPECT_EQ(d.send("el 40"), "\r\nLong(40)=28573732-->") << "block 0 after use eeprom";
    d.send(".");
    d.send("block 2");
    EXPECT_EQ(d.send("el 252"), "\r\nLong(252)=7-->");
    const std::string end = d.send("8");
    EXPECT_TRUE(EndsWith(end, "\r\n[EEPROM:]")) << end;
    EXPECT_EQ(d.console.mode(), Mode::Eeprom);
    EXPECT_EQ(d.console.eeprom()[2][63], 8u);

    for (const char* bad : {"el 41", "el 256", "el -4", "el", "block 3", "block", "block x"}) {
        const std::string out = d.send(bad);
        EXPECT_TRUE(EndsWith(out, "\r\n[EEPROM:]")) << bad << ": " << out;
        EXPECT_GT(out.size(), std::string("\r\n[EEPROM:]").size()) << bad << " needs an explanation";
        EXPECT_EQ(d.console.mode(), Mode::Eeprom) << bad;
    }
    EXPECT_EQ(d.console.eepromBlock(), 2) << "a refused block number changes nothing";
    // Re-entering the sub-mode starts again at block 0.
    d.sendAll({"exit", "use eeprom"});
    EXPECT_EQ(d.console.eepromBlock(), 0);
}

TEST(GatewayConsoleEeprom, ListenerHearsEveryChangeAndOnlyChanges)
{
    Driver d{WithHeader()};
    std::vector<std::uint32_t> seen;
    d.console.setEepromListener([&](const EepromImage& image) { seen.push_back(image[0][11]); });
    d.sendAll({"use eeprom", "block 0", "el 40", "28573732", "21", "327683", "."});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], 21u);
}

// --- COM2: settings, scan listing, module queries ----------------------------

TEST(GatewayConsoleCom2, SettingsAnswerWithTheirValues)
{
    Driver d{Scenario{}};
    EXPECT_EQ(d.send("use com2"), "\r\n[COM2:]");
    EXPECT_TRUE(EndsWith(d.send("/s1"), "[COM2:]"));
    EXPECT_TRUE(d.console.checksumOn());

    const std::string timeout = d.send("/timeout 350");
    EXPECT_NE(timeout.find("350"), std::string::npos);
    EXPECT_TRUE(EndsWith(timeout, "[COM2:]"));
    EXPECT_EQ(d.console.moduleTimeoutMs(), 350);

    const std::string baud = d.send("/baud 19200");
    EXPECT_NE(baud.find("19200"), std::string::npos);
    EXPECT_EQ(d.console.com2Baud(), 19200);

    // A refused value must not echo the number, or a client waiting for it would take it as accepted.
    const std::string badBaud = d.send("/baud 1234");
    EXPECT_EQ(badBaud.find("1234"), std::string::npos);
    EXPECT_EQ(d.console.com2Baud(), 19200);
    const std::string badTimeout = d.send("/timeout 70000");
    EXPECT_EQ(badTimeout.find("70000"), std::string::npos);

    d.send("/start 2");
    d.send("/end 9");
    EXPECT_EQ(d.console.scanStart(), 2);
    EXPECT_EQ(d.console.scanEnd(), 9);
    EXPECT_TRUE(EndsWith(d.send("/end 256"), "[COM2:]"));
    EXPECT_EQ(d.console.scanEnd(), 9);
}

TEST(GatewayConsoleCom2, ScanListsModulesInRangeInAddressOrder)
{
    Driver d{TwoModules()};
    const std::string out = d.sendAll({"use com2", "/start 0", "/end 15", "/scan"});
    EXPECT_EQ(d.console.mode(), Mode::Com2);
    EXPECT_TRUE(EndsWith(out, "[COM2:]"));
    const auto first = out.find("!01M44D{");
    const auto second = out.find("!05M28{");
    ASSERT_NE(first, std::string::npos) << out;
    ASSERT_NE(second, std::string::npos) << out;
    EXPECT_LT(first, second);
    EXPECT_EQ(out.find("!1A"), std::string::npos) << "address 26 lies outside 0..15";
    EXPECT_EQ(std::count(out.begin(), out.end(), '!'), 2);
    // Each entry has exactly one "{" before the next "!", so a parser can cut at it.
    EXPECT_EQ(std::count(out.begin(), out.end(), '{'), 2);
    EXPECT_EQ(out.find('{', first + 8), second + 6);

    const std::string narrow = d.sendAll({"/start 2", "/end 200", "/scan"});
    EXPECT_EQ(narrow.find("!01"), std::string::npos);
    EXPECT_NE(narrow.find("!05M28{"), std::string::npos);
    EXPECT_NE(narrow.find("!1AM33{"), std::string::npos);
}

TEST(GatewayConsoleCom2, ScanWithChecksumPutsItBeforeTheDFlag)
{
    Scenario s = TwoModules();
    s.modules.push_back({});
    s.modules.back().address = 7;
    s.modules.back().model = "M24";
    s.modules.back().checksumText = "Q1";
    Driver d{s};
    const std::string out = d.sendAll({"use com2", "/s1", "/end 15", "/scan"});
    // "!01M44" adds up to 0x137, "!05M28" to 0x13D.
    EXPECT_NE(out.find("!01M4437D{"), std::string::npos) << out;
    EXPECT_NE(out.find("!05M283D{"), std::string::npos) << out;
    EXPECT_NE(out.find("!07M24Q1{"), std::string::npos) << out;
}

TEST(GatewayConsoleCom2, ModuleConfigurationQueries)
{
    Scenario s = TwoModules();
    SimModule perChannel;
    perChannel.address = 12;
    perChannel.model = "M32";
    perChannel.typeCode = 0x3F;
    perChannel.channelTypes = {0x0, 0x3};
    SimModule mute;
    mute.address = 9;
    mute.model = "M38";
    mute.answers = false;
    s.modules.push_back(perChannel);
    s.modules.push_back(mute);
    Driver d{s};
    d.send("use com2");
    EXPECT_EQ(d.send("$012"), "\r\n!0140060F\r\n[COM2:]");
    EXPECT_EQ(d.send("$0c2"), "\r\n!0C3F0600\r\n[COM2:]") << "hex digits in either case";
    // The channel's type code is the digit four places after the "!".
    EXPECT_EQ(d.send("$0C90"), "\r\n!0C00\r\n[COM2:]");
    EXPECT_EQ(d.send("$0C91"), "\r\n!0C03\r\n[COM2:]");
    EXPECT_EQ(d.send("$0C92"), "\r\n?0C\r\n[COM2:]");
    EXPECT_EQ(d.send("$0C5"), "\r\n?0C\r\n[COM2:]");
    EXPECT_EQ(d.send("$0CM"), "\r\n!0CM32\r\n[COM2:]");
    EXPECT_EQ(d.send("$092"), "\r\nTimeout\r\n[COM2:]") << "module that does not answer";
    EXPECT_EQ(d.send("$0E2"), "\r\nTimeout\r\n[COM2:]") << "no module at that address";
    EXPECT_EQ(d.send("$Z12"), "\r\nTimeout\r\n[COM2:]");
    d.send("/s1");
    EXPECT_EQ(d.send("$012"), "\r\n!0140060FC2\r\n[COM2:]");
}

// --- Recovery from every mode ------------------------------------------------

enum class Start { TopLevel, Eeprom, Editor, Com2, SilentScan, SlowScan };

Driver DriverIn(Start start)
{
    Scenario s = TwoModules();
    s.setHeader({28573732, 20, 327683, 131596568, 221055488, 196808, 131080, 65540, 0});
    if (start == Start::SilentScan)
        s.scan.silent = true;
    if (start == Start::SlowScan)
        s.scan.lineIntervalMs = 60000;
    Driver d{s};
    switch (start) {
    case Start::TopLevel: break;
    case Start::Eeprom: d.sendAll({"use eeprom", "block 0"}); break;
    case Start::Editor: d.sendAll({"use eeprom", "block 0", "el 40"}); break;
    case Start::Com2: d.send("use com2"); break;
    case Start::SilentScan:
    case Start::SlowScan: d.sendAll({"use com2", "/scan"}); break;
    }
    return d;
}

class GatewayConsoleRecovery : public ::testing::TestWithParam<Start> {};

TEST_P(GatewayConsoleRecovery, ConnectRecoveryReachesTheTopLevelWithoutTouchingTheEeprom)
{
    Driver d = DriverIn(GetParam());
    const EepromImage before = d.console.eeprom();
    d.sendAll({"", "", "", "/q", "."});
    EXPECT_EQ(d.send("exit"), "\r\nK400E>");
    EXPECT_EQ(d.console.mode(), Mode::TopLevel);
    EXPECT_EQ(d.console.eeprom(), before);
    EXPECT_TRUE(d.console.eepromWrites().empty());
}

TEST_P(GatewayConsoleRecovery, FinishRecoveryReachesTheTopLevel)
{
    Driver d = DriverIn(GetParam());
    d.sendAll({"/q", "exit", "."});
    EXPECT_EQ(d.send("exit"), "\r\nK400E>");
    EXPECT_EQ(d.console.mode(), Mode::TopLevel);
    EXPECT_TRUE(d.console.eepromWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryMode, GatewayConsoleRecovery,
                         ::testing::Values(Start::TopLevel, Start::Eeprom, Start::Editor, Start::Com2,
                                           Start::SilentScan, Start::SlowScan));

TEST(GatewayConsoleRecoveryReplies, EachRecoveryCommandEndsWithThePromptOfItsMode)
{
    Driver eeprom = DriverIn(Start::Eeprom);
    EXPECT_EQ(eeprom.send("."), "\r\n[EEPROM:]");
    EXPECT_EQ(eeprom.send(""), "\r\n[EEPROM:]");
    EXPECT_TRUE(EndsWith(eeprom.send("/q"), "\r\n[EEPROM:]"));

    Driver com2 = DriverIn(Start::Com2);
    EXPECT_EQ(com2.send(""), "\r\n[COM2:]");
    EXPECT_TRUE(EndsWith(com2.send("."), "\r\n[COM2:]"));
    EXPECT_EQ(com2.send("/q"), "\r\nK400E>");

    Driver com2Exit = DriverIn(Start::Com2);
    EXPECT_EQ(com2Exit.send("exit"), "\r\nK400E>");
}

// --- Scans over time -----------------------------------------------------------

TEST(GatewayConsoleScan, SlowScanSpreadsLinesAndEndsWithThePrompt)
{
    Scenario s = TwoModules();
    s.scan.startDelayMs = 300;
    s.scan.lineIntervalMs = 1000;
    Driver d{s};
    d.send("use com2");
    const std::int64_t t0 = d.now;
    const std::string header = d.send("/scan");
    EXPECT_EQ(header.find('!'), std::string::npos);
    EXPECT_EQ(d.console.mode(), Mode::Scanning);
    EXPECT_EQ(d.console.nextReleaseMs(), t0 + 300);

    EXPECT_NE(d.waitUntil(t0 + 300).find("!01M44D{"), std::string::npos);
    EXPECT_EQ(d.waitUntil(t0 + 1299), "");
    EXPECT_NE(d.waitUntil(t0 + 1300).find("!05M28{"), std::string::npos);
    EXPECT_EQ(d.console.mode(), Mode::Scanning);
    const std::string tail = d.waitUntil(t0 + 2300);
    EXPECT_TRUE(EndsWith(tail, "[COM2:]"));
    EXPECT_EQ(d.console.mode(), Mode::Com2);
}

TEST(GatewayConsoleScan, LinesDuringAScanAreIgnoredAndSlashQStopsIt)
{
    Scenario s = TwoModules();
    s.scan.lineIntervalMs = 1000;
    Driver d{s};
    d.sendAll({"use com2", "/scan"});
    EXPECT_EQ(d.send("use eeprom"), "");
    EXPECT_EQ(d.send("exit"), "");
    EXPECT_EQ(d.console.mode(), Mode::Scanning);

    d.now += 10;
    const std::string stopped = d.send("/q");
    EXPECT_TRUE(EndsWith(stopped, "\r\nK400E>")) << stopped;
    EXPECT_EQ(d.console.mode(), Mode::TopLevel);
    EXPECT_EQ(d.waitUntil(d.now + 100000), "") << "the rest of the listing is dropped";
    EXPECT_FALSE(d.console.nextReleaseMs().has_value());
}

TEST(GatewayConsoleScan, SilentScanNeverAnswers)
{
    Scenario s = TwoModules();
    s.scan.silent = true;
    Driver d{s};
    d.send("use com2");
    EXPECT_EQ(d.send("/scan"), "");
    EXPECT_EQ(d.waitUntil(d.now + 3600000), "");
    EXPECT_EQ(d.console.mode(), Mode::Scanning);
}

// --- Fault injection -------------------------------------------------------------

TEST(GatewayConsoleFaults, NoAnswerLosesTheChosenLine)
{
    Scenario s = WithHeader();
    s.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("el 40", 2)));
    s.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Nth(9)));
    Driver d{s};
    d.sendAll({"use eeprom", "block 0"});
    EXPECT_EQ(d.send("el 40"), "\r\nLong(40)=28573732-->");
    EXPECT_EQ(d.send("."), "\r\n[EEPROM:]");
    EXPECT_EQ(d.send("el 40"), "") << "second occurrence";
    EXPECT_EQ(d.console.mode(), Mode::Eeprom) << "a lost line has no effect";
    EXPECT_EQ(d.send("el 40"), "\r\nLong(40)=28573732-->");
    EXPECT_EQ(d.send("."), "\r\n[EEPROM:]");  // line 7
    EXPECT_EQ(d.send(""), "\r\n[EEPROM:]");   // line 8
    EXPECT_EQ(d.send(""), "");                // line 9
    EXPECT_EQ(d.send(""), "\r\n[EEPROM:]");
}

TEST(GatewayConsoleFaults, DelayedRepliesKeepTheirOrder)
{
    Scenario s;
    s.faults.push_back(FaultRule::DelayReply(CommandMatch::Line("use eeprom"), 800));
    Driver d{s};
    const std::int64_t t0 = d.now;
    EXPECT_EQ(d.send("use eeprom"), "");
    EXPECT_EQ(d.console.nextReleaseMs(), t0 + 800);
    d.now += 100;
    EXPECT_EQ(d.send(""), "") << "a later reply does not overtake a delayed one";
    EXPECT_EQ(d.waitUntil(t0 + 799), "");
    EXPECT_EQ(d.waitUntil(t0 + 800), "\r\n[EEPROM:]\r\n[EEPROM:]");
}

TEST(GatewayConsoleFaults, SplitRepliesArriveInPiecesThatAddUp)
{
    Scenario s;
    s.splitBytes = 1;
    s.splitGapMs = 2;
    s.faults.push_back(FaultRule::SplitReply(CommandMatch::Line("use com2"), 4, 50));
    Driver d{s};
    const std::int64_t t0 = d.now;
    EXPECT_EQ(d.send("exit"), "\r");
    EXPECT_EQ(d.waitUntil(t0 + 2), "\n");
    EXPECT_EQ(d.waitUntil(t0 + 14), "K400E>");
    EXPECT_FALSE(d.console.nextReleaseMs().has_value());

    const std::int64_t t1 = d.now;
    EXPECT_EQ(d.send("use com2"), "\r\n[C");
    EXPECT_EQ(d.waitUntil(t1 + 49), "");
    EXPECT_EQ(d.waitUntil(t1 + 50), "OM2:");
    EXPECT_EQ(d.waitUntil(t1 + 100), "]");
}

TEST(GatewayConsoleFaults, GarbageGoesRightBeforeThePrompt)
{
    Scenario s = TwoModules();
    s.faults.push_back(FaultRule::GarbageBeforePrompt(CommandMatch::Line("exit"), "#~x]"));
    s.faults.push_back(FaultRule::GarbageBeforePrompt(CommandMatch::Line("/scan"), "junk"));
    Driver d{s};
    EXPECT_EQ(d.send("exit"), "\r\n#~x]K400E>");
    EXPECT_EQ(d.send(""), "\r\nK400E>");
    const std::string scan = d.sendAll({"use com2", "/scan"});
    EXPECT_TRUE(EndsWith(scan, "junk[COM2:]")) << scan;
}

TEST(GatewayConsoleFaults, VanishedConsoleAnswersNothingMore)
{
    Scenario s;
    s.faults.push_back(FaultRule::VanishAt(CommandMatch::Line("use eeprom")));
    Driver d{s};
    EXPECT_EQ(d.send("exit"), "\r\nK400E>");
    EXPECT_FALSE(d.console.vanished());
    EXPECT_EQ(d.send("use eeprom"), "");
    EXPECT_TRUE(d.console.vanished());
    EXPECT_EQ(d.send("exit"), "");
    EXPECT_FALSE(d.console.nextReleaseMs().has_value());
}

TEST(GatewayConsoleFaults, CharactersTooCloseTogetherAreDropped)
{
    Scenario s;
    s.dropWithinMs = 3;
    Driver d{s};
    d.console.receive("exit\r", d.now);  // a burst: only the first character survives
    EXPECT_EQ(d.console.takeOutput(d.now), "");
    std::int64_t t = d.now + 10;
    for (const char c : std::string("\rexit\r")) {
        d.console.receive(std::string(1, c), t);
        t += 3;
    }
    // The burst left an "e"; the CR ended that line, then a paced "exit" came through.
    EXPECT_EQ(d.console.takeOutput(t), "\r\nUnknown command: e\r\nK400E>\r\nK400E>");
}

TEST(GatewayConsoleFaults, EchoRepeatsWhatArrives)
{
    Scenario s;
    s.echo = true;
    Driver d{s};
    EXPECT_EQ(d.send("exit"), "exit\r\n\r\nK400E>");
    d.console.receive("ab\bc\r", d.now);
    const std::string out = d.console.takeOutput(d.now);
    EXPECT_EQ(out.substr(0, 8), "ab\b \bc\r\n");
    EXPECT_NE(out.find("Unknown command: ac"), std::string::npos) << out;
}

// --- Junk input ------------------------------------------------------------------------

TEST(GatewayConsoleJunk, OverlongLinesAreRefusedWhole)
{
    Driver d{Scenario{}};
    const std::string out = d.send("use eeprom" + std::string(300, 'x'));
    EXPECT_NE(out.find("Line too long"), std::string::npos);
    EXPECT_TRUE(EndsWith(out, "K400E>"));
    EXPECT_EQ(d.console.mode(), Mode::TopLevel);
    EXPECT_EQ(d.send("use eeprom"), "\r\n[EEPROM:]") << "the next line is whole again";
}

TEST(GatewayConsoleJunk, RandomBytesNeverCrashOrGrowWithoutBound)
{
    Scenario s = TwoModules();
    s.echo = true;
    s.setHeader({28573732, 20, 327683, 131596568, 221055488, 196808, 131080, 65540, 0});
    GatewayConsole console(s);
    std::mt19937 random(1234);
    // Mostly printable bytes and CRs, so that real commands and modes get hit too.
    const std::string alphabet = "use eeprom com2 block el exit /q /scan $012 . -1234567890\r\r\r\n\b\x7f\x01\xff!{";
    std::int64_t now = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string chunk;
        const int length = static_cast<int>(random() % 64);
        for (int i = 0; i < length; ++i)
            chunk += random() % 8 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        console.receive(chunk, now);
        now += static_cast<std::int64_t>(random() % 50);
        if (round % 7 != 0)
            console.takeOutput(now);
        EXPECT_LE(console.releasedBytes(now), GatewayConsole::kMaxQueuedBytes);
    }
    EXPECT_LE(console.receivedLines().size(), 10000u);
    console.receive("\r/q\r", now);  // whatever mode it ended in, it still talks
    console.receive("\r.\r", now);
    console.receive("exit\r", now);
    console.takeOutput(now);
    console.receive("exit\r", now);
    EXPECT_EQ(console.takeOutput(now), "exit\r\n\r\nK400E>");
}

}  // namespace
}  // namespace k400::test
