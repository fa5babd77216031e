#pragma once
// The Device Configuration File beside the CANopen EDS: the same objects,
// plus what this gateway was configured with (node ID, bit rate and the
// values Finish stored), so that a master tool can take the node as it is.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "platform/TextFile.h"

namespace k400 {

struct ProgramState;

// "COPn" + node ID + ".dcf".
std::string CanopenDcfFileName(std::uint8_t nodeId);

// A device description as sections of key=value lines, in file order, as
// a master tool reads the DCF back.
struct DeviceFileSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;

    const std::string* find(std::string_view key) const;
};
using DeviceFile = std::vector<DeviceFileSection>;

// Lines ended by CR LF or LF; blank lines and ';' comments skipped; values
// trimmed of surrounding blanks.
DeviceFile ParseDeviceFile(std::string_view text);
const DeviceFileSection* FindSection(const DeviceFile& file, std::string_view name);

// The DCF of the configured gateway, from the EDS text written for it (CR LF
// line ends).
std::string CanopenDcfText(std::string_view edsText, const ProgramState& state);

// Writes CanopenDcfText into folder / CanopenDcfFileName(NodeId).
TextFileResult WriteCanopenDcf(std::string_view edsText, const ProgramState& state,
                               const std::filesystem::path& folder);

// The EDS file stamped `now` and, with withDcf, the DCF beside it: the DCF's
// result when it failed, else the EDS file's.
TextFileResult WriteCanopenFiles(const ProgramState& state, const LocalDateTime& now,
                                 const std::filesystem::path& folder, bool withDcf);

}  // namespace k400
