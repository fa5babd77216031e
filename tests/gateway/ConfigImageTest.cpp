#include <gtest/gtest.h>

#include "app/Settings.h"
#include "gateway/ConfigImage.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "modules/ModelCatalogue.h"
#include "sim/SimulatedPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

SimModule Module(int address, std::string model)
{
    SimModule m;
    m.address = address;
    m.model = std::move(model);
    m.typeCode = 0x40;
    return m;
}

void PlaceModule(ProgramState& state, std::size_t index, std::string name, std::string address)
{
    state.ModuleTable[index].Name = std::move(name);
    state.ModuleTable[index].Address = std::move(address);
}

// Settings of the worked example: a CANopen Finish at 2008-01-24 13:45:10.
ProgramState WorkedExampleState()
{
    ProgramState state;
    state.NodeId = 5;
    state.CanBaudIndex = 3;
    state.ApplicationLayer = 0;
    state.Com2Checksum = 0;
    state.Com2BaudIndex = 3;
    state.Com2Timeout = 200;
    state.TotalDIBytes = 2;
    state.TotalAIBytes = 8;
    state.TotalDOBytes = 1;
    state.TotalAOBytes = 4;
    PlaceModule(state, 0, "M60", "3");
    PlaceModule(state, 1, "M32", "2");
    state.ControllerPrompt = "K400E>";
    return state;
}

const LocalDateTime FinishTime{2008, 1, 24, 13, 45, 10};

TEST(PrepareImage, HeaderOfTheWorkedExample)
{
    ProgramState state = WorkedExampleState();
    PrepareHeaderImage(state, FinishTime, 0);
    const std::vector<double> expected = {28573732, 20, 327683, 131596568, 221055488, 196808, 131080, 65540, 0};
    ASSERT_GE(state.HeaderImage.size(), 9u);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(state.HeaderImage[i], expected[i]) << "entry " << i;
    EXPECT_EQ(state.ApplicationAreaBytes, 20);
    EXPECT_EQ(state.ApplicationImage.size(), 6u);
    EXPECT_EQ(state.ConfigTime.Year, 2008);
    EXPECT_EQ(state.ConfigTime.Hour, 13);
    EXPECT_EQ(state.ConfigTime.Second, 10);
}

TEST(PrepareImage, ApplicationAreaListsModulesWithAnAddressInTableOrder)
{
    ProgramState state;
    PlaceModule(state, 0, "M27P", "3");
    PlaceModule(state, 1, "M28", "");  // refused by the catalogue in an earlier scan
    PlaceModule(state, 4, "M28", "255");
    state.ErrorControlFlags = 0;
    state.GuardTime = 1000;
    state.LifeTimeFactor = 3;
    state.LastOutputAssembly = 2;
    state.LastInputAssembly = 5;
    PrepareHeaderImage(state, FinishTime, 0);
    // A profile's own model codes: here ten times the catalogue number.
    PrepareApplicationImage(state, [](const ScannedModule& m) { return FindModel(m.Name)->ModelNumber * 10; });
    EXPECT_EQ(state.ApplicationAreaBytes, 20);
    ASSERT_EQ(state.ApplicationImage.size(), 6u);
    EXPECT_EQ(state.ApplicationImage[0], 0x0003E803);
    EXPECT_EQ(state.ApplicationImage[1], 0);
    EXPECT_EQ(state.ApplicationImage[2], 0x02050000);
    EXPECT_EQ(state.ApplicationImage[3], FindModel("M27")->ModelNumber * 10.0 * 256 + 3);
    EXPECT_EQ(state.ApplicationImage[4], FindModel("M28")->ModelNumber * 10.0 * 256 + 255);

    PrepareApplicationImage(state, CatalogueModelCode);
    EXPECT_EQ(state.ApplicationImage[3], FindModel("M27P")->ModelNumber * 256.0 + 3);
}

TEST(PrepareImage, ErrorControlWordPacksGuardingOrHeartbeat)
{
    ProgramState state;
    state.GuardTime = 1000;
    state.LifeTimeFactor = 3;
    state.HeartbeatTime = 500;
    EXPECT_EQ(ErrorControlWord(state), 0x0003E803);
    state.ErrorControlFlags = 0x04;
    EXPECT_EQ(ErrorControlWord(state), 0x04000000 + 500 * 256);
    state.ErrorControlFlags = 0xFF;
    state.HeartbeatTime = 65535;
    EXPECT_EQ(ErrorControlWord(state), 4294967040.0);  // top of the unsigned range, no sign
}

class WriteImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Three modules with the worked example's totals (no two catalogue
        // models have them): DI 2, AI 8, DO 1, AO 4 bytes.
        scenario = BuiltInScenario();
        scenario.modules = {Module(1, "M44"), Module(2, "M32"), Module(3, "M60")};
        port = std::make_unique<SimulatedPort>(scenario, clock);
        link = std::make_unique<ConsoleLink>(*port, clock, ui);
        ASSERT_TRUE(port->open().ok());
    }
    std::uint32_t Word(int block, int offset) const
    {
        return port->console().eeprom()[static_cast<std::size_t>(block)][static_cast<std::size_t>(offset / 4)];
    }

    Scenario scenario;
    FakeClock clock;
    RecordingUserInterface ui;
    std::unique_ptr<SimulatedPort> port;
    std::unique_ptr<ConsoleLink> link;
};

TEST_F(WriteImage, WorkedExampleIsWrittenAndReadsBackValid)
{
    ProgramState state = WorkedExampleState();
    state.GuardTime = 1000;
    state.LifeTimeFactor = 3;
    PrepareHeaderImage(state, FinishTime, 0);
    PrepareApplicationImage(state, CatalogueModelCode);
    ASSERT_TRUE(WriteConfigurationImage(state, *link, false));

    const std::uint32_t expected[] = {28573732, 20, 327683, 131596568, 221055488, 196808, 131080, 65540, 0};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Word(0, 40 + 4 * i), expected[i]) << "offset " << 40 + 4 * i;
    EXPECT_EQ(Word(0, 76), scenario.word(0, 76));  // shown after the last word, never typed
    EXPECT_EQ(Word(2, 0), 0x0003E803u);
    EXPECT_EQ(Word(2, 12), FindModel("M60")->ModelNumber * 256 + 3);
    EXPECT_EQ(Word(2, 16), FindModel("M32")->ModelNumber * 256 + 2);
    EXPECT_EQ(port->console().eeprom()[1], scenario.eeprom[1]);
    EXPECT_EQ(port->console().mode(), GatewayConsole::Mode::TopLevel);

    // A connect reads it back: every check passes and the settings return.
    ProgramState read;
    ParameterPanel panel;
    ASSERT_EQ(RunConnectSequence(read, panel, *link), ConnectOutcome::Succeeded);
    EXPECT_FALSE(read.StoredImageInvalid);
    EXPECT_EQ(read.StoredImageValid, 1);
    EXPECT_EQ(read.NodeId, 5);
    EXPECT_EQ(read.CanBaudIndex, 3);
    EXPECT_EQ(read.Com2BaudIndex, 3);
    EXPECT_EQ(read.Com2Timeout, 200);
    EXPECT_EQ(read.ConfigTime.Year, 2008);
    EXPECT_EQ(read.ConfigTime.Month, 1);
    EXPECT_EQ(read.ConfigTime.Day, 24);
    EXPECT_EQ(read.ConfigTime.Hour, 13);
    EXPECT_EQ(read.ConfigTime.Minute, 45);
    EXPECT_EQ(read.ConfigTime.Second, 10);
    EXPECT_EQ(read.ApplicationImage[0], 0x0003E803);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WriteImage, DeviceNetAlsoWritesTheConnectionBlock)
{
    ProgramState state = WorkedExampleState();
    state.ApplicationLayer = 1;
    PrepareHeaderImage(state, FinishTime, DeviceNetConnectionAreaBytes);
    PrepareApplicationImage(state, CatalogueModelCode);
    for (int i = 0; i < 7; ++i)
        state.ConnectionImage[static_cast<std::size_t>(i)] = 0x01040000 + i;
    state.ConnectionImage[6] = 4294967295.0;
    ASSERT_TRUE(WriteConfigurationImage(state, *link, true));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Word(1, 4 * i), 0x01040000u + static_cast<std::uint32_t>(i));
    EXPECT_EQ(Word(1, 24), 0xFFFFFFFFu);
    EXPECT_EQ(Word(1, 28), scenario.word(1, 28));
    EXPECT_EQ(Word(0, 44), 0x001C0014u);
}

