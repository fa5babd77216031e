// The network port against the simulator's TCP server, raw and RFC 2217:
// console dialogues, a 0xFF byte both ways, refused and occupied servers, a
// server without RFC 2217 and a connection dropped mid-dialogue. (`k400gw
// sim --listen` itself is run by the end-to-end tests.)

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "gateway/ProgramState.h"
#include "platform/net/NetworkSerialPort.h"
#include "sim/TcpSimulator.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

using Kind = PortOpenError::Kind;
using Ms = std::chrono::milliseconds;

// A TCP simulator served from a thread for the duration of a test.
struct Served {
    explicit Served(bool rfc2217, Scenario scenario = BuiltInScenario())
        : sim(std::move(scenario), {"", "127.0.0.1:0", rfc2217, ""})
    {
        std::string error;
        if (sim.open(error))
            thread = std::thread([this] { rc = sim.serve(log); });
        else
            ADD_FAILURE() << error;
    }
    ~Served() { stop(); }
    int stop()
    {
        sim.requestStop();
        if (thread.joinable())
            thread.join();
        return rc;
    }

    TcpSimulator sim;
    std::ostringstream log;
    std::thread thread;
    int rc = -1;
};

struct Client {
    explicit Client(const std::string& name, LinkTiming timing = {.PaceMs = 1}) : link(port, clock, ui, timing)
    {
        port.setPortName(name);
    }
    NetworkSerialPort port;
    SystemClock clock;
    RecordingUserInterface ui;
    ConsoleLink link;
};

Ms Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start);
}

TEST(NetworkSerialPort, ConsoleDialogueWithA0xFFByteBothWays)
{
    for (const bool rfc2217 : {false, true}) {
        Served server(rfc2217);
        Client client(server.sim.portName());
        ASSERT_TRUE(OpenGatewayPort(client.port, client.ui, PortCaller::Connect)) << server.sim.portName();
        ProgramState state;
        EXPECT_EQ(RecogniseController(state, client.link), ControllerRecognition::Recognised);
        // The console repeats an unknown command, so the byte comes back.
        ASSERT_TRUE(client.link.SendAndExpect("a\xFF", "K400E>")) << server.sim.portName();
        EXPECT_EQ(client.link.ReplyText, "Unknown command: a\xFF\r\n");
        client.port.close();
        EXPECT_EQ(server.stop(), 0);
        EXPECT_EQ(server.sim.console().receivedLines().back(), "a\xFF") << server.sim.portName();
    }
}

TEST(NetworkSerialPort, SecondClientFindsTheServerOccupiedUntilTheFirstLeaves)
{
    for (const bool rfc2217 : {false, true}) {
        Served server(rfc2217);
        Client first(server.sim.portName()), second(server.sim.portName());
        ASSERT_TRUE(first.port.open().ok());
        second.port.setTimings({2000, 1000, 3000});  // a grace a loaded machine cannot outlast
        const PortOpenError busy = second.port.open();
        EXPECT_EQ(busy.kind, Kind::Occupied) << busy.description;
        EXPECT_EQ(busy.description, server.sim.portName() + ": the device server refused a second connection");
        EXPECT_FALSE(second.port.isOpen());
        first.port.close();
        EXPECT_TRUE(second.port.open().ok()) << "served once the first client left";
        EXPECT_TRUE(second.link.SendAndExpect("exit", "K400E>"));
    }
}

TEST(NetworkSerialPort, OpenFailuresAreDescribed)
{
    // A port nobody listens on: bound for a moment to learn a free number.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    const std::string closed = "tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port));

    Served raw(false);
    const std::string noRfc2217 = "rfc2217" + raw.sim.portName().substr(3);
    const struct {
        std::string name, description;
    } cases[] = {
        {closed, "Can't open " + closed + "! (Connection refused)"},
        {noRfc2217, noRfc2217 + ": the device server does not answer the COM-PORT-OPTION (RFC 2217)"},
        {"tcp://127.0.0.1", "tcp://127.0.0.1: the port number is missing (HOST:PORT)"},
    };
    for (const auto& c : cases) {
        Client client(c.name);
        client.port.setTimings({2000, 200, 300});
        const PortOpenError error = client.port.open();
        EXPECT_EQ(error.kind, Kind::Other) << c.name;
        EXPECT_EQ(error.description, c.description);
        EXPECT_FALSE(client.port.isOpen());
    }
    std::string error;
    EXPECT_EQ(MakeNetworkSerialPort("tcp://[::1]", error), nullptr);
    EXPECT_EQ(error, "tcp://[::1]: the port number is missing (HOST:PORT)");
}

TEST(NetworkSerialPort, DroppedConnectionEndsTheStepAtOnce)
{
    Scenario vanishing = BuiltInScenario();
    vanishing.faults.push_back(FaultRule::VanishAt(CommandMatch::Line("use com2")));
    for (const bool rfc2217 : {false, true}) {
        Served server(rfc2217, vanishing);
        Client client(server.sim.portName(), {.ConsoleTimeoutMs = 5000});
        ASSERT_TRUE(client.port.open().ok());
        ASSERT_TRUE(client.link.SendAndExpect("exit", "K400E>"));
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(client.link.SendAndExpect("use com2", "[COM2:]"));
        EXPECT_LT(Since(start), Ms(2000)) << "not the 5 s time-out";
        EXPECT_FALSE(client.port.isOpen());
        start = std::chrono::steady_clock::now();
        EXPECT_FALSE(client.port.waitForInput(3000));
        EXPECT_LT(Since(start), Ms(500));
        EXPECT_EQ(server.stop(), 0);
    }
}

}  // namespace
}  // namespace k400::test
