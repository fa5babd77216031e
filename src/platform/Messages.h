#pragma once
// Every text the user sees: message boxes and their titles, status texts,
// list entries and the composed messages, in one place so that each exact
// text is found once. Odd spellings ("Scaning...", "Warnning", "This modules
// is not supported!") are the gateway tool's own: manuals, users and their
// scripts know them as they stand, so they are kept on purpose.

#include <array>
#include <cstddef>
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

// A serial device the user may not open. On Linux serial devices belong to the
// group dialout, and a new group membership counts from the next login.
inline std::string PortPermissionDenied(std::string_view device)
{
    return std::string(device) +
           ": permission denied. To use serial ports your user must be in the group 'dialout': run\n"
           "    sudo usermod -aG dialout $USER\n"
           "then log out and log in again.";
}

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

// "COM 1 has been occupied by minicom, PID 4242".
inline std::string PortOccupiedBy(std::string_view port, std::string_view holders)
{
    return PortOccupied(port) + " by " + std::string(holders);
}
// One program holding a port: "minicom, PID 4242", or "PID 4242" when its name cannot be read.
inline std::string ProcessText(std::string_view name, int pid)
{
    return (name.empty() ? std::string() : std::string(name) + ", ") + "PID " + std::to_string(pid);
}

// --- Writing the gateway's EEPROM ---
// What the EEPROM holds after a Finish (also the JSON "eeprom" values).
inline constexpr const char* EepromUnchanged = "unchanged";
inline constexpr const char* EepromPartlyWritten = "partly written, marked invalid";
inline constexpr const char* EepromWrittenAndVerified = "written and verified";
inline constexpr const char* EepromStatusLabel = "EEPROM: ";
inline constexpr const char* StatusVerifyFailed = "EEPROM verify error";
inline constexpr const char* EepromIncomplete =
    "The gateway's configuration is incomplete: its stored image is marked invalid. Run Finish again to repair it.";
inline constexpr const char* EdsMissingAfterEeprom =
    "The gateway's configuration was written and verified; only the EDS file is missing. Run Finish again to "
    "write it.";
// "The gateway's EEPROM does not hold what was written: block 2, offset 12: written 327683, read 32768"
inline std::string EepromWordMismatch(int block, int offset, std::string_view written, std::string_view read)
{
    return "The gateway's EEPROM does not hold what was written: block " + std::to_string(block) + ", offset " +
           std::to_string(offset) + ": written " + std::string(written) + ", read " + std::string(read);
}
// A Finish stopped by Ctrl+C (or SIGTERM, SIGHUP), by what the EEPROM then holds.
inline constexpr const char* StoppedUnchanged = "Stopped: the gateway's configuration was not changed.";
inline constexpr const char* StoppedPartlyWritten =
    "Stopped: the gateway's configuration is incomplete: its stored image is marked invalid. Run Finish again to "
    "repair it.";
inline constexpr const char* StoppedWritten =
    "Stopped: the gateway's configuration was written and verified; the EDS file was not written.";

// "Build EDS File" while the port list shows another port than the one connected.
inline std::string PortChangedSinceConnect(std::string_view connected, std::string_view listed)
{
    return "The modules were scanned on " + std::string(connected) + ", but the port list now shows " +
           std::string(listed) + ". Connect again on " + std::string(listed) +
           " to configure that gateway, or choose " + std::string(connected) + ".";
}

// --- Settings ---
inline constexpr const char* TimeoutOutOfRange = "Timeout value is out of range!(1ms~32767ms)";
inline constexpr const char* CanopenNodeIdOutOfRange = "Node ID is not supported!(1~127)";
inline constexpr const char* DeviceNetNodeIdOutOfRange = "Node ID is not supported!(1~63)";
inline constexpr const char* NodeIdError = "NodeID Error";
inline constexpr const char* ExitQuestion = "Are you sure to exit this program?";

