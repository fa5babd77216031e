#include <gtest/gtest.h>

#include <filesystem>

#include "gateway/ProgramState.h"
#include "devicenet/DeviceNetWindow.h"
#include "devicenet/EdsWriter.h"
#include "devicenet/ModelCode.h"
#include "DeviceNetModules.h"
#include "modules/ModelCatalogue.h"
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

class DeviceNetWindowTest : public ::testing::Test, protected SimulatedGateway {
protected:
    DeviceNetWindowTest() : SimulatedGateway("k400-dn-window")
    {
        state.CanBaudIndex = 1;
        state.ErrorControlFlags = 0;
        state.GuardTime = 1000;
        state.LifeTimeFactor = 3;
        AddModule(state, "M44", 26);
        AddModule(state, "M27P", 3);
        AddModule(state, "M60", 10);
        AddModule(state, "M29Z", 4);
    }

    DeviceNetWindow window{state, ui};
    std::filesystem::path EdsPath() const { return folder / "TARNDNS 5.eds"; }
};

TEST_F(DeviceNetWindowTest, FinishWritesAllThreeBlocksThenTheEds)
{
    state.StoredImageInvalid = true;  // nothing usable stored yet
    ASSERT_TRUE(window.Load());
    EXPECT_TRUE(Shown("This is a new Setting for DNS gateway"));
    ui.messages.clear();
    // Inputs: None, 2 assemblies, DI App.01, DI App.02, AI App.02, AI App.03, AI App.04.
    ASSERT_EQ(window.Lists().Input.size(), 8u);
    ASSERT_TRUE(window.SelectInput(0, 2));
    ASSERT_TRUE(window.SelectInput(1, 3));
    ASSERT_TRUE(window.SelectInput(2, 7));
    window.SelectOutput(0, 1);
    window.SelectOutput(1, 3);
    window.SelectOutput(2, 2);
    window.SelectDefaultConnection(2);
    window.EdsInfo = {"Plant 4", "Commissioning"};

    const FinishResult result = window.Finish(link, folder);
    ASSERT_EQ(result.outcome, FinishOutcome::Done) << result.error;
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.status, "Produce .EDS file is OK");
    EXPECT_FALSE(state.GatewayBusy);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(window.Finished());
    EXPECT_FALSE(window.IsOpen());
    EXPECT_EQ(state.ApplicationLayer, 1);
    EXPECT_EQ(state.ApplicationAreaBytes, 28);

    // Block 0: the DeviceNet layer and the 28-byte connection area in the header.
    EXPECT_EQ(Word(port, 0, 44), 28u * 65536 + 28);
    EXPECT_EQ(Word(port, 0, 48), 5u * 65536 + 1 * 256 + 1);
    EXPECT_EQ(Word(port, 0, 64), 3u * 65536 + (2 + 8 + 20));  // DI 2+1, AI 2+8+20

    // Block 2: error control as it stands, the last assembly indexes, the modules.
    EXPECT_EQ(Word(port, 2, 0), 0x0003E803u);
    EXPECT_EQ(Word(port, 2, 4), 0u);
    EXPECT_EQ(Word(port, 2, 8), 1u << 24 | 1u << 16);
    EXPECT_EQ(Word(port, 2, 12), CatalogueNumber("M44") * 256 + 26);
    EXPECT_EQ(Word(port, 2, 16), (CatalogueNumber("M27") * 10 + 1) * 256 + 3);
    EXPECT_EQ(Word(port, 2, 20), CatalogueNumber("M60") * 256 + 10);
    EXPECT_EQ(Word(port, 2, 24), (CatalogueNumber("M29") * 10 + 1) * 256 + 4);

    // Block 1: default connection and the six connection words.
    EXPECT_EQ(Word(port, 1, 0), 2u * 65536);
    EXPECT_EQ(Word(port, 1, 4), Packed(2, 0x04, 4, 3));     // second input assembly, after two outputs
    EXPECT_EQ(Word(port, 1, 8), Packed(3, 0x64, 1, 0x16));  // M44's digital inputs
    EXPECT_EQ(Word(port, 1, 12), Packed(7, 0x64, 4, 0x17));
    EXPECT_EQ(Word(port, 1, 16), Packed(1, 0x04, 1, 3));
    EXPECT_EQ(Word(port, 1, 20), Packed(3, 0x64, 2, 0x14));
    EXPECT_EQ(Word(port, 1, 24), Packed(2, 0x2B, 1, 0));

    ASSERT_EQ(result.edsPath, EdsPath().string());
    std::ifstream in(EdsPath(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), DeviceNetEdsText(state, window.Choices(), clock.local));
    EXPECT_NE(text.str().find("$ Plant 4\r\n$ Created by Commissioning\r\n"), std::string::npos);
}

