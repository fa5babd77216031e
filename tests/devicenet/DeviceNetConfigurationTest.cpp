#include <gtest/gtest.h>

#include <filesystem>

#include "devicenet/DeviceNetConfiguration.h"
#include "devicenet/DeviceNetModules.h"
#include "devicenet/EdsWriter.h"
#include "devicenet/ModelCode.h"
#include "modules/ModelCatalogue.h"
#include "platform/Messages.h"
#include "support/SimulatedGateway.h"

namespace k400::test {
namespace {

std::uint32_t CatalogueNumber(const char* name)
{
    const ModelInfo* model = FindModel(name);
    EXPECT_NE(model, nullptr) << name;
    return model ? model->ModelNumber : 0;
}

std::uint32_t Packed(int selection, int cls, int instance, int attribute)
{
    return static_cast<std::uint32_t>(selection) << 24 | cls << 16 | instance << 8 | attribute;
}

// The value Finish typed into a word; a word never typed reads as 0xDEADBEEF.
std::uint32_t Typed(const SimulatedPort& port, int block, int offset)
{
    std::uint32_t value = 0xDEADBEEF;
    for (const auto& write : port.console().eepromWrites())
        if (write.block == block && write.offset == offset)
            value = write.value;
    return value;
}

// A connected K400E, node 5, node guarding 1000 ms x 3, with M44 (16 DI) at
// 26, M27P (all four kinds) at 3, M60 (a counter) at 10 and M29Z (10 AI) at 4.
// Inputs: None, 2 assemblies, DI App.01, DI App.02, AI App.02, AI App.03, AI App.04.
struct DeviceNetRig : SimulatedGateway {
    DeviceNetRig() : SimulatedGateway("k400-dn-config")
    {
        state.CanBaudIndex = 1;
        state.GuardTime = 1000;
        state.LifeTimeFactor = 3;
        AddModules(state, {{"M44", 26}, {"M27P", 3}, {"M60", 10}, {"M29Z", 4}});
    }
    std::filesystem::path EdsPath() const { return folder / "TARNDNS 5.eds"; }

    DeviceNetConfiguration config{state, ui};
};

TEST(DeviceNetConfiguration, FinishWritesAllThreeBlocksThenTheEdsFile)
{
    DeviceNetRig rig;
    rig.state.StoredImageInvalid = true;  // nothing usable stored yet
    ASSERT_TRUE(rig.config.Load());
    ASSERT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.ui.messages[0].text, msg::NewDeviceNetSetting);
    rig.ui.messages.clear();
    ASSERT_EQ(rig.config.Lists().Input.size(), 8u);
    ASSERT_TRUE(rig.config.ApplyChoices({{2, 3, 7, 0}, {1, 3, 2, 0}, 2}));
    rig.config.SetEdsInfo({"Plant 4", "Commissioning"});

    const FinishResult result = rig.config.Finish(rig.link, rig.clock.local, rig.folder);
    ASSERT_EQ(result.outcome, FinishOutcome::Done) << result.error;
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(rig.ui.status, msg::StatusFinishDone);
    EXPECT_FALSE(rig.state.GatewayBusy);
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_TRUE(rig.config.Finished());
    EXPECT_EQ(rig.state.ApplicationLayer, 1);

    const struct {
        int block, offset;
        std::uint32_t value;
        const char* what;
    } words[] = {
        {0, 44, 28u * 65536 + 28, "connection and application area bytes"},
        {0, 48, 5u * 65536 + 1 * 256 + 1, "node, DeviceNet layer, baud"},
        {0, 64, 3u * 65536 + (2 + 8 + 20), "DI 2+1, AI 2+8+20 bytes"},
        {2, 0, 0x0003E803u, "error control as it stands"},
        {2, 8, 1u << 24 | 1u << 16, "last assembly indexes"},
        {2, 12, CatalogueNumber("M44") * 256 + 26, "M44"},
        {2, 16, (CatalogueNumber("M27") * 10 + 1) * 256 + 3, "M27P: family code and variant digit"},
        {2, 20, CatalogueNumber("M60") * 256 + 10, "M60"},
        {2, 24, (CatalogueNumber("M29") * 10 + 1) * 256 + 4, "M29Z"},
        {1, 0, 2u * 65536, "default connection"},
        {1, 4, Packed(2, 0x04, 4, 3), "poll input: the second input assembly, after two outputs"},
        {1, 8, Packed(3, 0x64, 1, 0x16), "strobe input: M44's digital inputs"},
        {1, 12, Packed(7, 0x64, 4, 0x17), "COS input: M29Z's analog inputs"},
        {1, 16, Packed(1, 0x04, 1, 3), "poll output"},
        {1, 20, Packed(3, 0x64, 2, 0x14), "strobe output"},
        {1, 24, Packed(2, 0x2B, 1, 0), "COS output: always the acknowledge handler"},
    };
    for (const auto& w : words)
        EXPECT_EQ(Typed(rig.port, w.block, w.offset), w.value) << "block " << w.block << " offset " << w.offset << ": " << w.what;

