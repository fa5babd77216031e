// The console dialogue primitives against a scripted console on a fake clock.

#include <gtest/gtest.h>

#include "gateway/ConsoleLink.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/ScriptedPort.h"

namespace k400::test {
namespace {

struct Rig {
    Rig() { port.open(); }
    std::int64_t Since(std::int64_t start) { return clock.nowMs() - start; }

    FakeClock clock;
    RecordingUserInterface ui;
    ScriptedPort port{clock};
    ConsoleLink link{port, clock, ui};  // default timing: 1000 ms time-out, 5 ms pacing
};

TEST(ConsoleLink, SendsOneCharacterPerPauseThenCarriageReturnOnly)
{
    Rig rig;
    rig.port.expectLine("el 40").reply("Long(40)=1-->");
    const std::int64_t start = rig.clock.nowMs();
    double value = 0;
    ASSERT_TRUE(rig.link.SendAndReadValue("el 40", "Long(40)=", value)) << rig.port.report();
    const auto& writes = rig.port.writes();
    ASSERT_EQ(writes.size(), 6u);
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].data, std::string(1, "el 40\r"[i])) << i;
        EXPECT_EQ(writes[i].atMs - start, static_cast<std::int64_t>(i) * 5) << i;
    }
    EXPECT_EQ(rig.ui.pumps, 6);  // one per character pause and one after the line
}

// A batch's shared pacer sends the line only when its pace is the link's and
// the port can be written from the pacer's thread; otherwise the link paces.
TEST(ConsoleLink, SharedPacerSendsTheLineWhenItCan)
{
    const struct {
        const char* what;
        int pacerMs;
        bool portOffersWriter;
        bool byPacer;
    } cases[] = {
        {"same pace, port with a writer", 5, true, true},
        {"another pace", 3, true, false},
        {"port without a writer", 5, false, false},
    };
    for (const auto& c : cases) {
        SharedPacer pacer(c.pacerMs);
        Rig rig;
        rig.link.Pacer = &pacer;
        rig.port.offersLineWriter = c.portOffersWriter;
        rig.port.expectLine("el 40").reply("Long(40)=7-->");
        double value = 0;
        ASSERT_TRUE(rig.link.SendAndReadValue("el 40", "Long(40)=", value)) << c.what << rig.port.report();
        EXPECT_EQ(value, 7) << c.what;
        ASSERT_EQ(rig.port.written(), "el 40\r") << c.what;
        for (const auto& write : rig.port.writes())
            EXPECT_EQ(write.thread != std::this_thread::get_id(), c.byPacer) << c.what << " " << write.data;
    }
}

TEST(ConsoleLink, ReplyIsCollectedUntilTheMarkerWithinTheTimeout)
{
    const struct {
        const char* what;
        std::vector<std::string> pieces;  // gapMs apart
        int gapMs;
        bool ok;
        const char* reply;
        int stuckReadings = 0;  // of the transmit queue
    } cases[] = {
        {"marker split across reads", {"x\r\n[EEP", "ROM", ":]"}, 7, true, "x\r\n"},
        {"cut before the first marker", {"one[EEPROM:]two[EEPROM:]"}, 0, true, "one"},
        {"limit not restarted by text", {"a", "b", "c", "d", "[EEPROM:]"}, 275, false, "abcd"},
        {"marker just inside the limit", {"a", "b", "c", "[EEPROM:]"}, 330, true, "abc"},
        {"queue drains on the tenth reading", {"a[EEPROM:]"}, 0, true, "a", 9},
        {"queue still full at the tenth", {"a[EEPROM:]"}, 0, false, "", 10},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.port.deliverNow("stale[EEPROM:]");  // thrown away before the command goes out
        rig.port.outputStuckReadings = c.stuckReadings;
        rig.port.expectLine("x").replyPieces(c.pieces, c.gapMs);
        EXPECT_EQ(rig.link.SendAndExpect("x", "[EEPROM:]"), c.ok) << c.what;
        EXPECT_EQ(rig.link.ReplyText, c.reply) << c.what;
    }
}

