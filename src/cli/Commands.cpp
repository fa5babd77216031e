#include "cli/Commands.h"

#include <array>

#include "cli/ArgList.h"

namespace k400 {

namespace {

// The options of the two profiles' windows, shared by configure and eds.
#define K400_PROFILE_OPTIONS_USAGE \
    "  --guard-time MS        CANopen: node guarding time (0..65535)\n" \
    "  --life-factor N        CANopen: node guarding life time factor (0..255)\n" \
    "  --heartbeat MS         CANopen: heartbeat protocol with this time (0..65535)\n" \
    "  --poll-in N            DeviceNet: poll produced connection, input selector index (0 = None)\n" \
    "  --poll-out N           DeviceNet: poll consumed connection, output selector index\n" \
    "  --strobe-in N          DeviceNet: strobe produced connection (at most 8 bytes)\n" \
    "  --strobe-out N         DeviceNet: strobe consumed connection\n" \
    "  --cos-in N             DeviceNet: change-of-state/cyclic produced connection\n" \
    "  --cos-out N            DeviceNet: change-of-state/cyclic consumed connection\n" \
    "  --default-io KIND      DeviceNet: poll, strobe, cos or cyclic (default poll)\n"

const std::array<CommandInfo, 6> Commands = {{
    {"demo", "the whole job against the built-in simulated gateway",
     "usage: k400gw demo [--pace-ms N] [--output-dir DIR]\n"
     "Serves the built-in simulated gateway on a pseudo-terminal and runs against it:\n"
     "scan, configure as a CANopen slave, configure as a DeviceNet slave, scan again.\n"
     "The EDS files go to DIR (default: the folder that holds the program).\n"
     "  --pace-ms N         pause after each character sent, in ms (default 5)\n"
     "  --output-dir DIR    folder for the EDS files\n",
     &RunDemoCommand},
    {"identify", "recognise the controller and read its firmware version",
     "usage: k400gw identify [--port PORT] [--pace-ms N] [--verbose]\n"
     "Brings the console to its top level, recognises the controller and reads the\n"
     "firmware version from the EEPROM. Without --port the built-in simulated\n"
     "gateway is used.\n" K400_PORT_OPTIONS_USAGE,
     &RunIdentifyCommand},
    {"sim", "serve a simulated gateway console on a pseudo-terminal or a TCP port",
     "usage: k400gw sim [--scenario FILE] [--eeprom-out FILE] [--link PATH]\n"
     "       k400gw sim [--scenario FILE] [--eeprom-out FILE] --listen [HOST:]PORT [--rfc2217]\n"
     "Prints the device path of the pseudo-terminal as its first line and serves\n"
     "the gateway console on it until interrupted (SIGINT or SIGTERM). With\n"
     "--listen it serves as a serial device server would, one client at a time,\n"
     "and prints the port name to open instead (tcp://HOST:PORT, rfc2217://HOST:PORT).\n"
     "  --scenario FILE    scenario file (JSON); default: the built-in gateway\n"
     "  --link PATH        also make PATH a symbolic link to the device\n"
     "  --eeprom-out FILE  write the EEPROM contents to FILE after every change\n"
     "  --listen ADDRESS   serve on TCP: HOST:PORT, :PORT or PORT (host 127.0.0.1;\n"
     "                     port 0 picks a free one)\n"
     "  --rfc2217          speak Telnet with the COM-PORT-OPTION (RFC 2217), not raw bytes\n",
     &RunSimCommand},
    {"scan", "connect, read the stored configuration and scan the modules on COM2",
     "usage: k400gw scan --port PORT [--pace-ms N] [--scan-baud BPS] [--scan-checksum off|on]\n"
     "                   [--scan-timeout MS] [--json]\n"
     "Runs the connect sequence: recognises the controller, reads the configuration\n"
     "stored in the EEPROM, scans the TARN modules with the given scan parameters and\n"
     "checks the stored configuration against them. Prints the controller, the\n"
     "firmware version, the stored (or default) settings and the modules found.\n" K400_PORT_OPTIONS_USAGE
     "  --scan-baud BPS       scan baud rate (1200..115200, default 9600)\n"
     "  --scan-checksum off|on  scan checksum (default off)\n"
     "  --scan-timeout MS     scan time-out, 1..32767 (default 200)\n"
     "  --json                print the result as one JSON object\n",
     &RunScanCommand},
    {"configure", "configure a gateway end to end: connect, scan, settings, Finish, EDS file",
     "usage: k400gw configure --port PORT --profile canopen|devicenet [OPTIONS]\n"
     "Connects, scans the modules, applies the given settings through the \"Setting\"\n"
     "checks, builds the I/O image, writes the configuration into the gateway's\n"
     "EEPROM and writes the EDS file.\n" K400_PORT_OPTIONS_USAGE
     "  --profile P            canopen or devicenet\n"
     "  --scan-baud BPS        scan baud rate (1200..115200, default 9600)\n"
     "  --scan-checksum on|off scan checksum (default off)\n"
     "  --scan-timeout MS      scan time-out, 1..32767 (default 200)\n"
     "  --node-id N            CAN node ID\n"
     "  --can-baud KBPS        CAN baud rate in kbit/s\n"
     "  --com2-baud BPS        COM2 baud rate\n"
     "  --com2-checksum on|off COM2 checksum\n"
     "  --com2-timeout MS      COM2 time-out\n"
     K400_PROFILE_OPTIONS_USAGE
     "  --description TEXT     Description key of the EDS file\n"
     "  --created-by TEXT      CreatedBy key of the EDS file\n"
     "  --output-dir DIR       folder of the EDS file (default: the program's folder)\n"
     "  --dry-run              stop before Finish: print the tables and the image words\n"
     "  --json                 print the result as one JSON object\n"
     "Selector index N is the entry's number in the selector list (printed by the\n"
     "command), the same number as the EDS \"Input N\"/\"Output N\" entry.\n",
     &RunConfigureCommand},
    {"eds", "write the EDS file of a planned set of modules, no gateway needed",
     "usage: k400gw eds --profile canopen|devicenet --modules M38@3,M33@26,... [OPTIONS]\n"
     "Builds the I/O image of the listed modules (model@address, in listing order)\n"
     "and writes the EDS file.\n"
     "  --profile P            canopen or devicenet\n"
     "  --modules LIST         planned modules, model@address separated by commas\n"
     "  --node-id N            CAN node ID (default 1)\n"
     "  --can-baud KBPS        CAN baud rate in kbit/s\n"
     K400_PROFILE_OPTIONS_USAGE
     "  --firmware V           firmware as MAJOR.MINOR-YYYYMMDD (default 1.05-20071126)\n"
     "  --description TEXT     Description key of the EDS file\n"
     "  --created-by TEXT      CreatedBy key of the EDS file\n"
     "  --output-dir DIR       folder of the EDS file (default: the program's folder)\n"
     "  --json                 print the result as one JSON object\n",
     &RunEdsCommand},
}};

void PrintCommandList(std::ostream& out)
{
    out << "usage: k400gw COMMAND [OPTIONS]\n"
           "       k400gw help COMMAND | COMMAND --help\n"
           "       k400gw --version\n\n"
           "Configuration utility for the GWC-1 (CANopen) and GWD-1 (DeviceNet) gateways.\n\n"
           "Commands:\n";
    std::size_t width = 0;
    for (const CommandInfo& command : CommandTable())
        width = std::max(width, command.name.size());
    for (const CommandInfo& command : CommandTable())
        out << "  " << command.name << std::string(width + 2 - command.name.size(), ' ')
            << command.summary << '\n';
}

}  // namespace

std::span<const CommandInfo> CommandTable()
{
    return Commands;
}

const CommandInfo* FindCommand(std::string_view name)
{
    for (const CommandInfo& command : CommandTable()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

int UsageError(CommandIo& io, std::string_view command, std::string_view text)
{
    io.err << "k400gw";
    if (!command.empty())
        io.err << ' ' << command;
    io.err << ": " << text << '\n'
           << "Try 'k400gw " << (command.empty() ? "--help" : std::string("help ") + std::string(command))
           << "' for more information." << std::endl;
    return ExitUsage;
}

int CheckNoLeftover(ArgList& args, CommandIo& io, std::string_view command)
{
    if (const auto error = args.leftover())
        return UsageError(io, command, *error);
    return ExitSuccess;
}

int RunCommandLine(const std::vector<std::string>& args, CommandIo& io)
{
    if (args.empty()) {
        PrintCommandList(io.err);
        return ExitUsage;
    }
    const std::string& first = args.front();
    if (first == "--help" || first == "-h") {
        PrintCommandList(io.out);
        return ExitSuccess;
    }
    if (first == "--version") {
        io.out << "k400gw " << K400GW_VERSION << '\n';
        return ExitSuccess;
    }
    if (first == "help") {
        if (args.size() == 1) {
            PrintCommandList(io.out);
            return ExitSuccess;
        }
        const CommandInfo* command = FindCommand(args[1]);
        if (command == nullptr)
            return UsageError(io, {}, "unknown command: " + args[1]);
        io.out << command->usage;
        return ExitSuccess;
    }
    const CommandInfo* command = FindCommand(first);
    if (command == nullptr)
        return UsageError(io, {}, "unknown command: " + first);

    ArgList rest(std::vector<std::string>(args.begin() + 1, args.end()));
    if (rest.flag("help")) {
        io.out << command->usage;
        return ExitSuccess;
    }
    return command->run(rest, io);
}

}  // namespace k400
