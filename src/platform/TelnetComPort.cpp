#include "platform/TelnetComPort.h"

#include <utility>

namespace k400 {

namespace {

using namespace telnet;

// Longest subnegotiation kept: the COM-PORT-OPTION's are a few bytes; a peer
// that never ends one must not make it grow without end.
constexpr std::size_t MaxSubnegotiationBytes = 256;

// Binary both ways keeps CR and 0x00..0x1F as they are; without go-ahead the
// line is full duplex; and the COM-PORT-OPTION is the point of it all.
bool Wanted(unsigned char option)
{
    return option == Binary || option == SuppressGoAhead || option == ComPortOption;
}

std::string BigEndian(std::uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::uint32_t FromBigEndian(std::string_view bytes)
{
    std::uint32_t value = 0;
    for (const char c : bytes)
        value = value << 8 | static_cast<unsigned char>(c);
    return value;
}

std::uint8_t* SettingByte(ComPortSettings& line, unsigned char code)
{
    switch (code) {
    case SetDataSize:
        return &line.dataSize;
    case SetParity:
        return &line.parity;
    case SetStopSize:
        return &line.stopSize;
    case SetControl:
        return &line.control;
    default:
        return nullptr;
    }
}

}  // namespace

std::string TelnetEscape(std::string_view data)
{
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        out += c;
        if (static_cast<unsigned char>(c) == Iac)
            out += c;
    }
    return out;
}

TelnetComPort::TelnetComPort(Role role) : role_(role) {}

void TelnetComPort::start(const ComPortSettings& wanted)
{
    wanted_ = wanted;
    for (const unsigned char option : {Binary, SuppressGoAhead, ComPortOption}) {
        options_[option].usAsked = true;
        sendVerb(Will, option);
    }
    for (const unsigned char option : {Binary, SuppressGoAhead}) {
        options_[option].himAsked = true;
        sendVerb(Do, option);
    }
}

std::string TelnetComPort::receive(std::string_view bytes)
{
    std::string data;
    for (const char c : bytes)
        step(static_cast<unsigned char>(c), data);
    return data;
}

void TelnetComPort::step(unsigned char b, std::string& data)
{
    switch (parse_) {
    case Parse::Data:
        if (b == Iac)
            parse_ = Parse::Iac;
        else
            data += static_cast<char>(b);
        break;
    case Parse::Iac:
        parse_ = Parse::Data;
        if (b == Iac) {
            data += static_cast<char>(b);
        } else if (b >= Will && b <= Dont) {
            verb_ = b;
            parse_ = Parse::Verb;
        } else if (b == Sb) {
            sub_.clear();
            parse_ = Parse::Sub;
        }
        // NOP, GA and the other one-byte commands carry nothing for a serial line.
        break;
    case Parse::Verb:
        command(verb_, b);
        parse_ = Parse::Data;
        break;
    case Parse::Sub:
        if (b == Iac)
            parse_ = Parse::SubIac;
        else if (sub_.size() < MaxSubnegotiationBytes)
            sub_ += static_cast<char>(b);
        break;
    case Parse::SubIac:
        if (b == Iac) {
            if (sub_.size() < MaxSubnegotiationBytes)
                sub_ += static_cast<char>(b);
            parse_ = Parse::Sub;
            break;
        }
        subnegotiation();
        parse_ = Parse::Data;
        // A subnegotiation cut short by another command: that command counts.
        if (b != Se) {
            parse_ = Parse::Iac;
            step(b, data);
        }
        break;
    }
}

std::string TelnetComPort::takeOutgoing()
{
    return std::exchange(outgoing_, {});
}

void TelnetComPort::sendVerb(unsigned char verb, unsigned char option)
{
    outgoing_ += static_cast<char>(Iac);
    outgoing_ += static_cast<char>(verb);
    outgoing_ += static_cast<char>(option);
}

void TelnetComPort::sendComPort(unsigned char code, std::string_view value)
{
    outgoing_ += static_cast<char>(Iac);
    outgoing_ += static_cast<char>(Sb);
    outgoing_ += static_cast<char>(ComPortOption);
    outgoing_ += static_cast<char>(code);
    outgoing_ += TelnetEscape(value);
    outgoing_ += static_cast<char>(Iac);
    outgoing_ += static_cast<char>(Se);
}

void TelnetComPort::command(unsigned char verb, unsigned char option)
{
    // Answers only what changes an option's state, so that two ends never
    // keep answering each other.
    Option& o = options_[option];
    switch (verb) {
    case Will:
        if (o.him)
            break;
        if (Wanted(option)) {
            o.him = true;
            if (!o.himAsked)
                sendVerb(Do, option);
        } else {
            sendVerb(Dont, option);
        }
        o.himAsked = false;
        break;
    case Wont:
        if (o.him)
            sendVerb(Dont, option);
        o.him = o.himAsked = false;
        break;
    case Do:
        if (o.us)
            break;
        if (Wanted(option)) {
            o.us = true;
            o.usRefused = false;
            if (!o.usAsked)
                sendVerb(Will, option);
            if (option == ComPortOption && role_ == Role::Client)
                sendSettings();
        } else {
            sendVerb(Wont, option);
        }
        o.usAsked = false;
        break;
    case Dont:
        if (o.us)
            sendVerb(Wont, option);
        o.us = o.usAsked = false;
        o.usRefused = true;
        break;
    default:
        break;
    }
}

void TelnetComPort::sendSettings()
{
    if (settingsSent_)
        return;
    settingsSent_ = true;
    sendComPort(SetBaudRate, BigEndian(wanted_.baudRate));
    sendComPort(SetDataSize, std::string(1, static_cast<char>(wanted_.dataSize)));
    sendComPort(SetParity, std::string(1, static_cast<char>(wanted_.parity)));
    sendComPort(SetStopSize, std::string(1, static_cast<char>(wanted_.stopSize)));
    sendComPort(SetControl, std::string(1, static_cast<char>(wanted_.control)));
}

void TelnetComPort::subnegotiation()
{
    if (sub_.size() < 2 || static_cast<unsigned char>(sub_[0]) != ComPortOption)
        return;
    const auto code = static_cast<unsigned char>(sub_[1]);
    const std::string_view value = std::string_view(sub_).substr(2);
    if (role_ == Role::Server && code < ServerOffset)
        serverCommand(code, value);
    else if (role_ == Role::Client && code > ServerOffset)
        clientAnswer(static_cast<unsigned char>(code - ServerOffset), value);
}

void TelnetComPort::serverCommand(unsigned char code, std::string_view value)
{
    const auto answer = static_cast<unsigned char>(code + ServerOffset);
    if (code == SetBaudRate) {
        // 0 asks for the current rate.
        if (value.size() == 4 && FromBigEndian(value) != 0)
            line_.baudRate = FromBigEndian(value);
        sendComPort(answer, BigEndian(line_.baudRate));
        return;
    }
    if (std::uint8_t* setting = SettingByte(line_, code); setting != nullptr && value.size() == 1) {
        const auto requested = static_cast<std::uint8_t>(value[0]);
        // SET-CONTROL also switches BREAK, DTR and RTS (values above 3): a
        // simulated line has none of them, so those are only acknowledged.
        const bool flowControl = code != SetControl || requested <= 3;
        if (requested != 0 && flowControl)
            *setting = requested;
        sendComPort(answer, std::string(1, static_cast<char>(flowControl ? *setting : requested)));
        return;
    }
    // Suspend and resume expect no answer; the rest (signature, masks,
    // purge) are acknowledged with what was asked.
    constexpr unsigned char FlowControlSuspend = 8;
    constexpr unsigned char FlowControlResume = 9;
    if (code != FlowControlSuspend && code != FlowControlResume)
        sendComPort(answer, value);
}

void TelnetComPort::clientAnswer(unsigned char code, std::string_view value)
{
    if (code == SetBaudRate && value.size() == 4) {
        line_.baudRate = FromBigEndian(value);
        answeredMask_ |= 1u;
    } else if (std::uint8_t* setting = SettingByte(line_, code); setting != nullptr && value.size() == 1) {
        *setting = static_cast<std::uint8_t>(value[0]);
        answeredMask_ |= 1u << (code - 1);
    }
}

TelnetComPort::ComPortState TelnetComPort::comPortState() const
{
    const Option& o = options_[ComPortOption];
    if (o.usRefused && !o.us)
        return ComPortState::Refused;
    if (answeredMask_ != AllAnswered)
        return ComPortState::Pending;
    return line_ == wanted_ ? ComPortState::Confirmed : ComPortState::Differs;
}

}  // namespace k400
