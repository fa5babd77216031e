#pragma once
// The Electronic Data Sheet of a configured CANopen gateway, built from the
// last PDO mapping, the gateway settings and the error-control choice.

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/Clock.h"
#include "platform/TextFile.h"

namespace k400 {

struct ProgramState;

// "COPn" + node ID + ".eds".
std::string CanopenEdsFileName(std::uint8_t nodeId);

// hh:mm on a 12-hour clock with AM/PM: 00:30 is 12:30AM, 12:07 is 12:07PM.
std::string EdsClockText(int hour, int minute);

// The whole file, every line ended by CR LF; created and modified at `now`.
std::string CanopenEdsText(const ProgramState& state, const LocalDateTime& now);

// Writes CanopenEdsText into folder / CanopenEdsFileName(NodeId), replacing
// an older file only once the new one is complete.
TextFileResult WriteCanopenEds(const ProgramState& state, const LocalDateTime& now,
                               const std::filesystem::path& folder);

}  // namespace k400
