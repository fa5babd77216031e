#pragma once
// Names of serial lines that a serial device server offers as TCP ports:
// "tcp://HOST:PORT" (raw: bytes in, bytes out) and "rfc2217://HOST:PORT"
// (Telnet with the COM-PORT-OPTION, so that the client sets the line).
// HOST is a name or an address; an IPv6 address goes in brackets
// ("tcp://[::1]:4001"). Only the form is checked here; whether the host
// exists is found out when connecting.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k400 {

enum class NetworkProtocol { Raw, Rfc2217 };

struct HostAndPort {
    std::string host;  // without brackets
    std::uint16_t port = 0;
};

struct NetworkPortAddress {
    NetworkProtocol protocol = NetworkProtocol::Raw;
    HostAndPort endpoint;
};

// True for a name with one of the two schemes (any letter case), well formed
// or not, so that a mistyped network name gets the network port's own error
// instead of being taken for a device path.
bool IsNetworkPortName(std::string_view name);

// The protocol, host and port (1..65535); on failure nothing, and error is
// "<name>: <what is wrong>".
std::optional<NetworkPortAddress> ParseNetworkPortName(std::string_view name, std::string& error);

// A listen address: "HOST:PORT", ":PORT" or "PORT", HOST defaulting to
// 127.0.0.1; port 0 asks the system for a free one. Errors as above.
std::optional<HostAndPort> ParseListenAddress(std::string_view text, std::string& error);

// "host:port", "[v6]:port"; and the port name "tcp://..." / "rfc2217://...".
std::string JoinHostAndPort(std::string_view host, std::uint16_t port);
std::string MakeNetworkPortName(NetworkProtocol protocol, std::string_view host, std::uint16_t port);

}  // namespace k400
