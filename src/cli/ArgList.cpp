#include "cli/ArgList.h"

#include <charconv>

namespace k400 {

namespace {

bool IsOptionNamed(std::string_view arg, std::string_view name)
{
    return arg.size() == name.size() + 2 && arg.substr(0, 2) == "--" && arg.substr(2) == name;
}

}  // namespace

ArgList::ArgList(std::vector<std::string> args) : args_(std::move(args)) {}

std::optional<std::string> ArgList::value(std::string_view name)
{
    for (std::size_t i = 0; i < args_.size(); ++i) {
        const std::string_view arg = args_[i];
        if (arg == "--")
            break;
        if (IsOptionNamed(arg, name)) {
            if (i + 1 >= args_.size())
                return std::nullopt;
            std::string result = args_[i + 1];
            args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i),
                        args_.begin() + static_cast<std::ptrdiff_t>(i + 2));
            return result;
        }
        if (arg.size() > name.size() + 3 && arg.substr(0, 2) == "--" &&
            arg.substr(2, name.size()) == name && arg[name.size() + 2] == '=') {
            std::string result(arg.substr(name.size() + 3));
            args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i));
            return result;
        }
        if (arg.size() == name.size() + 3 && arg.substr(0, 2) == "--" &&
            arg.substr(2, name.size()) == name && arg.back() == '=') {
            args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i));
            return std::string();
        }
    }
    return std::nullopt;
}

bool ArgList::flag(std::string_view name)
{
    bool found = false;
    for (std::size_t i = 0; i < args_.size();) {
        if (args_[i] == "--")
            break;
        if (IsOptionNamed(args_[i], name)) {
            args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i));
            found = true;
        } else {
            ++i;
        }
    }
    return found;
}

std::optional<std::string> ArgList::positional()
{
    for (std::size_t i = 0; i < args_.size(); ++i) {
        if (args_[i] == "--") {
            if (i + 1 >= args_.size())
                return std::nullopt;
            std::string result = args_[i + 1];
            args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i + 1));
            return result;
        }
        if (args_[i].rfind("--", 0) != 0) {
            std::string result = args_[i];
            args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i));
            return result;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ArgList::leftover() const
{
    for (const std::string& arg : args_) {
        if (arg == "--")
            continue;
        if (arg.rfind("--", 0) == 0)
            return "unknown option or option without its value: " + arg;
        return "unexpected argument: " + arg;
    }
    return std::nullopt;
}

std::optional<long> ParseIntegerOption(std::string_view text, long min, long max)
{
    long number = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, number);
    if (text.empty() || ec != std::errc() || ptr != end || number < min || number > max)
        return std::nullopt;
    return number;
}

}  // namespace k400
