#pragma once
// The `configure` and `eds` commands: one flow for both profiles, with the
// profile's window, options and printing behind ProfileCommand.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/BuildEds.h"

namespace k400 {

class ArgList;
class Clock;
class ConsoleLink;
class JsonWriter;
class UserInterface;
struct CommandIo;
struct ProgramState;

// The folder given with --output-dir (taken with args.value("output-dir")),
// or the folder that holds the program. The folder must exist and be
// writable; otherwise an error naming it is printed and nothing is returned
// (exit code 1).
std::optional<std::filesystem::path> OutputFolder(const std::optional<std::string>& given, CommandIo& io);

// Checks that a folder exists and a file can be created in it; an error text naming it otherwise.
std::optional<std::string> CheckWritableFolder(const std::filesystem::path& folder);

// "1.05-20071126" (major.minor-YYYYMMDD) into the firmware version and date;
// false, state untouched, for anything else.
bool ParseFirmwareText(const std::string& text, ProgramState& state);

// The image words a Finish writes, one "block B offset O: value (0xHEX)" line
// each; the connection block only for DeviceNet.
void PrintImageWords(std::ostream& out, const ProgramState& state, bool includeConnectionBlock);

// A table of cell texts (row 0 the header) in aligned columns, preceded by a
// title line. Empty cells print as "-" so that every row keeps its columns.
void PrintTable(std::ostream& out, const std::string& title, const std::vector<std::vector<std::string>>& rows);

// The first `count` image words (at most as many as there are) as a JSON array.
void JsonWords(JsonWriter& json, const std::vector<double>& words, std::size_t count);

// What differs between the profiles in `configure` and `eds`. The flow calls
// TakeWindowOptions while parsing, then OpenWindow once the module tables are
// filled, then one of DryRun, Finish or WriteEds. Each returns an exit code
// (ExitSuccess to go on) and prints its own result on io.out.
class ProfileCommand {
public:
    virtual ~ProfileCommand() = default;

    virtual std::uint8_t ApplicationLayer() const = 0;  // 0 CANopen, 1 DeviceNet
    virtual ApplicationChoice Choice() const = 0;
    virtual ProfileWindow Window() const = 0;

    virtual int TakeWindowOptions(ArgList& args, CommandIo& io, std::string_view command) = 0;
    virtual int OpenWindow(ProgramState& state, UserInterface& ui, CommandIo& io, std::string_view command) = 0;

    // configure --dry-run: what Finish would write, with nothing sent or
    // written. edsFolder is where the EDS file would go.
    virtual int DryRun(ProgramState& state, Clock& clock, const std::filesystem::path& edsFolder, bool json,
                       CommandIo& io) = 0;
    virtual int Finish(ProgramState& state, ConsoleLink& link, Clock& clock, const std::filesystem::path& edsFolder,
                       bool json, CommandIo& io) = 0;
    // eds: the EDS file of the planned modules, no gateway attached.
    virtual int WriteEds(ProgramState& state, Clock& clock, const std::filesystem::path& edsFolder, bool json,
                         CommandIo& io) = 0;
};

std::unique_ptr<ProfileCommand> MakeCanopenCommand();
std::unique_ptr<ProfileCommand> MakeDeviceNetCommand();

}  // namespace k400