    ASSERT_EQ(result.edsPath, rig.EdsPath().string());
    const std::string eds = ReadFile(rig.EdsPath());
    EXPECT_EQ(eds, DeviceNetEdsText(rig.state, rig.config.Choices(), rig.clock.local));
    EXPECT_NE(eds.find("$ Plant 4\r\n$ Created by Commissioning\r\n"), std::string::npos);
    EXPECT_TRUE(rig.config.RequestClose());
    EXPECT_TRUE(rig.ui.messages.empty()) << "finished: no reminder";
}

TEST(DeviceNetConfiguration, SelectionsGoThroughTheirSelectorsChecks)
{
    DeviceNetRig rig;
    ASSERT_TRUE(rig.config.Load());
    rig.ui.messages.clear();
    ASSERT_TRUE(rig.config.SelectInput(StrobeConnection, 1));   // digital input assembly: 3 bytes
    EXPECT_FALSE(rig.config.SelectInput(StrobeConnection, 2));  // analog input assembly: 32 bytes
    ASSERT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.ui.messages[0].text, msg::StrobeTooLong);
    EXPECT_EQ(rig.ui.messages[0].title, msg::ErrorTitle);
    EXPECT_EQ(rig.config.Choices().InputSelection[1], 1);
    EXPECT_TRUE(rig.config.SelectInput(PollConnection, 2));  // poll takes any length

    // Outside the lists: refused without a message.
    EXPECT_FALSE(rig.config.SelectInput(PollConnection, 8));
    EXPECT_FALSE(rig.config.SelectOutput(PollConnection, -1));
    EXPECT_FALSE(rig.config.SelectDefaultConnection(4));
    EXPECT_EQ(rig.ui.messages.size(), 1u);

    // All at once: one refusal keeps every earlier choice.
    const DeviceNetChoices before = rig.config.Choices();
    EXPECT_FALSE(rig.config.ApplyChoices({{1, 2, 0, 0}, {1, 0, 0, 0}, 3}));
    EXPECT_EQ(rig.config.Choices().InputSelection, before.InputSelection);
    EXPECT_EQ(rig.config.Choices().OutputSelection, before.OutputSelection);
    EXPECT_EQ(rig.config.Choices().DefaultConnection, before.DefaultConnection);
}

TEST(DeviceNetConfiguration, TimeoutLeavesNoEdsFileAndFinishDisabled)
{
    DeviceNetRig rig;
    Scenario scenario = BuiltInScenario();
    scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("block 1")));
    SimulatedPort port(scenario, rig.clock);
    port.setPortName("COM1");
    ConsoleLink link(port, rig.clock, rig.ui);
    ASSERT_TRUE(rig.config.Load());
    rig.ui.messages.clear();

    EXPECT_EQ(rig.config.Finish(link, rig.clock.local, rig.folder).outcome, FinishOutcome::Timeout);
    ASSERT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.ui.messages[0].text, msg::Timeout);
    EXPECT_FALSE(std::filesystem::exists(rig.EdsPath()));
    EXPECT_FALSE(rig.state.GatewayBusy);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(rig.config.FinishEnabled());
    // Blocks 0 and 2 went in before the failure; there is no rollback.
    EXPECT_EQ(Typed(port, 0, 40), 0x01B40024u);
    EXPECT_NE(Typed(port, 2, 0), 0xDEADBEEF);
    EXPECT_EQ(Typed(port, 1, 0), 0xDEADBEEF);

    // Finish stays disabled: a second press talks to nobody.
    const auto linesBefore = port.console().receivedLines().size();
    EXPECT_NE(rig.config.Finish(link, rig.clock.local, rig.folder).outcome, FinishOutcome::Done);
    EXPECT_EQ(port.console().receivedLines().size(), linesBefore);
    EXPECT_TRUE(rig.config.RequestClose());
    EXPECT_EQ(rig.ui.messages.back().text, msg::NotFinished);
}