TEST_F(WriteImage, FailedStepStopsAndKeepsWhatWasWritten)
{
    port = std::make_unique<SimulatedPort>(
        [this] {
            Scenario s = scenario;
            s.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("block 2")));
            return s;
        }(),
        clock);
    link = std::make_unique<ConsoleLink>(*port, clock, ui);
    ASSERT_TRUE(port->open().ok());
    ProgramState state = WorkedExampleState();
    PrepareHeaderImage(state, FinishTime, 0);
    PrepareApplicationImage(state, CatalogueModelCode);
    EXPECT_FALSE(WriteConfigurationImage(state, *link, false));
    EXPECT_EQ(Word(0, 48), 327683u);
    EXPECT_EQ(Word(2, 12), scenario.word(2, 12));
}

TEST_F(WriteImage, FirmwareDateOutOfRangeSpoilsTheImage)
{
    port = std::make_unique<SimulatedPort>(
        [this] {
            Scenario s = scenario;
            s.setFirmware(2, 7, 2009, 13, 32);
            return s;
        }(),
        clock);
    link = std::make_unique<ConsoleLink>(*port, clock, ui);
    ASSERT_TRUE(port->open().ok());
    ProgramState state;
    ASSERT_TRUE(ReadHeaderBlocks(state, *link));
    EXPECT_TRUE(state.StoredImageInvalid);
    EXPECT_EQ(state.FirmwareVersion.Major, 2);
    EXPECT_EQ(state.FirmwareVersion.Minor, 7);
    EXPECT_EQ(state.FirmwareDate.Year, 2009);
    EXPECT_EQ(state.FirmwareDate.Month, 0);
    EXPECT_EQ(state.FirmwareDate.Day, 0);
    EXPECT_EQ(FirmwareVersionText(state), "2.07-2009/00/00");

    // A date word printed negative keeps its halves; only month and day are judged.
    scenario.setWord(0, 4, 0xFFFF0C1Fu);
    port = std::make_unique<SimulatedPort>(scenario, clock);
    link = std::make_unique<ConsoleLink>(*port, clock, ui);
    ASSERT_TRUE(port->open().ok());
    state = ProgramState{};
    ASSERT_TRUE(ReadHeaderBlocks(state, *link));
    EXPECT_FALSE(state.StoredImageInvalid);
    EXPECT_EQ(state.FirmwareDate.Year, -1);
    EXPECT_EQ(state.FirmwareDate.Month, 12);
    EXPECT_EQ(state.FirmwareDate.Day, 31);
}

TEST(CheckImage, OutOfRangeFieldsAreTakenButSpoilTheImage)
{
    ProgramState state;
    RecordingUserInterface ui;
    state.HeaderImage = {0x01B40024, 20, 0x00050203, 0, 25.0 * 16777216, 0x0208FFFF, 0, 0, 0, 0};
    CheckHeaderImage(state, ui);
    EXPECT_TRUE(state.StoredImageInvalid);
    EXPECT_EQ(state.NodeId, 5);
    EXPECT_EQ(state.ApplicationLayer, 2);
    EXPECT_EQ(state.ConfigTime.Hour, 25);
    EXPECT_EQ(state.Com2Checksum, 2);
    EXPECT_EQ(state.Com2BaudIndex, 8);
    EXPECT_EQ(state.Com2Timeout, 32767);
    EXPECT_EQ(ui.progress, std::vector<int>{7});

    // Defaults replace all of it except the application layer.
    state.ScanBaudIndex = 4;
    state.ScanChecksumIndex = 1;
    state.ScanTimeoutMs = 90;
    ApplyImageDefaults(state);
    EXPECT_EQ(state.NodeId, 1);
    EXPECT_EQ(state.CanBaudIndex, 0);
    EXPECT_EQ(state.ApplicationLayer, 2);
    EXPECT_EQ(state.ConfigTime.Hour, 0);
    EXPECT_EQ(state.Com2BaudIndex, 4);
    EXPECT_EQ(state.Com2Checksum, 1);
    EXPECT_EQ(state.Com2Timeout, 90);
}

}  // namespace
}  // namespace k400::test
