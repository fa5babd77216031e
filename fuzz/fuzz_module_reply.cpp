// A module's answers to its configuration queries ("$AA2", then "$AA90" and
// "$AA91" for a module with one type code per channel).

#include <optional>

#include "FuzzSupport.h"
#include "gateway/ConsoleLink.h"
#include "gateway/ModuleQuery.h"
#include "modules/ModuleInfo.h"

using namespace k400;

namespace {

std::optional<unsigned> Hex(const std::string& text, std::size_t pos, std::size_t count)
{
    if (pos + count > text.size())
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[pos + i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

bool HasBlank(const std::string& text)
{
    for (char c : text)
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const unsigned address = data[0] == 0 ? 1 : data[0];
    auto replies = fuzz::SplitReplies(data + 1, size - 1, 3);

    test::FakeClock clock;
    test::RecordingUserInterface ui;
    fuzz::ReplyPort port(clock);
    port.open();
    port.replies = replies;
    ConsoleLink link(port, clock, ui, fuzz::Unpaced());

    ProgramState state;
    state.CurrentModuleIndex = static_cast<std::uint8_t>(address % ModuleTableSize);
    auto& entry = state.ModuleTable[state.CurrentModuleIndex];
    entry.Address = std::to_string(address);
    entry.TypeCodeCount = 7;  // an old value the query must replace or leave

    const bool ok = ModuleOtherInfo(state, link);

    fuzz::Require(!port.lines.empty() && port.lines[0] == "$" + TwoDigitHex(address) + "2");
    fuzz::Require(port.lines.size() <= 3);
    if (ok) {
        fuzz::Require(entry.TypeCodeCount == 1 || entry.TypeCodeCount == 2);
        fuzz::Require((entry.TypeCodeCount == 2) == (port.lines.size() == 3));
        const auto& t = state.TarnInfTable[state.CurrentModuleIndex];
        fuzz::Require(t.TypeCode == entry.TypeCode && t.DataFormat == entry.DataFormat &&
                      t.TypeCodeCount == entry.TypeCodeCount);
    } else {
        fuzz::Require(entry.TypeCodeCount == 7);
    }

    // Where blanks cannot shift the positions, the first answer decides the
    // outcome of a single-code module exactly.
    const std::string& first = replies[0];
    if (HasBlank(first))
        return 0;
    const std::size_t marker = first.find("[COM2:]");
    if (marker == std::string::npos) {
        fuzz::Require(!ok);
        return 0;
    }
    const std::string reply = first.substr(0, marker);
    const std::size_t bang = reply.find('!');
    const bool usable = reply.find("Timeout") == std::string::npos && bang != std::string::npos &&
                        Hex(reply, bang + 3, 6).has_value();
    if (!usable) {
        fuzz::Require(!ok);
        return 0;
    }
    const unsigned typeCode = *Hex(reply, bang + 3, 2);
    fuzz::Require(state.TarnInfTable[state.CurrentModuleIndex].Baud == *Hex(reply, bang + 5, 2));
    fuzz::Require(entry.DataFormat == *Hex(reply, bang + 7, 2));
    if (typeCode != 0x3F) {
        fuzz::Require(ok && entry.TypeCode == typeCode && entry.TypeCodeCount == 1);
    }
    return 0;
}
