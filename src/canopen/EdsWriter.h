#pragma once
// The Electronic Data Sheet of a configured CANopen gateway, built from the
// last PDO mapping, the gateway settings and the error-control choice.

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/TextFile.h"

namespace k400 {

struct ProgramState;
class Clock;

// "COPn" + node ID + ".eds".
std::string CanopenEdsFileName(std::uint8_t nodeId);

// hh:mm on a 12-hour clock with AM/PM: 00:30 is 12:30AM, 12:07 is 12:07PM.
std::string EdsClockText(int hour, int minute);

// The whole file, every line ended by CR LF. The clock is read once for the
// creation time and once more for the modification time.
std::string CanopenEdsText(const ProgramState& state, Clock& clock);

// Writes CanopenEdsText into folder / CanopenEdsFileName(NodeId), replacing
// an older file only once the new one is complete.
TextFileResult WriteCanopenEds(const ProgramState& state, Clock& clock, const std::filesystem::path& folder);

}  // namespace k400
