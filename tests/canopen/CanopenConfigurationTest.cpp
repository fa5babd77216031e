#include <gtest/gtest.h>

#include <filesystem>

#include "canopen/CanopenConfiguration.h"
#include "canopen/EdsWriter.h"
#include "canopen/ModuleFixture.h"
#include "modules/ModelCatalogue.h"
#include "platform/Messages.h"
#include "support/SimulatedGateway.h"

namespace k400::test {
namespace {

constexpr auto NG = ErrorControlMode::NodeGuarding;
constexpr auto HB = ErrorControlMode::Heartbeat;
constexpr std::uint32_t NeverTyped = 0xDEADBEEF;

// A connected K400E, node 5, with M44 (16 DI) at 1, M60 (2 DO, 4 AI) at 6 and M32 (2 AO) at 12.
struct CanopenRig : SimulatedGateway {
    CanopenRig() : SimulatedGateway("k400-canopen-config")
    {
        state.FirmwareDate = {2007, 11, 26};
        state.CanBaudIndex = 3;
        PlaceModules(state, {{"M44", 1, 0, 0, 16}, {"M60", 6, 2, 0, 0, 4}, {"M32", 12, 0, 2}});
    }
    std::filesystem::path EdsPath() const { return folder / "COPn5.eds"; }

    CanopenConfiguration config{state, ui};
};

// The value Finish typed into a word: the built-in gateway's EEPROM already holds an image.
std::uint32_t Typed(const SimulatedPort& port, int block, int offset)
{
    std::uint32_t value = NeverTyped;
    for (const auto& write : port.console().eepromWrites())
        if (write.block == block && write.offset == offset)
            value = write.value;
    return value;
}

TEST(CanopenConfiguration, LoadPresetsTheChoicesFromAValidStoredImage)
{
    const double heartbeat500 = 4.0 * 16777216 + 500 * 256;
    const struct {
        std::uint8_t valid;
        double word;
        CanopenChoices choices;
        std::uint8_t flags;
    } cases[] = {
        {1, heartbeat500, {HB, 0, 0, 500}, HeartbeatBit},
        {1, 0x0003E803, {NG, 1000, 3, 0}, 0},
        {0, heartbeat500, {NG, 0, 0, 0}, 0},  // not valid: whatever it holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        CanopenRig rig;
        rig.state.StoredImageValid = c.valid;
        rig.state.ApplicationImage = {c.word, 0, 0, 0};
        rig.state.EdsInfoText = {"old", "old"};
        ASSERT_TRUE(rig.config.Load());
        const CanopenChoices& choices = rig.config.Choices();
        EXPECT_EQ(choices.Mode, c.choices.Mode);
        EXPECT_EQ(choices.GuardTimeMs, c.choices.GuardTimeMs);
        EXPECT_EQ(choices.LifeFactor, c.choices.LifeFactor);
        EXPECT_EQ(choices.HeartbeatMs, c.choices.HeartbeatMs);
        EXPECT_EQ(rig.state.ErrorControlFlags, c.flags);
        EXPECT_EQ(rig.state.EdsInfoText, (EdsInfo{"", ""}));
    }
}

TEST(CanopenConfiguration, ApplyChoicesChecksOnlyTheChosenProtocolsTimes)
{
    // Refused (with its message) or taken; the times stored afterwards, 7 before.
    const struct {
        CanopenChoices choices;
        const char* refusal;
        std::uint32_t guard, factor, heartbeat;
    } cases[] = {
        {{NG, 65535, 255, 0}, nullptr, 65535, 255, 7},
        {{NG, 65536, 256, 0}, msg::GuardTimeOverflow, 7, 7, 7},  // only the first failing value is named
        {{NG, 100, 256, 0}, msg::LifeFactorOverflow, 7, 7, 7},
        {{NG, -1, 3, 0}, msg::GuardTimeOverflow, 7, 7, 7},
        {{NG, 0, 12.6, 0}, nullptr, 0, 13, 7},
        {{HB, 99999, 999, 65535}, nullptr, 7, 7, 65535},
        {{HB, 1, 1, 65536}, msg::HeartbeatOverflow, 7, 7, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        CanopenRig rig;
        ASSERT_TRUE(rig.config.Load());
        rig.state.GuardTime = rig.state.HeartbeatTime = rig.state.LifeTimeFactor = 7;
        EXPECT_EQ(rig.config.ApplyChoices(c.choices), c.refusal == nullptr);
        EXPECT_EQ(rig.state.GuardTime, c.guard);
        EXPECT_EQ(rig.state.LifeTimeFactor, c.factor);
        EXPECT_EQ(rig.state.HeartbeatTime, c.heartbeat);
        ASSERT_EQ(rig.ui.messages.size(), c.refusal ? 1u : 0u);
        for (const auto& shown : rig.ui.messages)
            EXPECT_TRUE(shown.text == c.refusal && shown.title.empty()) << shown.text << "|" << shown.title;
    }
}

TEST(CanopenConfiguration, FinishWritesTheImageThenTheEdsFile)
{
    CanopenRig rig;
    ASSERT_TRUE(rig.config.Load());
    ASSERT_TRUE(rig.config.ApplyChoices({NG, 1000, 3, 0}));
    rig.config.SetEdsInfo({"Line 4", "Commissioning"});
    const FinishResult result = rig.config.Finish(rig.link, rig.clock.local, rig.folder);
    ASSERT_EQ(result.outcome, FinishOutcome::Done) << result.error;

    const auto module = [](const char* model, std::uint32_t at) { return FindModel(model)->ModelNumber * 256 + at; };
    const struct {
        int block, offset;
        std::uint32_t value;
    } words[] = {
        // Block 0 from offset 40: mark and size, areas, node/layer/baud, date, time, COM2, DI/AI, DO/AO.
        {0, 40, 28573732},
        {0, 44, 24},
        {0, 48, 327683},
        {0, 52, 131596568},
        {0, 56, 221055488},
        {0, 60, 196808},
        {0, 64, 131080},
        {0, 68, 65540},
        {0, 72, 0},
        {1, 0, NeverTyped},  // no DeviceNet block
        // Block 2: error control, reserved, PDO counts, one word per module.
        {2, 0, 0x0003E803},
        {2, 4, 0},
        {2, 8, 0x03030000},
        {2, 12, module("M44", 1)},
        {2, 16, module("M60", 6)},
        {2, 20, module("M32", 12)},
    };
    for (const auto& w : words)
        EXPECT_EQ(Typed(rig.port, w.block, w.offset), w.value) << "block " << w.block << " offset " << w.offset;

    EXPECT_EQ(result.edsPath, rig.EdsPath().string());
    const std::string eds = ReadFile(rig.EdsPath());
    EXPECT_EQ(eds, CanopenEdsText(rig.state, rig.clock.local));
    EXPECT_NE(eds.find("\r\nDescription=Line 4\r\n"), std::string::npos);
    EXPECT_EQ(rig.ui.status, msg::StatusFinishDone);
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_FALSE(rig.state.GatewayBusy || rig.port.isOpen());
    EXPECT_EQ(rig.state.StoredImageValid, 1);
}

// Every Finish that does not finish: the port closed, no success text and the
// older EDS file untouched, whatever stopped it.
TEST(CanopenConfiguration, FailedFinishLeavesNoEdsFileAndTheGatewayFree)
{
    const struct {
        const char* silentAt;  // the console line left unanswered
        bool occupied, busy, unmappable;
        const char* subfolder;  // the EDS goes into a folder that does not exist
        FinishOutcome outcome;
        std::string message;  // "": none
        std::uint32_t mark;   // the image mark at offset 40 afterwards: 0 while the write is incomplete
    } cases[] = {
        {"block 2", false, false, false, nullptr, FinishOutcome::Timeout, msg::EepromIncomplete, 0},
        {nullptr, true, false, false, nullptr, FinishOutcome::PortNotOpened, msg::PortOccupied("COM 1"), NeverTyped},
        {nullptr, false, false, false, "missing", FinishOutcome::EdsFailed, "missing", 28573732},
        {nullptr, false, true, false, nullptr, FinishOutcome::Busy, "", NeverTyped},
        {nullptr, false, false, true, nullptr, FinishOutcome::Refused, "transmit PDOs", NeverTyped},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        CanopenRig rig;
        WriteFile(rig.EdsPath(), "older file\r\n");
        Scenario scenario = BuiltInScenario();
        if (c.silentAt)
            scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line(c.silentAt)));
        SimulatedPort port(scenario, rig.clock);
        port.setPortName("COM1");
        if (c.occupied)
            port.failNextOpen({PortOpenError::Kind::Occupied, ""});
        ConsoleLink link(port, rig.clock, rig.ui);
        if (c.unmappable)  // 200 analog inputs: more than 32 transmit PDOs carry
            PlaceModules(rig.state, {{"M28", 1, 0, 0, 0, 200}});
        EXPECT_EQ(bool(rig.config.Load()), !c.unmappable);
        rig.ui.messages.clear();
        rig.state.GatewayBusy = c.busy;

        const auto folder = c.subfolder ? rig.folder / c.subfolder : rig.folder.path();
        EXPECT_EQ(rig.config.Finish(link, rig.clock.local, folder).outcome, c.outcome);
        ASSERT_EQ(rig.ui.messages.size(), c.message.empty() ? 0u : 1u);
        for (const auto& shown : rig.ui.messages)
            EXPECT_NE(shown.text.find(c.message), std::string::npos) << shown.text;
        for (const auto& shown : rig.ui.statusHistory)
            EXPECT_NE(shown, msg::StatusFinishDone);
        EXPECT_EQ(ReadFile(rig.EdsPath()), "older file\r\n");
        EXPECT_TRUE(rig.state.GatewayBusy == c.busy && !port.isOpen());
        EXPECT_EQ(Typed(port, 0, 40), c.mark);
    }
}

}  // namespace
}  // namespace k400::test
