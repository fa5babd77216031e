// The safe EEPROM commit in process, on the simulated console and a fake
// clock: the image is always either marked invalid or complete, verification
// types nothing, a lost character is caught; and recovery steps on a slow
// console.

#include <gtest/gtest.h>

#include <csignal>
#include <optional>

#include "app/BuildEds.h"
#include "canopen/CanopenConfiguration.h"
#include "devicenet/DeviceNetConfiguration.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "platform/StopRequest.h"
#include "platform/qt/QtSerialPort.h"
#include "sim/SimulatedPort.h"
#include "support/ChildProcess.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/TestFiles.h"

namespace k400::test {
namespace {

// Values a connect types back while reading the built-in gateway's image.
constexpr int ConnectRetypes = 20;
// What a DeviceNet Finish of the six built-in modules types: 9 header words,
// 3 + 6 application words, 7 connection words, then the real mark.
constexpr int FinishWords = 26;
constexpr std::uint32_t Mark = 0x01B40024;

struct WriteCase {
    const char* name;
    std::optional<FaultRule> fault;
    int stopAfterWord;  // 0: none
    FinishOutcome outcome;
    EepromStatus eeprom;
    int rewritten;
};

class SafeCommit : public ::testing::TestWithParam<WriteCase> {
protected:
    void TearDown() override { ClearStopRequest(); }
};

TEST_P(SafeCommit, LeavesAnImageThatIsInvalidOrComplete)
{
    const WriteCase& c = GetParam();
    Scenario scenario = BuiltInScenario();
    if (c.fault)
        scenario.faults.push_back(*c.fault);
    scenario.pause.afterValue = c.stopAfterWord ? ConnectRetypes + c.stopAfterWord : 0;
    FakeClock clock;
    RecordingUserInterface ui;
    SimulatedPort port(scenario, clock);
    port.console().setPauseListener([](int) { RequestStop(SIGINT); });
    ConsoleLink link(port, clock, ui);
    ProgramState state;
    ASSERT_EQ(RunConnectSequence(state, link), ConnectOutcome::Succeeded);
    state.NodeId = 9;

    TempFolder folder("k400-safe-commit");
    DeviceNetConfiguration devicenet(state, ui);
    ASSERT_TRUE(devicenet.Load());
    const FinishResult result = devicenet.Finish(link, clock.localTime(), folder);
    EXPECT_EQ(result.outcome, c.outcome) << result.error;
    EXPECT_EQ(result.eeprom, c.eeprom);
    EXPECT_EQ(std::filesystem::exists(folder / "TARNDNS 9.eds"), c.outcome == FinishOutcome::Done);

    const auto& eeprom = port.console().eeprom();
    const auto& writes = port.console().eepromWrites();
    if (c.eeprom == EepromStatus::WrittenAndVerified) {
        EXPECT_EQ(eeprom[0][10], Mark);
        for (int i = 1; i < 9; ++i)
            EXPECT_EQ(eeprom[0][10 + i], state.HeaderImage[i]) << "header offset " << 40 + 4 * i;
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(eeprom[1][i], state.ConnectionImage[i]) << "block 1 offset " << 4 * i;
        for (int i = 0; i < state.ApplicationAreaBytes / 4; ++i)
            EXPECT_EQ(eeprom[2][i], state.ApplicationImage[i]) << "block 2 offset " << 4 * i;
        // Reading back types nothing: only the words, the rewrites and the mark.
        EXPECT_EQ(static_cast<int>(writes.size()), ConnectRetypes + FinishWords + c.rewritten);
    } else {
        EXPECT_EQ(eeprom[0][10], 0u) << "a write that did not complete leaves the mark 0";
    }
    const std::string last = ui.messages.empty() ? "" : ui.messages.back().text;
    EXPECT_EQ(last.find("incomplete") != std::string::npos, c.eeprom == EepromStatus::PartlyWritten) << last;
}

// Header offset 48 for node 9, DeviceNet, the stored CAN baud index 2.
constexpr const char* NodeWord = "590082";

INSTANTIATE_TEST_SUITE_P(
    Finish, SafeCommit,
    ::testing::Values(
        WriteCase{"Clean", std::nullopt, 0, FinishOutcome::Done, EepromStatus::WrittenAndVerified, 0},
        WriteCase{"LostCharacterRewritten", FaultRule::LoseLastCharacterOf(CommandMatch::Line(NodeWord, 1)), 0,
                  FinishOutcome::Done, EepromStatus::WrittenAndVerified, 1},
        WriteCase{"LostCharacterTwice", FaultRule::LoseLastCharacterOf(CommandMatch::Line(NodeWord)), 0,
                  FinishOutcome::VerifyFailed, EepromStatus::PartlyWritten, 0},
        WriteCase{"AnswerLostInBlock1", FaultRule::NoAnswerTo(CommandMatch::Line("block 1", 2)), 0,
                  FinishOutcome::Timeout, EepromStatus::PartlyWritten, 0},
        WriteCase{"StopAfterFirstWord", std::nullopt, 1, FinishOutcome::Interrupted, EepromStatus::PartlyWritten, 0},
        WriteCase{"StopInBlock2", std::nullopt, 14, FinishOutcome::Interrupted, EepromStatus::PartlyWritten, 0},
        WriteCase{"StopAtTheMarkRunsToTheEnd", std::nullopt, FinishWords, FinishOutcome::Interrupted,
                  EepromStatus::WrittenAndVerified, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// An ignored recovery step on a console whose replies come late must not end
// on the echo alone: the late reply would land in the next step.
class SlowConsole : public ::testing::TestWithParam<const char*> {};

TEST_P(SlowConsole, ConnectsTwentyTimesInARow)
{
    std::string error;
    const auto scenario = LoadScenarioFile(std::string(K400_TEST_DATA_DIR) + "/scenarios/" + GetParam(), error);
    ASSERT_TRUE(scenario) << error;
    FakeClock clock;
    RecordingUserInterface ui;
    SimulatedPort port(*scenario, clock);
    ConsoleLink link(port, clock, ui);
    for (int run = 0; run < 20; ++run) {
        ProgramState state;
        ASSERT_EQ(RunConnectSequence(state, link), ConnectOutcome::Succeeded)
            << "run " << run << ": " << (ui.messages.empty() ? "" : ui.messages.back().text);
        EXPECT_EQ(state.ControllerPrompt, "K400E>");
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, SlowConsole, ::testing::Values("rough-line.json", "replies-300ms-late.json"));

// Two gateways on two pseudo-terminals: after a connect on A the port list
// shows B. Build EDS File refuses that, and Finish writes A, never B.
TEST(RightPort, FinishWritesTheGatewayThatWasScanned)
{
    TempFolder dir("k400-right-port");
    ChildProcess a({K400GW_EXE, "sim", "--eeprom-out", (dir / "a.json").string()});
    ChildProcess b({K400GW_EXE, "sim", "--eeprom-out", (dir / "b.json").string()});
    const auto gatewayA = a.readLine(10000);
    const auto gatewayB = b.readLine(10000);
    ASSERT_TRUE(gatewayA && gatewayB);
    SystemClock clock;
    RecordingUserInterface ui;
    QtSerialPort port;
    port.setPortName(*gatewayA);
    ConsoleLink link(port, clock, ui, LinkTiming{1000, 1});
    ProgramState state;
    ASSERT_EQ(RunConnectSequence(state, link), ConnectOutcome::Succeeded);

    EXPECT_FALSE(CheckListedPort(state, *gatewayB, ui));
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_NE(ui.messages.back().text.find(*gatewayA + ", but the port list now shows " + *gatewayB),
              std::string::npos);
    EXPECT_TRUE(CheckListedPort(state, *gatewayA, ui));

    port.setPortName(*gatewayB);  // as the port list stood when Finish followed it
    state.NodeId = 9;
    CanopenConfiguration canopen(state, ui);
    ASSERT_TRUE(canopen.Load());
    ASSERT_TRUE(canopen.Finish(link, clock.localTime(), dir).done());
    a.terminate();
    b.terminate();
    std::string error;
    EXPECT_EQ(LoadEepromFile((dir / "a.json").string(), error).value()[0][12] >> 16, 9u) << error;
    EXPECT_EQ(LoadEepromFile((dir / "b.json").string(), error).value()[0][12] >> 16, 3u) << error;
}

}  // namespace
}  // namespace k400::test
