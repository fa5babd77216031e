// The numeric value of a text (boxes and console values), and the long word
// round trip between the console's signed text and the unsigned value kept.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "platform/NumberText.h"

using namespace k400;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double numeric = NumericValue(text);
    const double leading = LeadingDecimalValue(text);
    fuzz::Require(!std::isnan(numeric) && !std::isnan(leading));

    // Without an exponent or "&H" the two readings agree.
    if (text.find_first_of("eE&") == std::string::npos)
        fuzz::Require(numeric == leading);

    const std::size_t start = text.find_first_not_of(" \t");
    if (start != std::string::npos) {
        const std::string rest = text.substr(start);
        const std::size_t digits = rest.find_first_not_of("0123456789");
        const std::size_t count = digits == std::string::npos ? rest.size() : digits;
        const bool fractionFollows = count < rest.size() && rest[count] == '.';
        if (count > 0 && count <= 15 && !fractionFollows)
            fuzz::Require(numeric == static_cast<double>(std::strtoll(rest.substr(0, count).c_str(), nullptr, 10)));
        if (rest.size() > 2 && rest[0] == '&' && (rest[1] == 'H' || rest[1] == 'h')) {
            const std::string hex = rest.substr(2);
            const std::size_t end = hex.find_first_not_of("0123456789abcdefABCDEF");
            const std::size_t n = end == std::string::npos ? hex.size() : end;
            if (n <= 12)
                fuzz::Require(
                    numeric ==
                    (n == 0 ? 0.0 : static_cast<double>(std::strtoull(hex.substr(0, n).c_str(), nullptr, 16))));
        }
    }

    // Any signed long word survives the trip to the unsigned value and back.
    if (size >= 4) {
        std::int32_t word;
        std::memcpy(&word, data, sizeof word);
        const double unsignedValue = ToUnsignedLong(word);
        fuzz::Require(unsignedValue >= 0 && unsignedValue <= 4294967295.0);
        fuzz::Require(ToSignedLongText(unsignedValue) == std::to_string(word));
        fuzz::Require(NumericValue(ToSignedLongText(unsignedValue)) == word);
    }
    return 0;
}
