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
class CanopenWindow;
struct CommandIo;
struct ProgramState;

enum class CliProfile { Canopen, DeviceNet };

// --profile canopen|devicenet (required). On a bad or missing value prints a
// usage error and returns nothing (exit code 2).
std::optional<CliProfile> ProfileOption(ArgList& args, CommandIo& io, std::string_view command);

// The folder given with --output-dir (taken with args.value("output-dir")),
// or the folder that holds the program. The folder must exist and be
// writable; otherwise an error naming it is printed and nothing is returned
// (exit code 1).
std::optional<std::filesystem::path> OutputFolder(const std::optional<std::string>& given, CommandIo& io);

// Checks that a folder exists and a file can be created in it; an error text naming it otherwise.
std::optional<std::string> CheckWritableFolder(const std::filesystem::path& folder);

// The image words a Finish writes, one "block B offset O: value (0xHEX)" line
// each; the connection block only for DeviceNet.
void PrintImageWords(std::ostream& out, const ProgramState& state, bool includeConnectionBlock);

// A table of cell texts (row 0 the header) in aligned columns, preceded by a
// title line. Empty cells print as "-" so that every row keeps its columns.
void PrintTable(std::ostream& out, const std::string& title, const std::vector<std::vector<std::string>>& rows);

// --- CANopen ---

// The CANopen window's boxes as options: --guard-time MS --life-factor N, or
// --heartbeat MS; --description TEXT, --created-by TEXT. The values are typed
// into the boxes as they stand, so Finish's own checks judge them.
struct CanopenWindowOptions {
    std::optional<std::string> guardTime;
    std::optional<std::string> lifeFactor;
    std::optional<std::string> heartbeat;
    std::optional<std::string> description;
    std::optional<std::string> createdBy;
};

// Nothing (after a usage error) when heartbeat and node-guarding options are mixed.
std::optional<CanopenWindowOptions> TakeCanopenWindowOptions(ArgList& args, CommandIo& io, std::string_view command);

// Chooses the protocol and fills the boxes as a user would; options not given
// leave the window's preset.
void EnterCanopenWindowOptions(CanopenWindow& window, const CanopenWindowOptions& options);

// The PDO viewer's two tabs.
void PrintPdoTables(std::ostream& out, const ProgramState& state);

// One JSON object: eds_file, header_image (offsets 40..72), application_image,
// last_rx_pdo, last_tx_pdo and the PDO table of both directions.
void PrintCanopenJson(std::ostream& out, const ProgramState& state, const std::string& edsFile);

// The DeviceNet branches of the two commands (implemented with the DeviceNet profile).
int RunDeviceNetConfigure(ArgList& args, CommandIo& io);
int RunDeviceNetEds(ArgList& args, CommandIo& io);

// The CANopen branches.
int RunCanopenConfigure(ArgList& args, CommandIo& io);
int RunCanopenEds(ArgList& args, CommandIo& io);

}  // namespace k400
