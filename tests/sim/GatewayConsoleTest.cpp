// The simulated console as the client relies on it: prompts and markers of
// each mode, the value editor, the scan listing and module answers, and each
// fault switch, as transcripts on the console's own clock.

#include "sim/GatewayConsole.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace k400::test {
namespace {

// After afterMs, `in` is sent (a CR added unless it has one; nullptr: nothing
// sent) and all output released by then must equal `out`, or, when `out`
// starts with "...", end with the rest.
struct Step {
    const char* in;
    std::string out;
    int afterMs = 0;
};

// M44@1 (with the D flag), M28@5, M24@7 (a fixed checksum text), M38@9 (mute),
// M32@12 (a type code per channel) and M33@26 (beyond the /end 15 of a normal scan).
Scenario Gateway()
{
    Scenario s;
    s.setHeader({28573732, 20, 327683, 131596568, 221055488, 196808, 131080, 65540, 0});
    s.setWord(0, 76, 0xFFFFFFFFu);
    s.setWord(2, 252, 7);
    const std::pair<int, const char*> modules[] = {{5, "M28"},  {26, "M33"}, {1, "M44"},
                                                   {12, "M32"}, {9, "M38"},  {7, "M24"}};
    for (const auto& [address, model] : modules) {
        s.modules.emplace_back();
        s.modules.back().address = address;
        s.modules.back().model = model;
    }
    s.modules[2].typeCode = 0x40;
    s.modules[2].dataFormat = 0x0F;
    s.modules[2].dFlag = true;
    s.modules[3].typeCode = 0x3F;
    s.modules[3].channelTypes = {0x0, 0x3};
    s.modules[4].answers = false;
    s.modules[5].checksumText = "Q1";
    return s;
}

template <typename F>
Scenario With(F change)
{
    Scenario s = Gateway();
    change(s);
    return s;
}

struct Transcript {
    const char* name;
    Scenario scenario;
    std::vector<Step> steps;
};

std::vector<Transcript> Transcripts()
{
    static const std::string overlong = "use eeprom" + std::string(300, 'x');
    const std::string invalid = "\r\nInvalid value\r\nLong(84)=0-->";
    // clang-format off
    return {
        {"top level: every recovery command answers with the prompt", Gateway(),
         {{"", "\r\nK400E>"}, {"exit", "\r\nK400E>"}, {"/q", "\r\nK400E>"}, {".", "\r\nK400E>"},
          {"frobnicate", "...\r\nK400E>"}, {"  use eeprom \r\n", "\r\n[EEPROM:]"}, {"exit", "\r\nK400E>"},
          {overlong.c_str(), "\r\nLine too long\r\nK400E>"}, {"use com2", "\r\n[COM2:]"}}},
        {"value editor: el walks the words, . leaves it, signed and unsigned spellings", Gateway(),
         {{"use eeprom", "\r\n[EEPROM:]"}, {"el 40", "\r\nLong(40)=28573732-->"}, {"28573732", "\r\nLong(44)=20-->"},
          {"99", "\r\nLong(48)=327683-->"}, {".", "\r\n[EEPROM:]"}, {".", "\r\n[EEPROM:]"},
          {"el 44", "\r\nLong(44)=99-->"}, {"", "\r\nLong(44)=99-->"}, {".", "\r\n[EEPROM:]"},
          {"el 76", "\r\nLong(76)=-1-->"}, {"-2", "\r\nLong(80)=0-->"}, {"2147483648", "\r\nLong(84)=0-->"},
          {"-2147483649", invalid}, {"4294967296", invalid}, {"12abc", invalid}, {"0x10", invalid}, {"exit", invalid},
          {"/q", invalid}, {".", "\r\n[EEPROM:]"}, {"el 76", "\r\nLong(76)=-2-->"},
          {"-2", "\r\nLong(80)=-2147483648-->"}}},
        {"EEPROM blocks: the end of a block, refusals keep the sub-mode", Gateway(),
         {{"use eeprom", "\r\n[EEPROM:]"}, {"block 2", "...\r\n[EEPROM:]"}, {"el 252", "\r\nLong(252)=7-->"},
          {"8", "...\r\n[EEPROM:]"}, {"el 41", "...\r\n[EEPROM:]"}, {"el 256", "...\r\n[EEPROM:]"},
          {"el", "...\r\n[EEPROM:]"}, {"block 3", "...\r\n[EEPROM:]"}, {"block x", "...\r\n[EEPROM:]"},
          {"el 252", "\r\nLong(252)=8-->"}, {".", "\r\n[EEPROM:]"}, {"exit", "\r\nK400E>"},
          {"use eeprom", "\r\n[EEPROM:]"}, {"el 40", "\r\nLong(40)=28573732-->"}}},
        {"COM2: settings answer with their value, refusals never repeat it", Gateway(),
         {{"use com2", "\r\n[COM2:]"}, {"", "\r\n[COM2:]"}, {"/timeout 350", "\r\nModule timeout 350 ms\r\n[COM2:]"},
          {"/baud 19200", "\r\nBaud rate 19200 bps\r\n[COM2:]"},
          {"/baud 1234", "\r\nBaud rate must be one of 1200 2400 4800 9600 19200 38400 57600 115200\r\n[COM2:]"},
          {"/timeout 70000", "\r\nModule timeout must be 1 to 65535 ms\r\n[COM2:]"},
          {"/end 256", "\r\nAddress must be 0 to 255\r\n[COM2:]"}, {"/q", "\r\nK400E>"}}},
        {"COM2: the scan lists the modules in range in address order", Gateway(),
         {{"use com2", "\r\n[COM2:]"}, {"/start 0", "...[COM2:]"}, {"/end 15", "...[COM2:]"},
          {"/scan", "\r\nScanning 00 to 0F at 9600 bps\r\n!01M44D{T40 B06 F0F}\r\n!05M28{T08 B06 F00}\r\n"
                    "!07M24{T08 B06 F00}\r\n!09M38{T08 B06 F00}\r\n!0CM32{T3F B06 F00}\r\n"
                    "5 module(s) found\r\n[COM2:]"},
          {"/start 2", "...[COM2:]"}, {"/end 200", "...[COM2:]"},
          {"/scan", "...!0CM32{T3F B06 F00}\r\n!1AM33{T08 B06 F00}\r\n5 module(s) found\r\n[COM2:]"},
          {"exit", "\r\nK400E>"}}},
        {"COM2: with checksums, before the D flag; a scenario's own checksum text", Gateway(),
         {{"use com2", "\r\n[COM2:]"}, {"/s1", "...[COM2:]"},
          {"/scan", "...!01M4437D{T40 B06 F0F}\r\n!05M283D{T08 B06 F00}\r\n!07M24Q1{T08 B06 F00}\r\n"
                    "!09M3842{T08 B06 F00}\r\n!0CM3246{T3F B06 F00}\r\n5 module(s) found\r\n[COM2:]"},
          {"$012", "\r\n!0140060FC2\r\n[COM2:]"}}},
        {"COM2: module queries", Gateway(),
         {{"use com2", "\r\n[COM2:]"}, {"$012", "\r\n!0140060F\r\n[COM2:]"}, {"$0c2", "\r\n!0C3F0600\r\n[COM2:]"},
          {"$0C90", "\r\n!0C00\r\n[COM2:]"}, {"$0C91", "\r\n!0C03\r\n[COM2:]"}, {"$0C92", "\r\n?0C\r\n[COM2:]"},
          {"$0CM", "\r\n!0CM32\r\n[COM2:]"}, {"$092", "\r\nTimeout\r\n[COM2:]"}, {"$0E2", "\r\nTimeout\r\n[COM2:]"}}},
        {"slow scan: lines spread out, others ignored, the prompt ends it", With([](Scenario& s) {
             s.scan.startDelayMs = 300;
             s.scan.lineIntervalMs = 1000;
         }),
         {{"use com2", "\r\n[COM2:]"}, {"/scan", "\r\nScanning 00 to 0F at 9600 bps\r\n"},
          {nullptr, "!01M44D{T40 B06 F0F}\r\n", 300}, {"exit", "", 999}, {nullptr, "!05M28{T08 B06 F00}\r\n", 1},
          {nullptr, "!07M24{T08 B06 F00}\r\n!09M38{T08 B06 F00}\r\n!0CM32{T3F B06 F00}\r\n", 3000},
          {nullptr, "5 module(s) found\r\n[COM2:]", 1000}, {"exit", "\r\nK400E>"}}},
        {"/q stops a scan and drops the rest", With([](Scenario& s) { s.scan.lineIntervalMs = 1000; }),
         {{"use com2", "\r\n[COM2:]"}, {"/scan", "...!01M44D{T40 B06 F0F}\r\n"}, {"use eeprom", "", 10},
          {"/q", "\r\nScan stopped\r\nK400E>"}, {nullptr, "", 100000}, {"", "\r\nK400E>"}}},
        {"silent scan: nothing until /q", With([](Scenario& s) { s.scan.silent = true; }),
         {{"use com2", "\r\n[COM2:]"}, {"/scan", ""}, {nullptr, "", 3600000}, {"/q", "\r\nScan stopped\r\nK400E>"}}},
        {"noAnswer: by occurrence of a line and by line number", With([](Scenario& s) {
             s.faults = {FaultRule::NoAnswerTo(CommandMatch::Line("el 40", 2)),
                         FaultRule::NoAnswerTo(CommandMatch::Nth(8))};
         }),
         {{"use eeprom", "\r\n[EEPROM:]"}, {"el 40", "\r\nLong(40)=28573732-->"}, {".", "\r\n[EEPROM:]"},
          {"el 40", ""}, {"el 40", "\r\nLong(40)=28573732-->"}, {".", "\r\n[EEPROM:]"}, {"", "\r\n[EEPROM:]"},
          {"", ""}, {"", "\r\n[EEPROM:]"}}},
        {"delay: a later reply never overtakes a delayed one",
         With([](Scenario& s) { s.faults = {FaultRule::DelayReply(CommandMatch::Line("use eeprom"), 800)}; }),
         {{"use eeprom", ""}, {"", "", 100}, {nullptr, "", 699}, {nullptr, "\r\n[EEPROM:]\r\n[EEPROM:]", 1}}},
        {"split: every reply byte by byte, one command's in its own pieces", With([](Scenario& s) {
             s.splitBytes = 1;
             s.splitGapMs = 2;
             s.faults = {FaultRule::SplitReply(CommandMatch::Line("use com2"), 4, 50)};
         }),
         {{"exit", "\r"}, {nullptr, "\n", 2}, {nullptr, "K400E>", 12}, {"use com2", "\r\n[C"}, {nullptr, "", 49},
          {nullptr, "OM2:", 1}, {nullptr, "]", 50}}},
        {"garbage: right before the prompt", With([](Scenario& s) {
             s.faults = {FaultRule::GarbageBeforePrompt(CommandMatch::Line("exit"), "#~x]"),
                         FaultRule::GarbageBeforePrompt(CommandMatch::Line("/scan"), "junk")};
         }),
         {{"exit", "\r\n#~x]K400E>"}, {"", "\r\nK400E>"}, {"use com2", "\r\n[COM2:]"},
          {"/scan", "...found\r\njunk[COM2:]"}}},
        {"vanish: nothing more after the line",
         With([](Scenario& s) { s.faults = {FaultRule::VanishAt(CommandMatch::Line("use eeprom"))}; }),
         {{"exit", "\r\nK400E>"}, {"use eeprom", ""}, {"exit", "", 5000}}},
        {"echo: what arrives comes back, a backspace rubs out", With([](Scenario& s) { s.echo = true; }),
         {{"exit", "exit\r\n\r\nK400E>"}, {"ab\bc\r", "ab\b \bc\r\n\r\nUnknown command: ac\r\nK400E>"}}},
    };
    // clang-format on
}

TEST(GatewayConsole, Transcripts)
{
    for (const Transcript& t : Transcripts()) {
        SCOPED_TRACE(t.name);
        GatewayConsole console(t.scenario);
        std::int64_t now = 5000;
        for (const Step& step : t.steps) {
            now += step.afterMs;
            const std::string in = step.in ? step.in : "";
            if (step.in)
                console.receive(in.find('\r') == std::string::npos ? in + "\r" : in, now);
            const std::string out = console.takeOutput(now);
            if (step.out.starts_with("..."))
                EXPECT_TRUE(out.ends_with(step.out.substr(3))) << in << ": " << out;
            else
                EXPECT_EQ(out, step.out) << in;
        }
    }
}

TEST(GatewayConsole, CharactersTooCloseTogetherAreDropped)
{
    Scenario s;
    s.dropWithinMs = 3;
    GatewayConsole console(s);
    console.receive("exit\r", 0);  // a burst: only the "e" survives
    std::int64_t t = 10;
    for (const char c : std::string("\rexit\r"))
        console.receive(std::string(1, c), t += 3);
    EXPECT_EQ(console.takeOutput(t), "\r\nUnknown command: e\r\nK400E>\r\nK400E>");
}

// What the connect and Finish send to recover must bring the console back to
// its top level from any mode, without writing a word.
TEST(GatewayConsole, RecoveryReachesTheTopLevelFromEveryMode)
{
    const std::vector<std::vector<const char*>> modes = {
        {}, {"use eeprom"}, {"use eeprom", "el 40"}, {"use com2"}, {"use com2", "/scan"}};
    const std::vector<std::vector<const char*>> recoveries = {{"", "", "", "/q", "."}, {"/q", "exit", "."}};
    for (const auto& mode : modes)
        for (const auto& recovery : recoveries) {
            GatewayConsole console(With([](Scenario& s) { s.scan.silent = true; }));  // a scan that never ends
            std::int64_t now = 0;
            for (const auto* lines : {&mode, &recovery})
                for (const char* line : *lines)
                    console.receive(std::string(line) + "\r", ++now);
            console.takeOutput(now);
            console.receive("exit\r", ++now);
            EXPECT_EQ(console.takeOutput(now), "\r\nK400E>") << mode.size() << " " << recovery.size();
            EXPECT_TRUE(console.eepromWrites().empty());
            EXPECT_EQ(console.eeprom(), Gateway().eeprom);
        }
}

}  // namespace
}  // namespace k400::test
