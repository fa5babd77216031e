#include "cli/JsonWriter.h"

#include <cmath>
#include <cstdio>

namespace k400 {

std::string JsonWriter::Quote(std::string_view text)
{
    std::string quoted = "\"";
    for (char c : text) {
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
    }
    quoted += '"';
    return quoted;
}

void JsonWriter::beforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!levels_.empty()) {
        if (!levels_.back().first)
            out_ << ',';
        levels_.back().first = false;
    }
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    out_ << bracket;
    levels_.push_back({});
}

void JsonWriter::close(char bracket)
{
    out_ << bracket;
    if (!levels_.empty())
        levels_.pop_back();
    if (levels_.empty())
        out_ << '\n';
}

JsonWriter& JsonWriter::beginObject()
{
    open('{');
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    close('}');
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    open('[');
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    out_ << Quote(name) << ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text)
{
    beforeValue();
    out_ << Quote(text);
    return *this;
}

JsonWriter& JsonWriter::value(long long number)
{
    beforeValue();
    out_ << number;
    return *this;
}

JsonWriter& JsonWriter::value(double number)
{
    beforeValue();
    if (!std::isfinite(number)) {
        out_ << "null";  // JSON has no infinities
    } else if (number == std::floor(number) && std::fabs(number) < 9.0e15) {
        out_ << static_cast<long long>(number);
    } else {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", number);
        out_ << text;
    }
    return *this;
}

JsonWriter& JsonWriter::value(bool flag)
{
    beforeValue();
    out_ << (flag ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::null()
{
    beforeValue();
    out_ << "null";
    return *this;
}

}  // namespace k400
