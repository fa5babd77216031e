#include <gtest/gtest.h>

#include <algorithm>

#include "app/Settings.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "sim/SimulatedPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

constexpr const char* StoredImageWarning = "Attached modules do not match the configuration stored in EEPROM!";

// Header words of the demo gateway's stored configuration, for one-word changes.
std::array<std::uint32_t, 9> DemoHeader()
{
    const Scenario demo = BuiltInScenario();
    std::array<std::uint32_t, 9> words{};
    for (int i = 0; i < 9; ++i)
        words[static_cast<std::size_t>(i)] = demo.word(0, 40 + 4 * i);
    return words;
}

SimModule Module(int address, std::string model, int typeCode = 0x40)
{
    SimModule m;
    m.address = address;
    m.model = std::move(model);
    m.typeCode = typeCode;
    return m;
}

class Connect : public ::testing::Test {
protected:
    ConnectOutcome Run()
    {
        port = std::make_unique<SimulatedPort>(scenario, clock);
        link = std::make_unique<ConsoleLink>(*port, clock, ui);
        return RunConnectSequence(state, panel, *link);
    }
    // Runs again on the same simulated gateway.
    ConnectOutcome RunAgain() { return RunConnectSequence(state, panel, *link); }

    bool Sent(std::string_view line) const
    {
        const auto& lines = port->console().receivedLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // The warning comes once the result is on screen, not before.
    bool Warned() const
    {
        return std::any_of(ui.messages.begin(), ui.messages.end(), [this](const ShownMessage& m) {
            return m.text == StoredImageWarning && m.title == "Warnning" && m.phasesBefore > 0 &&
                   ui.phases[m.phasesBefore - 1] == ConnectPhase::Succeeded;
        });
    }
    void ExpectFailure(const std::string& message, const std::string& status)
    {
        EXPECT_EQ(Run(), ConnectOutcome::Failed);
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().text, message);
        EXPECT_EQ(ui.messages.back().title, "Error");
        EXPECT_EQ(ui.status, status);
        EXPECT_FALSE(state.Connected);
        EXPECT_FALSE(state.GatewayBusy);
        EXPECT_FALSE(port->isOpen());
        EXPECT_FALSE(ui.progressVisible);
        ASSERT_FALSE(ui.phases.empty());
        EXPECT_EQ(ui.phases.back(), ConnectPhase::Released);
    }

    Scenario scenario = BuiltInScenario();
    FakeClock clock;
    RecordingUserInterface ui;
    std::unique_ptr<SimulatedPort> port;
    std::unique_ptr<ConsoleLink> link;
    ProgramState state;
    ParameterPanel panel;
};

