#pragma once
// The DeviceNet electronic data sheet of the configured gateway: comment
// tables of the application and assembly objects, [File], [Device],
// [IO_Info] and one connection entry per selector entry.

#include <filesystem>
#include <string>

#include "devicenet/ConnectionSettings.h"
#include "platform/Clock.h"
#include "platform/TextFile.h"

namespace k400 {

struct ProgramState;

// "TARNDNS 5.eds" for node 5.
std::string DeviceNetEdsFileName(int nodeId);

// The whole file as text, CR LF line ends. Description and creator come from
// state.EdsInfoText; line breaks inside them become blanks.
std::string DeviceNetEdsText(const ProgramState& state, const ConnectionChoices& choices, const LocalDateTime& now);

// Writes the file into the folder through a temporary file and a rename.
TextFileResult WriteDeviceNetEds(const ProgramState& state, const ConnectionChoices& choices, const LocalDateTime& now,
                                 const std::filesystem::path& folder);

}  // namespace k400
