#pragma once
// The arguments of one command, taken one option at a time.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k400 {

// Each accessor removes what it recognises, so that whatever is left over
// after a command has asked for all its options is an unknown argument.
class ArgList {
public:
    explicit ArgList(std::vector<std::string> args);

    // "--name VALUE" or "--name=VALUE". A "--name" with nothing after it is
    // left in the list, so that leftover() reports it as lacking its value.
    std::optional<std::string> value(std::string_view name);
    // "--name" given (any number of times).
    bool flag(std::string_view name);
    // The next argument that does not start with "--", taken as a positional.
    std::optional<std::string> positional();

    bool empty() const { return args_.empty(); }
    const std::vector<std::string>& remaining() const { return args_; }
    // Error text naming the first argument nobody asked for, if any.
    std::optional<std::string> leftover() const;

private:
    std::vector<std::string> args_;
};

// Parses a whole decimal number in [min, max]; nothing for anything else.
std::optional<long> ParseIntegerOption(std::string_view text, long min, long max);

}  // namespace k400
