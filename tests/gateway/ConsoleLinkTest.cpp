// The console dialogue primitives against a scripted console on a fake clock.

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/ScriptedPort.h"
#include "gateway/ConsoleLink.h"

namespace k400::test {
namespace {

class ConsoleLinkTest : public ::testing::Test {
protected:
    ConsoleLinkTest() : port(clock), link(port, clock, ui)
    {
        port.open();
        link.PaceMs = 5;
    }

    std::int64_t elapsedSince(std::int64_t start) { return clock.nowMs() - start; }

    FakeClock clock;
    RecordingUserInterface ui;
    ScriptedPort port;
    ConsoleLink link;
};

// ---- sending ---------------------------------------------------------------

TEST_F(ConsoleLinkTest, SendsOneCharacterPerPauseThenCarriageReturnOnly)
{
    port.expectLine("el 40").reply("Long(40)=1-->");
    const std::int64_t start = clock.nowMs();
    double value = 0;
    ASSERT_TRUE(link.SendAndReadValue("el 40", "Long(40)=", value)) << port.report();

    const auto& writes = port.writes();
    ASSERT_EQ(writes.size(), 6u);
    const std::string expected = "el 40\r";
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].data, std::string(1, expected[i])) << "write " << i;
        EXPECT_EQ(writes[i].atMs - start, static_cast<std::int64_t>(i) * 5) << "write " << i;
    }
    EXPECT_EQ(port.written().find('\n'), std::string::npos);
    // One event pass per character pause and one in the pause after the line.
    EXPECT_EQ(ui.pumps, 6);
}

TEST_F(ConsoleLinkTest, EmptyCommandSendsOnlyCarriageReturn)
{
    port.expectLine("").reply("\r\nK400E>");
    ASSERT_TRUE(link.SendAndExpect("", ">"));
    EXPECT_EQ(port.written(), "\r");
    EXPECT_EQ(link.ReplyText, "K400E");
}

TEST_F(ConsoleLinkTest, ZeroPaceStillSendsCharacterByCharacter)
{
    link.PaceMs = 0;
    port.expectLine("exit").reply("K400B>");
    const std::int64_t start = clock.nowMs();
    ASSERT_TRUE(link.SendAndExpect("exit", ">"));
    EXPECT_EQ(port.writes().size(), 5u);
    EXPECT_EQ(elapsedSince(start), 0);
}

TEST_F(ConsoleLinkTest, InputWaitingBeforeTheCommandIsThrownAway)
{
    port.deliverNow("[EEPROM:]old K400E>");
    port.expectLine("exit").reply("K400B>");
    ASSERT_TRUE(link.SendAndExpect("exit", ">"));
    EXPECT_EQ(link.ReplyText, "K400B");
}

TEST_F(ConsoleLinkTest, ClosedPortFailsAtOnceWithoutWriting)
{
    port.close();
    const std::int64_t start = clock.nowMs();
    double value = 0;
    EXPECT_FALSE(link.SendAndExpect("exit", ">"));
    EXPECT_FALSE(link.ScanAndWait("2"));
    EXPECT_FALSE(link.SendAndReadValue("el 0", "Long(0)=", value));
    EXPECT_TRUE(port.writes().empty());
    EXPECT_EQ(elapsedSince(start), 0);
}

// ---- drain check ---------------------------------------------------------

TEST_F(ConsoleLinkTest, DrainCheckGivesUpAfterTenNonzeroReadings)
{
    port.outputStuckReadings = 10;
    port.expectLine("exit").reply("K400E>");
    link.ReplyText = "earlier";
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(link.SendAndExpect("exit", ">"));
    EXPECT_EQ(port.outputCountReadings(), 10);
    // Gave up without waiting for the reply (only the character pauses passed).
    EXPECT_EQ(elapsedSince(start), 4 * 5);
    EXPECT_EQ(port.reads(), 0);
}

