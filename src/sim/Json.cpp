#include "sim/Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/NumberText.h"

namespace k400 {

const JsonValue* JsonValue::find(std::string_view name) const
{
    if (type_ != Type::Object)
        return nullptr;
    for (const auto& member : members_)
        if (member.first == name)
            return &member.second;
    return nullptr;
}

const char* JsonValue::typeName(Type type)
{
    switch (type) {
    case Type::Null: return "null";
    case Type::Bool: return "a boolean";
    case Type::Number: return "a number";
    case Type::String: return "a string";
    case Type::Array: return "an array";
    case Type::Object: return "an object";
    }
    return "a value";
}

class JsonParser {
public:
    explicit JsonParser(std::string_view text) : text_(text) {}

    std::optional<JsonValue> parseDocument(std::string& error)
    {
        if (text_.size() > kJsonMaxInputBytes) {
            error = "line 1, column 1: input larger than " + std::to_string(kJsonMaxInputBytes) + " bytes";
            return std::nullopt;
        }
        // A UTF-8 byte order mark is tolerated; editors like to add one.
        if (text_.substr(0, 3) == "\xEF\xBB\xBF")
            advance(3);
        JsonValue value;
        skipBlanks();
        if (!parseValue(value, 0) || !(skipBlanks(), atEnd() || fail("unexpected text after the document"))) {
            error = error_;
            return std::nullopt;
        }
        return value;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    void advance(std::size_t count = 1)
    {
        for (std::size_t i = 0; i < count && pos_ < text_.size(); ++i, ++pos_) {
            if (text_[pos_] == '\n') {
                ++line_;
                column_ = 1;
            } else {
                ++column_;
            }
        }
    }

    bool fail(const std::string& message)
    {
        if (error_.empty())
            error_ = "line " + std::to_string(line_) + ", column " + std::to_string(column_) + ": " + message;
        return false;
    }

    static std::string describe(char c)
    {
        if (c >= 0x21 && c <= 0x7E)
            return std::string("'") + c + "'";
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "byte 0x%02X", static_cast<unsigned char>(c));
        return buffer;
    }

    void skipBlanks()
    {
        while (!atEnd()) {
            const char c = peek();
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                break;
            advance();
        }
    }

    bool expectWord(std::string_view word)
    {
        if (text_.substr(pos_, word.size()) != word)
            return fail("unknown word, expected a value");
        advance(word.size());
        return true;
    }

    bool parseValue(JsonValue& value, std::size_t depth)
    {
        value.line_ = line_;
        value.column_ = column_;
        if (atEnd())
            return fail("unexpected end of input, expected a value");
        const char c = peek();
        switch (c) {
        case '{': return parseObject(value, depth + 1);
        case '[': return parseArray(value, depth + 1);
        case '"':
            value.type_ = JsonValue::Type::String;
            return parseString(value.string_);
        case 't':
            value.type_ = JsonValue::Type::Bool;
            value.bool_ = true;
            return expectWord("true");
        case 'f':
            value.type_ = JsonValue::Type::Bool;
            value.bool_ = false;
            return expectWord("false");
        case 'n':
            value.type_ = JsonValue::Type::Null;
            return expectWord("null");
        default:
            if (c == '-' || (c >= '0' && c <= '9'))
                return parseNumber(value);
            return fail("unexpected " + describe(c) + ", expected a value");
        }
    }

    bool parseObject(JsonValue& value, std::size_t depth)
    {
        if (depth > kJsonMaxDepth)
            return fail("nesting deeper than " + std::to_string(kJsonMaxDepth) + " levels");
        value.type_ = JsonValue::Type::Object;
        advance();  // '{'
        skipBlanks();
        if (peek() == '}') {
            advance();
            return true;
        }
        for (;;) {
            skipBlanks();
            if (peek() != '"')
                return fail(atEnd() ? "unexpected end of input, expected a member name"
                                    : "unexpected " + describe(peek()) + ", expected a member name in quotes");
            const std::size_t keyLine = line_;
            const std::size_t keyColumn = column_;
            std::string key;
            if (!parseString(key))
                return false;
            for (const auto& member : value.members_)
                if (member.first == key) {
                    line_ = keyLine;
                    column_ = keyColumn;
                    return fail("member \"" + key + "\" appears twice");
                }
            skipBlanks();
            if (peek() != ':')
                return fail(atEnd() ? "unexpected end of input, expected ':'"
                                    : "unexpected " + describe(peek()) + ", expected ':'");
            advance();
            skipBlanks();
            JsonValue member;
            if (!parseValue(member, depth))
                return false;
            value.members_.emplace_back(std::move(key), std::move(member));
            skipBlanks();
            if (peek() == ',') {
                advance();
                continue;
            }
            if (peek() == '}') {
                advance();
                return true;
            }
            return fail(atEnd() ? "unexpected end of input, expected ',' or '}'"
                                : "unexpected " + describe(peek()) + ", expected ',' or '}'");
        }
    }

