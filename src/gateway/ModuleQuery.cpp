#include "gateway/ModuleQuery.h"

#include <optional>
#include <string>

#include "gateway/ConsoleLink.h"
#include "modules/ModuleInfo.h"
#include "platform/NumberText.h"

namespace k400 {

namespace {

constexpr std::string_view Com2Prompt = "[COM2:]";

// Hex digits at [pos, pos + count) of text; nullopt when the reply is too
// short or holds anything else there (a garbled reply is not a type code).
std::optional<std::uint8_t> HexField(const std::string& text, std::size_t pos, std::size_t count)
{
    if (pos + count > text.size())
        return std::nullopt;
    const auto value = HexDigitsValue(std::string_view(text).substr(pos, count));
    return value ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(*value)) : std::nullopt;
}

// One TARN query; the position of the reply's "!" or nullopt on failure.
std::optional<std::size_t> Query(ConsoleLink& link, const std::string& command)
{
    if (!link.SendAndExpect(command, Com2Prompt))
        return std::nullopt;
    if (link.ReplyText.find("Timeout") != std::string::npos)
        return std::nullopt;
    auto bang = link.ReplyText.find('!');
    if (bang == std::string::npos)
        return std::nullopt;
    return bang;
}

}  // namespace

bool ModuleOtherInfo(ProgramState& state, ConsoleLink& link)
{
    const auto index = state.CurrentModuleIndex;
    if (index >= ModuleTableSize)
        return false;
    auto& s = state.ModuleTable[index];
    auto& t = state.TarnInfTable[index];
    auto address = AddressValue(s.Address);
    if (!address || *address < 0 || *address > 255)
        return false;
    const std::string aa = TwoDigitHex(static_cast<unsigned>(*address));

    auto bang = Query(link, "$" + aa + "2");
    if (!bang)
        return false;
    // After the "!": address, type code, baud code, data format, two hex digits each.
    const std::string& reply = link.ReplyText;
    auto format = HexField(reply, *bang + 7, 2);
    auto typeCode = HexField(reply, *bang + 3, 2);
    auto baud = HexField(reply, *bang + 5, 2);
    if (!format || !typeCode || !baud)
        return false;
    s.DataFormat = *format;
    s.TypeCode = *typeCode;
    t.TypeCode = s.TypeCode;
    t.Baud = *baud;
    t.DataFormat = s.DataFormat;

    if (s.TypeCode != 0x3F) {
        s.TypeCodeCount = 1;
        t.TypeCodeCount = 1;
        return true;
    }

    // One type code per channel.
    bang = Query(link, "$" + aa + "90");
    if (!bang)
        return false;
    auto first = HexField(link.ReplyText, *bang + 4, 1);
    if (!first)
        return false;
    s.TypeCode = *first;
    t.TypeCode = s.TypeCode;

    bang = Query(link, "$" + aa + "91");
    if (!bang)
        return false;
    auto second = HexField(link.ReplyText, *bang + 4, 1);
    if (!second)
        return false;
    s.TypeCode2 = *second;
    t.TypeCode2 = s.TypeCode2;
    s.TypeCodeCount = 2;
    t.TypeCodeCount = 2;
    return true;
}

}  // namespace k400
