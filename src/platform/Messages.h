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
