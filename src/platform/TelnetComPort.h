#pragma once
// One end of a Telnet connection that carries a serial line with the
// COM-PORT-OPTION (RFC 2217), as a pure state machine: bytes received go in,
// the data among them comes out, and whatever the protocol answers collects
// for the caller to send. No I/O, so the network port (client) and the
// simulator's TCP server (server) share it and tests drive it directly.
//
// Data: a 0xFF byte travels as IAC IAC both ways (TelnetEscape on sending,
// receive() on receiving). Option negotiation (WILL/WONT/DO/DONT) is answered
// so that it never loops: a request that changes nothing gets no answer, an
// option this end does not want is refused. Subnegotiations (SB ... SE) are
// stripped; those of the COM-PORT-OPTION are acted on.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace k400 {

namespace telnet {
inline constexpr unsigned char Iac = 255;
inline constexpr unsigned char Dont = 254;
inline constexpr unsigned char Do = 253;
inline constexpr unsigned char Wont = 252;
inline constexpr unsigned char Will = 251;
inline constexpr unsigned char Sb = 250;
inline constexpr unsigned char Se = 240;

inline constexpr unsigned char Binary = 0;
inline constexpr unsigned char SuppressGoAhead = 3;
inline constexpr unsigned char ComPortOption = 44;

// COM-PORT-OPTION commands from the client; the server answers with the
// same command + ServerOffset.
inline constexpr unsigned char SetBaudRate = 1;
inline constexpr unsigned char SetDataSize = 2;
inline constexpr unsigned char SetParity = 3;
inline constexpr unsigned char SetStopSize = 4;
inline constexpr unsigned char SetControl = 5;
inline constexpr unsigned char ServerOffset = 100;
}  // namespace telnet

// A serial line in the COM-PORT-OPTION's own codes.
struct ComPortSettings {
    std::uint32_t baudRate = 115200;
    std::uint8_t dataSize = 8;
    std::uint8_t parity = 1;    // 1 none, 2 odd, 3 even, 4 mark, 5 space
    std::uint8_t stopSize = 1;  // 1 one, 2 two, 3 one and a half
    std::uint8_t control = 1;   // 1 no flow control, 2 XON/XOFF, 3 hardware

    bool operator==(const ComPortSettings&) const = default;
};

// What the gateway's console needs: 115200 8N1, no flow control.
inline constexpr ComPortSettings GatewayLine{};

// The data with every 0xFF doubled.
std::string TelnetEscape(std::string_view data);

class TelnetComPort {
public:
    enum class Role { Client, Server };
    // Client: Pending until the server has agreed to the option and answered
    // all five settings; then Confirmed or Differs. Refused when the server
    // declined the option.
    enum class ComPortState { Pending, Refused, Confirmed, Differs };

    explicit TelnetComPort(Role role);

    // Client: opens the negotiation (binary both ways, no go-ahead, and the
    // COM-PORT-OPTION offered). The five settings follow by themselves once
    // the server agrees. Appends to what takeOutgoing() returns.
    void start(const ComPortSettings& wanted);

    // Bytes received, in any pieces (a sequence may be split anywhere); the
    // data bytes among them.
    std::string receive(std::string_view bytes);
    // Protocol bytes to send now (answers, settings); empties the queue.
    std::string takeOutgoing();

    ComPortState comPortState() const;
    // Client: the server has agreed to the COM-PORT-OPTION (its DO came).
    bool comPortAgreed() const { return options_[telnet::ComPortOption].us; }
    // Client: the settings as the server answered them, and which it has
    // answered (bits 0..4: baud rate, data size, parity, stop size, control).
    const ComPortSettings& answered() const { return line_; }
    unsigned answeredMask() const { return answeredMask_; }
    const ComPortSettings& wanted() const { return wanted_; }

    // Server: the line as the client set it (starts as GatewayLine).
    const ComPortSettings& line() const { return line_; }

    static constexpr unsigned AllAnswered = 0x1F;

private:
    enum class Parse { Data, Iac, Verb, Sub, SubIac };
    struct Option {
        bool us = false;  // enabled on this end
        bool usAsked = false;
        bool usRefused = false;
        bool him = false;  // enabled on the other end
        bool himAsked = false;
    };

    void step(unsigned char b, std::string& data);
    void command(unsigned char verb, unsigned char option);
    void subnegotiation();
    void serverCommand(unsigned char code, std::string_view value);
    void clientAnswer(unsigned char code, std::string_view value);
    void sendVerb(unsigned char verb, unsigned char option);
    void sendComPort(unsigned char code, std::string_view value);
    void sendSettings();

    Role role_;
    Parse parse_ = Parse::Data;
    unsigned char verb_ = 0;
    std::string sub_;
    std::string outgoing_;
    std::array<Option, 256> options_{};
    ComPortSettings wanted_;
    ComPortSettings line_;
    unsigned answeredMask_ = 0;
    bool settingsSent_ = false;
};

}  // namespace k400
