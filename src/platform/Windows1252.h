#pragma once
// Texts for files that master tools read in the Windows code page: UTF-8 in,
// Windows-1252 out, one byte per character.

#include <string>
#include <string_view>
#include <variant>

namespace k400 {

// The first character that has no Windows-1252 byte, as the user typed it
// (UTF-8), or the byte as "\xNN" when the input is no valid UTF-8.
struct UnencodableCharacter {
    std::string character;
};

// The Windows-1252 bytes of a UTF-8 text, or the first character that has none.
std::variant<std::string, UnencodableCharacter> ToWindows1252(std::string_view utf8);

// As above, a character without a byte becoming '?' (for texts already checked).
std::string ToWindows1252Lossy(std::string_view utf8);

}  // namespace k400
