#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace k400 {

namespace {

constexpr double TwoPow32 = 4294967296.0;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the longest decimal number at the front of text (after blanks were
// skipped); 0 when there are no digits.
std::size_t DecimalPrefixLength(std::string_view text, bool allowExponent)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (j < text.size() && IsDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (allowExponent && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

double ParseDecimal(std::string_view text, bool allowExponent)
{
    text = text.substr(std::min(text.find_first_not_of(" \t\r\n"), text.size()));
    const std::size_t length = DecimalPrefixLength(text, allowExponent);
    if (length == 0)
        return 0.0;
    std::string_view number = text.substr(0, length);
    // from_chars takes no '+' and is independent of the C locale, which the
    // Qt front ends set from the environment.
    bool negative = false;
    if (number.front() == '+' || number.front() == '-') {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range)
        value = HUGE_VAL;  // only an absurd exponent gets here
    (void)ptr;
    return negative ? -value : value;
}

}  // namespace

double ToUnsignedLong(double x)
{
    return x < 0 ? x + TwoPow32 : x;
}

std::string ToSignedLongText(double x)
{
    const double signedValue = x > 2147483647.0 ? x - TwoPow32 : x;
    return std::to_string(std::llround(signedValue));
}

double HexTextToNumber(std::string_view text)
{
    double result = 0.0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        result = result * 16.0 + (digit < 0 ? 0 : digit);
    }
    return result;
}

double NumericValue(std::string_view text)
{
    const std::string_view rest = text.substr(std::min(text.find_first_not_of(" \t\r\n"), text.size()));
    if (rest.size() >= 2 && rest[0] == '&' && (rest[1] == 'H' || rest[1] == 'h')) {
        double value = 0.0;
        for (std::size_t i = 2; i < rest.size(); ++i) {
            const int digit = HexDigitValue(rest[i]);
            if (digit < 0)
                break;
            value = value * 16.0 + digit;
        }
        return value;
    }
    return ParseDecimal(rest, false);
}

double LeadingDecimalValue(std::string_view text)
{
    return ParseDecimal(text, true);
}

std::string_view TrimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::uint64_t> HexDigitsValue(std::string_view digits)
{
    if (digits.empty() || digits.size() > 16)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::string FormatInt(const char* format, int value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace k400
