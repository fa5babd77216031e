#pragma once
// A small JSON reader for scenario files. Built to survive any input: nesting
// depth and input size are limited, and every error names its line and column.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace k400 {

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    using Member = std::pair<std::string, JsonValue>;

    JsonValue() = default;

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }
    bool isBool() const { return type_ == Type::Bool; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isString() const { return type_ == Type::String; }
    bool isArray() const { return type_ == Type::Array; }
    bool isObject() const { return type_ == Type::Object; }

    bool boolValue() const { return bool_; }
    double numberValue() const { return number_; }
    // Set when the number was written without fraction or exponent and fits.
    std::optional<std::int64_t> integerValue() const { return integer_; }
    const std::string& stringValue() const { return string_; }
    const std::vector<JsonValue>& items() const { return items_; }
    const std::vector<Member>& members() const { return members_; }

    // Object member by name; nullptr when absent or not an object.
    const JsonValue* find(std::string_view name) const;

    // 1-based position of the value's first character in the source text.
    std::size_t line() const { return line_; }
    std::size_t column() const { return column_; }

    static const char* typeName(Type type);

private:
    friend class JsonParser;

    Type type_ = Type::Null;
    bool bool_ = false;
    double number_ = 0.0;
    std::optional<std::int64_t> integer_;
    std::string string_;
    std::vector<JsonValue> items_;
    std::vector<Member> members_;
    std::size_t line_ = 1;
    std::size_t column_ = 1;
};

inline constexpr std::size_t kJsonMaxDepth = 64;
inline constexpr std::size_t kJsonMaxInputBytes = 4 * 1024 * 1024;

// Parses one JSON document (RFC 8259; duplicate object keys are refused).
// On failure returns nothing and sets error to "line L, column C: what".
std::optional<JsonValue> ParseJson(std::string_view text, std::string& error);

}  // namespace k400
