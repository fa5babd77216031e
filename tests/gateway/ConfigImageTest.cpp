// The configuration image: the words a Finish prepares, what reaches the
// EEPROM, and how a stored image is read and judged.

#include <gtest/gtest.h>

#include <array>

#include "gateway/ConfigImage.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "modules/ModelCatalogue.h"
#include "sim/SimulatedPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

const LocalDateTime FinishTime{2008, 1, 24, 13, 45, 10};
// The header words of a CANopen Finish of the state below at FinishTime.
const std::uint32_t WorkedHeader[] = {28573732, 20, 327683, 131596568, 221055488, 196808, 131080, 65540, 0};

// Node 5 at 125 kbit/s, COM2 9600 200 ms, guarding 1000 ms x 3, M60 at 3 and
// M32 at 2 (DI 2, AI 8, DO 1, AO 4 bytes).
ProgramState WorkedExample()
{
    ProgramState state;
    state.NodeId = 5;
    state.CanBaudIndex = 3;
    state.Com2BaudIndex = 3;
    state.Com2Timeout = 200;
    state.TotalDIBytes = 2;
    state.TotalAIBytes = 8;
    state.TotalDOBytes = 1;
    state.TotalAOBytes = 4;
    state.GuardTime = 1000;
    state.LifeTimeFactor = 3;
    state.ModuleTable[0] = {"M60", "3"};
    state.ModuleTable[1] = {"M32", "2"};
    state.ControllerPrompt = "K400E>";
    return state;
}

TEST(PrepareImage, HeaderAndApplicationWords)
{
    ProgramState state = WorkedExample();
    state.ModuleTable[2] = {"M28", ""};  // refused in an earlier scan: no entry
    state.ModuleTable[4] = {"M27P", "255"};
    state.LastOutputAssembly = 2;
    state.LastInputAssembly = 5;
    PrepareHeaderImage(state, FinishTime, 0);
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(state.HeaderImage[i], i == 1 ? 24 : WorkedHeader[i]) << "entry " << i;  // three modules
    // A profile's own model codes: here ten times the catalogue number.
    PrepareApplicationImage(state, [](const ScannedModule& m) { return FindModel(m.Name)->ModelNumber * 10; });
    const std::vector<double> application = {0x0003E803,
                                             0,
                                             0x02050000,
                                             FindModel("M60")->ModelNumber * 2560.0 + 3,
                                             FindModel("M32")->ModelNumber * 2560.0 + 2,
                                             FindModel("M27P")->ModelNumber * 2560.0 + 255,
                                             0};
    EXPECT_EQ(state.ApplicationImage, application);
    PrepareHeaderImage(state, FinishTime, DeviceNetConnectionAreaBytes);
    EXPECT_EQ(state.HeaderImage[1], 0x001C0018);

    state.ErrorControlFlags = HeartbeatBit;  // heartbeat: its time, no life factor
    state.HeartbeatTime = 500;
    EXPECT_EQ(ErrorControlWord(state), 0x04000000 + 500 * 256);
    state.ErrorControlFlags = 0xFF;
    state.HeartbeatTime = 65535;
    EXPECT_EQ(ErrorControlWord(state), 4294967040.0);  // top of the unsigned range, no sign
}

TEST(WriteImage, WorkedExampleIsWrittenAndAConnectReadsItBackValid)
{
    Scenario scenario = BuiltInScenario();  // three of its modules make the worked example's totals
    scenario.modules = {scenario.modules[0], scenario.modules[5], scenario.modules[3]};
    scenario.modules[1].address = 2;
    scenario.modules[2].address = 3;
    FakeClock clock;
    RecordingUserInterface ui;
    SimulatedPort port(scenario, clock);
    ConsoleLink link(port, clock, ui);
    ASSERT_TRUE(port.open().ok());
    ProgramState state = WorkedExample();
    PrepareHeaderImage(state, FinishTime, 0);
    PrepareApplicationImage(state, CatalogueModelCode);
    ASSERT_TRUE(WriteConfigurationImage(state, link, false));
    const auto& eeprom = port.console().eeprom();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(eeprom[0][10 + i], WorkedHeader[i]) << "offset " << 40 + 4 * i;
    EXPECT_EQ(eeprom[0][19], scenario.word(0, 76));  // shown after the last word, never typed
    EXPECT_EQ(eeprom[2][0], 0x0003E803u);
    EXPECT_EQ(eeprom[2][3], FindModel("M60")->ModelNumber * 256 + 3);
    EXPECT_EQ(eeprom[2][4], FindModel("M32")->ModelNumber * 256 + 2);
    EXPECT_EQ(eeprom[1], scenario.eeprom[1]);
    EXPECT_EQ(port.console().mode(), GatewayConsole::Mode::TopLevel);

    ProgramState read;
    ASSERT_EQ(RunConnectSequence(read, link), ConnectOutcome::Succeeded);
    EXPECT_EQ(read.StoredImageValid, 1);
    const auto& t = read.ConfigTime;
    EXPECT_EQ((std::array<int, 10>{read.NodeId, read.CanBaudIndex, read.Com2BaudIndex, read.Com2Timeout, t.Year,
                                   t.Month, t.Day, t.Hour, t.Minute, t.Second}),
              (std::array<int, 10>{5, 3, 3, 200, 2008, 1, 24, 13, 45, 10}));
    EXPECT_TRUE(ui.messages.empty());
}

// The demo gateway's stored header (node 3, CANopen, 50 kbit/s, 2008/03/14
// 09:30:15, COM2 9600 200 ms) with one word changed, against its six modules.
TEST(CheckImage, StoredImagesThatDoNotFitTheGatewayOrTheModulesAreRefused)
{
    const struct {
        const char* what;
        int entry;
        std::uint32_t word;
    } cases[] = {
        {"unchanged", 0, 0x01B40024u},
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
        {"DO total one byte short", 7, 2u * 65536 + 12},
        {"AO total one byte over", 7, 3u * 65536 + 13},
    };
    const Scenario demo = BuiltInScenario();
    for (const auto& c : cases) {
        ProgramState state;
        RecordingUserInterface ui;
        for (int i = 0; i < 10; ++i)
            state.HeaderImage[static_cast<std::size_t>(i)] = i == c.entry ? c.word : demo.word(0, 40 + 4 * i);
        state.TotalDIBytes = 2;
        state.TotalAIBytes = 24;
        state.TotalDOBytes = 3;
        state.TotalAOBytes = 12;
        CheckHeaderImage(state, ui);
        EXPECT_EQ(state.StoredImageInvalid, c.entry != 0 || c.word != 0x01B40024u) << c.what;
    }
}

}  // namespace
}  // namespace k400::test