TEST_F(ConsoleLinkTest, DrainCheckAcceptsQueueEmptyOnTenthReading)
{
    port.outputStuckReadings = 9;
    port.expectLine("exit").reply("K400E>");
    EXPECT_TRUE(link.SendAndExpect("exit", ">"));
    EXPECT_EQ(port.outputCountReadings(), 10);
}

TEST_F(ConsoleLinkTest, DrainCheckPumpsEventsExceptWhenReadingValues)
{
    port.outputStuckReadings = 4;
    port.setFallback([](std::string_view) { return std::string("Long(0)=7-->[EEPROM:]"); });

    ASSERT_TRUE(link.SendAndExpect("el 0", "]"));
    // 4 character pauses + 4 nonzero readings + 1 pause after the line.
    EXPECT_EQ(ui.pumps, 4 + 4 + 1);

    ui.pumps = 0;
    double value = 0;
    ASSERT_TRUE(link.SendAndReadValue("el 0", "Long(0)=", value));
    EXPECT_EQ(ui.pumps, 4 + 1);
    EXPECT_EQ(value, 7);
}

TEST_F(ConsoleLinkTest, TransmitQueueThatNeverDrainsFailsEveryPrimitive)
{
    port.outputStuckReadings = -1;
    port.setFallback([](std::string_view) { return std::string("x-->[COM2:]>"); });
    double value = 0;
    EXPECT_FALSE(link.SendAndExpect("exit", ">"));
    EXPECT_FALSE(link.ScanAndWait("2"));
    EXPECT_FALSE(link.SendAndReadValue("el 0", "x", value));
}

// ---- collecting the reply ---------------------------------------------------

TEST_F(ConsoleLinkTest, MarkerSplitAcrossReadsIsFound)
{
    port.expectLine("use eeprom").replyPieces({"use eeprom\r\n[EEP", "ROM", ":]"}, 7);
    ASSERT_TRUE(link.SendAndExpect("use eeprom", "[EEPROM:]"));
    EXPECT_EQ(link.ReplyText, "use eeprom\r\n");  // inner line ends stay
}

TEST_F(ConsoleLinkTest, ReplyIsCutBeforeFirstMarker)
{
    port.expectLine("").reply("one>two>");
    ASSERT_TRUE(link.SendAndExpect("", ">"));
    EXPECT_EQ(link.ReplyText, "one");
}

TEST_F(ConsoleLinkTest, PiecesAreTrimmedSoBlanksAtSeamsAreLost)
{
    port.expectLine("exit").replyPieces({"  K400 ", " E\r\n", "\tready >  "}, 3, 10);
    ASSERT_TRUE(link.SendAndExpect("exit", ">"));
    EXPECT_EQ(link.ReplyText, "K400Eready ");
}

TEST_F(ConsoleLinkTest, TimeLimitRunsFromStartOfWaitingAndIsNotRestartedByText)
{
    // A piece every 300 ms keeps the console talking; the marker comes at 1100 ms.
    port.expectLine("exit").replyPieces({"a", "b", "c", "d", "K400E>"}, 275, 0);
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(link.SendAndExpect("exit", ">"));
    const std::int64_t waited = elapsedSince(start) - 4 * 5 - 5;  // minus the pacing
    EXPECT_GE(waited, 1000);
    EXPECT_LT(waited, 1100);
}

TEST_F(ConsoleLinkTest, MarkerJustInsideTheLimitSucceeds)
{
    port.expectLine("exit").replyPieces({"a", "b", "c", "K400E>"}, 330, 0);
    EXPECT_TRUE(link.SendAndExpect("exit", ">"));
    EXPECT_EQ(link.ReplyText, "abcK400E");
}

TEST_F(ConsoleLinkTest, MarkerReceivedWhileTextKeepsArrivingIsNotEnough)
{
    // Each read takes 1 ms and a new character is due every 1 ms: the queue is
    // never empty at a check, so the marker that came first is never looked for.
    port.readCostMs = 1;
    port.expectLine("exit").replyTrickle("K400E>" + std::string(1500, '.'), 1);
    EXPECT_FALSE(link.SendAndExpect("exit", ">"));
}

