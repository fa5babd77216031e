// HexTextToNumber: any text; hexadecimal digits read as such, anything else as 0.

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "platform/NumberText.h"

using namespace k400;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = HexTextToNumber(text);
    fuzz::Require(value >= 0 && !std::isnan(value));

    std::string cleaned = text;
    for (char& c : cleaned)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            c = '0';
    fuzz::Require(HexTextToNumber(cleaned) == value);
    if (!cleaned.empty() && cleaned.size() <= 13)
        fuzz::Require(value == static_cast<double>(std::strtoull(cleaned.c_str(), nullptr, 16)));
    if (text.empty())
        fuzz::Require(value == 0);
    return 0;
}
