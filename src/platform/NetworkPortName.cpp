#include "platform/NetworkPortName.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "platform/Messages.h"

namespace k400 {

namespace {

constexpr std::string_view RawScheme = "tcp://";
constexpr std::string_view Rfc2217Scheme = "rfc2217://";
constexpr std::string_view DefaultListenHost = "127.0.0.1";

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

std::optional<std::uint16_t> ParsePort(std::string_view text, unsigned minimum)
{
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < minimum || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

// A host name or an IPv4 address: letters, digits, '-', '.', '_' (some
// plant networks have it in names). Anything else (blanks, '/', '@', ...)
// means the text is no host.
bool PlainHost(std::string_view host)
{
    return std::all_of(host.begin(), host.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
    });
}

bool Ipv6Text(std::string_view host)
{
    return host.find(':') != std::string_view::npos && std::all_of(host.begin(), host.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
           });
}

// "HOST:PORT" or "[V6]:PORT": the host, and the port text for the caller to check.
std::optional<std::string_view> SplitHost(std::string_view text, std::string& host, std::string_view& reason)
{
    std::string_view rest;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || !Ipv6Text(text.substr(1, close - 1))) {
            reason = msg::BadBrackets;
            return std::nullopt;
        }
        host = std::string(text.substr(1, close - 1));
        rest = text.substr(close + 1);
        if (rest.empty()) {
            reason = msg::PortMissing;
            return std::nullopt;
        }
        if (rest.front() != ':') {
            reason = msg::BadBrackets;
            return std::nullopt;
        }
        return rest.substr(1);
    }
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        reason = msg::PortMissing;
        return std::nullopt;
    }
    host = std::string(text.substr(0, colon));
    if (host.empty())
        reason = msg::HostMissing;
    else if (host.find(':') != std::string::npos)
        reason = msg::UnbracketedIpv6;
    else if (!PlainHost(host))
        reason = msg::BadHost;
    else
        return text.substr(colon + 1);
    return std::nullopt;
}

std::string Error(std::string_view name, std::string_view reason)
{
    return std::string(name) + ": " + std::string(reason);
}

}  // namespace

bool IsNetworkPortName(std::string_view name)
{
    return StartsWithNoCase(name, RawScheme) || StartsWithNoCase(name, Rfc2217Scheme);
}

std::optional<NetworkPortAddress> ParseNetworkPortName(std::string_view name, std::string& error)
{
    NetworkPortAddress address;
    std::string_view rest;
    if (StartsWithNoCase(name, RawScheme)) {
        rest = name.substr(RawScheme.size());
    } else if (StartsWithNoCase(name, Rfc2217Scheme)) {
        address.protocol = NetworkProtocol::Rfc2217;
        rest = name.substr(Rfc2217Scheme.size());
    } else {
        error = Error(name, msg::NotANetworkPort);
        return std::nullopt;
    }
    std::string_view reason;
    const auto portText = SplitHost(rest, address.endpoint.host, reason);
    if (!portText) {
        error = Error(name, reason);
        return std::nullopt;
    }
    const auto port = ParsePort(*portText, 1);
    if (!port) {
        error = Error(name, portText->empty() ? msg::PortMissing : msg::PortOutOfRange);
        return std::nullopt;
    }
    address.endpoint.port = *port;
    return address;
}

std::optional<HostAndPort> ParseListenAddress(std::string_view text, std::string& error)
{
    HostAndPort address;
    std::string_view portText = text;
    if (text.find(':') == std::string_view::npos) {
        address.host = DefaultListenHost;
    } else if (text.front() == ':') {
        address.host = DefaultListenHost;
        portText = text.substr(1);
    } else {
        std::string_view reason;
        const auto split = SplitHost(text, address.host, reason);
        if (!split) {
            error = Error(text, reason);
            return std::nullopt;
        }
        portText = *split;
    }
    const auto port = ParsePort(portText, 0);
    if (!port) {
        error = Error(text, portText.empty() ? msg::PortMissing : msg::ListenPortOutOfRange);
        return std::nullopt;
    }
    address.port = *port;
    return address;
}

std::string JoinHostAndPort(std::string_view host, std::uint16_t port)
{
    const bool v6 = host.find(':') != std::string_view::npos;
    return (v6 ? "[" : "") + std::string(host) + (v6 ? "]:" : ":") + std::to_string(port);
}

std::string MakeNetworkPortName(NetworkProtocol protocol, std::string_view host, std::uint16_t port)
{
    return std::string(protocol == NetworkProtocol::Rfc2217 ? Rfc2217Scheme : RawScheme) + JoinHostAndPort(host, port);
}

}  // namespace k400
