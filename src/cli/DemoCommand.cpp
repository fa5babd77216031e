// `k400gw demo`: a short console dialogue with a (by default simulated) gateway.

#include <cmath>
#include <cstdio>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/GatewaySession.h"
#include "gateway/GatewayPort.h"
#include "gateway/NumberText.h"

namespace k400 {

namespace {

// A long word split as the image packs it: high half, then its two bytes.
struct WordHalves {
    double high;
    int lowHighByte;
    int lowLowByte;
};

WordHalves SplitWord(double word)
{
    const double high = std::floor(word / 65536.0);
    const int low = static_cast<int>(word - high * 65536.0);
    return {high, low / 256, low % 256};
}

std::string FirmwareText(double versionWord, double dateWord)
{
    const WordHalves version = SplitWord(versionWord);
    const WordHalves date = SplitWord(dateWord);
    const int month = date.lowHighByte > 12 ? 0 : date.lowHighByte;
    const int day = date.lowLowByte > 31 ? 0 : date.lowLowByte;
    char text[64];
    std::snprintf(text, sizeof text, "%d.%02d-%d/%02d/%02d", version.lowHighByte, version.lowLowByte,
                  static_cast<int>(static_cast<std::int16_t>(date.high)), month, day);
    return text;
}

}  // namespace

int RunDemoCommand(ArgList& args, CommandIo& io)
{
    const auto options = TakeSessionOptions(args, io, "demo", "sim");
    if (!options)
        return ExitUsage;
    if (const int rc = CheckNoLeftover(args, io, "demo"))
        return rc;
    const auto session = GatewaySession::Create(*options, io);
    if (!session)
        return ExitFailure;

    SerialPort& port = session->port();
    TerminalUserInterface& ui = session->ui();
    ConsoleLink& link = session->link();

    if (!OpenGatewayPort(port, ui, PortCaller::Connect))
        return ExitFailure;
    ui.setStatusText("Connecting");

    const auto timeout = [&] {
        ui.showMessage("Timeout", "Error");
        ui.setStatusText("Timeout");
        port.close();
        return ExitFailure;
    };

    // Whatever mode the console was left in, these bring it back to the top;
    // each may go unanswered.
    for (int i = 0; i < 3; ++i)
        link.SendAndExpect("", ">");
    link.SendAndExpect("/q", ">");
    link.SendAndExpect(".", "[EEPROM:]");
    if (!link.SendAndExpect("exit", ">"))
        return timeout();

    const std::string_view banner = TrimBlanks(link.ReplyText);
    std::string prompt;
    if (banner.find("K400E") != std::string_view::npos) {
        prompt = "K400E>";
    } else if (banner.find("K400B") != std::string_view::npos) {
        prompt = "K400B>";
    } else {
        ui.showMessage("This modules is not K400B/E!", "Error");
        ui.setStatusText("Timeout");
        port.close();
        return ExitFailure;
    }

    double versionWord = 0;
    double dateWord = 0;
    double unused = 0;
    if (!link.SendAndExpect("use eeprom", "[EEPROM:]") || !link.SendAndExpect("block 0", "[EEPROM:]") ||
        !link.SendAndReadValue("el 0", "Long(0)=", versionWord) ||
        !link.SendAndReadValue(ToSignedLongText(versionWord), "Long(4)=", dateWord) ||
        !link.SendAndReadValue(ToSignedLongText(dateWord), "Long(8)=", unused) ||
        !link.SendAndExpect(".", "[EEPROM:]") || !link.SendAndExpect("exit", prompt))
        return timeout();
    port.close();

    io.out << "Controller: " << prompt.substr(0, prompt.size() - 1) << '\n'
           << "Firmware: " << FirmwareText(versionWord, dateWord) << '\n';
    return ExitSuccess;
}

}  // namespace k400
