// The Telnet codec on its own: data through escaping and negotiation, and the
// COM-PORT-OPTION between a client and a server, or a client and a scripted
// device server.

#include <gtest/gtest.h>

#include "platform/TelnetComPort.h"
#include "platform/net/NetworkSerialPort.h"

namespace k400::test {
namespace {

using namespace telnet;

std::string B(std::initializer_list<int> bytes)
{
    std::string s;
    for (const int b : bytes)
        s += static_cast<char>(b);
    return s;
}

// A device server's answer: IAC SB COM-PORT-OPTION code value IAC SE.
std::string Answer(int code, const std::string& value)
{
    return B({Iac, Sb, ComPortOption, code}) + TelnetEscape(value) + B({Iac, Se});
}

TEST(TelnetComPort, StripsAndAnswersProtocolBetweenData)
{
    struct Case {
        const char* what;
        std::string wire, data, answer;
    } cases[] = {
        {"IAC IAC is one data byte", "a" + B({Iac, Iac}) + "b",
         "a\xFF"
         "b",
         ""},
        {"unwanted options refused", "x" + B({Iac, Will, 24}) + "y" + B({Iac, Do, 31}), "xy",
         B({Iac, Dont, 24, Iac, Wont, 31})},
        {"a wanted option agreed once, its repetition not answered", B({Iac, Will, Binary, Iac, Will, Binary}), "",
         B({Iac, Do, Binary})},
        {"an option switched off is acknowledged", B({Iac, Do, SuppressGoAhead, Iac, Dont, SuppressGoAhead}), "",
         B({Iac, Will, SuppressGoAhead, Iac, Wont, SuppressGoAhead})},
        {"another option's subnegotiation, IAC inside", B({Iac, Sb, 24, 1, Iac, Iac, 2, Iac, Se}) + "z", "z", ""},
        {"one-byte commands", B({Iac, 241}) + "q" + B({Iac, 249}), "q", ""},
        {"a subnegotiation cut short by a command", B({Iac, Sb, 24, 1, Iac, Will, 24}) + "k", "k", B({Iac, Dont, 24})},
    };
    for (const Case& c : cases) {
        TelnetComPort whole(TelnetComPort::Role::Client), split(TelnetComPort::Role::Client);
        EXPECT_EQ(whole.receive(c.wire), c.data) << c.what;
        EXPECT_EQ(whole.takeOutgoing(), c.answer) << c.what;
        std::string data;
        for (const char b : c.wire)
            data += split.receive(std::string(1, b));
        EXPECT_EQ(data, c.data) << c.what << " (byte by byte)";
        EXPECT_EQ(split.takeOutgoing(), c.answer) << c.what << " (byte by byte)";
    }
}

TEST(TelnetComPort, ClientSetsTheLineAndTheServerConfirmsIt)
{
    const ComPortSettings wanted{9600, 7, 3, 2, 1};
    TelnetComPort client(TelnetComPort::Role::Client), server(TelnetComPort::Role::Server);
    client.start(wanted);
    std::string toServer = client.takeOutgoing();
    EXPECT_EQ(toServer.find(B({Iac, Sb})), std::string::npos) << "no settings before the server agrees";
    int rounds = 0;
    for (; !toServer.empty() && rounds < 10; ++rounds) {
        EXPECT_EQ(server.receive(toServer), "");
        EXPECT_EQ(client.receive(server.takeOutgoing()), "");
        toServer = client.takeOutgoing();
    }
    EXPECT_LT(rounds, 10) << "the negotiation comes to rest";
    EXPECT_EQ(server.line(), wanted);
    EXPECT_EQ(client.comPortState(), TelnetComPort::ComPortState::Confirmed);
    EXPECT_EQ(ComPortProblem(client), "");
}

TEST(TelnetComPort, ClientNamesWhatTheDeviceServerLeftUndone)
{
    const std::string agreed = B({Iac, Do, ComPortOption});
    const std::string b115200 = Answer(101, B({0, 1, 0xC2, 0}));
    const struct {
        std::string serverSays;
        TelnetComPort::ComPortState state;
        std::string problem;
    } cases[] = {
        {"", TelnetComPort::ComPortState::Pending, "the device server does not answer the COM-PORT-OPTION (RFC 2217)"},
        {B({Iac, Dont, ComPortOption}), TelnetComPort::ComPortState::Refused,
         "the device server refuses the COM-PORT-OPTION (RFC 2217)"},
        {agreed + b115200 + Answer(102, B({8})), TelnetComPort::ComPortState::Pending,
         "the device server does not confirm the line settings (RFC 2217): parity none, stop bits 1, "
         "flow control none"},
        {agreed + Answer(101, B({0, 0, 0x25, 0x80})) + Answer(102, B({8})) + Answer(103, B({3})) + Answer(104, B({3})) +
             Answer(105, B({2})),
         TelnetComPort::ComPortState::Differs,
         "the device server sets the line differently (RFC 2217): baud rate 9600 instead of 115200, parity even "
         "instead of none, stop bits 1.5 instead of 1, flow control XON/XOFF instead of none"},
    };
    for (const auto& c : cases) {
        TelnetComPort client(TelnetComPort::Role::Client);
        client.start(GatewayLine);
        client.takeOutgoing();
        client.receive(c.serverSays);
        EXPECT_EQ(client.comPortState(), c.state) << c.problem;
        EXPECT_EQ(ComPortProblem(client), c.problem);
    }
}

}  // namespace
}  // namespace k400::test
