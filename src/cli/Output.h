#pragma once
// What the commands print and where they write: aligned tables, the image
// words a Finish writes, JSON values, the output folder, firmware texts.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace k400 {

struct CommandIo;
struct FinishResult;
struct ProgramState;

using Json = nlohmann::ordered_json;

// The folder given (or the one that holds the program). It must exist and
// take a new file; otherwise an error naming it is printed and nothing is
// returned (exit code 1).
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

// The first `count` image words (at most as many as there are).
Json ImageWords(const std::vector<double>& words, std::size_t count);

// One JSON object on one line.
void PrintJson(std::ostream& out, const Json& json);

// A Finish that did not complete: what the gateway's EEPROM now holds, on err
// ("EEPROM: partly written, marked invalid"); with json the caller's error
// object carries it instead. The messages themselves went to err already.
// Returns the exit code: 128 + the signal for a stopped Finish, else 1.
int ReportFailedFinish(const FinishResult& result, bool json, CommandIo& io);

}  // namespace k400
