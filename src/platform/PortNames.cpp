#include "platform/PortNames.h"

#include <cctype>
#include <charconv>
#include <filesystem>

namespace k400 {

std::optional<int> ComPortNumber(std::string_view portName)
{
    if (portName.size() < 4 || portName.size() > 5)
        return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(portName[i])) != "COM"[i])
            return std::nullopt;
    }
    const std::string_view digits = portName.substr(3);
    if (digits.front() == '0')
        return std::nullopt;
    int number = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc() || ptr != digits.data() + digits.size() || number < 1 || number > 16)
        return std::nullopt;
    return number;
}

std::string PortDisplayName(std::string_view portName)
{
    if (const auto number = ComPortNumber(portName))
        return "COM " + std::to_string(*number);
    return std::string(portName);
}

std::string NormalizePortName(std::string_view userText)
{
    if (const auto number = ComPortNumber(userText))
        return "COM" + std::to_string(*number);
    int number = 0;
    const auto [ptr, ec] = std::from_chars(userText.data(), userText.data() + userText.size(), number);
    if (!userText.empty() && userText.front() != '0' && ec == std::errc() && ptr == userText.data() + userText.size() &&
        number >= 1 && number <= 16)
        return "COM" + std::to_string(number);
    return std::string(userText);
}

std::string DevicePathForPortName(std::string_view portName)
{
#ifdef _WIN32
    return std::string(portName);
#else
    if (const auto number = ComPortNumber(portName))
        return "/dev/ttyS" + std::to_string(*number - 1);
    if (portName.empty() || portName.find('/') != std::string_view::npos)
        return std::string(portName);
    // A bare name is a device under /dev; failing that, a path relative to the
    // working folder (the link a simulator made there). Either way the
    // result is the path actually tried, so a failure message shows it.
    std::error_code ignored;
    const std::filesystem::path device = std::filesystem::path("/dev") / portName;
    if (!std::filesystem::exists(device, ignored) && std::filesystem::exists(portName, ignored))
        return std::filesystem::absolute(portName, ignored).string();
    return device.string();
#endif
}

}  // namespace k400
