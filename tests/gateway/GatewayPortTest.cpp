// Opening the gateway port: the messages per caller, and port names.

#include <gtest/gtest.h>

#include "gateway/GatewayPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"
#include "support/ScriptedPort.h"

namespace k400::test {
namespace {

struct OpenCase {
    const char* portName;
    PortCaller caller;
    PortOpenError::Kind kind;
    bool leavesClosed;
    const char* message;
    const char* title;
    const char* status;  // nullptr: status untouched
};

class OpenGatewayPortTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenGatewayPortTest, FailureShowsMessageAndStatus)
{
    const OpenCase& c = GetParam();
    FakeClock clock;
    RecordingUserInterface ui;
    ScriptedPort port(clock, c.portName);
    port.openResult = {c.kind, "Device not ready"};
    port.openLeavesClosed = c.leavesClosed;

    EXPECT_FALSE(OpenGatewayPort(port, ui, c.caller));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, c.message);
    EXPECT_EQ(ui.messages[0].title, c.title);
    if (c.status == nullptr) {
        EXPECT_TRUE(ui.statusHistory.empty());
    } else {
        ASSERT_EQ(ui.statusHistory.size(), 1u);
        EXPECT_EQ(ui.status, c.status);
    }
}

using Kind = PortOpenError::Kind;
INSTANTIATE_TEST_SUITE_P(
    Messages, OpenGatewayPortTest,
    ::testing::Values(
        OpenCase{"COM1", PortCaller::Connect, Kind::None, true, "Can't open COM 1!", "Error", nullptr},
        OpenCase{"COM16", PortCaller::Finish, Kind::None, true, "Can't open COM 16!", "Warning", nullptr},
        OpenCase{"COM1", PortCaller::Connect, Kind::Occupied, false, "COM 1 has been occupied", "Error",
                 "COM 1 has been occupied"},
        OpenCase{"COM3", PortCaller::Finish, Kind::Occupied, false, "COM 3 has been occupied", "",
                 "COM 3 has been occupied"},
        OpenCase{"COM2", PortCaller::Connect, Kind::Other, false, "Device not ready", "Error", ""},
        OpenCase{"COM2", PortCaller::Finish, Kind::Other, false, "Device not ready", "", ""},
        OpenCase{"/dev/ttyUSB0", PortCaller::Connect, Kind::Occupied, false,
                 "/dev/ttyUSB0 has been occupied", "Error", "/dev/ttyUSB0 has been occupied"},
        OpenCase{"/dev/ttyUSB0", PortCaller::Finish, Kind::None, true, "Can't open /dev/ttyUSB0!", "Warning",
                 nullptr}));

TEST(OpenGatewayPort, OpensQuietlyAndDropsStaleInput)
{
    FakeClock clock;
    RecordingUserInterface ui;
    ScriptedPort port(clock);
    port.deliverNow("garbage");
    EXPECT_TRUE(OpenGatewayPort(port, ui, PortCaller::Connect));
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.inputCount(), 0u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.statusHistory.empty());
}

TEST(OpenGatewayPort, PortAlreadyHeldIsUsedWithoutReopening)
{
    FakeClock clock;
    RecordingUserInterface ui;
    ScriptedPort port(clock);
    port.open();
    port.deliverNow("K400E>");
    port.openResult = {PortOpenError::Kind::Occupied, ""};
    EXPECT_TRUE(OpenGatewayPort(port, ui, PortCaller::Finish));
    EXPECT_EQ(port.openCalls(), 1);
    EXPECT_EQ(port.inputCount(), 6u);  // nothing thrown away either
    EXPECT_TRUE(ui.messages.empty());
}

TEST(PortNames, ComPortsNumbersAndPaths)
{
    EXPECT_EQ(ComPortNumber("COM1"), 1);
    EXPECT_EQ(ComPortNumber("com16"), 16);
    EXPECT_EQ(ComPortNumber("COM0"), std::nullopt);
    EXPECT_EQ(ComPortNumber("COM17"), std::nullopt);
    EXPECT_EQ(ComPortNumber("COM01"), std::nullopt);
    EXPECT_EQ(ComPortNumber("COM"), std::nullopt);
    EXPECT_EQ(ComPortNumber("COM1x"), std::nullopt);

    EXPECT_EQ(NormalizePortName("com3"), "COM3");
    EXPECT_EQ(NormalizePortName("3"), "COM3");
    EXPECT_EQ(NormalizePortName("16"), "COM16");
    EXPECT_EQ(NormalizePortName("17"), "17");
    EXPECT_EQ(NormalizePortName("0"), "0");
    EXPECT_EQ(NormalizePortName("03"), "03");
    EXPECT_EQ(NormalizePortName("/dev/pts/4"), "/dev/pts/4");

    EXPECT_EQ(PortDisplayName("COM12"), "COM 12");
    EXPECT_EQ(PortDisplayName("/dev/pts/4"), "/dev/pts/4");

#ifndef _WIN32
    EXPECT_EQ(DevicePathForPortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(DevicePathForPortName("COM16"), "/dev/ttyS15");
#endif
    EXPECT_EQ(DevicePathForPortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace k400::test