TEST_F(Connect, ValidStoredImageGivesTheStoredSettings)
{
    scenario.setWord(2, 0, 0x0003E803);  // error control: guard 1000 ms, life factor 3
    scenario.setWord(2, 8, 0x02030000);
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);

    EXPECT_TRUE(state.Connected);
    EXPECT_FALSE(state.GatewayBusy);
    EXPECT_FALSE(state.StoredImageInvalid);
    EXPECT_EQ(state.StoredImageValid, 1);
    EXPECT_EQ(state.ControllerPrompt, "K400E>");
    EXPECT_EQ(ControllerPictureIndex(state), 0);
    EXPECT_EQ(FirmwareVersionText(state), "1.05-2007/11/26");
    EXPECT_EQ(state.NodeId, 3);
    EXPECT_EQ(state.ApplicationLayer, 0);
    EXPECT_EQ(state.CanBaudIndex, 2);
    EXPECT_EQ(state.Com2Checksum, 0);
    EXPECT_EQ(state.Com2BaudIndex, 3);
    EXPECT_EQ(state.Com2Timeout, 200);
    EXPECT_EQ(state.ConfigTime.Day, 14);
    EXPECT_EQ(state.ConfigTime.Second, 15);
    ASSERT_GE(state.ApplicationImage.size(), 3u);
    EXPECT_EQ(state.ApplicationImage[0], 0x0003E803);
    EXPECT_EQ(state.ApplicationImage[2], 0x02030000);

    // Modules in listing order, classified and queried.
    ASSERT_EQ(state.ModuleCount, 6);
    const char* names[] = {"M44", "M38", "M28", "M60", "M33", "M32"};
    const char* addresses[] = {"1", "3", "4", "6", "10", "12"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(state.ModuleOrder[static_cast<std::size_t>(i)], i);
        EXPECT_EQ(state.ModuleTable[static_cast<std::size_t>(i)].Name, names[i]);
        EXPECT_EQ(state.ModuleTable[static_cast<std::size_t>(i)].Address, addresses[i]);
    }
    EXPECT_EQ(state.ModuleTable[5].TypeCodeCount, 2);
    EXPECT_EQ(state.ModuleTable[5].TypeCode2, 3);
    EXPECT_EQ(state.TotalDIBytes, 2);
    EXPECT_EQ(state.TotalAIBytes, 24);
    EXPECT_EQ(state.TotalDOBytes, 3);
    EXPECT_EQ(state.TotalAOBytes, 12);

    EXPECT_EQ(ui.progress, (std::vector<int>{0, 1, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(ui.phases, (std::vector<ConnectPhase>{ConnectPhase::Started, ConnectPhase::Succeeded,
                                                    ConnectPhase::SidePressed}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.status, "Waiting for configuration");
    EXPECT_NE(std::find(ui.statusHistory.begin(), ui.statusHistory.end(), "Scaning..."), ui.statusHistory.end());
    EXPECT_EQ(ui.scanRequests, 1);
    EXPECT_FALSE(port->isOpen());
    EXPECT_FALSE(ui.progressVisible);

    // The window ends on the CAN side with the stored values.
    EXPECT_EQ(state.SelectedSide, 0);
    EXPECT_TRUE(panel.ComButton[0].Pressed);
    EXPECT_TRUE(panel.ImageK400Visible[0]);
    EXPECT_EQ(panel.CANNodeId, "3");
    EXPECT_EQ(panel.ViewerText[0], "         50    KBPS");
}

TEST_F(Connect, ReadingLeavesTheEepromUnchanged)
{
    scenario.setWord(0, 72, 0xFFFFFFFFu);  // printed as -1, kept as 4294967295
    scenario.setWord(1, 12, 0x80000000u);
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);
    EXPECT_EQ(state.HeaderImage[8], 4294967295.0);
    EXPECT_EQ(state.ConnectionImage[3], 2147483648.0);
    EXPECT_TRUE(Sent("-1"));
    EXPECT_TRUE(Sent("-2147483648"));
    EXPECT_EQ(port->console().eeprom(), scenario.eeprom);
    for (const auto& write : port->console().eepromWrites())
        EXPECT_FALSE(write.changed) << "block " << write.block << " offset " << write.offset;
    EXPECT_FALSE(state.StoredImageInvalid);
}

TEST_F(Connect, BlankEepromGivesDefaultsAndTheWarning)
{
    for (auto& block : scenario.eeprom)
        block.fill(0);
    scenario.setFirmware(3, 5, 2008, 1, 24);
    ui.scanBaudIndex = 5;
    ui.scanChecksumIndex = 0;
    ui.scanTimeoutMs = 300;
    state.ApplicationLayer = 1;  // from an earlier connect: kept
    state.NodeId = 40;
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);

    EXPECT_TRUE(state.Connected);
    EXPECT_TRUE(state.StoredImageInvalid);
    EXPECT_EQ(state.StoredImageValid, 0);
    EXPECT_EQ(FirmwareVersionText(state), "3.05-2008/01/24");
    EXPECT_EQ(state.NodeId, 1);
    EXPECT_EQ(state.CanBaudIndex, 0);
    EXPECT_EQ(state.ApplicationLayer, 1);
    EXPECT_EQ(state.Com2BaudIndex, 5);
    EXPECT_EQ(state.Com2Checksum, 0);
    EXPECT_EQ(state.Com2Timeout, 300);
    EXPECT_EQ(state.ConfigTime.Year, 0);
    EXPECT_FALSE(Sent("block 2"));
    EXPECT_TRUE(Sent("/timeout 300"));
    EXPECT_TRUE(Sent("/baud 38400"));
    EXPECT_TRUE(Warned());
    EXPECT_EQ(ui.status, "Waiting for configuration");
    EXPECT_TRUE(panel.ApplicationSelect[1]);
    EXPECT_EQ(panel.CANBaudrate.size(), 3u);
}

TEST_F(Connect, StoredImagesThatDoNotFitAreRefused)
{
    struct Case {
        const char* what;
        int entry;
        std::uint32_t word;
    } cases[] = {
        {"mark exactly 0x01B40000", 0, 0x01B40000u},
        {"connection size 12", 1, 12u * 65536 + 36},
        {"node 0", 2, 0u * 65536 + 2},
        {"node 128", 2, 128u * 65536 + 2},
        {"application layer 3", 2, 3u * 65536 + 3 * 256},
        {"CANopen baud index 8", 2, 3u * 65536 + 8},
        {"DeviceNet baud index 3", 2, 3u * 65536 + 1 * 256 + 3},
        {"month 13", 3, 2008u * 65536 + 13 * 256 + 1},
        {"minute 61", 4, 9u * 16777216 + 61 * 65536},
        {"checksum 2", 5, 2u * 16777216 + 3 * 65536 + 200},
        {"COM2 baud index 8", 5, 8u * 65536 + 200},
        {"COM2 time-out 40000", 5, 3u * 65536 + 40000},
        {"DI total one byte short", 6, 1u * 65536 + 24},
        {"AO total one byte over", 7, 3u * 65536 + 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto header = DemoHeader();
        header[static_cast<std::size_t>(c.entry)] = c.word;
        scenario = BuiltInScenario();
        scenario.setHeader(header);
        state = ProgramState{};
        ui = RecordingUserInterface{};
        ASSERT_EQ(Run(), ConnectOutcome::Succeeded);
        EXPECT_TRUE(state.StoredImageInvalid);
        EXPECT_EQ(state.StoredImageValid, 0);
        EXPECT_EQ(state.NodeId, 1);
        EXPECT_EQ(state.CanBaudIndex, 0);
        EXPECT_EQ(state.Com2Timeout, 200);
        EXPECT_TRUE(Warned());
        EXPECT_FALSE(Sent("block 2"));
    }
}

TEST_F(Connect, ControllerIsRecognisedFromThePrompt)
{
    scenario.controller = "K400B";
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);
    EXPECT_EQ(state.ControllerPrompt, "K400B>");
    EXPECT_EQ(ControllerPictureIndex(state), 1);
    EXPECT_TRUE(panel.ImageK400Visible[1]);
}

TEST_F(Connect, UnknownControllerEndsTheConnect)
{
    scenario.controller = "K300";
    ExpectFailure("This modules is not K400B/E!", "Timeout");
}

TEST_F(Connect, ModuleErrorsEndTheConnect)
{
    scenario.modules.push_back(Module(0, "M28"));
    ExpectFailure("Some module isn't configured yet! Please use TARN Utility to configure it.",
                  "Scanning Process Stop");

    scenario = BuiltInScenario();
    scenario.modules.push_back(Module(7, "Q29W"));
    ExpectFailure("This modules is not supported!", "Timeout");

    scenario = BuiltInScenario();
    scenario.modules[2].answers = false;
    ExpectFailure("This modules is not supported!", "Timeout");
}

TEST_F(Connect, SilentScanTimesOut)
{
    scenario.scan.silent = true;
    ExpectFailure("Timeout", "Timeout");
    EXPECT_EQ(state.ModuleCount, 0);
}

TEST_F(Connect, ConsoleThatStopsAnsweringTimesOut)
{
    scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("block 1")));
    ExpectFailure("Timeout", "Timeout");
}

