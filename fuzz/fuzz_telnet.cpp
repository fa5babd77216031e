// The Telnet codec with the COM-PORT-OPTION on any bytes, in both roles and
// cut anywhere: the data never depends on where the bytes were cut, escaped
// data always comes back whole, and the port-name parsers take any text.

#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/NetworkPortName.h"
#include "platform/TelnetComPort.h"

using namespace k400;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    for (const auto role : {TelnetComPort::Role::Client, TelnetComPort::Role::Server}) {
        TelnetComPort whole(role), split(role);
        if (role == TelnetComPort::Role::Client) {
            whole.start(GatewayLine);
            split.start(GatewayLine);
        }
        const std::string once = whole.receive(bytes);
        const std::string twice = split.receive(bytes.substr(0, cut)) + split.receive(bytes.substr(cut));
        fuzz::Require(once == twice);
        fuzz::Require(once.size() <= size);
        fuzz::Require(whole.takeOutgoing() == split.takeOutgoing());
        fuzz::Require(whole.comPortState() == split.comPortState());
    }
    TelnetComPort fresh(TelnetComPort::Role::Server);
    fuzz::Require(fresh.receive(TelnetEscape(bytes)) == bytes);

    std::string error;
    if (const auto parsed = ParseNetworkPortName(bytes, error))
        fuzz::Require(parsed->endpoint.port != 0 && !parsed->endpoint.host.empty() && IsNetworkPortName(bytes));
    else
        fuzz::Require(!error.empty());
    ParseListenAddress(bytes, error);
    return 0;
}
