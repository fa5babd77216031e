#include <gtest/gtest.h>

#include "app/BuildEds.h"
#include "gateway/ProgramState.h"
#include "sim/SimulatedPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

class BuildEdsTest : public ::testing::Test {
protected:
    ProgramState state;
    RecordingUserInterface ui;
    FakeClock clock;
    SimulatedPort port{BuiltInScenario(), clock};

    void SetUp() override { state.Connected = true; }
};

TEST_F(BuildEdsTest, NothingBeforeAConnect)
{
    state.Connected = false;
    state.NodeId = 200;
    for (auto choice : {ApplicationChoice::Canopen, ApplicationChoice::DeviceNet, ApplicationChoice::None}) {
        EXPECT_EQ(BuildEdsFile(state, ui, choice, &port), Profile::None);
        EXPECT_EQ(ui.status, "Connect to K-400 first");
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.phases.empty());
}

TEST_F(BuildEdsTest, CanopenDropsAStoredDeviceNetImage)
{
    state.ApplicationLayer = 1;
    state.StoredImageValid = 1;
    state.NodeId = 127;
    EXPECT_EQ(BuildEdsFile(state, ui, ApplicationChoice::Canopen, &port), Profile::Canopen);
    EXPECT_EQ(state.ApplicationLayer, 0);
    EXPECT_EQ(state.StoredImageValid, 0);

    // A stored CANopen image stays valid.
    state.StoredImageValid = 1;
    EXPECT_EQ(BuildEdsFile(state, ui, ApplicationChoice::Canopen, &port), Profile::Canopen);
    EXPECT_EQ(state.StoredImageValid, 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BuildEdsTest, CanopenNodeIdAbove127IsRefusedAfterTheLayerChange)
{
    state.ApplicationLayer = 1;
    state.StoredImageValid = 1;
    state.NodeId = 128;
    state.GatewayBusy = true;
    ASSERT_TRUE(port.open().ok());
    EXPECT_EQ(BuildEdsFile(state, ui, ApplicationChoice::Canopen, &port), Profile::None);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "NodeID Error");
    EXPECT_EQ(ui.messages[0].title, "Error");
    EXPECT_EQ(ui.status, "NodeID or Application error");
    EXPECT_EQ(state.ApplicationLayer, 0);
    EXPECT_EQ(state.StoredImageValid, 0);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(state.GatewayBusy);
    EXPECT_TRUE(state.Connected);
    ASSERT_EQ(ui.phases.size(), 1u);
    EXPECT_EQ(ui.phases[0], ConnectPhase::Released);
}

TEST_F(BuildEdsTest, DeviceNetRefusesNodeIdsItCannotUse)
{
    state.NodeId = 63;
    EXPECT_EQ(BuildEdsFile(state, ui, ApplicationChoice::DeviceNet, &port), Profile::DeviceNet);
    EXPECT_EQ(BuildEdsFile(state, ui, ApplicationChoice::None, &port), Profile::DeviceNet);
    EXPECT_TRUE(ui.messages.empty());

    // Left over from a CANopen configuration.
    state.NodeId = 100;
    state.ApplicationLayer = 0;
    state.StoredImageValid = 1;
    EXPECT_EQ(BuildEdsFile(state, ui, ApplicationChoice::DeviceNet, &port), Profile::None);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "NodeID Error");
    EXPECT_EQ(ui.status, "NodeID or Application error");
    EXPECT_EQ(state.StoredImageValid, 1) << "only the CANopen branch drops the stored image";
    EXPECT_EQ(state.ApplicationLayer, 0);
}

}  // namespace
}  // namespace k400::test
