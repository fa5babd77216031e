#include <gtest/gtest.h>

#include <filesystem>

#include "devicenet/DeviceNetConfiguration.h"
#include "devicenet/DeviceNetModules.h"
#include "devicenet/EdsWriter.h"
#include "modules/ModelCatalogue.h"
#include "platform/Messages.h"
#include "support/SimulatedGateway.h"

namespace k400::test {
namespace {

constexpr std::uint32_t NeverTyped = 0xDEADBEEF;

std::uint32_t Catalogue(const char* name)
{
    return FindModel(name)->ModelNumber;
}

std::uint32_t Packed(std::uint32_t selection, std::uint32_t cls, std::uint32_t instance, std::uint32_t attribute)
{
    return selection << 24 | cls << 16 | instance << 8 | attribute;
}

// The value Finish typed into a word: the built-in gateway's EEPROM already holds an image.
std::uint32_t Typed(const SimulatedPort& port, int block, int offset)
{
    std::uint32_t value = NeverTyped;
    for (const auto& write : port.console().eepromWrites())
        if (write.block == block && write.offset == offset)
            value = write.value;
    return value;
}

std::vector<std::string> Texts(const RecordingUserInterface& ui)
{
    std::vector<std::string> texts;
    for (const auto& message : ui.messages)
        texts.push_back(message.text);
    return texts;
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
    FinishResult Finish(ConsoleLink& on) { return config.Finish(on, clock.local, folder); }

    DeviceNetConfiguration config{state, ui};
};

TEST(DeviceNetConfiguration, FinishWritesAllThreeBlocksThenTheEdsFile)
{
    DeviceNetRig rig;
    rig.state.StoredImageInvalid = true;  // nothing usable stored yet
    ASSERT_TRUE(rig.config.Load());
    ASSERT_EQ(rig.config.Lists().Input.size(), 8u);
    // The strobe input takes no more than 8 bytes (the analog input assembly has 32), poll any length.
    // A refused selection keeps the earlier one; a refused ApplyChoices keeps them all.
    ASSERT_TRUE(rig.config.SelectInput(StrobeConnection, 1));
    EXPECT_FALSE(rig.config.SelectInput(StrobeConnection, 2));
    EXPECT_FALSE(rig.config.ApplyChoices({{1, 2, 0, 0}, {1, 0, 0, 0}, 3}));
    EXPECT_EQ(rig.config.Choices().InputSelection, (std::array<std::int16_t, 4>{0, 1, 0, 0}));
    EXPECT_EQ(rig.config.Choices().DefaultConnection, 0);
    EXPECT_FALSE(rig.config.SelectInput(PollConnection, 8) || rig.config.SelectDefaultConnection(4));  // no such entry
    EXPECT_EQ(Texts(rig.ui),
              (std::vector<std::string>{msg::NewDeviceNetSetting, msg::StrobeTooLong, msg::StrobeTooLong}));
    EXPECT_EQ(rig.ui.messages.at(1).title, msg::ErrorTitle);
    ASSERT_TRUE(rig.config.ApplyChoices({{2, 3, 7, 0}, {1, 3, 2, 0}, 2}));
    rig.config.SetEdsInfo({"Plant 4", "Commissioning"});
    const FinishResult result = rig.Finish(rig.link);
    ASSERT_EQ(result.outcome, FinishOutcome::Done) << result.error;

    const std::uint32_t m27p = (Catalogue("M27") * 10 + 1) * 256 + 3, m29z = (Catalogue("M29") * 10 + 1) * 256 + 4;
    const struct {
        int block, offset;
        std::uint32_t value;
    } words[] = {
        // Block 0: area bytes, node/DeviceNet layer/baud, DI (2+1) and AI (2+8+20) bytes.
        {0, 44, 28u * 65536 + 28},
        {0, 48, 5u * 65536 + 256 + 1},
        {0, 64, 3u * 65536 + 30},
        // Block 2: error control as it stands, last assemblies, modules (M27P and M29Z: variant digit 1).
        {2, 0, 0x0003E803},
        {2, 8, 1u << 24 | 1u << 16},
        {2, 12, Catalogue("M44") * 256 + 26},
        {2, 16, m27p},
        {2, 20, Catalogue("M60") * 256 + 10},
        {2, 24, m29z},
        // Block 1: the default connection, the inputs (the second input assembly counts on after the two
        // output assemblies), the outputs (COS: always the acknowledge handler).
        {1, 0, 2u * 65536},
        {1, 4, Packed(2, 0x04, 4, 3)},
        {1, 8, Packed(3, 0x64, 1, 0x16)},
        {1, 12, Packed(7, 0x64, 4, 0x17)},
        {1, 16, Packed(1, 0x04, 1, 3)},
        {1, 20, Packed(3, 0x64, 2, 0x14)},
        {1, 24, Packed(2, 0x2B, 1, 0)},
    };
    for (const auto& w : words)
        EXPECT_EQ(Typed(rig.port, w.block, w.offset), w.value) << "block " << w.block << " offset " << w.offset;

    EXPECT_EQ(result.edsPath, (rig.folder / "TARNDNS 5.eds").string());
    const std::string eds = ReadFile(result.edsPath);
    EXPECT_EQ(eds, DeviceNetEdsText(rig.state, rig.config.Choices(), rig.clock.local));
    EXPECT_NE(eds.find("$ Plant 4\r\n$ Created by Commissioning\r\n"), std::string::npos);
    EXPECT_EQ(rig.ui.status, msg::StatusFinishDone);
    EXPECT_FALSE(rig.state.GatewayBusy || rig.port.isOpen());
    EXPECT_TRUE(rig.config.RequestClose());
    EXPECT_EQ(rig.ui.messages.size(), 3u) << "finished: no reminder";
}

TEST(DeviceNetConfiguration, NoFinishAfterAFailedOne)
{
    DeviceNetRig rig;
    Scenario scenario = BuiltInScenario();
    scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("block 1")));
    SimulatedPort port(scenario, rig.clock);
    port.setPortName("COM1");
    ConsoleLink link(port, rig.clock, rig.ui);
    ASSERT_TRUE(rig.config.Load());
    EXPECT_EQ(rig.Finish(link).outcome, FinishOutcome::Timeout);
    EXPECT_FALSE(std::filesystem::exists(rig.folder / "TARNDNS 5.eds"));
    EXPECT_FALSE(rig.state.GatewayBusy || port.isOpen() || rig.config.FinishEnabled());
    // Blocks 0 and 2 went in before the failure with the mark still 0: the image reads as invalid.
    EXPECT_EQ(Typed(port, 0, 40), 0u);
    EXPECT_NE(Typed(port, 2, 0), NeverTyped);
    EXPECT_EQ(Typed(port, 1, 0), NeverTyped);
    const auto linesBefore = port.console().receivedLines().size();
    EXPECT_EQ(rig.Finish(link).outcome, FinishOutcome::Refused);  // a second press talks to nobody
    EXPECT_EQ(port.console().receivedLines().size(), linesBefore);
    EXPECT_TRUE(rig.config.RequestClose());
    EXPECT_EQ(Texts(rig.ui),
              (std::vector<std::string>{std::string(msg::Timeout) + "\n" + msg::EepromIncomplete, msg::NotFinished}));
}

}  // namespace
}  // namespace k400::test
