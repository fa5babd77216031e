// Opening the gateway port, and the whole connect against the simulated demo
// gateway. (Every step withheld, a reconnect that cannot open the port and the
// real serial port on pseudo-terminals are in the end-to-end tests.)

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "platform/Messages.h"
#include "sim/SimulatedPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/ScriptedPort.h"

namespace k400::test {
namespace {

TEST(OpenGatewayPort, FailureShowsMessageAndStatusPerCaller)
{
    using Kind = PortOpenError::Kind;
    const PortCaller connect = PortCaller::Connect, finish = PortCaller::Finish;
    const struct {
        const char* portName;
        PortCaller caller;
        Kind kind;  // None: open() reports success but leaves the port closed
        const char* message;
        const char* title;
        std::vector<std::string> status;
    } cases[] = {
        {"COM1", connect, Kind::None, "Can't open COM 1!", "Error", {}},
        {"COM16", finish, Kind::None, "Can't open COM 16!", "Warning", {}},
        {"COM1", connect, Kind::Occupied, "COM 1 has been occupied", "Error", {"COM 1 has been occupied"}},
        {"COM3", finish, Kind::Occupied, "COM 3 has been occupied", "", {"COM 3 has been occupied"}},
        {"COM2", connect, Kind::Other, "Device not ready", "Error", {""}},
        {"COM2", finish, Kind::Other, "Device not ready", "", {""}},
    };
    for (const auto& c : cases) {
        FakeClock clock;
        RecordingUserInterface ui;
        ScriptedPort port(clock, c.portName);
        port.openResult = {c.kind, "Device not ready"};
        port.openLeavesClosed = c.kind == Kind::None;
        EXPECT_FALSE(OpenGatewayPort(port, ui, c.caller)) << c.message;
        ASSERT_EQ(ui.messages.size(), 1u) << c.message;
        EXPECT_EQ(ui.messages[0].text + "|" + ui.messages[0].title, std::string(c.message) + "|" + c.title);
        EXPECT_EQ(ui.statusHistory, c.status) << c.message;
    }
}

class Connect : public ::testing::Test {
protected:
    ConnectOutcome Run()
    {
        port = std::make_unique<SimulatedPort>(scenario, clock);
        link = std::make_unique<ConsoleLink>(*port, clock, ui);
        return RunConnectSequence(state, *link);
    }
    bool Sent(std::string_view line) const
    {
        const auto& lines = port->console().receivedLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::array<int, 6> Settings() const
    {
        const ProgramState& s = state;
        return {s.NodeId, s.ApplicationLayer, s.CanBaudIndex, s.Com2BaudIndex, s.Com2Checksum, s.Com2Timeout};
    }

    Scenario scenario = BuiltInScenario();
    FakeClock clock;
    RecordingUserInterface ui;
    std::unique_ptr<SimulatedPort> port;
    std::unique_ptr<ConsoleLink> link;
    ProgramState state;
};

TEST_F(Connect, ValidStoredImageGivesTheStoredSettingsAndLeavesTheEepromUnchanged)
{
    scenario.setWord(0, 4, 0xFFFF0C1Fu);   // firmware date printed negative: its halves are kept
    scenario.setWord(0, 72, 0xFFFFFFFFu);  // printed as -1, kept as 4294967295
    scenario.setWord(1, 12, 0x80000000u);
    state.ScanTimeoutMs = 150;
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);
    EXPECT_TRUE(state.Connected && !state.GatewayBusy);
    EXPECT_EQ(state.StoredImageValid, 1);
    EXPECT_EQ(FirmwareVersionText(state), "1.05--1/12/31");
    EXPECT_EQ(Settings(), (std::array<int, 6>{3, 0, 2, 3, 0, 200}));
    EXPECT_EQ(state.HeaderImage[8], 4294967295.0);
    EXPECT_EQ(state.ConnectionImage[3], 2147483648.0);
    EXPECT_TRUE(Sent("-1"));  // typed back as the console printed it
    EXPECT_EQ(port->console().eeprom(), scenario.eeprom);

