// Network port names and the simulator's listen addresses.

#include <gtest/gtest.h>

#include "platform/NetworkPortName.h"

namespace k400::test {
namespace {

TEST(NetworkPortName, ParsesWellFormedNamesAndExplainsTheRest)
{
    const struct {
        const char* name;
        NetworkProtocol protocol;
        const char* host;
        int port;  // 0: refused, error is the reason after "<name>: "
        const char* error;
    } cases[] = {
        {"tcp://10.0.0.7:4001", NetworkProtocol::Raw, "10.0.0.7", 4001, ""},
        {"RFC2217://gw-line_4.plant:65535", NetworkProtocol::Rfc2217, "gw-line_4.plant", 65535, ""},
        {"rfc2217://[fe80::1:2]:1", NetworkProtocol::Rfc2217, "fe80::1:2", 1, ""},
        {"tcp://host:0", {}, "", 0, "the port must be a number from 1 to 65535"},
        {"tcp://host:65536", {}, "", 0, "the port must be a number from 1 to 65535"},
        {"tcp://host:40a1", {}, "", 0, "the port must be a number from 1 to 65535"},
        {"tcp://host:4001/", {}, "", 0, "the port must be a number from 1 to 65535"},
        {"tcp://host", {}, "", 0, "the port number is missing (HOST:PORT)"},
        {"tcp://host:", {}, "", 0, "the port number is missing (HOST:PORT)"},
        {"tcp://:4001", {}, "", 0, "the host is missing"},
        {"tcp://::1:4001", {}, "", 0, "an IPv6 address goes in brackets, as in [::1]:4001"},
        {"tcp://[::1]4001", {}, "", 0, "brackets hold an IPv6 address and are followed by :PORT"},
        {"tcp://[gw]:4001", {}, "", 0, "brackets hold an IPv6 address and are followed by :PORT"},
        {"tcp://user@host:4001", {}, "", 0, "the host has a character no host name or address has"},
        {"udp://host:4001", {}, "", 0, "not a network port (tcp://HOST:PORT or rfc2217://HOST:PORT)"},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto parsed = ParseNetworkPortName(c.name, error);
        if (c.port == 0) {
            EXPECT_FALSE(parsed) << c.name;
            EXPECT_EQ(error, std::string(c.name) + ": " + c.error);
            continue;
        }
        ASSERT_TRUE(parsed) << c.name << ": " << error;
        EXPECT_EQ(parsed->protocol, c.protocol) << c.name;
        EXPECT_EQ(parsed->endpoint.host, c.host) << c.name;
        EXPECT_EQ(parsed->endpoint.port, c.port) << c.name;
        EXPECT_EQ(MakeNetworkPortName(c.protocol, c.host, static_cast<std::uint16_t>(c.port)).size(),
                  std::string(c.name).size())
            << "written back the same way";
    }
    EXPECT_TRUE(IsNetworkPortName("TCP://x")) << "a bad network name still gets the network port's error";
    EXPECT_FALSE(IsNetworkPortName("/dev/ttyUSB0"));
    EXPECT_FALSE(IsNetworkPortName("COM3"));
}

TEST(NetworkPortName, ListenAddressDefaultsToTheLoopbackHost)
{
    const struct {
        const char* text;
        const char* host;  // nullptr: refused
        int port;
    } cases[] = {{"4001", "127.0.0.1", 4001},
                 {":0", "127.0.0.1", 0},
                 {"0.0.0.0:4001", "0.0.0.0", 4001},
                 {"[::1]:0", "::1", 0},
                 {"65536", nullptr, 0},
                 {"host:", nullptr, 0},
                 {"", nullptr, 0},
                 {"::1:4001", nullptr, 0}};
    for (const auto& c : cases) {
        std::string error;
        const auto parsed = ParseListenAddress(c.text, error);
        ASSERT_EQ(parsed.has_value(), c.host != nullptr) << c.text << ": " << error;
        EXPECT_TRUE(!parsed || (parsed->host == c.host && parsed->port == c.port)) << c.text;
    }
}

}  // namespace
}  // namespace k400::test