TEST(ConsoleLink, SilentConsoleTimesOutByBlockingAndTheStepIsRecorded)
{
    Rig rig;
    rig.port.expectLine("exit");
    int observed = 0;
    rig.link.StepObserver = [&](const LinkStep&) { ++observed; };
    EXPECT_FALSE(rig.link.SendAndExpect("exit", ">"));
    EXPECT_LE(rig.port.waitCalls(), 2);
    const LinkStep& last = rig.link.LastStep();
    EXPECT_EQ(last.kind, LinkStep::Kind::Expect);
    EXPECT_EQ(last.command + " " + last.marker + " " + std::to_string(last.ok), "exit > 0");
    EXPECT_EQ(last.elapsedMs, 4 * 5 + 5 + 1000);  // pacing, then the whole time-out
    EXPECT_EQ(observed, 1);
}

TEST(ConsoleLink, ClosedPortFailsEveryPrimitiveAtOnce)
{
    Rig rig;
    rig.port.close();
    const std::int64_t start = rig.clock.nowMs();
    double value = 0;
    EXPECT_FALSE(rig.link.SendAndExpect("exit", ">"));
    EXPECT_FALSE(rig.link.SendIgnored("exit", ">"));
    EXPECT_FALSE(rig.link.ScanAndWait("2"));
    EXPECT_FALSE(rig.link.SendAndReadValue("el 0", "Long(0)=", value));
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_EQ(rig.Since(start), 0);
}

TEST(ConsoleLink, ScanWaitsFifteenTimeoutsOfSilenceWithinAReplyCap)
{
    std::vector<std::string> flood(40, std::string(65536, 'x'));  // a device that never stops talking
    flood.push_back("[COM2:]");
    const struct {
        const char* what;
        std::vector<std::string> pieces;
        int gapMs;
        bool ok;
        const char* listing;
        std::int64_t minMs, maxMs;  // the first piece comes 100 ms after the line, settling and pacing before
    } cases[] = {
        {"a line every 14.9 s",
         {"!01M44{x}\r\n", "!03M38{x}\r\n", "[COM2:]"},
         14900,
         true,
         "!01M44{x}!03M38{x}",
         29900,
         30100},
        {"silent for 15.1 s", {"!01M44{x}", "!03M38{x}", "[COM2:]"}, 15100, false, "", 15100, 15200},
        {"past 1 MiB", flood, 10000, false, "", 0, 200000},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.port.expectLine("/scan").replyPieces(c.pieces, c.gapMs, 100);
        const std::int64_t start = rig.clock.nowMs();
        EXPECT_EQ(rig.link.ScanAndWait("2"), c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(rig.link.ReplyText, c.listing) << c.what;
        }
        EXPECT_GE(rig.Since(start), c.minMs) << c.what;
        EXPECT_LT(rig.Since(start), c.maxMs) << c.what;
        EXPECT_GE(rig.ui.pumps, rig.Since(start) / 50) << c.what << ": window events run all through";
    }
}

TEST(ConsoleLink, ScanFirstLetsTheEarlierPromptPassUnlessStrict)
{
    for (bool strict : {false, true}) {
        Rig rig;
        rig.link.Timing.StrictTiming = strict;
        rig.port.deliverAt(rig.clock.nowMs() + 20, "[COM2:]");  // still on its way from the step before
        rig.port.expectLine("/scan").reply("!01M44{x}[COM2:]", 500);
        ASSERT_TRUE(rig.link.ScanAndWait("2"));
        EXPECT_EQ(rig.link.ReplyText, strict ? "" : "!01M44{x}") << strict;
    }
}

TEST(ConsoleLink, ReadValueTakesTheNumberBetweenKeyAndArrow)
{
    const struct {
        const char* reply;
        const char* key;
        bool ok;
        double value;
    } cases[] = {
        {"el 40\r\nLong(40)=28573732-->", "Long(40)=", true, 28573732},
        {"Long(4)=-1-->", "Long(4)=", true, -1},
        {"Long(4)=  12  -->", " Long(4)= ", true, 12},  // key and text both trimmed
        {"-->Long(0)=9-->", "Long(0)=", true, 9},
        {"Long(44)=5-->", "Long(40)=", false, 0},            // another word
        {"Long(40)=5-->", "  ", false, 0},                   // no key
        {"Long(36)=1-->Long(40)=5", "Long(40)=", false, 0},  // no arrow after the key
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.port.expectLine("el").reply(c.reply);
        rig.link.ReplyText = "kept";
        double value = -77;
        EXPECT_EQ(rig.link.SendAndReadValue("el", c.key, value), c.ok) << c.reply;
        EXPECT_EQ(value, c.ok ? c.value : -77) << c.reply;
        EXPECT_EQ(rig.link.ReplyText, "kept") << c.reply;
    }
}

}  // namespace
}  // namespace k400::test
