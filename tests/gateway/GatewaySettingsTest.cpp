// The checks of what a user decides for the CAN side, the COM2 side and the
// scan: ranges, the message a wrong value gets, and what is stored. Numbers
// are judged as entered (a window may pass 126.6) but stored whole.

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "gateway/GatewaySettings.h"
#include "gateway/ProgramState.h"
#include "platform/Messages.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

enum class Side { Can, Com2, Scan };

// What one side stores: application / CAN baud / node, or baud / checksum / time-out.
std::array<int, 3> Stored(const ProgramState& s, Side side)
{
    if (side == Side::Can)
        return {s.ApplicationLayer, s.CanBaudIndex, s.NodeId};
    if (side == Side::Com2)
        return {s.Com2BaudIndex, s.Com2Checksum, s.Com2Timeout};
    return {s.ScanBaudIndex, s.ScanChecksumIndex, s.ScanTimeoutMs};
}

TEST(GatewaySettings, RangesMessagesAndWhatIsStored)
{
    const double NaN = std::nan("");
    const std::string canopen = msg::CanopenNodeIdOutOfRange, deviceNet = msg::DeviceNetNodeIdOutOfRange,
                      timeout = msg::TimeoutOutOfRange;
    const struct {
        bool can;  // CAN side (application, CAN baud, node ID), else COM2 and scan (baud, checksum, time-out)
        std::uint8_t first, second;
        double number;
        std::string message;                    // empty: accepted
        std::array<int, 3> stored = {0, 0, 0};  // when accepted
    } cases[] = {
        {true, 0, 0, 1, "", {0, 0, 1}},
        {true, 0, 7, 127, "", {0, 7, 127}},
        {true, 0, 3, 126.6, "", {0, 3, 127}},
        {true, 0, 3, 1.4, "", {0, 3, 1}},
        {true, 0, 3, 0, canopen},
        {true, 0, 3, 128, canopen},
        {true, 0, 3, 127.6, canopen},
        {true, 0, 3, 0.6, canopen},
        {true, 0, 3, NaN, canopen},
        {true, 1, 2, 63, "", {1, 2, 63}},
        {true, 1, 2, 62.6, "", {1, 2, 63}},
        {true, 1, 2, 64, deviceNet},
        {true, 1, 2, 63.4, deviceNet},
        {true, 2, 0, 10, "", {1, 0, 10}},  // not CANopen: DeviceNet
        {true, 0, 8, 5, msg::CanBaudIndexNotInList(8, msg::CanopenName)},
        {true, 1, 3, 5, msg::CanBaudIndexNotInList(3, msg::DeviceNetName)},
        {false, 7, 1, 32767, "", {7, 1, 32767}},
        {false, 0, 0, 1, "", {0, 0, 1}},
        {false, 3, 2, 1.4, "", {3, 1, 1}},
        {false, 3, 0, 1.5, "", {3, 0, 2}},
        {false, 3, 0, 0, timeout},
        {false, 3, 0, 32768, timeout},
        {false, 3, 0, 32767.4, timeout},
        {false, 3, 0, 0.5, timeout},
        {false, 3, 0, NaN, timeout},
        {false, 8, 0, 100, msg::BaudIndexNotInList(8)},
        {false, 8, 0, 0, timeout},
    };
    for (const auto& c : cases) {
        for (Side side : c.can ? std::vector<Side>{Side::Can} : std::vector<Side>{Side::Com2, Side::Scan}) {
            const std::string what = std::to_string(int(side)) + ": " + std::to_string(c.first) + " " +
                                     std::to_string(c.second) + " " + std::to_string(c.number);
            ProgramState state;
            state.NodeId = 9;
            state.Com2Timeout = 200;
            const auto before = Stored(state, side);
            RecordingUserInterface ui;
            const bool ok = side == Side::Can    ? ApplyCanSettings(state, {c.first, c.number, c.second}, ui)
                            : side == Side::Com2 ? ApplyCom2Settings(state, {c.first, c.second != 0, c.number}, ui)
                                                 : ApplyScanParameters(state, {c.first, c.second, c.number}, ui);
            EXPECT_EQ(ok, c.message.empty()) << what;
            EXPECT_EQ(Stored(state, side), ok ? c.stored : before) << what;
            EXPECT_EQ(state.ScanParametersDone, ok && side == Side::Scan) << what;
            if (ok) {
                EXPECT_TRUE(ui.messages.empty()) << what;
                EXPECT_EQ(ui.status, side == Side::Scan ? "" : msg::StatusSettingOk) << what;
                continue;
            }
            ASSERT_EQ(ui.messages.size(), 1u) << what;
            EXPECT_EQ(ui.messages[0].text + "|" + ui.messages[0].title, c.message + "|" + msg::ErrorTitle) << what;
            EXPECT_TRUE(ui.statusHistory.empty()) << what;
        }
    }
}

}  // namespace
}  // namespace k400::test
