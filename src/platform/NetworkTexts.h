#pragma once
// Every text a user may see from the network ports and the simulator's TCP
// server, in one place so that they can join the message table as a whole.
// Texts that follow a name are joined as "<name>: <text>".

#include <string_view>

namespace k400::nettext {

// Port names and listen addresses.
inline constexpr std::string_view NotANetworkPort = "not a network port (tcp://HOST:PORT or rfc2217://HOST:PORT)";
inline constexpr std::string_view HostMissing = "the host is missing";
inline constexpr std::string_view BadHost = "the host has a character no host name or address has";
inline constexpr std::string_view UnbracketedIpv6 = "an IPv6 address goes in brackets, as in [::1]:4001";
inline constexpr std::string_view BadBrackets = "brackets hold an IPv6 address and are followed by :PORT";
inline constexpr std::string_view PortMissing = "the port number is missing (HOST:PORT)";
inline constexpr std::string_view PortOutOfRange = "the port must be a number from 1 to 65535";
inline constexpr std::string_view ListenPortOutOfRange = "the port must be a number from 0 to 65535";

// Opening: "Can't open <name>! (<reason>)".
inline constexpr std::string_view CantOpenBefore = "Can't open ";
inline constexpr std::string_view CantOpenAfter = "! (";
inline constexpr std::string_view CantOpenEnd = ")";
inline constexpr std::string_view SecondConnectionRefused = "the device server refused a second connection";
inline constexpr std::string_view ClosedWhileOpening = "the device server closed the connection";
inline constexpr std::string_view ComPortNoAnswer = "the device server does not answer the COM-PORT-OPTION (RFC 2217)";
inline constexpr std::string_view ComPortRefused = "the device server refuses the COM-PORT-OPTION (RFC 2217)";
inline constexpr std::string_view LineNotConfirmed = "the device server does not confirm the line settings (RFC 2217):";
inline constexpr std::string_view LineDiffers = "the device server sets the line differently (RFC 2217):";
// The settings in those two texts: "<setting> <value>", "... instead of <value>".
inline constexpr std::string_view BaudRate = "baud rate";
inline constexpr std::string_view DataBits = "data bits";
inline constexpr std::string_view Parity = "parity";
inline constexpr std::string_view StopBits = "stop bits";
inline constexpr std::string_view FlowControl = "flow control";
inline constexpr std::string_view InsteadOf = "instead of";
// Values by their RFC 2217 code (index); a code outside is shown as its number.
inline constexpr std::string_view ParityNames[] = {"", "none", "odd", "even", "mark", "space"};
inline constexpr std::string_view StopBitNames[] = {"", "1", "2", "1.5"};
inline constexpr std::string_view FlowControlNames[] = {"", "none", "XON/XOFF", "hardware"};

// The simulator's TCP server (standard error, one line each).
// "Simulated <controller> gateway on <port name>; stop with Ctrl+C"
inline constexpr std::string_view SimServingBefore = "Simulated ";
inline constexpr std::string_view SimServingOn = " gateway on ";
inline constexpr std::string_view SimServingAfter = "; stop with Ctrl+C";
inline constexpr std::string_view SimSecondClientRefused = "refused a second connection while a client is served";
inline constexpr std::string_view SimClientLeft = "the client closed the connection";
inline constexpr std::string_view SimCannotListen = "cannot listen on";
inline constexpr std::string_view SimNoStopPipe = "cannot create the stop pipe";
inline constexpr std::string_view SimVanished = "the device vanished (scenario fault)";
inline constexpr std::string_view SimNotListening = "the simulator is not listening";
inline constexpr std::string_view SimAcceptFailed = "accept failed: ";
inline constexpr std::string_view SimRfc2217WithoutListen = "--rfc2217 needs --listen";
inline constexpr std::string_view SimLinkWithListen = "--link names a pseudo-terminal; it does not go with --listen";
inline constexpr const char* SimConnection = "the connection";  // in "read from ... failed"

}  // namespace k400::nettext
