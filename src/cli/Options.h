#pragma once
// The options the commands share, declared on CLI11 subcommands and parsed
// strictly: numbers are whole decimal numbers within their range, choices
// are spelled as listed. What they give becomes the core's typed values.

#include <optional>
#include <string>
#include <string_view>

#include "gateway/ConsoleLink.h"
#include "gateway/GatewaySettings.h"
#include "platform/UserInterface.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace k400 {

struct CommandIo;

// --port, --pace-ms, --strict-timing, --verbose, --quiet, --trace: how to reach the gateway.
struct SessionOptions {
    std::string port;  // COMn, a number 1..16, a device path, "sim" or "sim:FILE"
    int paceMs = LinkTiming{}.PaceMs;
    bool strictTiming = false;
    bool verbose = false;
    bool quiet = false;
    std::optional<std::string> trace;  // file to log every byte on the line to

    LinkTiming timing() const;
};
void AddSessionOptions(CLI::App& command, SessionOptions& options);
// A usage error (exit code) when --port was not given, else ExitSuccess.
int RequirePort(const SessionOptions& options, CommandIo& io, std::string_view command);

// --scan-baud, --scan-checksum, --scan-timeout: the scan parameter dialog's answers.
struct ScanOptions {
    int baudBps = 9600;
    std::string checksum = "off";
    int timeoutMs = 200;

    ScanParameters parameters() const;
};
void AddScanOptions(CLI::App& command, ScanOptions& options);

// The gateway settings; what is not given keeps what the connect read.
struct SettingsOptions {
    std::optional<int> nodeId;
    std::optional<int> canBaudKbps;
    std::optional<int> com2BaudBps;
    std::optional<std::string> com2Checksum;
    std::optional<int> com2TimeoutMs;

    bool anyCom2() const { return com2BaudBps || com2Checksum || com2TimeoutMs; }
};
// --node-id, --can-baud and, with com2, the --com2-* options.
void AddSettingsOptions(CLI::App& command, SettingsOptions& options, bool com2);

// The CAN side for a profile: the given values over the stored ones. A
// stored baud rate is carried into the profile's list by its rate. False
// (and the message on io.err) when the profile's list lacks the rate.
std::optional<CanSettings> CanSettingsFor(std::uint8_t application, const SettingsOptions& options,
                                          const CanSettings& stored, CommandIo& io);
// The COM2 side: the given values over the stored ones.
Com2Settings Com2SettingsFrom(const SettingsOptions& options, const Com2Settings& stored);

// --description, --created-by: the EDS information texts.
struct EdsTextOptions {
    std::optional<std::string> description;
    std::optional<std::string> createdBy;
};
void AddEdsTextOptions(CLI::App& command, EdsTextOptions& options);

// --output-dir DIR (default: the program's folder; the current folder when the
// program is installed), --json.
struct OutputOptions {
    std::optional<std::string> folder;
    bool json = false;
};
void AddOutputOptions(CLI::App& command, OutputOptions& options);

// A whole decimal number in [low, high]; the help shows it as NAME (low..high).
CLI::Option* AddWholeOption(CLI::App& command, const std::string& name, std::optional<int>& value, int low, int high,
                            const std::string& valueName, const std::string& help);
CLI::Option* AddWholeOption(CLI::App& command, const std::string& name, int& value, int low, int high,
                            const std::string& valueName, const std::string& help);
// A value that must not be mistaken for the next option ("--port --json").
CLI::Option* AddTextOption(CLI::App& command, const std::string& name, std::string& value, const std::string& valueName,
                           const std::string& help);
CLI::Option* AddTextOption(CLI::App& command, const std::string& name, std::optional<std::string>& value,
                           const std::string& valueName, const std::string& help);

}  // namespace k400
