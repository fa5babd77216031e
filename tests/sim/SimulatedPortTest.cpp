#include "sim/SimulatedPort.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/Settings.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

TEST(SimulatedPort, RepliesAreReadableAtOnceOnAFakeClock)
{
    FakeClock clock;
    SimulatedPort port(Scenario{}, clock);
    ASSERT_TRUE(port.open().ok());
    EXPECT_TRUE(port.isOpen());
    const auto t0 = clock.nowMs();
    port.write("exit\r");
    EXPECT_EQ(port.inputCount(), 8u);
    EXPECT_TRUE(port.waitForInput(1000));
    EXPECT_EQ(clock.nowMs(), t0) << "nothing to wait for";
    EXPECT_EQ(port.readAll(), "\r\nK400E>");
    EXPECT_EQ(port.inputCount(), 0u);
    EXPECT_EQ(port.outputCount(), 0u);
}

TEST(SimulatedPort, WaitingSleepsOnTheClockUntilTheReplyOrTheTimeOut)
{
    FakeClock clock;
    Scenario s;
    s.faults.push_back(FaultRule::DelayReply(CommandMatch::Line("exit"), 300));
    s.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("use com2")));
    s.faults.push_back(FaultRule::SplitReply(CommandMatch::Line("use eeprom"), 5, 40));
    SimulatedPort port(s, clock);
    port.open();

    auto t = clock.nowMs();
    port.write("exit\r");
    EXPECT_TRUE(port.waitForInput(1000));
    EXPECT_EQ(clock.nowMs(), t + 300);
    EXPECT_EQ(port.readAll(), "\r\nK400E>");

    t = clock.nowMs();
    port.write("use com2\r");
    EXPECT_FALSE(port.waitForInput(1000));
    EXPECT_EQ(clock.nowMs(), t + 1000);

    port.write("use eeprom\r");
    EXPECT_EQ(port.readAll(), "\r\n[EE");
    EXPECT_FALSE(port.waitForInput(39));
    EXPECT_TRUE(port.waitForInput(1));
    EXPECT_EQ(port.readAll(), "PROM:");
    port.waitForInput(1000);
    EXPECT_EQ(port.readAll(), "]");
}

TEST(SimulatedPort, ClosedOrVanishedPortTakesNothingAndStillLetsTimePass)
{
    FakeClock clock;
    Scenario s;
    s.faults.push_back(FaultRule::VanishAt(CommandMatch::Line("use eeprom")));
    SimulatedPort port(s, clock);
    port.write("exit\r");  // not open yet: lost
    EXPECT_TRUE(port.console().receivedLines().empty());

    port.failNextOpen({PortOpenError::Kind::Occupied, "busy"});
    EXPECT_EQ(port.open().kind, PortOpenError::Kind::Occupied);
    EXPECT_FALSE(port.isOpen());
    ASSERT_TRUE(port.open().ok());

    port.write("exit\r");
    port.close();
    port.open();
    EXPECT_EQ(port.inputCount(), 0u) << "what arrived while closed is gone";

    port.write("use eeprom\r");
    EXPECT_FALSE(port.isOpen());
    const auto t = clock.nowMs();
    EXPECT_FALSE(port.waitForInput(500));
    EXPECT_EQ(clock.nowMs(), t + 500);
    EXPECT_EQ(port.open().kind, PortOpenError::Kind::Other);
}

// The hand-made stored images must pass the client's own checks against their modules.
TEST(SimulatedPort, StoredImagesOfTheShippedGatewaysAreValid)
{
    const std::filesystem::path data = std::filesystem::path(K400_TEST_DATA_DIR) / "scenarios";
    struct Case {
        std::string name;
        Scenario scenario;
        bool valid;
        std::uint8_t node;
        std::uint8_t layer;
    };
    std::string error;
    const auto devicenet = LoadScenarioFile((data / "k400b-devicenet.json").string(), error);
    ASSERT_TRUE(devicenet) << error;
    const auto blank = LoadScenarioFile((data / "blank-eeprom.json").string(), error);
    ASSERT_TRUE(blank) << error;
    const std::vector<Case> cases = {{"built-in", BuiltInScenario(), true, 3, 0},
                                     {"k400b-devicenet", *devicenet, true, 10, 1},
                                     {"blank-eeprom", *blank, false, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClock clock;
        RecordingUserInterface ui;
        SimulatedPort port(c.scenario, clock);
        ConsoleLink link(port, clock, ui);
        ProgramState state;
        ParameterPanel panel;
        ASSERT_EQ(RunConnectSequence(state, panel, link), ConnectOutcome::Succeeded);
        EXPECT_EQ(state.StoredImageInvalid, !c.valid);
        EXPECT_EQ(state.ModuleCount, c.scenario.modules.size());
        EXPECT_EQ(state.NodeId, c.node);
        EXPECT_EQ(state.ApplicationLayer, c.layer);
        EXPECT_EQ(port.console().eeprom(), c.scenario.eeprom) << "reading leaves the EEPROM as it was";
    }
}

}  // namespace
}  // namespace k400::test
