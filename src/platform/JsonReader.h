#pragma once
// Files users write (scenarios, plans) are read with nlohmann/json, under
// limits that keep any input harmless: input size, nesting depth, and no
// duplicate object keys (the library would silently keep the last one).
// JsonFieldReader then takes the values out with checks whose errors name
// the place in the file ("modules[2].address: 300 is out of range 0..255").

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace k400 {

using JsonValue = nlohmann::json;

inline constexpr std::size_t kJsonMaxDepth = 64;
inline constexpr std::size_t kJsonMaxInputBytes = 4 * 1024 * 1024;

// Parses one JSON document (RFC 8259, a leading UTF-8 byte order mark allowed).
// On failure returns nothing and sets error to a text naming where it failed.
std::optional<JsonValue> ParseJson(std::string_view text, std::string& error);

// Object member by name; nullptr when absent or not an object.
const JsonValue* Member(const JsonValue& object, std::string_view name);

class JsonFieldReader {
public:
    // Sets error to "path: message" and gives false, for `return fail(...)`.
    bool fail(const std::string& path, const std::string& message);
    bool expectType(const JsonValue& value, JsonValue::value_t type, const std::string& path);
    // A whole number within [min, max], given as a JSON number or as a "0x..." text.
    bool integer(const JsonValue& value, const std::string& path, std::int64_t min, std::int64_t max,
                 std::int64_t& out);
    bool intField(const JsonValue& value, const std::string& path, int min, int max, int& out);
    bool boolField(const JsonValue& value, const std::string& path, bool& out);
    bool stringField(const JsonValue& value, const std::string& path, std::string& out);
    // Members must all be known: a misspelt key would otherwise be silently ignored.
    bool knownMembers(const JsonValue& object, const std::string& path, std::initializer_list<std::string_view> names);

    std::string error;
};

}  // namespace k400