TEST_F(Connect, EmptyListingIsNoError)
{
    scenario.modules.clear();
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);
    EXPECT_EQ(state.ModuleCount, 0);
    EXPECT_TRUE(state.StoredImageInvalid);  // the stored totals describe six modules
    EXPECT_TRUE(Warned());
}

TEST_F(Connect, ChecksumCharactersAndTheDMarkAreDropped)
{
    ui.scanChecksumIndex = 1;
    scenario.modules[0].dFlag = true;
    scenario.modules[4].dFlag = true;
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);
    EXPECT_TRUE(Sent("/s1"));
    EXPECT_EQ(state.ModuleTable[4].Name, "M33");
    EXPECT_EQ(state.ModuleTable[0].Name, "M44");
    EXPECT_EQ(state.ModuleTable[2].Name, "M28");
    EXPECT_EQ(state.ModuleTable[5].Name, "M32");
    EXPECT_EQ(state.ModuleCount, 6);
}

TEST_F(Connect, BusyConnectDoesNothing)
{
    state.GatewayBusy = true;
    EXPECT_EQ(Run(), ConnectOutcome::Busy);
    EXPECT_TRUE(port->console().receivedLines().empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.phases.empty());
}

TEST_F(Connect, PortFailureLeavesAnEarlierConnectAsItWas)
{
    ASSERT_EQ(Run(), ConnectOutcome::Succeeded);
    const auto modules = state.ModuleCount;
    const auto header = state.HeaderImage;
    port->failNextOpen({PortOpenError::Kind::Occupied, ""});
    EXPECT_EQ(RunAgain(), ConnectOutcome::PortNotOpened);
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(state.ModuleCount, modules);
    EXPECT_EQ(state.HeaderImage, header);
    EXPECT_EQ(state.NodeId, 3);
    EXPECT_FALSE(state.GatewayBusy);
}

TEST(FirmwareVersion, MinorMonthAndDayHaveTwoDigits)
{
    ProgramState state;
    state.FirmwareVersion = {1, 2};
    state.FirmwareDate = {2007, 12, 5};
    EXPECT_EQ(FirmwareVersionText(state), "1.02-2007/12/05");
    state.FirmwareVersion = {10, 123};
    state.FirmwareDate = {2010, 10, 31};
    EXPECT_EQ(FirmwareVersionText(state), "10.123-2010/10/31");
}

}  // namespace
}  // namespace k400::test
