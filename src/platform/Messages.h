#pragma once
// Every text the user sees: message boxes and their titles, status texts,
// list entries and the composed messages, in one place so that each exact
// text is found once. Odd spellings ("Scaning...", "Warnning", "This modules
// is not supported!") are the gateway tool's own: manuals, users and their
// scripts know them as they stand, so they are kept on purpose.

#include <array>
#include <string>
#include <string_view>

namespace k400::msg {

// --- Message box titles ---
inline constexpr const char* ErrorTitle = "Error";
inline constexpr const char* WarningTitle = "Warning";
inline constexpr const char* WarnningTitle = "Warnning";
inline constexpr const char* ExitQueryTitle = "Exit Query";
inline constexpr const char* NoTitle = "";

// --- Status texts of the main window ---
inline constexpr const char* StatusConnecting = "Connecting";
inline constexpr const char* StatusScanning = "Scaning...";
inline constexpr const char* StatusTimeout = "Timeout";
inline constexpr const char* StatusScanStopped = "Scanning Process Stop";
inline constexpr const char* StatusWaiting = "Waiting for configuration";
inline constexpr const char* StatusSettingOk = "Setting Ok";
inline constexpr const char* StatusFinishDone = "Produce .EDS file is OK";
inline constexpr const char* StatusConnectFirst = "Connect to K-400 first";
inline constexpr const char* StatusNodeIdError = "NodeID or Application error";

// --- Gateway link ---
inline constexpr const char* Timeout = "Timeout";
inline constexpr const char* UnknownController = "This modules is not K400B/E!";
inline constexpr const char* StoredImageMismatch = "Attached modules do not match the configuration stored in EEPROM!";
inline constexpr const char* ModuleNotConfigured =
    "Some module isn't configured yet! Please use TARN Utility to configure it.";
inline constexpr const char* ModuleNotSupported = "This modules is not supported!";
inline constexpr const char* TooManyModules = "The scan listed more than 15 modules!";
inline constexpr const char* BadModuleAddress = "The scan listed a module address that is not hexadecimal!";
inline constexpr const char* GatewayBusy = "Module is connecting now!";

// "Can't open COM 1!"; the port as messages name it.
inline std::string CantOpenPort(std::string_view port)
{
    return "Can't open " + std::string(port) + "!";
}
// "COM 1 has been occupied".
inline std::string PortOccupied(std::string_view port)
{
    return std::string(port) + " has been occupied";
}

// --- Settings ---
inline constexpr const char* TimeoutOutOfRange = "Timeout value is out of range!(1ms~32767ms)";
inline constexpr const char* CanopenNodeIdOutOfRange = "Node ID is not supported!(1~127)";
inline constexpr const char* DeviceNetNodeIdOutOfRange = "Node ID is not supported!(1~63)";
inline constexpr const char* NodeIdError = "NodeID Error";
inline constexpr const char* ExitQuestion = "Are you sure to exit this program?";

inline std::string CanBaudNotInList(int kbps, std::string_view application, std::string_view rates)
{
    return "CAN baud rate " + std::to_string(kbps) + " kbit/s is not in the " + std::string(application) +
           " list (" + std::string(rates) + ")";
}

inline std::string CanBaudIndexNotInList(int index, std::string_view application)
{
    return "CAN baud rate entry " + std::to_string(index) + " is not in the " + std::string(application) + " list";
}
inline std::string BaudIndexNotInList(int index)
{
    return "Baud rate entry " + std::to_string(index) + " is not in the list (1200 to 115200 bps)";
}

// Entries of the main window's lists, blanks included.
inline constexpr std::array<const char*, 8> CanopenBaudList = {
    "         10    KBPS", "         20    KBPS", "         50    KBPS", "       125    KBPS",
    "       250    KBPS",  "       500    KBPS",  "       800    KBPS",  "     1000    KBPS"};
inline constexpr std::array<const char*, 3> DeviceNetBaudList = {"       125    KBPS", "       250    KBPS",
                                                                 "       500    KBPS"};
inline constexpr std::array<const char*, 8> Com2BaudList = {
    "        1200    BPS", "        2400    BPS", "        4800    BPS", "        9600    BPS",
    "       19200   BPS",  "       38400   BPS",  "       57600   BPS",  "      115200  BPS"};
inline constexpr std::array<const char*, 2> ComChecksumList = {"              Disable", "              Enable"};
inline constexpr std::array<const char*, 8> ScanBaudList = {"     1200 BPS", "     2400 BPS", "     4800 BPS",
                                                            "     9600 BPS", "   19200 BPS",  "   38400 BPS",
                                                            "   57600 BPS",  " 115200 BPS"};
inline constexpr std::array<const char*, 2> ScanChecksumList = {" Disable", "Enable"};
// The parameter viewer's texts ("Enalbe" is spelled so).
inline constexpr const char* ViewerChecksumDisabled = "Disable";
inline constexpr const char* ViewerChecksumEnabled = "Enalbe";
inline constexpr const char* CanopenName = "CANopen";
inline constexpr const char* DeviceNetName = "DeviceNet";

// --- CANopen ---
inline constexpr const char* GuardTimeOverflow = "Guard Time is overflow";
inline constexpr const char* LifeFactorOverflow = "Life factor is overflow";
inline constexpr const char* HeartbeatOverflow = "Consumer Heartbeat Time is overflow";
inline constexpr const char* NoObjectAvailable = "No object is available!";
inline constexpr const char* NoChannelAvailable = "No channel is available!";
inline constexpr const char* NoPdoMapping = "No PDO mapping has been built";

// "The analog output channels of the modules do not fit into 32 receive PDOs".
inline std::string ChannelsDoNotFit(std::string_view channelKind, std::string_view pdoKind)
{
    return "The " + std::string(channelKind) + " channels of the modules do not fit into 32 " + std::string(pdoKind) +
           " PDOs";
}

// --- DeviceNet ---
inline constexpr const char* NotFinished = "You have not fininshing!";
inline constexpr const char* StrobeTooLong = "Error! The selected data length > 8 bytes";
inline constexpr const char* NewDeviceNetSetting = "This is a new Setting for DNS gateway";
inline constexpr const char* StoredSelectionError = "EEPROM ERROR,We show the default value.";
inline constexpr const char* NoneEntry = "None";
inline constexpr std::array<const char*, 4> DefaultConnectionNames = {"Poll ", "Strobe", "COS", "Cyclic"};

// "The digital output assembly would need 260 bytes; an assembly holds at most 251 bytes."
inline std::string AssemblyTooLarge(std::string_view kind, std::string_view direction, int needed, int limit)
{
    return "The " + std::string(kind) + " " + std::string(direction) + " assembly would need " +
           std::to_string(needed) + " bytes; an assembly holds at most " + std::to_string(limit) + " bytes.";
}

// --- Planned modules ---
inline constexpr const char* TooManyPlannedModules = "more than 15 modules";
inline std::string BadPlannedModule(std::string_view item)
{
    return "bad module '" + std::string(item) + "' (expected MODEL@ADDRESS, e.g. M38@3)";
}
inline std::string BadPlannedAddress(std::string_view item)
{
    return "bad address in '" + std::string(item) + "' (1..255)";
}
inline std::string PlannedAddressTwice(int address)
{
    return "address " + std::to_string(address) + " is given twice";
}
// "M99 at 3: This modules is not supported!"
inline std::string ModuleNotSupportedAt(std::string_view model, int address)
{
    return std::string(model) + " at " + std::to_string(address) + ": " + ModuleNotSupported;
}

// --- Files ---
inline constexpr const char* EdsNotWritten = "The EDS file could not be written";

inline std::string CannotWriteFile(std::string_view file, std::string_view folder, std::string_view reason)
{
    return "Cannot write the file " + std::string(file) + " in the folder " + std::string(folder) + ": " +
           std::string(reason);
}
inline std::string NoFileName(std::string_view folder)
{
    return "No file name given for the output in folder " + std::string(folder);
}

}  // namespace k400::msg