TEST(DeviceNetConfiguration, NoFinishWhileBusyOrWithObjectsTooLarge)
{
    DeviceNetRig busy;
    ASSERT_TRUE(busy.config.Load());
    busy.ui.messages.clear();
    busy.state.GatewayBusy = true;
    EXPECT_EQ(busy.config.Finish(busy.link, busy.clock.local, busy.folder).outcome, FinishOutcome::Busy);
    EXPECT_TRUE(busy.config.FinishEnabled());
    EXPECT_FALSE(busy.config.RequestClose());
    EXPECT_FALSE(busy.config.Back());
    EXPECT_EQ(busy.ui.messages.size(), 2u);
    EXPECT_EQ(busy.ui.messages.back().text, msg::GatewayBusy);

    DeviceNetRig large;
    large.state = {};
    for (int a = 1; a <= 13; ++a)
        AddModule(large.state, {"M29Z", a});  // 260 analog input bytes
    ASSERT_FALSE(large.config.Load());
    ASSERT_EQ(large.ui.messages.size(), 1u);
    EXPECT_NE(large.ui.messages[0].text.find("251"), std::string::npos);
    EXPECT_FALSE(large.config.FinishEnabled());
    EXPECT_EQ(large.config.Finish(large.link, large.clock.local, large.folder).outcome, FinishOutcome::Refused);

    for (DeviceNetRig* rig : {&busy, &large})
        EXPECT_TRUE(rig->port.console().receivedLines().empty());
}

TEST(DeviceNetConfiguration, LoadRestoresTheStoredChoicesAndBackReminds)
{
    DeviceNetRig rig;
    rig.state.ConnectionImage[1] = Packed(1, 0x04, 3, 3);
    rig.state.ConnectionImage[4] = Packed(5, 0x64, 2, 0x15);
    rig.state.ConnectionImage[5] = Packed(3, 0x64, 2, 0x14);
    ASSERT_TRUE(rig.config.Load());
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(rig.config.Choices().InputSelection[0], 1);
    EXPECT_EQ(rig.config.Choices().OutputSelection[0], 5);
    EXPECT_EQ(rig.config.Choices().OutputSelection[1], 0);  // only the poll output is restored

    EXPECT_TRUE(rig.config.Back());
    EXPECT_TRUE(rig.config.Lists().Input.empty());
    ASSERT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.ui.messages[0].text, msg::NotFinished);
    EXPECT_TRUE(rig.config.RequestClose());
    EXPECT_EQ(rig.ui.messages.size(), 1u) << "closed once";
}

TEST(DeviceNetConfiguration, FamiliesCarryAVariantDigitInTheirModelCode)
{
    const struct {
        const char* module;
        const char* catalogue;
        int variant;  // -1: the catalogue number as it is
    } cases[] = {{"M27", "M27", 0},  {"M27P", "M27", 1},  {"M29", "M29", 0},  {"M29P", "M29", 0},
                 {"M29R", "M29", 0}, {"M29BL", "M29", 0}, {"M29Z", "M29", 1}, {"Q29", "Q29", 0},
                 {"Q29R", "Q29", 0}, {"Q29Z", "Q29", 1},  {"M22P", "M22P", -1}, {"Q28A5", "Q28", -1}};
    for (const auto& c : cases) {
        const std::uint32_t number = CatalogueNumber(c.catalogue);
        const std::uint32_t expected = c.variant < 0 ? number : number * 10 + static_cast<std::uint32_t>(c.variant);
        EXPECT_EQ(DeviceNetModelCode(ScannedModule{c.module, "1"}), expected) << c.module;
    }
}

}  // namespace
}  // namespace k400::test