TEST_F(DeviceNetWindowTest, TimeoutLeavesNoEdsAndFinishDisabled)
{
    Scenario scenario = BuiltInScenario();
    scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("block 1")));
    SimulatedPort faulty(scenario, clock);
    faulty.setPortName("COM1");
    ConsoleLink faultyLink(faulty, clock, ui);

    ASSERT_TRUE(window.Load());
    ui.messages.clear();
    const FinishResult result = window.Finish(faultyLink, folder);
    EXPECT_EQ(result.outcome, FinishOutcome::Timeout);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Timeout");
    EXPECT_EQ(ui.status, "Timeout");
    EXPECT_FALSE(std::filesystem::exists(EdsPath()));
    EXPECT_FALSE(state.GatewayBusy);
    EXPECT_FALSE(faulty.isOpen());
    EXPECT_FALSE(window.FinishEnabled());
    EXPECT_FALSE(window.Frame1Enabled());
    EXPECT_TRUE(window.IsOpen());
    // Blocks 0 and 2 went in before the failure; there is no rollback.
    EXPECT_EQ(Word(faulty, 0, 40), 0x01B40024u);

    // Finish stays disabled: a second press talks to nobody.
    const auto linesBefore = faulty.console().receivedLines().size();
    EXPECT_EQ(window.Finish(faultyLink, folder).outcome, FinishOutcome::Busy);
    EXPECT_EQ(faulty.console().receivedLines().size(), linesBefore);

    EXPECT_TRUE(window.Unload());
    EXPECT_TRUE(Shown("You have not fininshing!"));
}

TEST_F(DeviceNetWindowTest, FinishWhileBusyDoesNothingAndClosingIsRefused)
{
    ASSERT_TRUE(window.Load());
    ui.messages.clear();
    state.GatewayBusy = true;
    EXPECT_EQ(window.Finish(link, folder).outcome, FinishOutcome::Busy);
    EXPECT_TRUE(port.console().receivedLines().empty());
    EXPECT_TRUE(window.FinishEnabled());
    EXPECT_FALSE(window.Unload());
    EXPECT_TRUE(window.IsOpen());
    EXPECT_TRUE(Shown("Module is connecting now!"));
}

TEST_F(DeviceNetWindowTest, StrobeSelectorRefusesLongDataAndKeepsItsChoice)
{
    ASSERT_TRUE(window.Load());
    ui.messages.clear();
    ASSERT_TRUE(window.SelectInput(1, 1));   // digital input assembly: 3 bytes
    EXPECT_FALSE(window.SelectInput(1, 2));  // analog input assembly: 32 bytes
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error! The selected data length > 8 bytes");
    EXPECT_EQ(ui.messages[0].title, "Error");
    EXPECT_EQ(window.Choices().InputSelection[1], 1);
    EXPECT_TRUE(window.SelectInput(0, 2));  // poll takes any length
    EXPECT_TRUE(window.SelectInput(2, 7));
}

TEST_F(DeviceNetWindowTest, LoadRestoresStoredChoicesAndBackReminds)
{
    state.ConnectionImage[1] = Packed(1, 0x04, 3, 3);
    state.ConnectionImage[4] = Packed(5, 0x64, 2, 0x15);
    state.ConnectionImage[5] = Packed(3, 0x64, 2, 0x14);
    ASSERT_TRUE(window.Load());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(window.Choices().InputSelection[0], 1);
    EXPECT_EQ(window.Choices().OutputSelection[0], 5);
    EXPECT_EQ(window.Choices().OutputSelection[1], 0);  // only the poll output is restored

    EXPECT_TRUE(window.Back());
    EXPECT_FALSE(window.IsOpen());
    EXPECT_TRUE(window.Lists().Input.empty());
    EXPECT_TRUE(Shown("You have not fininshing!"));
}

TEST_F(DeviceNetWindowTest, ObjectsTooLargeForAnAssemblyKeepFinishDisabled)
{
    ProgramState rescanned;
    rescanned.ControllerPrompt = "K400E>";
    for (int a = 1; a <= 13; ++a)
        AddModule(rescanned, "M29Z", a);  // 260 analog input bytes
    state = rescanned;
    ASSERT_FALSE(window.Load());
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_NE(ui.messages.back().text.find("251"), std::string::npos);
    EXPECT_FALSE(window.FinishEnabled());
    EXPECT_EQ(window.Finish(link, folder).outcome, FinishOutcome::Busy);
    EXPECT_TRUE(port.console().receivedLines().empty());
}

TEST(DeviceNetModelCode, FamiliesCarryAVariantDigit)
{
    const auto code = [](const char* name) { return DeviceNetModelCode(ScannedModule{name, "1"}); };
    EXPECT_EQ(code("M27"), CatalogueNumber("M27") * 10);
    EXPECT_EQ(code("M27P"), CatalogueNumber("M27") * 10 + 1);
    for (const char* name : {"M29", "M29P", "M29R", "M29BL"})
        EXPECT_EQ(code(name), CatalogueNumber("M29") * 10) << name;
    EXPECT_EQ(code("M29Z"), CatalogueNumber("M29") * 10 + 1);
    for (const char* name : {"Q29", "Q29R"})
        EXPECT_EQ(code(name), CatalogueNumber("Q29") * 10) << name;
    EXPECT_EQ(code("Q29Z"), CatalogueNumber("Q29") * 10 + 1);
    EXPECT_EQ(code("M22P"), CatalogueNumber("M22P"));
    EXPECT_EQ(code("Q28A5"), CatalogueNumber("Q28"));
}

}  // namespace
}  // namespace k400::test
