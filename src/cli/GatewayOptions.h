#pragma once
// Command-line options shared by the commands that connect to a gateway: the
// scan parameters (in place of the scan dialog), the gateway settings (typed
// into the parameter panel and stored with "Setting"), and a planned module
// list for commands that work without a scan.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProgramState.h"
#include "app/Settings.h"

namespace k400 {

class ArgList;
class ConsoleLink;
struct CommandIo;

// --scan-baud BPS (a rate of BaudRateTable), --scan-checksum off|on,
// --scan-timeout MS (1..32767).
struct ScanOptions {
    std::uint8_t baudIndex = 3;
    std::uint8_t checksumIndex = 0;
    std::int16_t timeoutMs = 200;
};

// --node-id N --can-baud KBPS --com2-baud BPS --com2-checksum on|off
// --com2-timeout MS. What is not given keeps what the connect produced. The
// node ID and time-out stay texts: the "Setting" checks judge them.
struct SettingsOptions {
    std::optional<std::string> nodeId;
    std::optional<int> canBaudKbps;
    std::optional<std::uint8_t> com2BaudIndex;
    std::optional<std::uint8_t> com2Checksum;
    std::optional<std::string> com2Timeout;

    bool anyCan() const { return nodeId || canBaudKbps; }
    bool anyCom2() const { return com2BaudIndex || com2Checksum || com2Timeout; }
};

struct GatewayOptions {
    ScanOptions scan;
    SettingsOptions settings;
};

// Usage lines for the options above, for the commands' usage texts.
extern const char* const ScanOptionsUsage;
extern const char* const SettingsOptionsUsage;
extern const char* const ModulesOptionUsage;

// Each takes its options from args; on a bad value prints a usage error and
// returns nothing (exit code 2).
std::optional<ScanOptions> TakeScanOptions(ArgList& args, CommandIo& io, std::string_view command);
std::optional<SettingsOptions> TakeSettingsOptions(ArgList& args, CommandIo& io, std::string_view command);
std::optional<GatewayOptions> TakeGatewayOptions(ArgList& args, CommandIo& io, std::string_view command);

// Runs the connect sequence with the scan options as the scan dialog's
// answers, then applies the settings options through the parameter panel's
// "Setting" (CAN side in the list of `applicationLayer`, 0 CANopen or 1
// DeviceNet; by default the application the connect produced). False when the
// connect or a "Setting" check fails; the message was shown through the
// link's user interface.
bool ConnectWithGatewayOptions(ProgramState& state, ParameterPanel& panel, ConsoleLink& link,
                               const GatewayOptions& options,
                               std::optional<std::uint8_t> applicationLayer = std::nullopt);

// The settings options typed into the panel and stored with "Setting", as a
// user would. False (message shown) when a check refuses a value.
bool ApplySettingsOptions(ProgramState& state, ParameterPanel& panel, UserInterface& ui,
                          const SettingsOptions& settings, std::uint8_t applicationLayer);

// One module of a planned list: model name and address.
struct PlannedModule {
    std::string model;
    int address = 0;
};

// "M38@3,M33@26": nothing and an error text for bad syntax, an address
// outside 1..255, a duplicate address or more than 15 modules.
std::optional<std::vector<PlannedModule>> ParsePlannedModules(std::string_view text, std::string& error);

// --modules LIST; nothing given gives an empty optional inside the result.
// A usage error (bad list) gives nothing at all.
std::optional<std::optional<std::vector<PlannedModule>>> TakeModulesOption(ArgList& args, CommandIo& io,
                                                                          std::string_view command);

// Fills the module tables as a scan listing the modules in this order would,
// with type codes, baud and data format 0. False with "This modules is not
// supported!" in error for a model the catalogue lacks.
bool ApplyPlannedModules(ProgramState& state, const std::vector<PlannedModule>& modules, std::string& error);

}  // namespace k400
