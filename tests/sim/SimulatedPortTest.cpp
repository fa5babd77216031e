// The simulated gateway as an in-process port on a fake clock: waiting moves
// the clock to the reply or the time-out, and a closed or vanished port takes
// nothing.

#include "sim/SimulatedPort.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"

namespace k400::test {
namespace {

TEST(SimulatedPort, WaitingSleepsOnTheClockUntilTheReplyOrTheTimeOut)
{
    FakeClock clock;
    Scenario s;
    s.faults = {FaultRule::DelayReply(CommandMatch::Line("use eeprom"), 300),
                FaultRule::NoAnswerTo(CommandMatch::Line("use com2")),
                FaultRule::SplitReply(CommandMatch::Line("exit", 2), 5, 40)};
    SimulatedPort port(s, clock);
    ASSERT_TRUE(port.open().ok());
    // Each: the line sent, how long waitForInput(1000) takes, what it finds, what is then read.
    const struct {
        const char* line;
        std::int64_t waitedMs;
        bool found;
        std::string read;
    } cases[] = {
        {"exit\r", 0, true, "\r\nK400E>"},
        {"use eeprom\r", 300, true, "\r\n[EEPROM:]"},
        {"use com2\r", 1000, false, ""},
        {"exit\r", 0, true, "\r\nK40"},
    };
    for (const auto& c : cases) {
        port.write(c.line);
        const auto t = clock.nowMs();
        EXPECT_EQ(port.waitForInput(1000), c.found) << c.line;
        EXPECT_EQ(clock.nowMs() - t, c.waitedMs) << c.line;
        EXPECT_EQ(port.readAll(), c.read) << c.line;
    }
    EXPECT_FALSE(port.waitForInput(39));
    EXPECT_TRUE(port.waitForInput(1));
    EXPECT_EQ(port.readAll(), "0E>");
}

TEST(SimulatedPort, ClosedOrVanishedPortTakesNothingAndStillLetsTimePass)
{
    FakeClock clock;
    Scenario s;
    s.faults.push_back(FaultRule::VanishAt(CommandMatch::Line("use eeprom")));
    SimulatedPort port(s, clock);
    port.write("exit\r");  // not open yet: lost
    EXPECT_TRUE(port.console().receivedLines().empty());
    ASSERT_TRUE(port.open().ok());

    port.write("use eeprom\r");
    EXPECT_FALSE(port.isOpen());
    const auto t = clock.nowMs();
    EXPECT_FALSE(port.waitForInput(500));
    EXPECT_EQ(clock.nowMs(), t + 500);
    EXPECT_EQ(port.open().kind, PortOpenError::Kind::Other);
}

}  // namespace
}  // namespace k400::test