inline std::string CanBaudNotInList(int kbps, std::string_view application, std::string_view rates)
{
    return "CAN baud rate " + std::to_string(kbps) + " kbit/s is not in the " + std::string(application) + " list (" +
           std::string(rates) + ")";
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

// --- EDS texts ---
// "The creator has the character "☃", which the EDS file's character set (Windows-1252) does not have"
inline std::string NotInEdsCharacterSet(std::string_view field, std::string_view character)
{
    return "The " + std::string(field) + " has the character \"" + std::string(character) +
           "\", which the EDS file's character set (Windows-1252) does not have";
}
inline constexpr const char* DescriptionField = "description";
inline constexpr const char* CreatorField = "creator";

// --- Command line ---
inline constexpr const char* InvalidImageNeedsSettings =
    "The gateway's stored configuration is invalid, so its node ID and CAN baud rate are unknown: give --node-id "
    "and --can-baud, or --accept-defaults to use node ID 1 and the first CAN baud rate. Nothing was written.";

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

// --- Windows: titles, captions, labels, buttons ---
inline constexpr const char* MainTitle = "General Setting";
inline constexpr const char* FileMenu = "File";
inline constexpr const char* ExitMenu = "Exit";
inline constexpr const char* AboutMenu = "About";
inline constexpr const char* CommunicationCaption = "Communication";
inline constexpr const char* PcComPortLabel = "PC COM Port :";
inline constexpr const char* ConnectButton = "Connect";
inline constexpr const char* FirmwareVersionLabel = "Firmware Version";
inline constexpr const char* StatusLabel = "Status:";
inline constexpr const char* BuildEdsButton = "Build EDS File";
inline constexpr const char* ExitProgramButton = "Exit Program";
inline constexpr const char* SituationCaption = "K400x series Situation";
inline constexpr const char* SelectButton = "Select";
inline constexpr const char* CanSideTip = "CAN side parameters";
inline constexpr const char* Com2SideTip = "COM2 side parameters";
inline constexpr const char* ParaSettingCaptionCan = "CAN Parameter Setting";
inline constexpr const char* ParaViewCaptionCan = "CAN Parameter Viewer";
inline constexpr const char* ApplicationLayerCaption = "Application Layer";
inline constexpr const char* BaudRateLabel = "Baud rate";
inline constexpr const char* NodeIdLabel = "NODE ID ";
inline constexpr const char* TimeoutLabel = "Timeout ";
inline constexpr const char* ChecksumLabel = "Checksum";
inline constexpr const char* SettingButton = "Setting";
inline constexpr const char* ApplicationLayerViewLabel = "Application Layer";
inline constexpr const char* NodeIdViewLabel = "Node ID";
inline constexpr const char* ScanDialogTitle = "Com Port Scan Parameters Setting";
inline constexpr const char* ScanFrameCaption = "COM Port SCAN Parameters Setting";
inline constexpr const char* Com2Caption = "COM2";
inline constexpr const char* ScanBaudLabel = "Baudrate";
inline constexpr const char* ScanChecksumLabel = "CheckSum";
inline constexpr const char* ScanTimeoutLabel = "Timeout";
inline constexpr const char* OkButton = "OK";
inline constexpr const char* CanopenTitle = "EDS File Configuration & Information Viewer";
inline constexpr const char* ErrorControlCaption = "Error Control Protocol";
inline constexpr const char* NodeGuardingOption = "Node Guarding Protocol";
inline constexpr const char* HeartbeatOption = "Heartbeat Protocol";
inline constexpr const char* ParameterSettingCaption = "Parameter Setting";
inline constexpr const char* GuardTimeLabel = "Guard Time (1ms)";
inline constexpr const char* LifeFactorLabel = "Life factor";
inline constexpr const char* HeartbeatLabel = "Consumer Heartbeat Time (1ms)";
inline constexpr const char* PdoInformationButton = "PDO Information";
inline constexpr const char* DeviceInformationButton = "Device Information";
inline constexpr const char* TarnInformation = "TARN Information";
inline constexpr const char* FinishButton = "Finish";
inline constexpr const char* BackButton = "Back";
inline constexpr const char* DeviceNetTitle = "DeviceNet EDS File Setting";
inline constexpr const char* PollInfoCaption = "Poll Info";
inline constexpr const char* StrobeInfoCaption = "Strobe Info";
inline constexpr const char* CosInfoCaption = "COS/Cyclic Info";
inline constexpr const char* ProducedConnectionLabel = "Produced Connection";
inline constexpr const char* ConsumedConnectionLabel = "Consumed Connection";
inline constexpr const char* UnusedOutputLabel = "xxxxxxxxxxxx";
inline constexpr const char* DefaultIoCaption = "Default IO Info";
inline constexpr const char* ApplicationViewButton = "Application View";
inline constexpr const char* AssemblyViewButton = "Assembly Objcet View";
inline constexpr const char* TarnInfoButton = "View Tarn Info";
inline constexpr const char* EdsInfoCaption = "EDS File Information";
inline constexpr const char* DescriptionLabel = "Description:";
inline constexpr const char* CreatedByLabel = "Created By:";
inline constexpr const char* PdoViewerTitle = "Rx/Tx PDO Parameters";
inline constexpr const char* SettingResultCaption = "Setting Result";
inline constexpr const char* ReceivePdoTab = "Receive PDO";
inline constexpr const char* TransmitPdoTab = "Transmit PDO";
inline constexpr const char* ObjectDictionaryTitle = "Manufacturer Specific/Standardized Device Object Dictionary";
inline constexpr const char* ManufacturerObjectsTab = "Manufacturer Specific Object Dictionary";
inline constexpr const char* StandardizedObjectsTab = "Standardized Device Object Dictionary";
inline constexpr const char* ApplicationObjectTitle = "Application Object";
inline constexpr const char* AssemblyObjectTitle = "Assembly Object";
inline constexpr const char* AboutTitle = "About";
inline constexpr const char* ProductName = "K-400 Gateway Utility";
// K400GW_VERSION comes from project(VERSION) in CMakeLists.txt, like --version and the package.
inline constexpr const char* AboutVersion = "Ver. " K400GW_VERSION;
inline constexpr const char* AboutDate = "January. 2008";
inline constexpr const char* SupportCaption = "Support";
inline constexpr const char* SupportDeviceNet = "GWD-1: DeviceNet slave / TARN master gateway";
inline constexpr const char* SupportCanopen = "GWC-1: CANopen slave / TARN master gateway";
inline constexpr const char* SplashSubtitle = "Configuration for the GWC-1 CANopen and GWD-1 DeviceNet gateways";
inline constexpr const char* SplashRevision = "Release revision: ver " K400GW_VERSION;

// --- Viewer headings (blanks and spellings as the viewers always showed them) ---
inline constexpr std::array<const char*, 9> ModuleInfoHeadings = {
    "No.", "Address", "   Name", "Type Code", "Data Format", "DO Ch Num", "AO Ch Num", " DI Ch Num", " AI Ch Num"};
inline constexpr std::array<const char*, 13> PdoHeadings = {
    "PDO NO.",   "COB-ID (Hex)", "Transmission Type", "Inhibit Time", "Event Timer", "Mapping 0", "Mapping 1",
    "Mapping 2", "Mapping 3",    "Mapping 4",         "Mapping 5",    "Mapping 6",   "Mapping 7"};
// The receive PDOs' inhibit time and event timer cells ("Reversed" is spelled so).
inline constexpr const char* PdoUnusedCell = "Reversed";
inline constexpr const char* IndexHeading = "Index";
inline constexpr const char* DescriptionHeading = "Description";
inline constexpr const char* SubindexHeading = "Subindex";
inline constexpr std::array<const char*, 4> ManufacturerObjectNames = {
    "Module W/R Error Count", "Module WDT Enable/Disable", "Module WDT Timer", " Module WDT Status"};
inline constexpr std::array<const char*, 8> StandardizedObjectNames = {
    "                   Read DI (8-bit)", "                  Write DO (8-bit)",
    "            DO Err Mode (8-bit)",    "          DO Err Output (8-bit)",
    "               Read AI (16-bit)",    "               Read AO (16-bit)",
    "                AO Err Mode",        " AO Err Output (16-bit)"};
inline constexpr std::array<const char*, 15> ApplicationObjectHeadings = {
    "Instance No.",      "IO type(Att.1)",     "Name(Att.2)",      "Address(Att.3)",   "Baud(Att.4)",
    "TypeCod(Att.5)",    "DataFormate(Att.6)", "DO Length(Att.7)", "AO Length(Att.8)", "DI Length(Att.9)",
    "AI Length(Att.10)", "DO Num.(Att.11)",    "AO Num.(Att.12)",  "DI Num.(Att.13)",  "AI Num.(Att.14)"};
inline constexpr std::array<const char*, 3> AssemblyHeadings = {"IO NO.", "Ins.ID (Hex)", "Ins Length"};
inline constexpr const char* AssemblyMappingHeading = "Mapping  ";  // + column number
inline constexpr const char* OutputInstanceTab = "Output Instance";
inline constexpr const char* InputInstanceTab = "Input Instance";

// --- Network ports and the simulator's TCP server ---

// Port names and listen addresses.
inline constexpr std::string_view NotANetworkPort = "not a network port (tcp://HOST:PORT or rfc2217://HOST:PORT)";
inline constexpr std::string_view HostMissing = "the host is missing";
inline constexpr std::string_view BadHost = "the host has a character no host name or address has";
inline constexpr std::string_view UnbracketedIpv6 = "an IPv6 address goes in brackets, as in [::1]:4001";
inline constexpr std::string_view BadBrackets = "brackets hold an IPv6 address and are followed by :PORT";
inline constexpr std::string_view PortMissing = "the port number is missing (HOST:PORT)";
inline constexpr std::string_view PortOutOfRange = "the port must be a number from 1 to 65535";
inline constexpr std::string_view ListenPortOutOfRange = "the port must be a number from 0 to 65535";

// Opening: "Can't open <name>! (<reason>)".
inline constexpr std::string_view CantOpenBefore = "Can't open ";
inline constexpr std::string_view CantOpenAfter = "! (";
inline constexpr std::string_view CantOpenEnd = ")";
inline constexpr std::string_view SecondConnectionRefused = "the device server refused a second connection";
inline constexpr std::string_view ClosedWhileOpening = "the device server closed the connection";
inline constexpr std::string_view ComPortNoAnswer = "the device server does not answer the COM-PORT-OPTION (RFC 2217)";
inline constexpr std::string_view ComPortRefused = "the device server refuses the COM-PORT-OPTION (RFC 2217)";
inline constexpr std::string_view LineNotConfirmed = "the device server does not confirm the line settings (RFC 2217):";
inline constexpr std::string_view LineDiffers = "the device server sets the line differently (RFC 2217):";
// The settings in those two texts: "<setting> <value>", "... instead of <value>".
inline constexpr std::string_view BaudRate = "baud rate";
inline constexpr std::string_view DataBits = "data bits";
inline constexpr std::string_view Parity = "parity";
inline constexpr std::string_view StopBits = "stop bits";
inline constexpr std::string_view FlowControl = "flow control";
inline constexpr std::string_view InsteadOf = "instead of";
// Values by their RFC 2217 code (index); a code outside is shown as its number.
inline constexpr std::string_view ParityNames[] = {"", "none", "odd", "even", "mark", "space"};
inline constexpr std::string_view StopBitNames[] = {"", "1", "2", "1.5"};
inline constexpr std::string_view FlowControlNames[] = {"", "none", "XON/XOFF", "hardware"};

// The simulator's TCP server (standard error, one line each).
// "Simulated <controller> gateway on <port name>; stop with Ctrl+C"
inline constexpr std::string_view SimServingBefore = "Simulated ";
inline constexpr std::string_view SimServingOn = " gateway on ";
inline constexpr std::string_view SimServingAfter = "; stop with Ctrl+C";
inline constexpr std::string_view SimSecondClientRefused = "refused a second connection while a client is served";
inline constexpr std::string_view SimClientLeft = "the client closed the connection";
inline constexpr std::string_view SimCannotListen = "cannot listen on";
inline constexpr std::string_view SimNoStopPipe = "cannot create the stop pipe";
inline constexpr std::string_view SimVanished = "the device vanished (scenario fault)";
inline constexpr std::string_view SimNotListening = "the simulator is not listening";
inline constexpr std::string_view SimAcceptFailed = "accept failed: ";
inline constexpr std::string_view SimRfc2217WithoutListen = "--rfc2217 needs --listen";
inline constexpr std::string_view SimLinkWithListen = "--link names a pseudo-terminal; it does not go with --listen";
inline constexpr const char* SimConnection = "the connection";  // in "read from ... failed"
// Standard output of the pseudo-terminal server when a scenario's pause starts: "paused after value 21".
inline constexpr const char* SimPausedAfterValue = "paused after value ";

// The command line's own texts.
inline constexpr const char* CliWarningPrefix = "warning: ";
inline std::string CliScanWaiting(int seconds, int modules)
{
    return "Scanning the modules: " + std::to_string(seconds) + " s, " + std::to_string(modules) +
           (modules == 1 ? " module listed" : " modules listed");
}
// Where a console dialogue failed: the command sent and the marker awaited.
inline std::string CliNoMarker(std::string_view marker, std::string_view command, long long ms)
{
    return "no \"" + std::string(marker) + "\" after \"" + std::string(command) + "\" within " + std::to_string(ms) +
           " ms";
}
inline std::string CliUnexpectedReply(std::string_view command, std::string_view reply)
{
    return "after \"" + std::string(command) + "\" the console answered \"" + std::string(reply) + "\"";
}
inline std::string PlanModulesDiffer(std::string_view difference)
{
    return "The attached modules are not those of the plan (" + std::string(difference) + "); nothing was written.";
}
inline constexpr const char* CliCannotWriteTrace = "cannot write the trace file ";
inline std::string CliCannotMakeFolder(std::string_view folder, std::string_view reason)
{
    return "cannot make the output folder " + std::string(folder) + ": " + std::string(reason);
}

// --- Command line: help and usage ---
inline constexpr const char* CliProgramName = "k400gw";
inline constexpr const char* HelpUsage =
    "usage: k400gw COMMAND [OPTIONS]\n"
    "       k400gw help COMMAND | COMMAND --help\n"
    "       k400gw --version\n";
inline constexpr const char* HelpProgramSummary =
    "Configuration utility for the GWC-1 (CANopen) and GWD-1 (DeviceNet) gateways.";
inline constexpr const char* HelpCommandsHeading = "Commands:";
inline std::string HelpCommandUsage(std::string_view command)
{
    return "usage: k400gw " + std::string(command) + " [OPTIONS]\n";
}
inline constexpr const char* HelpHelpFlag = "print this help and exit";
// Below a usage error: the command's own help, or the list of commands when none was recognised.
inline std::string CliTryHelp(std::string_view command)
{
    return "Try 'k400gw " + (command.empty() ? std::string("--help") : "help " + std::string(command)) +
           "' for more information.";
}
inline std::string CliUnknownCommand(std::string_view command)
{
    return "unknown command: " + std::string(command);
}
inline std::string CliNotExpected(std::string_view extras)
{
    return "not expected: " + std::string(extras);
}
inline constexpr const char* CliNeedsValue = "needs a value";  // after "--port: "
inline std::string CliNeedsValueNotOption(std::string_view option)
{
    return "needs a value, not the option " + std::string(option);
}
inline std::string CliNotWholeNumber(std::string_view text)
{
    return "'" + std::string(text) + "' is not a whole decimal number";
}
inline std::string CliOutOfRange(int value, int low, int high)
{
    return std::to_string(value) + " is out of range " + std::to_string(low) + ".." + std::to_string(high);
}
inline constexpr const char* CliErrorPrefix = "Error: ";
inline constexpr const char* CliPortRequired = "--port PORT is required (COM1..COM16, a device path or sim)";
inline constexpr const char* CliGiveCanBaud = "; give --can-baud";
inline constexpr const char* CliProfileRequired =
    "--profile canopen|devicenet is required (or a --plan naming the profile)";
inline std::string CliAppliesToProfile(std::string_view option, std::string_view profile)
{
    return std::string(option) + " applies to --profile " + std::string(profile);
}
inline std::string CliBadFirmware(std::string_view example, std::string_view given)
{
    return "--firmware needs MAJOR.MINOR-YYYYMMDD such as " + std::string(example) + ", not '" + std::string(given) +
           "'";
}
// "--poll-in 9: the input selector has the entries 0..4".
inline std::string CliSelectorHasEntries(std::string_view option, int given, bool input, std::size_t last)
{
    return std::string(option) + " " + std::to_string(given) + ": the " + (input ? "input" : "output") +
           " selector has the entries 0.." + std::to_string(last);
}
inline std::string CliFolderMissing(std::string_view folder)
{
    return "The output folder " + std::string(folder) + " does not exist or is not a folder";
}
inline std::string CliFolderNotWritable(std::string_view folder, std::string_view reason)
{
    return "Cannot write to the output folder " + std::string(folder) + ": " + std::string(reason);
}
inline std::string CliCannotStartSimulator(std::string_view reason)
{
    return "cannot start the simulated gateway: " + std::string(reason);
}

// Option help, shared by the commands that take the option.
inline constexpr const char* HelpJsonResult = "print the result as one JSON object";
inline constexpr const char* HelpJsonList = "print the list as one JSON array";
inline constexpr const char* HelpJsonReport = "print the report as one JSON object";
inline std::string HelpWithDefault(std::string_view help, int value)
{
    return std::string(help) + " (default " + std::to_string(value) + ")";
}
inline constexpr const char* HelpPort =
    "the gateway's port: COM1..COM16 (on Linux /dev/ttyS0..15), a number 1..16, a device path "
    "such as /dev/ttyUSB0, tcp://HOST:PORT or rfc2217://HOST:PORT (a serial device server), `sim` "
    "(the built-in simulated gateway) or `sim:FILE.json` (a simulated gateway from a scenario file); "
    "required";
inline constexpr const char* HelpPaceMs = "pause after each character sent";
inline constexpr const char* HelpStrictTiming = "let every recovery step wait its whole time-out (1000 ms)";
inline constexpr const char* HelpVerbose = "print status texts and progress while running";
inline constexpr const char* HelpQuiet = "no progress line on the terminal; only the result and errors";
inline constexpr const char* HelpTrace =
    "write every byte sent to and received from the gateway to FILE, with the time in ms";
inline constexpr const char* HelpScanBaud = "COM2 baud rate of the module scan (default 9600)";
inline constexpr const char* HelpScanChecksum = "scan with the TARN checksum (default off)";
inline constexpr const char* HelpScanTimeout = "module reply time-out of the scan";
inline constexpr const char* HelpNodeId = "CAN node ID: 1..127 for CANopen, 1..63 for DeviceNet";
inline std::string HelpCanBaud(std::string_view canopenRates, std::string_view deviceNetRates)
{
    return "CAN baud rate in kbit/s, from the profile's list (CANopen " + std::string(canopenRates) + "; DeviceNet " +
           std::string(deviceNetRates) + ")";
}
inline constexpr const char* HelpCom2Baud = "baud rate of the modules' COM2 line";
inline constexpr const char* HelpCom2Checksum = "TARN checksum on the COM2 line";
inline constexpr const char* HelpCom2Timeout = "module reply time-out on the COM2 line";
inline constexpr const char* HelpSettingsFooter = "Settings not given keep what the gateway holds.";
inline constexpr const char* HelpDescription = "Description of the EDS file (default: the gateway's)";
inline constexpr const char* HelpCreatedBy = "CreatedBy of the EDS file (default: the maker's)";
inline constexpr const char* HelpOutputDirEds =
    "folder of the EDS file (default: the program's folder; the current folder when the "
    "program is installed)";
inline constexpr const char* HelpOutputDirEdsDcf =
    "folder of the EDS and DCF files (default: the program's folder; the current folder "
    "when the program is installed)";
inline constexpr const char* HelpOutputDirEdsFiles =
    "folder of the EDS files (default: the program's folder; the current folder when "
    "the program is installed)";
inline constexpr const char* HelpNoDcf = "CANopen: write no device configuration file (DCF) beside the EDS";

// `k400gw scan`
inline constexpr const char* HelpScanSummary = "connect, scan the modules and show what the gateway holds";
inline constexpr const char* HelpScanDescription =
    "Runs the connect sequence: recognises the controller, reads the configuration stored in the\n"
    "EEPROM, scans the TARN modules with the given scan parameters and checks the stored\n"
    "configuration against them. Prints the controller, the firmware version, the stored (or\n"
    "default) settings and the modules found. Nothing is written to the gateway.";
inline constexpr const char* CliControllerLabel = "Controller: ";
inline constexpr const char* CliFirmwareVersionLabel = "Firmware version: ";
inline constexpr const char* CliStoredImageLabel = "Stored configuration: ";
inline constexpr const char* CliApplicationLabel = "Application layer: ";
inline constexpr const char* CliNodeIdLabel = "Node ID: ";
inline constexpr const char* CliCanBaudLabel = "CAN baud rate: ";
inline constexpr const char* CliCom2BaudLabel = "COM2 baud rate: ";
inline constexpr const char* CliCom2ChecksumLabel = "COM2 checksum: ";
inline constexpr const char* CliCom2TimeoutLabel = "COM2 time-out: ";
inline std::string CliModulesTitle(int count)
{
    return "TARN modules (" + std::to_string(count) + ")";
}

// `k400gw configure` and `k400gw eds`
inline constexpr const char* HelpConfigureSummary =
    "configure a gateway end to end: connect, scan, settings, Finish, EDS file";
inline constexpr const char* HelpConfigureDescription =
    "Connects, scans the modules, applies the given settings through the same checks as the\n"
    "window's \"Setting\", builds the I/O image, writes the configuration into the gateway's\n"
    "EEPROM and writes the EDS file.";
inline constexpr const char* HelpEdsSummary = "write the EDS file of a planned set of modules, no gateway needed";
inline constexpr const char* HelpEdsDescription =
    "Builds the I/O image of the listed modules (model@address, in listing order) and writes\n"
    "the EDS file.";
inline constexpr const char* HelpProfile = "the slave profile to configure; required unless the plan names it";
inline constexpr const char* HelpPlan =
    "take the profile, settings, choices, EDS texts and modules from a plan file; options "
    "given here override it";
inline constexpr const char* HelpSavePlan =
    "write the plan this run uses (settings, choices, texts and modules) to FILE";
inline constexpr const char* HelpDryRun = "stop before Finish: print the tables and the image words";
inline constexpr const char* HelpAcceptDefaults =
    "configure a gateway whose stored configuration is invalid with the default node ID and "
    "CAN baud rate (otherwise --node-id and --can-baud are required there)";
inline constexpr const char* HelpModules =
    "planned modules in order, MODEL@ADDRESS separated by commas, e.g. M38@3,M33@26 "
    "(addresses 1..255, at most 15)";
inline std::string HelpFirmware(std::string_view defaultFirmware)
{
    return "firmware as MAJOR.MINOR-YYYYMMDD (default " + std::string(defaultFirmware) + ")";
}
inline constexpr const char* HelpGuardTime = "CANopen: node guarding with this guard time";
inline constexpr const char* HelpLifeFactor = "CANopen: node guarding with this life time factor";
inline constexpr const char* HelpHeartbeat = "CANopen: heartbeat with this producer time (not with --guard-time)";
// "DeviceNet: poll input selector entry, ...".
inline std::string HelpSelectorEntry(std::string_view kind, bool input)
{
    return "DeviceNet: " + std::string(kind) + (input ? " input" : " output") +
           " selector entry, as the selector list numbers it (0 = None)";
}
inline constexpr const char* HelpDefaultIo = "DeviceNet: the default connection";
inline constexpr const char* HelpSelectorFooter =
    "Selector entry N is the entry's number in the selector list (printed by the command), "
    "the same number as the EDS \"Input N\"/\"Output N\" entry.";
inline constexpr const char* CliDryRunEdsFile = "Dry run: nothing written. EDS file would be ";
inline constexpr const char* CliInputSelectorTitle = "Input selector (produced connection)";
inline constexpr const char* CliOutputSelectorTitle = "Output selector (consumed connection)";
// "Selections: poll in 1 out 1, strobe in 0 out 0, cos/cyclic in 2 out 0, default poll".
inline std::string CliSelections(std::array<int, 3> in, std::array<int, 3> out, std::string_view defaultIo)
{
    return "Selections: poll in " + std::to_string(in[0]) + " out " + std::to_string(out[0]) + ", strobe in " +
           std::to_string(in[1]) + " out " + std::to_string(out[1]) + ", cos/cyclic in " + std::to_string(in[2]) +
           " out " + std::to_string(out[2]) + ", default " + std::string(defaultIo);
}
inline constexpr const char* CliNoAssemblies = "No assembly instances.";
inline constexpr const char* CliImageTitle = "Configuration image:";
// One word a Finish writes: "block 2 offset 4: 513 (0x00000201)".
inline std::string CliImageWord(int block, int offset, std::string_view value, std::string_view hex)
{
    return "block " + std::to_string(block) + " offset " + std::to_string(offset) + ": " + std::string(value) + " (0x" +
           std::string(hex) + ")";
}

// `k400gw batch`
inline constexpr const char* HelpBatchSummary = "configure, back up or compare many gateways at once from a manifest";
inline constexpr const char* HelpBatchDescription =
    "The manifest (JSON) lists gateways, each with a name, a port and a plan (a plan file,\n"
    "relative to the manifest, or the plan inline), and an output folder. Every gateway runs\n"
    "in its own session at the same time; one that fails does not stop the others. Prints\n"
    "one status line per gateway while running and a table at the end.\n"
    "--action backup writes each gateway's backup to OUTPUT_DIR/NAME.backup.json (no plan needed);\n"
    "--action compare compares each gateway with its \"backup\" file (relative to the manifest)\n"
    "and exits with 3 when one differs and none failed.";
inline constexpr const char* HelpManifest = "the manifest file";
inline constexpr const char* HelpAction = "what to do with each gateway (default configure)";
inline constexpr const char* HelpJobs = "gateways at once, 0 for all";
inline constexpr const char* HelpTraceDir = "a trace file per gateway (NAME.trace) in DIR";
inline std::string CliCannotReadManifest(std::string_view manifest)
{
    return "cannot read the manifest " + std::string(manifest);
}
inline constexpr const char* CliManifestWhat = "the manifest";  // where a manifest's error is found
inline constexpr const char* CliManifestNoGateways = "missing: the manifest lists its gateways";
// `needed`: the member the action works from ("plan", "backup"), or none.
inline std::string CliGatewayNeeds(const char* needed)
{
    return std::string("a gateway needs \"name\", \"port\"") +
           (needed ? std::string(" and \"") + needed + "\"" : std::string());
}
inline constexpr const char* CliBadGatewayName = "a name is not empty and holds no '/' or '\\\\' (it names files)";
inline std::string CliNameTwice(std::string_view name)
{
    return "\"" + std::string(name) + "\" is used twice";
}
inline std::string CliPortTwice(std::string_view port)
{
    return "\"" + std::string(port) + "\" is used twice: one session per port";
}
inline constexpr const char* CliBatchWaiting = "waiting";
inline constexpr const char* CliBatchConnecting = "connecting";
inline constexpr const char* CliBatchDone = "done";
inline constexpr const char* CliBatchDiffers = "differs";
inline constexpr const char* CliBatchOk = "ok";
inline std::string CliBatchFailed(std::string_view reason)
{
    return "failed: " + std::string(reason);
}
inline std::string CliBatchExit(int code)
{
    return "exit " + std::to_string(code);
}
inline constexpr std::array<const char*, 6> CliBatchColumns = {"Name", "Port", "Result", "Node ID", "Files", "Time"};
inline std::string CliGatewaysTitle(std::size_t count)
{
    return "Gateways (" + std::to_string(count) + ")";
}

// `k400gw backup`, `compare` and `restore`
inline constexpr const char* HelpBackupSummary = "keep what a gateway holds in a backup file";
inline constexpr const char* HelpBackupDescription =
    "Connects, reads every word of the stored configuration without changing it and writes one\n"
    "JSON file: controller, firmware, scan parameters, modules, settings, profile choices and the\n"
    "image words. Nothing is written to the gateway.";
inline constexpr const char* HelpCompareSummary = "compare a gateway with a backup file";
inline constexpr const char* HelpCompareDescription =
    "Connects, reads the stored configuration as backup does and prints what differs from the\n"
    "file: by meaning first (settings, modules, profile choices), then the image words. The\n"
    "Finish date and time are shown but do not count. Exit code 0 when equal, 3 when they differ,\n"
    "1 on failure. Without --scan-* options the scan uses the file's parameters.";
inline constexpr const char* HelpRestoreSummary = "write a backup into a gateway with the same modules";
inline constexpr const char* HelpRestoreDescription =
    "Connects and refuses, writing nothing, unless the attached modules are the file's (address,\n"
    "name, type codes). Then writes the file's image words as Finish does (the image marked\n"
    "invalid until every word is read back), connects again and writes the EDS file (and for\n"
    "CANopen the DCF) of the restored configuration. This is how a failed gateway is replaced.\n"
    "Without --scan-* options the scan uses the file's parameters.";
inline constexpr const char* HelpBackupFile = "the backup file";
inline constexpr const char* HelpBackupOutput = "the backup file to write";

// `k400gw identify`
inline constexpr const char* HelpIdentifySummary = "recognise the controller and read its firmware version";
inline constexpr const char* HelpIdentifyDescription =
    "The short dialogue that checks a cable: brings the console to its top level, recognises\n"
    "the controller (K400E or K400B) and reads the firmware words. Nothing is scanned or written.";
inline constexpr const char* CliFirmwareLabel = "Firmware: ";

// `k400gw ports` and `k400gw models`
inline constexpr const char* HelpPortsSummary = "list the serial ports of this machine";
inline constexpr const char* HelpPortsDescription =
    "Name, device, description, manufacturer and serial number of each serial port the system\n"
    "reports. The name is what --port takes.";
inline constexpr std::array<const char*, 5> CliPortColumns = {"Name", "Device", "Description", "Manufacturer",
                                                              "Serial number"};
inline std::string CliSerialPortsTitle(std::size_t count)
{
    return "Serial ports (" + std::to_string(count) + ")";
}
inline constexpr const char* HelpModelsSummary = "list the TARN module models the gateways can poll";
inline constexpr const char* HelpModelsDescription =
    "Each model with its kinds of I/O, its channels (AI in words; a counter counts as two) and\n"
    "the bytes it takes in the gateway's input and output images. The names are what\n"
    "`eds --modules` takes.";
inline constexpr std::array<const char*, 8> CliModelColumns = {"Model", "I/O", "AI",          "AO",
                                                               "DI",    "DO",  "Input bytes", "Output bytes"};
inline std::string CliModelsTitle(std::size_t count)
{
    return "TARN models (" + std::to_string(count) + ")";
}

// `k400gw sim`
inline constexpr const char* HelpSimSummary = "serve a simulated gateway console on a pseudo-terminal or a TCP port";
inline constexpr const char* HelpSimDescription =
    "Prints the device path of a pseudo-terminal as its first line and serves a simulated gateway\n"
    "console on it until interrupted (SIGINT or SIGTERM); any terminal program or a second k400gw\n"
    "can talk to it. With --listen it serves as a serial device server would, one client at a\n"
    "time, and prints the port name to open instead (tcp://HOST:PORT, rfc2217://HOST:PORT).";
inline constexpr const char* HelpScenario = "the simulated gateway (JSON; default: the built-in one)";
inline constexpr const char* HelpLink = "also reach the device through this symbolic link while serving";
inline constexpr const char* HelpEepromOut = "write the EEPROM here at start and after every change";
inline constexpr const char* HelpListen =
    "serve on TCP instead: HOST:PORT, :PORT or PORT (host 127.0.0.1; port 0 picks a free one)";
inline constexpr const char* HelpRfc2217 = "with --listen: speak Telnet with the COM-PORT-OPTION (RFC 2217)";

// `k400gw demo`
inline constexpr const char* HelpDemoSummary = "the whole job against the built-in simulated gateway";
inline constexpr const char* HelpDemoDescription =
    "Serves the built-in simulated gateway on a pseudo-terminal and runs, through the real\n"
    "serial port code: a scan, a CANopen and a DeviceNet configuration, and a second scan.";
inline constexpr const char* CliDemoConnect = "Connect: recognise the controller, read the EEPROM, scan the modules";
inline constexpr const char* CliDemoCanopen =
    "Configure the gateway as a CANopen slave (heartbeat 1000 ms) and write its EDS file";
inline constexpr const char* CliDemoDeviceNet =
    "Configure it as a DeviceNet slave (poll: assemblies 1/1, COS: input assembly 2) and write its EDS file";
inline constexpr const char* CliDemoConnectAgain = "Connect again: the EEPROM now holds the DeviceNet configuration";

// The terminal's stand-in for the window's dialogues and status bar.
inline constexpr const char* CliYesAnswer = " [yes]";
inline constexpr const char* CliNoAnswer = " [no]";
inline constexpr const char* CliStatusLabel = "Status: ";
inline constexpr const char* CliProgressLabel = "Progress: ";

// --- Desktop window: plans, pending entries, feedback during waits ---
inline constexpr const char* OpenPlanMenu = "Open Plan\u2026";
inline constexpr const char* SavePlanMenu = "Save Plan\u2026";
inline constexpr const char* OpenPlanTitle = "Open Plan";
inline constexpr const char* SavePlanTitle = "Save Plan";
inline constexpr const char* PlanFileFilter = "Configuration plans (*.json);;All files (*)";
inline std::string PlanNotRead(std::string_view error)
{
    return "The plan could not be read: " + std::string(error);
}
inline std::string PlanOpened(std::string_view file)
{
    return "Plan " + std::string(file) + " opened; store its values with Setting";
}
inline std::string PlanSaved(std::string_view path)
{
    return "Plan written to " + std::string(path);
}
inline constexpr const char* PendingHint = "not set";
inline constexpr const char* PendingTitle = "Setting";
inline constexpr const char* PendingQuestion =
    "Values entered in the parameter panel are not set yet.\n"
    "Yes: store them as Setting does, then build.\nNo: build with the stored values.";
inline constexpr const char* ReplyAwaited = "Waiting for the gateway";
inline std::string FinishProgress(int exchanges)
{
    return "Writing the configuration into the gateway: " + std::to_string(exchanges) +
           (exchanges == 1 ? " exchange" : " exchanges");
}
inline std::string EdsWritten(std::string_view file, std::string_view folder)
{
    return "EDS file " + std::string(file) + " written in " + std::string(folder);
}
inline constexpr const char* OpenFolderButton = "Open Folder";

// Tooltips: what a control does and the range it takes.
inline constexpr const char* ComPortTip =
    "The PC port cabled to the gateway's console: COM1 to COM16, a device path, or a serial device server "
    "as tcp://HOST:PORT or rfc2217://HOST:PORT";
inline constexpr const char* ConnectTip =
    "Reads the gateway's stored configuration and scans the modules on its COM2 line (asks for the scan "
    "parameters first)";
inline constexpr const char* BuildEdsTip = "Opens the CANopen or DeviceNet window for the chosen application layer";
inline constexpr const char* ExitProgramTip = "Closes the program (asks first)";
inline constexpr const char* FirmwareTip = "Firmware version the gateway reported at the last connect";
inline constexpr const char* StatusTip = "What the last action did";
inline constexpr const char* CanopenOptionTip = "CANopen slave: node ID 1 to 127, CAN baud rate 10 to 1000 kbit/s";
inline constexpr const char* DeviceNetOptionTip = "DeviceNet slave: node ID 1 to 63, CAN baud rate 125 to 500 kbit/s";
inline constexpr const char* CanBaudTip =
    "CAN baud rate of the slave (CANopen 10 to 1000, DeviceNet 125 to 500 kbit/s)";
inline constexpr const char* Com2BaudTip = "Baud rate of the modules' line: 1200 to 115200 bit/s";
inline constexpr const char* NodeIdTip = "Node ID on the CAN network: 1 to 127 (CANopen), 1 to 63 (DeviceNet)";
inline constexpr const char* Com2TimeoutTip = "How long the gateway waits for a module's reply: 1 to 32767 ms";
inline constexpr const char* ComChecksumTip = "Whether the modules' line uses the TARN checksum: Disable or Enable";
inline constexpr const char* SettingTip =
    "Checks the entered values and stores them; Build EDS File and Finish use only stored values";
inline constexpr const char* ViewerTextTip = "Stored value, as Setting or the last connect left it";
inline constexpr const char* ScanBaudTip = "Baud rate the scan uses on the modules' line: 1200 to 115200 bit/s";
inline constexpr const char* ScanChecksumTip = "Whether the scan sends the TARN checksum: Disable or Enable";
inline constexpr const char* ScanTimeoutTip = "How long the scan waits for each module's reply: 1 to 32767 ms";
inline constexpr const char* ScanOkTip =
    "Stores these scan parameters and starts the scan (Return); Escape keeps the stored ones";
inline constexpr const char* NodeGuardingTip = "Node guarding: the master polls the slave every guard time";
inline constexpr const char* HeartbeatOptionTip = "Heartbeat: the slave watches the master's heartbeat";
inline constexpr const char* GuardTimeTip = "Guard time: 0 to 65535 ms";
inline constexpr const char* LifeFactorTip = "Life time factor: 0 to 255 guard times";
inline constexpr const char* HeartbeatTimeTip = "Consumer heartbeat time: 0 to 65535 ms";
inline constexpr const char* DescriptionTip = "Description line of the EDS file: any text";
inline constexpr const char* CreatedByTip = "Creator named in the EDS file: any text";
inline constexpr const char* PdoViewTip = "Shows the receive and transmit PDOs and what each byte maps";
inline constexpr const char* DictionaryViewTip = "Shows the object dictionary entries of the modules";
inline constexpr const char* TarnViewTip = "Shows the modules the scan found";
inline constexpr const char* FinishTip = "Writes the configuration into the gateway, then the EDS file";
inline constexpr const char* BackTip = "Returns to the main window without writing";
inline constexpr const char* ProducedTip =
    "Data the gateway produces on this connection (the strobe takes at most 8 bytes)";
inline constexpr const char* ConsumedTip = "Data the gateway consumes on the poll connection";
inline constexpr const char* UnusedOutputTip = "Not used by this connection";
inline constexpr const char* DefaultIoTip = "Default I/O connection the EDS file names";
inline constexpr const char* ApplicationViewTip = "Shows the application object instances and their attributes";
inline constexpr const char* AssemblyViewTip = "Shows the assembly instances and what each byte maps";
inline constexpr const char* CloseTip = "Closes this window";
inline constexpr const char* OpenFolderTip = "Opens the folder that holds the file written";

// --- Backup, compare and restore ---

// What a comparison names, as in "node ID: file 5, gateway 6".
inline constexpr const char* FactController = "controller";
inline constexpr const char* FactFirmware = "firmware";
inline constexpr const char* FactStoredImage = "stored configuration";
inline constexpr const char* FactApplication = "application layer";
inline constexpr const char* FactNodeId = "node ID";
inline constexpr const char* FactCanBaud = "CAN baud rate";
inline constexpr const char* FactCom2Baud = "COM2 baud rate";
inline constexpr const char* FactCom2Checksum = "COM2 checksum";
inline constexpr const char* FactCom2Timeout = "COM2 time-out";
inline constexpr const char* FactErrorControl = "CANopen error control";
inline constexpr const char* FactDefaultConnection = "DeviceNet default connection";
// "DeviceNet poll input", "DeviceNet COS/cyclic output".
inline constexpr std::array<const char*, 3> FactConnectionNames = {"DeviceNet poll", "DeviceNet strobe",
                                                                   "DeviceNet COS/cyclic"};
inline constexpr const char* FactInput = " input";
inline constexpr const char* FactOutput = " output";
inline constexpr const char* FactNone = "none";
inline constexpr const char* FactValid = "valid";
inline constexpr const char* FactInvalid = "invalid";
inline constexpr const char* FactOn = "on";
inline constexpr const char* FactOff = "off";
inline std::string FactModuleAt(std::string_view hexAddress)
{
    return "module at " + std::string(hexAddress);
}
inline std::string FactModuleCodes(std::string_view typeCodes, std::string_view baud, std::string_view format)
{
    return "type " + std::string(typeCodes) + ", baud " + std::string(baud) + ", format " + std::string(format);
}
inline constexpr const char* FactCodesSuffix = " codes";
inline constexpr const char* FactTypeCodeSuffix = " type code";
inline constexpr const char* FactKbps = " kbit/s";
inline constexpr const char* FactBps = " bps";
inline constexpr const char* FactMs = " ms";
inline constexpr const char* FactIndex = "index ";
inline std::string FactHeartbeat(int ms)
{
    return "heartbeat " + std::to_string(ms) + " ms";
}
inline std::string FactNodeGuarding(int guardMs, int lifeFactor)
{
    return "node guarding, guard time " + std::to_string(guardMs) + " ms, life time factor " +
           std::to_string(lifeFactor);
}
inline std::string FactDifference(std::string_view what, std::string_view file, std::string_view gateway)
{
    return std::string(what) + ": file " + std::string(file) + ", gateway " + std::string(gateway);
}
// An image word that differs: "block 0 offset 48: file 0x00050002, gateway 0x00060002".
inline std::string WordDifference(int block, int offset, std::string_view file, std::string_view gateway)
{
    return "block " + std::to_string(block) + " offset " + std::to_string(offset) + ": file " + std::string(file) +
           ", gateway " + std::string(gateway);
}
inline constexpr const char* WordAbsent = "-";
inline constexpr const char* FactIdentity = "the unit's identity";
inline constexpr const char* WordNotCounted = " (not counted: ";
inline constexpr const char* WordFinishTime = "the Finish date and time";
inline constexpr const char* WordOutsideHeader = "outside the stored header";
inline constexpr const char* WordNoConnectionArea = "no DeviceNet connection area";
inline constexpr const char* WordNotCountedEnd = ")";
inline constexpr const char* CompareDifferencesTitle = "Differences";
inline constexpr const char* CompareWordsTitle = "Image words that differ:";
inline constexpr const char* CompareEqual = "The gateway holds the configuration of the file.";
inline constexpr const char* CompareDiffers = "The gateway differs from the file.";
inline constexpr const char* BackupFileLabel = "Backup file: ";
inline constexpr const char* StatusReadingImage = "Reading the stored configuration";
inline constexpr const char* DcfFileLabel = "DCF file: ";
inline constexpr const char* EdsFileLabel = "EDS file: ";
inline std::string RestoreModulesDiffer(std::string_view difference)
{
    return "The attached modules are not those of the backup (" + std::string(difference) + "); nothing was written.";
}
inline constexpr const char* RestoreInvalidBackup =
    "The backup holds no valid configuration (its stored image was invalid); nothing was written.";
inline constexpr const char* RestoreNotValidAfter =
    "The restored configuration does not read back as valid; no EDS file was written.";
inline constexpr const char* RestoreNoProfile = "The backup's application layer has no EDS file.";

// --- Desktop window: backup, compare and restore ---
inline constexpr const char* BackupMenu = "Backup Gateway\u2026";
inline constexpr const char* CompareMenu = "Compare with Backup\u2026";
inline constexpr const char* RestoreMenu = "Restore from Backup\u2026";
inline constexpr const char* BackupTitle = "Backup Gateway";
inline constexpr const char* CompareTitle = "Compare with Backup";
inline constexpr const char* RestoreTitle = "Restore from Backup";
inline constexpr const char* BackupFileFilter = "Gateway backups (*.json);;All files (*)";
inline constexpr const char* BackupMenuTip =
    "Reads every word of the connected gateway's stored configuration, changing nothing, and keeps it with the "
    "modules in a backup file";
inline constexpr const char* CompareMenuTip =
    "Reads the connected gateway's stored configuration and lists what differs from a backup file";
inline constexpr const char* RestoreMenuTip =
    "Writes a backup into the connected gateway if its modules are the backup's, then the EDS file (and the DCF "
    "for CANopen)";
inline std::string BackupWritten(std::string_view file, std::string_view folder)
{
    return "The gateway's stored configuration was kept in the backup file " + std::string(file) + " in " +
           std::string(folder) + ".";
}
inline std::string BackupNotRead(std::string_view error)
{
    return "The backup could not be read: " + std::string(error);
}
inline std::string ReadProgress(int exchanges)
{
    return "Reading the gateway's stored configuration: " + std::to_string(exchanges) +
           (exchanges == 1 ? " exchange" : " exchanges");
}
inline std::string RestoreQuestion(std::string_view file)
{
    return "Write the configuration of " + std::string(file) +
           " into the gateway's EEPROM?\nWhat the gateway holds now is overwritten.";
}
inline constexpr const char* RestoreDone = "The backup's configuration is in the gateway.";
inline constexpr const char* FolderLabel = "Folder: ";

}  // namespace k400::msg
