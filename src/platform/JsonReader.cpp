#include "platform/JsonReader.h"

#include "platform/NumberText.h"

#include <set>
#include <vector>

namespace k400 {

namespace {

struct Refused {
    std::string what;
};

}  // namespace

std::optional<JsonValue> ParseJson(std::string_view text, std::string& error)
{
    if (text.size() > kJsonMaxInputBytes) {
        error = "larger than " + std::to_string(kJsonMaxInputBytes) + " bytes";
        return std::nullopt;
    }
    // The parser itself is iterative; the limits are checked as it goes so that
    // a hostile file is refused before it is held in memory as a tree.
    std::vector<std::set<std::string>> keysOfOpenObjects;
    std::size_t depth = 0;
    const JsonValue::parser_callback_t limits = [&](int, JsonValue::parse_event_t event, JsonValue& parsed) {
        switch (event) {
        case JsonValue::parse_event_t::object_start:
        case JsonValue::parse_event_t::array_start:
            if (++depth > kJsonMaxDepth)
                throw Refused{"nested deeper than " + std::to_string(kJsonMaxDepth) + " levels"};
            if (event == JsonValue::parse_event_t::object_start)
                keysOfOpenObjects.emplace_back();
            break;
        case JsonValue::parse_event_t::object_end:
            keysOfOpenObjects.pop_back();
            --depth;
            break;
        case JsonValue::parse_event_t::array_end:
            --depth;
            break;
        case JsonValue::parse_event_t::key:
            if (!keysOfOpenObjects.back().insert(parsed.get<std::string>()).second)
                throw Refused{"the key \"" + parsed.get<std::string>() + "\" appears twice in one object"};
            break;
        case JsonValue::parse_event_t::value:
            break;
        }
        return true;
    };
    try {
        return JsonValue::parse(text.begin(), text.end(), limits);
    } catch (const Refused& refused) {
        error = refused.what;
    } catch (const JsonValue::exception& e) {
        // "[json.exception.parse_error.101] parse error at line 2, column 5: ..." without the library's tag
        const std::string what = e.what();
        const auto tagEnd = what.find("] ");
        error = tagEnd == std::string::npos ? what : what.substr(tagEnd + 2);
    }
    return std::nullopt;
}

const JsonValue* Member(const JsonValue& object, std::string_view name)
{
    if (!object.is_object())
        return nullptr;
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

bool JsonFieldReader::fail(const std::string& path, const std::string& message)
{
    error = (path.empty() ? "" : path + ": ") + message;
    return false;
}

bool JsonFieldReader::expectType(const JsonValue& value, JsonValue::value_t type, const std::string& path)
{
    if (value.type() == type)
        return true;
    return fail(path, std::string("expected ") + JsonValue(type).type_name() + ", found " + value.type_name());
}

// Integer given as a JSON number or as a "0x..." string.
bool JsonFieldReader::integer(const JsonValue& value, const std::string& path, std::int64_t min, std::int64_t max,
                              std::int64_t& out)
{
    if (value.is_string()) {
        const std::string& text = value.get<std::string>();
        if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
            return fail(path, "expected a number or a hexadecimal text such as \"0x3F\"");
        std::int64_t result = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const int digit = HexDigitValue(text[i]);
            if (digit < 0)
                return fail(path, "\"" + text + "\" is not a hexadecimal number");
            result = result * 16 + digit;
        }
        out = result;
    } else if (value.is_number_unsigned()) {
        if (value.get<std::uint64_t>() > static_cast<std::uint64_t>(max))
            return fail(path, value.dump() + " is out of range " + std::to_string(min) + ".." + std::to_string(max));
        out = static_cast<std::int64_t>(value.get<std::uint64_t>());
    } else if (value.is_number_integer()) {
        out = value.get<std::int64_t>();
    } else if (value.is_number()) {
        return fail(path, "expected a whole number");
    } else {
        return fail(path, std::string("expected a number, found ") + value.type_name());
    }
    if (out < min || out > max)
        return fail(path, std::to_string(out) + " is out of range " + std::to_string(min) + ".." + std::to_string(max));
    return true;
}

bool JsonFieldReader::intField(const JsonValue& value, const std::string& path, int min, int max, int& out)
{
    std::int64_t v = 0;
    if (!integer(value, path, min, max, v))
        return false;
    out = static_cast<int>(v);
    return true;
}

bool JsonFieldReader::boolField(const JsonValue& value, const std::string& path, bool& out)
{
    if (!expectType(value, JsonValue::value_t::boolean, path))
        return false;
    out = value.get<bool>();
    return true;
}

bool JsonFieldReader::stringField(const JsonValue& value, const std::string& path, std::string& out)
{
    if (!expectType(value, JsonValue::value_t::string, path))
        return false;
    out = value.get<std::string>();
    return true;
}

bool JsonFieldReader::knownMembers(const JsonValue& object, const std::string& path,
                                   std::initializer_list<std::string_view> names)
{
    for (const auto& member : object.items()) {
        bool known = false;
        for (const auto n : names)
            known = known || n == member.key();
        if (!known)
            return fail(path, "unknown member \"" + member.key() + "\"");
    }
    return true;
}

}  // namespace k400
