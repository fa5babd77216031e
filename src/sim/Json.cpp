#include "sim/Json.h"

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

}  // namespace k400
