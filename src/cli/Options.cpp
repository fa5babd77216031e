#include "cli/Options.h"

#include <charconv>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "platform/Messages.h"

namespace k400 {

namespace {

// Digits only, read in base 10 ("010" is ten, not eight), within [low, high];
// the text is rewritten without leading zeros for CLI11's own conversion.
CLI::Validator WholeInRange(int low, int high)
{
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            int value = 0;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
            const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
            if (!digits || ec != std::errc() || end != text.data() + text.size())
                return msg::CliNotWholeNumber(text);
            if (value < low || value > high)
                return msg::CliOutOfRange(value, low, high);
            text = std::to_string(value);
            return {};
        },
        "", "WholeInRange");
}

// An option's value that is itself an option ("--port --json") was meant as the next option.
CLI::Validator NotAnOption()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (text.rfind("--", 0) == 0)
                return msg::CliNeedsValueNotOption(text);
            return {};
        },
        "", "NotAnOption");
}

std::string RangeText(const std::string& valueName, int low, int high)
{
    return valueName + " (" + std::to_string(low) + ".." + std::to_string(high) + ")";
}

std::string RatesText(const auto& rates)
{
    std::string text;
    for (const auto& rate : rates)
        text += (text.empty() ? "" : ", ") + std::string(rate);
    return text;
}

template <std::size_t N>
std::string KbpsText(const std::array<int, N>& rates)
{
    std::string text;
    for (int rate : rates)
        text += (text.empty() ? "" : " ") + std::to_string(rate);
    return text;
}

std::vector<int> BaudRates()
{
    std::vector<int> rates;
    for (const std::string& rate : BaudRateTable)
        rates.push_back(std::stoi(rate));
    return rates;
}

}  // namespace

CLI::Option* AddWholeOption(CLI::App& command, const std::string& name, std::optional<int>& value, int low, int high,
                            const std::string& valueName, const std::string& help)
{
    return command.add_option(name, value, help)
        ->transform(WholeInRange(low, high))
        ->option_text(RangeText(valueName, low, high));
}

CLI::Option* AddWholeOption(CLI::App& command, const std::string& name, int& value, int low, int high,
                            const std::string& valueName, const std::string& help)
{
    return command.add_option(name, value, msg::HelpWithDefault(help, value))
        ->transform(WholeInRange(low, high))
        ->option_text(RangeText(valueName, low, high));
}

CLI::Option* AddTextOption(CLI::App& command, const std::string& name, std::string& value, const std::string& valueName,
                           const std::string& help)
{
    return command.add_option(name, value, help)->check(NotAnOption())->option_text(valueName);
}

CLI::Option* AddTextOption(CLI::App& command, const std::string& name, std::optional<std::string>& value,
                           const std::string& valueName, const std::string& help)
{
    return command.add_option(name, value, help)->check(NotAnOption())->option_text(valueName);
}

LinkTiming SessionOptions::timing() const
{
    LinkTiming timing;
    timing.PaceMs = paceMs;
    timing.StrictTiming = strictTiming;
    return timing;
}

void AddSessionOptions(CLI::App& command, SessionOptions& options)
{
    AddTextOption(command, "--port", options.port, "PORT", msg::HelpPort);
    AddWholeOption(command, "--pace-ms", options.paceMs, 0, 1000, "MS", msg::HelpPaceMs);
    command.add_flag("--strict-timing", options.strictTiming, msg::HelpStrictTiming);
    command.add_flag("-v,--verbose", options.verbose, msg::HelpVerbose);
    command.add_flag("-q,--quiet", options.quiet, msg::HelpQuiet)->excludes("--verbose");
    AddTextOption(command, "--trace", options.trace, "FILE", msg::HelpTrace);
}

int RequirePort(const SessionOptions& options, CommandIo& io, std::string_view command)
{
    if (!options.port.empty())
        return ExitSuccess;
    return UsageError(io, command, msg::CliPortRequired);
}

ScanParameters ScanOptions::parameters() const
{
    return {BaudIndexOf(baudBps).value_or(3), static_cast<std::uint8_t>(checksum == "on" ? 1 : 0),
            static_cast<EnteredNumber>(timeoutMs)};
}

