#include "platform/Windows1252.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace k400 {

namespace {

// Bytes 0x80..0x9F of Windows-1252; 0 where the code page leaves a hole.
constexpr std::array<char32_t, 32> HighControls = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<unsigned char> ByteOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < HighControls.size(); ++i)
        if (HighControls[i] != 0 && HighControls[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// One code point from the front of text; its length in `used` (0: not UTF-8).
char32_t DecodeOne(std::string_view text, std::size_t& used)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    used = 0;
    std::size_t length = first < 0x80 ? 1 : (first >> 5) == 6 ? 2 : (first >> 4) == 14 ? 3 : (first >> 3) == 30 ? 4 : 0;
    if (length == 0 || length > text.size())
        return 0;
    char32_t c = length == 1 ? first : first & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are no characters.
    static constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < Smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    used = length;
    return c;
}

std::variant<std::string, UnencodableCharacter> Encode(std::string_view utf8, bool lossy)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        std::size_t used = 0;
        const char32_t c = DecodeOne(utf8.substr(at), used);
        const std::optional<unsigned char> b = used ? ByteOf(c) : std::nullopt;
        if (!b) {
            if (!lossy) {
                if (used)
                    return UnencodableCharacter{std::string(utf8.substr(at, used))};
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(utf8[at]));
                return UnencodableCharacter{hex};
            }
            out += '?';
            at += used ? used : 1;
            continue;
        }
        out += static_cast<char>(*b);
        at += used;
    }
    return out;
}

}  // namespace

std::variant<std::string, UnencodableCharacter> ToWindows1252(std::string_view utf8)
{
    return Encode(utf8, false);
}

std::string ToWindows1252Lossy(std::string_view utf8)
{
    return std::get<std::string>(Encode(utf8, true));
}

}  // namespace k400
