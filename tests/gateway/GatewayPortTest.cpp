// Opening the gateway port: the messages per caller, and port names.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "gateway/GatewayPort.h"
#include "platform/qt/QtSerialPort.h"
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

// ---- the real serial port, on a pseudo-terminal ------------------------------

class QtSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        int slave = -1;
        char name[256] = {};
        ASSERT_EQ(::openpty(&master_, &slave, name, nullptr, nullptr), 0);
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        ::close(slave);  // the port under test opens it by name
        device_ = name;
        port_.setPortName(device_);
    }
    void TearDown() override
    {
        port_.close();
        if (master_ >= 0)
            ::close(master_);
    }

    void fromGateway(std::string_view text)
    {
        ASSERT_EQ(::write(master_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    std::string toGateway()
    {
        std::string data;
        char buffer[256];
        for (;;) {
            pollfd fd{master_, POLLIN, 0};
            if (::poll(&fd, 1, 200) <= 0)
                return data;
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                return data;
            data.append(buffer, static_cast<std::size_t>(n));
        }
    }

    int master_ = -1;
    std::string device_;
    QtSerialPort port_;
};

TEST_F(QtSerialPortTest, ExchangesBytesWithoutAnEventLoop)
{
    ASSERT_TRUE(port_.open().ok());
    ASSERT_TRUE(port_.isOpen());
    EXPECT_EQ(port_.inputCount(), 0u);

    port_.write("e");
    port_.write("xit\r");
    EXPECT_EQ(port_.outputCount(), 0u);
    EXPECT_EQ(toGateway(), "exit\r");

    fromGateway("K400E>");
    EXPECT_TRUE(port_.waitForInput(1000));
    // Bytes that arrive while nobody waits are still counted.
    fromGateway(" more");
    ::usleep(50 * 1000);
    EXPECT_GE(port_.inputCount(), 6u);
    std::string all = port_.readAll();
    while (all.size() < 11 && port_.waitForInput(500))
        all += port_.readAll();
    EXPECT_EQ(all, "K400E> more");
    EXPECT_EQ(port_.inputCount(), 0u);

    fromGateway("stale");
    ::usleep(50 * 1000);
    port_.clearInput();
    EXPECT_EQ(port_.inputCount(), 0u);
}

TEST_F(QtSerialPortTest, WaitForInputBlocksForItsTimeout)
{
    ASSERT_TRUE(port_.open().ok());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port_.waitForInput(150));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(140));
}

TEST_F(QtSerialPortTest, DeviceLockedByAnotherHolderIsOccupied)
{
    const int holder = ::open(device_.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

    const PortOpenError error = port_.open();
    EXPECT_EQ(error.kind, PortOpenError::Kind::Occupied) << error.description;
    EXPECT_FALSE(port_.isOpen());

    FakeClock clock;
    RecordingUserInterface ui;
    EXPECT_FALSE(OpenGatewayPort(port_, ui, PortCaller::Connect));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, device_ + " has been occupied");

    ::close(holder);
    EXPECT_TRUE(port_.open().ok());
}

TEST_F(QtSerialPortTest, SecondPortOnTheSameDeviceIsOccupiedUntilTheFirstCloses)
{
    ASSERT_TRUE(port_.open().ok());
    QtSerialPort second;
    second.setPortName(device_);
    const PortOpenError error = second.open();
    EXPECT_EQ(error.kind, PortOpenError::Kind::Occupied) << error.description;
    port_.close();
    EXPECT_TRUE(second.open().ok());
}

TEST_F(QtSerialPortTest, MissingDeviceIsAnOtherErrorNamingIt)
{
    port_.setPortName("/dev/k400-no-such-device");
    const PortOpenError error = port_.open();
    EXPECT_EQ(error.kind, PortOpenError::Kind::Other);
    EXPECT_NE(error.description.find("/dev/k400-no-such-device"), std::string::npos);
    EXPECT_FALSE(port_.isOpen());
}

}  // namespace
}  // namespace k400::test