TEST_F(ConsoleLinkTest, ConsoleThatFallsSilentAfterTheMarkerSucceeds)
{
    port.readCostMs = 1;
    port.expectLine("exit").replyTrickle("K400E>" + std::string(500, '.'), 1);
    EXPECT_TRUE(link.SendAndExpect("exit", ">"));
    EXPECT_EQ(link.ReplyText, "K400E");
}

TEST_F(ConsoleLinkTest, SilentConsoleTimesOutByBlockingNotSpinning)
{
    port.expectLine("exit");
    link.ReplyText = "earlier";
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(link.SendAndExpect("exit", ">"));
    EXPECT_EQ(elapsedSince(start), 4 * 5 + 5 + 1000);
    EXPECT_LE(port.waitCalls(), 2);
    EXPECT_TRUE(link.ReplyText.empty());
}

TEST_F(ConsoleLinkTest, EmptyMarkerIsNeverFound)
{
    port.expectLine("exit").reply("K400E>");
    EXPECT_FALSE(link.SendAndExpect("exit", ""));
}

TEST_F(ConsoleLinkTest, ConsoleTimeoutIsTheLimit)
{
    link.ConsoleTimeoutMs = 200;
    port.expectLine("exit").reply("K400E>", 250);
    EXPECT_FALSE(link.SendAndExpect("exit", ">"));
    port.expectLine("exit").reply("K400E>", 150);
    EXPECT_TRUE(link.SendAndExpect("exit", ">"));
}

// ---- scan -------------------------------------------------------------------

TEST_F(ConsoleLinkTest, ScanThatKeepsPrintingWithinFifteenSecondsSucceeds)
{
    // 60 s of listing, a line every 14.9 s, then the prompt.
    port.expectLine("/scan").replyPieces({"!01M44{x}\r\n", "!03M38{x}\r\n", "!05M28{x}\r\n",
                                          "!06M60{x}\r\n", "[COM2:]"},
                                         14900, 500);
    const std::int64_t start = clock.nowMs();
    ASSERT_TRUE(link.ScanAndWait("2")) << port.report();
    EXPECT_EQ(link.ReplyText, "!01M44{x}!03M38{x}!05M28{x}!06M60{x}");
    EXPECT_GE(elapsedSince(start), 60000);
    // The window stays responsive: events run all through the wait.
    EXPECT_GE(ui.pumps, 60000 / 50);
}

TEST_F(ConsoleLinkTest, ScanSilentForFifteenSecondsFails)
{
    port.expectLine("/scan").replyPieces({"!01M44{x}", "!03M38{x}", "[COM2:]"}, 15100, 100);
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(link.ScanAndWait("2"));
    // Characters are paced before the carriage return the replies count from.
    const std::int64_t sinceReturn = elapsedSince(start) - 5 * 5;
    EXPECT_GE(sinceReturn, 100 + 15000);
    EXPECT_LT(sinceReturn, 100 + 15100);
}

TEST_F(ConsoleLinkTest, ScanOfADeviceThatNeverStopsTalkingEndsAtTheReplyCap)
{
    // 64 KiB every 10 s keeps the inactivity limit from expiring; past 1 MiB
    // the scan is given up even though the prompt would follow.
    std::vector<std::string> pieces(40, std::string(65536, 'x'));
    pieces.push_back("[COM2:]");
    port.expectLine("/scan").replyPieces(pieces, 10000, 0);
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(link.ScanAndWait("2"));
    EXPECT_LT(elapsedSince(start), 20 * 10000);
}

TEST_F(ConsoleLinkTest, ScanWaitsForThePromptOfTheGivenPort)
{
    port.expectLine("/scan").reply("!01M44[COM2:]", 10).reply("x[COM3:]", 20);
    ASSERT_TRUE(link.ScanAndWait("3"));
    EXPECT_EQ(link.ReplyText, "!01M44[COM2:]x");
}