void AddScanOptions(CLI::App& command, ScanOptions& options)
{
    command.add_option("--scan-baud", options.baudBps, msg::HelpScanBaud)
        ->check(CLI::IsMember(BaudRates()))
        ->option_text("BPS (" + RatesText(BaudRateTable) + ")");
    command.add_option("--scan-checksum", options.checksum, msg::HelpScanChecksum)
        ->check(CLI::IsMember({"off", "on"}))
        ->option_text("off|on");
    AddWholeOption(command, "--scan-timeout", options.timeoutMs, 1, 32767, "MS", msg::HelpScanTimeout);
}

void AddSettingsOptions(CLI::App& command, SettingsOptions& options, bool com2)
{
    AddWholeOption(command, "--node-id", options.nodeId, 1, MaxCanopenNodeId, "N", msg::HelpNodeId);
    command
        .add_option("--can-baud", options.canBaudKbps,
                    msg::HelpCanBaud(KbpsText(CanopenBaudKbps), KbpsText(DeviceNetBaudKbps)))
        ->check(CLI::IsMember(std::vector<int>(CanopenBaudKbps.begin(), CanopenBaudKbps.end())))
        ->option_text("KBPS");
    if (!com2)
        return;
    command.add_option("--com2-baud", options.com2BaudBps, msg::HelpCom2Baud)
        ->check(CLI::IsMember(BaudRates()))
        ->option_text("BPS (" + RatesText(BaudRateTable) + ")");
    command.add_option("--com2-checksum", options.com2Checksum, msg::HelpCom2Checksum)
        ->check(CLI::IsMember({"off", "on"}))
        ->option_text("off|on");
    AddWholeOption(command, "--com2-timeout", options.com2TimeoutMs, 1, 32767, "MS", msg::HelpCom2Timeout);
    command.footer(msg::HelpSettingsFooter);
}

std::optional<CanSettings> CanSettingsFor(std::uint8_t application, const SettingsOptions& options,
                                          const CanSettings& stored, CommandIo& io)
{
    CanSettings settings = stored;
    settings.Application = application;
    if (options.nodeId)
        settings.NodeId = *options.nodeId;
    const int kbps = options.canBaudKbps ? *options.canBaudKbps
                                         : CanBaudKbps(stored.Application, stored.CanBaudIndex).value_or(0);
    const auto index = CanBaudIndexOf(application, kbps);
    if (!index) {
        const bool canopen = application == CanopenLayer;
        io.err << msg::CanBaudNotInList(kbps, canopen ? msg::CanopenName : msg::DeviceNetName,
                                        canopen ? KbpsText(CanopenBaudKbps) : KbpsText(DeviceNetBaudKbps))
               << (options.canBaudKbps ? "" : msg::CliGiveCanBaud) << '\n';
        return std::nullopt;
    }
    settings.CanBaudIndex = *index;
    return settings;
}

Com2Settings Com2SettingsFrom(const SettingsOptions& options, const Com2Settings& stored)
{
    Com2Settings settings = stored;
    if (options.com2BaudBps)
        settings.BaudIndex = BaudIndexOf(*options.com2BaudBps).value_or(stored.BaudIndex);
    if (options.com2Checksum)
        settings.Checksum = *options.com2Checksum == "on";
    if (options.com2TimeoutMs)
        settings.TimeoutMs = *options.com2TimeoutMs;
    return settings;
}

void AddEdsTextOptions(CLI::App& command, EdsTextOptions& options)
{
    command.add_option("--description", options.description, msg::HelpDescription)->option_text("TEXT");
    command.add_option("--created-by", options.createdBy, msg::HelpCreatedBy)->option_text("TEXT");
}

void AddOutputOptions(CLI::App& command, OutputOptions& options)
{
    AddTextOption(command, "--output-dir", options.folder, "DIR", msg::HelpOutputDirEds);
    command.add_flag("--json", options.json, msg::HelpJsonResult);
}

}  // namespace k400
