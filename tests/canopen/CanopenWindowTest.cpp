#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gateway/ProgramState.h"
#include "canopen/CanopenWindow.h"
#include "canopen/EdsWriter.h"
#include "canopen/ModuleFixture.h"
#include "modules/ModelCatalogue.h"
#include "support/SimulatedGateway.h"

namespace k400::test {
namespace {

std::uint32_t ModelCode(const char* name)
{
    const ModelInfo* model = FindModel(name);
    return model ? model->ModelNumber : 0xFFFFFFFFu;
}

class CanopenWindowTest : public ::testing::Test, protected SimulatedGateway {
protected:
    CanopenWindowTest() : SimulatedGateway("k400-canopen-window")
    {
        state.FirmwareDate = {2007, 11, 26};
        state.CanBaudIndex = 3;
        state.Com2Checksum = 0;
        PlaceModule(state, 0, {"M44", 1, 0, 0, 16, 0});
        PlaceModule(state, 1, {"M60", 6, 2, 0, 0, 4});
        PlaceModule(state, 2, {"M32", 12, 0, 2, 0, 0});
    }

    CanopenWindow window{state, ui};
    std::filesystem::path EdsPath() const { return folder / "COPn5.eds"; }

    void Boxes(const char* guard, const char* factor, const char* heartbeat)
    {
        window.view().GuardTimeText = guard;
        window.view().LifeFactorText = factor;
        window.view().HeartbeatText = heartbeat;
    }
};

TEST_F(CanopenWindowTest, LoadPresetsErrorControlFromAValidStoredImage)
{
    state.StoredImageValid = 1;
    state.ApplicationImage = {4.0 * 16777216 + 500 * 256, 0, 0, 0};
    ASSERT_TRUE(window.Load());
    EXPECT_EQ(window.view().Option, ErrorControlOption::Heartbeat);
    EXPECT_TRUE(window.view().HeartbeatFrameVisible);
    EXPECT_FALSE(window.view().NodeGuardingFrameVisible);
    EXPECT_EQ(window.view().HeartbeatText, "500");
    EXPECT_EQ(window.view().GuardTimeText, "0");
    EXPECT_EQ(state.HeartbeatTime, 500u);
    EXPECT_EQ(state.ErrorControlFlags, 4);

    state.ApplicationImage = {0x0003E803, 0, 0, 0};
    ASSERT_TRUE(window.Load());
    EXPECT_EQ(window.view().Option, ErrorControlOption::NodeGuarding);
    EXPECT_EQ(window.view().GuardTimeText, "1000");
    EXPECT_EQ(window.view().LifeFactorText, "3");
    EXPECT_EQ(window.view().HeartbeatText, "0");
    EXPECT_EQ(state.HeartbeatTime, 0u);

    // Not valid: all boxes 0 and node guarding, whatever the image holds.
    state.StoredImageValid = 0;
    state.ApplicationImage = {4.0 * 16777216 + 500 * 256, 0, 0, 0};
    state.EdsInfoText = {"old", "old"};
    ASSERT_TRUE(window.Load());
    EXPECT_EQ(window.view().Option, ErrorControlOption::NodeGuarding);
    EXPECT_EQ(window.view().HeartbeatText, "0");
    EXPECT_EQ(state.ErrorControlFlags, 0);
    EXPECT_EQ(state.EdsInfoText[0], "");

    window.SelectErrorControl(ErrorControlOption::Heartbeat);
    EXPECT_EQ(state.ErrorControlFlags, 4);
    window.SelectErrorControl(ErrorControlOption::NodeGuarding);
    EXPECT_EQ(state.ErrorControlFlags, 0);
}

TEST_F(CanopenWindowTest, ErrorControlRangeChecks)
{
    ASSERT_TRUE(window.Load());
    Boxes("65535", "255", "");
    EXPECT_TRUE(window.TakeErrorControl());
    EXPECT_EQ(state.GuardTime, 65535u);
    EXPECT_EQ(state.LifeTimeFactor, 255);

    Boxes("65536", "256", "");
    EXPECT_FALSE(window.TakeErrorControl());
    Boxes("100", "256", "");
    EXPECT_FALSE(window.TakeErrorControl());
    Boxes("-1", "3", "");
    EXPECT_FALSE(window.TakeErrorControl());
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Guard Time is overflow");
    EXPECT_EQ(ui.messages[0].title, "");
    EXPECT_EQ(ui.messages[1].text, "Life factor is overflow");
    EXPECT_EQ(ui.messages[2].text, "Guard Time is overflow");
    EXPECT_EQ(state.GuardTime, 65535u) << "a refused value changes nothing";

    Boxes("", "12.6 ms", "");
    EXPECT_TRUE(window.TakeErrorControl());
    EXPECT_EQ(state.GuardTime, 0u);
    EXPECT_EQ(state.LifeTimeFactor, 13);

    // Heartbeat mode looks only at its own box.
    window.SelectErrorControl(ErrorControlOption::Heartbeat);
    Boxes("99999", "999", "65535");
    EXPECT_TRUE(window.TakeErrorControl());
    EXPECT_EQ(state.HeartbeatTime, 65535u);
    Boxes("1", "1", "65536");
    EXPECT_FALSE(window.TakeErrorControl());
    EXPECT_EQ(ui.messages.back().text, "Consumer Heartbeat Time is overflow");
}

TEST_F(CanopenWindowTest, FinishWritesTheImageThenTheEdsFile)
{
    ASSERT_TRUE(window.Load());
    Boxes("1000", "3", "0");
    window.view().EdsInfo = {"Line 4", "Commissioning"};
    int viewerCloses = 0;
    window.closeViewers = [&] { ++viewerCloses; };

    auto result = window.Finish(link, clock, folder);
    ASSERT_EQ(result.status, CanopenFinishStatus::Done) << result.message;
    EXPECT_EQ(viewerCloses, 1);

    const std::uint32_t header[9] = {28573732, 24,        327683, 131596568, 221055488,
                                     196808,   131080,    65540,  0};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Word(0, 40 + 4 * i), header[i]) << "offset " << 40 + 4 * i;
    EXPECT_EQ(Word(2, 0), 0x0003E803u);
    EXPECT_EQ(Word(2, 4), 0u);
    EXPECT_EQ(Word(2, 8), 0x03030000u);
    EXPECT_EQ(Word(2, 12), ModelCode("M44") * 256 + 1);
    EXPECT_EQ(Word(2, 16), ModelCode("M60") * 256 + 6);
    EXPECT_EQ(Word(2, 20), ModelCode("M32") * 256 + 12);
    EXPECT_EQ(Word(1, 0), 0u) << "block 1 is not written";

