#pragma once
// A small streaming JSON writer for the commands' --json output: commas and
// nesting are tracked, strings escaped; the text is compact, one line.
//
//   JsonWriter json(out);
//   json.beginObject();
//   json.key("node_id").value(5);
//   json.key("modules").beginArray(); ... json.endArray();
//   json.endObject();   // the outermost end adds a newline

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace k400 {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(unsigned number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(long number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(unsigned long number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(double number);
    JsonWriter& value(bool flag);
    JsonWriter& null();

    // "text" with quotes, backslashes and control characters escaped.
    static std::string Quote(std::string_view text);

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    struct Level {
        bool first = true;
    };
    std::ostream& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

}  // namespace k400
