#pragma once
// Conversions between console texts and the numbers the gateway link keeps.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k400 {

// A long word as the console printed it (signed) to its unsigned value:
// x + 4294967296 when x < 0, else x.
double ToUnsignedLong(double x);

// An unsigned long word as the console accepts it: the decimal text of
// x - 4294967296 when x > 2147483647, else of x. Minus sign and digits only
// (x is expected to be integral; a fraction is rounded to the nearest).
std::string ToSignedLongText(double x);

// Each character's digit value times 16 per place, left to right: 0-9, A-F
// and a-f count as themselves, any other character counts 0 ("G1" is 1).
// Empty text is 0.
double HexTextToNumber(std::string_view text);

// The numeric value of a text typed by a user or shown in a box: leading
// blanks (as TrimBlanks counts them) skipped, then the longest leading decimal number (optional sign,
// digits, optional decimal part), or a hexadecimal number after "&H"; 0 when
// there is none. No exponent.
double NumericValue(std::string_view text);

// A decimal number read from the front of a text: leading blanks skipped,
// optional sign, digits, optional decimal part and exponent; reading stops at
// the first other character; 0 when there are no digits.
double LeadingDecimalValue(std::string_view text);

// 0..15 for 0-9, A-F and a-f; -1 for any other character.
int HexDigitValue(char c);

// The value of 1 to 16 hexadecimal digits and nothing else; nothing otherwise.
std::optional<std::uint64_t> HexDigitsValue(std::string_view digits);

// printf-style text of one integer: FormatInt("%02X", 10) is "0A".
std::string FormatInt(const char* format, int value);

// Removes leading and trailing blanks: spaces, tabs, carriage returns and line feeds.
std::string_view TrimBlanks(std::string_view text);

}  // namespace k400