    EXPECT_EQ(result.edsPath, EdsPath().string());
    const std::string eds = ReadFile(EdsPath());
    EXPECT_EQ(eds, CanopenEdsText(state, clock));
    EXPECT_NE(eds.find("\r\nDescription=Line 4\r\n"), std::string::npos);
    EXPECT_EQ(ui.status, "Produce .EDS file is OK");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(state.GatewayBusy);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(state.StoredImageValid, 1);
    EXPECT_TRUE(window.view().Closed);
}

TEST_F(CanopenWindowTest, TimeoutWritesNoEdsAndKeepsAnOlderOne)
{
    WriteFile(EdsPath(), "older file\r\n");
    Scenario scenario = BuiltInScenario();
    scenario.faults.push_back(FaultRule::NoAnswerTo(CommandMatch::Line("block 2")));
    SimulatedPort faulty(scenario, clock);
    faulty.setPortName("COM1");
    ConsoleLink faultyLink(faulty, clock, ui);

    ASSERT_TRUE(window.Load());
    auto result = window.Finish(faultyLink, clock, folder);
    EXPECT_EQ(result.status, CanopenFinishStatus::Timeout);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Timeout");
    EXPECT_EQ(ui.messages[0].title, "");
    EXPECT_EQ(ui.status, "Timeout");
    EXPECT_EQ(ReadFile(EdsPath()), "older file\r\n");
    EXPECT_FALSE(state.GatewayBusy);
    EXPECT_FALSE(faulty.isOpen());
    EXPECT_FALSE(window.view().Frame1Enabled);
    EXPECT_FALSE(window.view().Closed);
    EXPECT_EQ(state.StoredImageValid, 1);
    // The header went in before the failure; there is no rollback.
    EXPECT_EQ(faulty.console().eeprom()[0][40 / 4], 28573732u);
}

TEST_F(CanopenWindowTest, EdsThatCannotBeWrittenIsNeverReportedAsSuccess)
{
    ASSERT_TRUE(window.Load());
    auto result = window.Finish(link, clock, folder / "missing");
    EXPECT_EQ(result.status, CanopenFinishStatus::EdsFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find((folder / "missing").string()), std::string::npos);
    EXPECT_EQ(ui.status, "");
    for (const auto& shown : ui.statusHistory)
        EXPECT_NE(shown, "Produce .EDS file is OK");
    EXPECT_FALSE(state.GatewayBusy);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(Word(2, 0), 0u) << "the image was written before the file";
}

TEST_F(CanopenWindowTest, BusyOrOccupiedPortStopsFinish)
{
    ASSERT_TRUE(window.Load());
    window.view().EdsInfo = {"desc", "me"};
    state.GatewayBusy = true;
    auto result = window.Finish(link, clock, folder);
    EXPECT_EQ(result.status, CanopenFinishStatus::Busy);
    EXPECT_EQ(state.EdsInfoText[0], "desc") << "the texts are taken before the busy check";
    EXPECT_TRUE(port.console().receivedLines().empty());
    EXPECT_FALSE(window.RequestClose());
    EXPECT_EQ(ui.messages.back().text, "Module is connecting now!");

    state.GatewayBusy = false;
    port.failNextOpen({PortOpenError::Kind::Occupied, ""});
    result = window.Finish(link, clock, folder);
    EXPECT_EQ(result.status, CanopenFinishStatus::PortNotOpened);
    EXPECT_EQ(ui.messages.back().text, "COM 1 has been occupied");
    EXPECT_EQ(ui.status, "COM 1 has been occupied");
    EXPECT_FALSE(state.GatewayBusy);
    EXPECT_FALSE(std::filesystem::exists(EdsPath()));
    EXPECT_TRUE(window.RequestClose());
}

TEST_F(CanopenWindowTest, UnmappableConfigurationNeverReachesTheGateway)
{
    for (int i = 0; i < 15; ++i)
        PlaceModule(state, static_cast<std::size_t>(i), {"M28", i + 1, 0, 0, 0, 9});
    EXPECT_FALSE(window.Load());
    ASSERT_EQ(ui.messages.size(), 1u);
    auto result = window.Finish(link, clock, folder);
    EXPECT_EQ(result.status, CanopenFinishStatus::Refused);
    EXPECT_TRUE(port.console().receivedLines().empty());
    EXPECT_FALSE(std::filesystem::exists(EdsPath()));
    EXPECT_FALSE(state.GatewayBusy);
}

TEST_F(CanopenWindowTest, ViewerButtonsNeedChannels)
{
    ASSERT_TRUE(window.Load());
    EXPECT_TRUE(window.RequestViewer(CanopenViewer::Pdo));
    ProgramState empty;
    CanopenWindow bare(empty, ui);
    ASSERT_TRUE(bare.Load());
    EXPECT_FALSE(bare.RequestViewer(CanopenViewer::Pdo));
    EXPECT_FALSE(bare.RequestViewer(CanopenViewer::ObjectDictionary));
    EXPECT_FALSE(bare.RequestViewer(CanopenViewer::ModuleInformation));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "No channel is available!");
    EXPECT_EQ(ui.messages[1].text, "No object is available!");
    EXPECT_EQ(ui.messages[2].text, "No channel is available!");
}

}  // namespace
}  // namespace k400::test
