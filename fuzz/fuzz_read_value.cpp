// SendAndReadValue: the number between a key and "-->" in any console answer.

#include <cmath>
#include <string>

#include "FuzzSupport.h"
#include "gateway/ConsoleLink.h"
#include "platform/NumberText.h"

using namespace k400;

namespace {

std::string WithoutBlanks(const std::string& text)
{
    std::string bare;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            bare += c;
    return bare;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto parts = fuzz::SplitReplies(data, size, 2);
    if (parts.size() < 2)
        return 0;
    const std::string& key = parts[0];
    const std::string& reply = parts[1];

    test::FakeClock clock;
    test::RecordingUserInterface ui;
    fuzz::ReplyPort port(clock);
    port.open();
    port.replies = {reply};
    ConsoleLink link(port, clock, ui, fuzz::Unpaced());
    link.ReplyText = "untouched";

    double value = -12345.0;
    const bool ok = link.SendAndReadValue("el 40", key, value);

    fuzz::Require(link.ReplyText == "untouched");
    fuzz::Require(port.lines.size() == 1 && port.lines[0] == "el 40");
    if (!ok) {
        fuzz::Require(value == -12345.0);
        return 0;
    }
    const std::string_view trimmedKey = TrimBlanks(key);
    fuzz::Require(!trimmedKey.empty());
    // Blanks at the seams of received pieces are lost, so the key and the
    // arrow are only certain to be in the answer with its blanks taken out.
    const std::string bareReply = WithoutBlanks(reply);
    const std::string bareKey = WithoutBlanks(std::string(trimmedKey));
    const std::size_t bareAt = bareReply.find(bareKey);
    fuzz::Require(bareAt != std::string::npos);
    fuzz::Require(bareReply.find("-->", bareAt + bareKey.size()) != std::string::npos);
    fuzz::Require(!std::isnan(value));
    if (reply.find_first_of(" \t\r\n") != std::string::npos)
        return 0;
    const std::size_t keyAt = reply.find(trimmedKey);

    // A plain run of digits right after the key is the value itself.
    const std::size_t valueAt = keyAt + trimmedKey.size();
    const std::size_t arrowAt = reply.find("-->", valueAt);
    const std::string text = reply.substr(valueAt, arrowAt - valueAt);
    if (!text.empty() && text.size() <= 15 && text.find_first_not_of("0123456789") == std::string::npos &&
        reply.find(trimmedKey) == keyAt)
        fuzz::Require(value == static_cast<double>(std::stoll(text)));
    return 0;
}