    std::vector<std::string> modules;
    for (int i = 0; i < state.ModuleCount; ++i) {
        const auto& m = state.ModuleTable[state.ModuleOrder[static_cast<std::size_t>(i)]];
        modules.push_back(m.Address + " " + m.Name);
    }
    EXPECT_EQ(modules, (std::vector<std::string>{"1 M44", "3 M38", "4 M28", "6 M60", "10 M33", "12 M32"}));
    EXPECT_EQ((std::array<int, 4>{state.TotalDIBytes, state.TotalAIBytes, state.TotalDOBytes, state.TotalAOBytes}),
              (std::array<int, 4>{2, 24, 3, 12}));

    EXPECT_EQ(ui.progress, (std::vector<int>{0, 1, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(ui.phases, (std::vector<ConnectPhase>{ConnectPhase::Started, ConnectPhase::Succeeded}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.status, msg::StatusWaiting);
    EXPECT_NE(std::find(ui.statusHistory.begin(), ui.statusHistory.end(), "Scaning..."), ui.statusHistory.end());
    ASSERT_EQ(ui.offered.size(), 1u);
    EXPECT_EQ(ui.offered[0].TimeoutMs, 150);  // the dialog shows the scan parameters of the last connect
    EXPECT_FALSE(port->isOpen());
}

TEST_F(Connect, BlankEepromGivesDefaultsFromTheScanParametersAndTheWarning)
{
    for (auto& block : scenario.eeprom)
        block.fill(0);
    scenario.controller = "K400B";
    scenario.modules[0].dFlag = true;  // listed with checksum and "D" mark
    ui.answer = {5, 1, 300};
    state.ApplicationLayer = 1;  // from an earlier connect: kept
    state.NodeId = 40;
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);
    EXPECT_EQ(ControllerPictureIndex(state), 1);
    EXPECT_TRUE(state.StoredImageInvalid);
    EXPECT_EQ(state.StoredImageValid, 0);
    EXPECT_EQ(Settings(), (std::array<int, 6>{1, 1, 0, 5, 1, 300}));
    for (const char* line : {"/s1", "/timeout 300", "/baud 38400"})
        EXPECT_TRUE(Sent(line)) << line;
    EXPECT_FALSE(Sent("block 2"));
    EXPECT_EQ(state.ModuleTable[0].Name + " of " + std::to_string(state.ModuleCount), "M44 of 6");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text + "|" + ui.messages[0].title, std::string(msg::StoredImageMismatch) + "|Warnning");
    EXPECT_EQ(ui.messages[0].phasesBefore, 2u);  // once the result is on screen
}

TEST_F(Connect, StoredNodeTheApplicationCannotTakeIsRepaired)
{
    scenario.setWord(0, 48, 100u * 65536 + 1 * 256 + 2);  // header entry 2: DeviceNet node 100
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);
    EXPECT_FALSE(state.StoredImageInvalid);
    EXPECT_EQ(Settings(), (std::array<int, 6>{1, 1, 2, 3, 0, 200}));
}

TEST_F(Connect, ControllerAndModuleFailuresReleaseTheConnection)
{
    const struct {
        std::string controller;
        int address;  // of an extra module
        const char* model;
        const char* message;
        const char* status;
    } cases[] = {
        {"K300", 7, "M28", "This modules is not K400B/E!", "Timeout"},
        {"K400E", 0, "M28", "Some module isn't configured yet! Please use TARN Utility to configure it.",
         "Scanning Process Stop"},
        {"K400E", 7, "Q29W", "This modules is not supported!", "Timeout"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        scenario = BuiltInScenario();
        scenario.controller = c.controller;
        scenario.modules.push_back(scenario.modules[2]);
        scenario.modules.back().address = c.address;
        scenario.modules.back().model = c.model;
        ui = RecordingUserInterface{};
        EXPECT_EQ(Run(), ConnectOutcome::Failed);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text + "|" + ui.messages[0].title, std::string(c.message) + "|Error");
        EXPECT_EQ(ui.status, c.status);
        EXPECT_FALSE(state.Connected);
        EXPECT_FALSE(state.GatewayBusy);
        EXPECT_FALSE(port->isOpen());
        EXPECT_FALSE(ui.progressVisible);
        EXPECT_EQ(ui.phases, (std::vector<ConnectPhase>{ConnectPhase::Started, ConnectPhase::Released}));
    }
}

TEST_F(Connect, BusyConnectDoesNothing)
{
    state.GatewayBusy = true;
    EXPECT_EQ(Run(), ConnectOutcome::Busy);
    EXPECT_TRUE(port->console().receivedLines().empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.phases.empty());
}

}  // namespace
}  // namespace k400::test
