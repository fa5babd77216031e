#pragma once
// Scenario files are read with nlohmann/json, under limits that keep any input
// harmless: input size, nesting depth, and no duplicate object keys (the
// library would silently keep the last one).

#include <cstddef>
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

}  // namespace k400
