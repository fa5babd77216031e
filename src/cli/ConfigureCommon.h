#pragma once
// Pieces shared by the `configure` and `eds` commands of both profiles.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/BuildEds.h"

namespace k400 {

class ArgList;
struct CommandIo;
struct ProgramState;

enum class CliProfile { Canopen, DeviceNet };

// --profile canopen|devicenet (required). On a bad or missing value prints a
// usage error and returns nothing (exit code 2).
std::optional<CliProfile> ProfileOption(ArgList& args, CommandIo& io, std::string_view command);

// --output-dir DIR, or the folder that holds the program. The folder must
// exist and be writable; otherwise an error naming it is printed and nothing
// is returned (exit code 1).
std::optional<std::filesystem::path> OutputFolderOption(ArgList& args, CommandIo& io);

// Checks that a folder exists and a file can be created in it; an error text naming it otherwise.
std::optional<std::string> CheckWritableFolder(const std::filesystem::path& folder);

// The image words a Finish writes, one "block B offset O: value (0xHEX)" line
// each; the connection block only for DeviceNet.
void PrintImageWords(std::ostream& out, const ProgramState& state, bool includeConnectionBlock);

// A table of cell texts (row 0 the header) in aligned columns, preceded by a
// title line. Empty cells print as "-" so that every row keeps its columns.
void PrintTable(std::ostream& out, const std::string& title, const std::vector<std::vector<std::string>>& rows);

// The DeviceNet branches of the two commands (implemented with the DeviceNet profile).
int RunDeviceNetConfigure(ArgList& args, CommandIo& io);
int RunDeviceNetEds(ArgList& args, CommandIo& io);

}  // namespace k400