    bool parseArray(JsonValue& value, std::size_t depth)
    {
        if (depth > kJsonMaxDepth)
            return fail("nesting deeper than " + std::to_string(kJsonMaxDepth) + " levels");
        value.type_ = JsonValue::Type::Array;
        advance();  // '['
        skipBlanks();
        if (peek() == ']') {
            advance();
            return true;
        }
        for (;;) {
            skipBlanks();
            JsonValue item;
            if (!parseValue(item, depth))
                return false;
            value.items_.push_back(std::move(item));
            skipBlanks();
            if (peek() == ',') {
                advance();
                continue;
            }
            if (peek() == ']') {
                advance();
                return true;
            }
            return fail(atEnd() ? "unexpected end of input, expected ',' or ']'"
                                : "unexpected " + describe(peek()) + ", expected ',' or ']'");
        }
    }

    bool parseHex4(unsigned& code)
    {
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = HexDigitValue(peek());
            if (digit < 0)
                return fail("bad \\u escape, expected four hexadecimal digits");
            code = code * 16 + static_cast<unsigned>(digit);
            advance();
        }
        return true;
    }

    static void appendUtf8(std::string& out, unsigned code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool parseString(std::string& out)
    {
        advance();  // opening quote
        for (;;) {
            if (atEnd())
                return fail("unexpected end of input inside a string");
            const char c = peek();
            if (c == '"') {
                advance();
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return fail("control character " + describe(c) + " inside a string");
            if (c != '\\') {
                out += c;
                advance();
                continue;
            }
            advance();
            if (atEnd())
                return fail("unexpected end of input inside a string");
            const char e = peek();
            advance();
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned code = 0;
                if (!parseHex4(code))
                    return false;
                if (code >= 0xDC00 && code <= 0xDFFF)
                    return fail("lone low surrogate in \\u escape");
                if (code >= 0xD800 && code <= 0xDBFF) {
                    if (text_.substr(pos_, 2) != "\\u")
                        return fail("high surrogate without its low half");
                    advance(2);
                    unsigned low = 0;
                    if (!parseHex4(low))
                        return false;
                    if (low < 0xDC00 || low > 0xDFFF)
                        return fail("high surrogate without its low half");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, code);
                break;
            }
            default:
                return fail("unknown escape \\" + std::string(1, e));
            }
        }
    }

    bool parseNumber(JsonValue& value)
    {
        const std::size_t start = pos_;
        bool integral = true;
        std::size_t end = pos_;
        auto digitAt = [&](std::size_t i) { return i < text_.size() && text_[i] >= '0' && text_[i] <= '9'; };
        if (text_[end] == '-')
            ++end;
        if (!digitAt(end))
            return fail("a number needs digits");
        if (text_[end] == '0' && digitAt(end + 1))
            return fail("a number must not have leading zeros");
        while (digitAt(end))
            ++end;
        if (end < text_.size() && text_[end] == '.') {
            integral = false;
            ++end;
            if (!digitAt(end))
                return fail("a number needs digits after the decimal point");
            while (digitAt(end))
                ++end;
        }
        if (end < text_.size() && (text_[end] == 'e' || text_[end] == 'E')) {
            integral = false;
            ++end;
            if (end < text_.size() && (text_[end] == '+' || text_[end] == '-'))
                ++end;
            if (!digitAt(end))
                return fail("a number needs digits in its exponent");
            while (digitAt(end))
                ++end;
        }
        const std::string literal(text_.substr(start, end - start));
        value.type_ = JsonValue::Type::Number;
        value.number_ = std::strtod(literal.c_str(), nullptr);
        if (integral) {
            std::int64_t integer = 0;
            const auto result = std::from_chars(literal.data(), literal.data() + literal.size(), integer);
            if (result.ec == std::errc() && result.ptr == literal.data() + literal.size())
                value.integer_ = integer;
        }
        advance(end - start);
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::size_t column_ = 1;
    std::string error_;
};

std::optional<JsonValue> ParseJson(std::string_view text, std::string& error)
{
    JsonParser parser(text);
    return parser.parseDocument(error);
}


}  // namespace k400
