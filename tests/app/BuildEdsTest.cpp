// "Build EDS File": which profile opens, what happens to a stored image of the
// other application, and the node IDs each application refuses.

#include <gtest/gtest.h>

#include "app/BuildEds.h"
#include "gateway/ProgramState.h"
#include "sim/SimulatedPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

TEST(BuildEds, ProfileAndStoredImagePerChoice)
{
    using Choice = ApplicationChoice;
    const char* refused = "NodeID or Application error";
    const struct {
        const char* what;
        bool connected;
        std::uint8_t layer, node;
        Choice choice;
        Profile profile;
        int layerAfter, validAfter;  // StoredImageValid was 1
        const char* status;          // "" when untouched
    } cases[] = {
        {"not connected", false, 1, 200, Choice::Canopen, Profile::None, 1, 1, "Connect to K-400 first"},
        {"CANopen drops a DeviceNet image", true, 1, 127, Choice::Canopen, Profile::Canopen, 0, 0, ""},
        {"CANopen keeps a CANopen image", true, 0, 127, Choice::Canopen, Profile::Canopen, 0, 1, ""},
        {"CANopen node 128, after the change", true, 1, 128, Choice::Canopen, Profile::None, 0, 0, refused},
        {"no choice is DeviceNet, node 63", true, 1, 63, Choice::None, Profile::DeviceNet, 1, 1, ""},
        {"DeviceNet node 100 left by CANopen", true, 0, 100, Choice::DeviceNet, Profile::None, 0, 1, refused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramState state;
        RecordingUserInterface ui;
        FakeClock clock;
        SimulatedPort port(BuiltInScenario(), clock);
        ASSERT_TRUE(port.open().ok());
        state.Connected = c.connected;
        state.GatewayBusy = true;
        state.ApplicationLayer = c.layer;
        state.NodeId = c.node;
        state.StoredImageValid = 1;
        EXPECT_EQ(BuildEdsFile(state, ui, c.choice, &port), c.profile);
        EXPECT_EQ(state.ApplicationLayer, c.layerAfter);
        EXPECT_EQ(state.StoredImageValid, c.validAfter);
        EXPECT_EQ(ui.status, c.status);
        const bool refusedNode = c.connected && c.profile == Profile::None;
        ASSERT_EQ(ui.messages.size(), refusedNode ? 1u : 0u);
        if (!refusedNode)
            continue;
        EXPECT_EQ(ui.messages[0].text + "|" + ui.messages[0].title, "NodeID Error|Error");
        EXPECT_FALSE(port.isOpen() || state.GatewayBusy);
        EXPECT_TRUE(state.Connected);  // the earlier connect still counts
        EXPECT_EQ(ui.phases, std::vector<ConnectPhase>{ConnectPhase::Released});
    }
}

}  // namespace
}  // namespace k400::test