// ---- reading values ---------------------------------------------------------

TEST_F(ConsoleLinkTest, ValueEditorWalkAsTranscript)
{
    port.expectTranscript(R"(
# reading two words and leaving the editor
> el 40
< el 40
< Long(40)=28573732-->
> 28573732
< Long(44)=-20-->
> .
< [EEPROM:]
)");
    double first = 0;
    double second = 0;
    ASSERT_TRUE(link.SendAndReadValue("el 40", "Long(40)=", first));
    ASSERT_TRUE(link.SendAndReadValue("28573732", "Long(44)=", second));
    ASSERT_TRUE(link.SendAndExpect(".", "[EEPROM:]"));
    EXPECT_EQ(first, 28573732);
    EXPECT_EQ(second, -20);
    EXPECT_TRUE(port.scriptFollowed()) << port.report();
}

TEST_F(ConsoleLinkTest, WrongLineIsReportedByTheScript)
{
    port.expectLine("block 0").reply("[EEPROM:]");
    EXPECT_FALSE(link.SendAndExpect("block 1", "[EEPROM:]"));
    EXPECT_FALSE(port.scriptFollowed());
    EXPECT_NE(port.report().find("block 1"), std::string::npos);
}

TEST_F(ConsoleLinkTest, ReadValueTakesNumberBetweenKeyAndArrow)
{
    struct Case {
        const char* reply;
        const char* key;
        double expected;
    };
    const Case cases[] = {
        {"el 40\r\nLong(40)=28573732-->", "Long(40)=", 28573732},
        {"Long(4)=-1-->", "Long(4)=", -1},
        {"Long(4)=  12  -->", " Long(4)= ", 12},  // key and text both trimmed
        {"Long(8)=1.5e3-->", "Long(8)=", 1500},
        {"Long(8)=abc-->", "Long(8)=", 0},
        {"Long(40)=5-->", "Long(40)", 0},  // without "=" the value text starts with "="
        {"-->Long(0)=9-->", "Long(0)=", 9},
    };
    for (const Case& c : cases) {
        port.expectLine("el").reply(c.reply);
        double value = -12345;
        ASSERT_TRUE(link.SendAndReadValue("el", c.key, value)) << c.reply;
        EXPECT_EQ(value, c.expected) << c.reply;
    }
}

TEST_F(ConsoleLinkTest, ReadValueFailsWithoutKeyEvenWhenArrowArrived)
{
    double value = 77;
    port.expectLine("el 40").reply("Long(44)=5-->");
    EXPECT_FALSE(link.SendAndReadValue("el 40", "Long(40)=", value));
    port.expectLine("el 40").reply("Long(40)=5-->");
    EXPECT_FALSE(link.SendAndReadValue("el 40", "  ", value));
    // A key whose value line has no "-->" after it is not the line asked for.
    port.expectLine("el 40").reply("Long(36)=1-->Long(40)=5");
    EXPECT_FALSE(link.SendAndReadValue("el 40", "Long(40)=", value));
    EXPECT_EQ(value, 77);
}

TEST_F(ConsoleLinkTest, ReadValueWaitsForArrowAndLeavesReplyTextAlone)
{
    link.ReplyText = "kept";
    port.expectLine("el 0").replyPieces({"Long(0)=", "261", "-", "->"}, 100);
    double value = 0;
    ASSERT_TRUE(link.SendAndReadValue("el 0", "Long(0)=", value));
    EXPECT_EQ(value, 261);
    EXPECT_EQ(link.ReplyText, "kept");

    port.expectLine("el 0").reply("Long(0)=261", 0).reply("-->", 1010);
    EXPECT_FALSE(link.SendAndReadValue("el 0", "Long(0)=", value));
    EXPECT_EQ(link.ReplyText, "kept");
}

}  // namespace
}  // namespace k400::test
