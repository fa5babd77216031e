#pragma once
// Reading a scanned module's configuration (type code, baud code, data
// format) with single TARN commands through the gateway's COM2 pass-through.

#include "gateway/ProgramState.h"

namespace k400 {

class ConsoleLink;

// "$AA2" (and "$AA90"/"$AA91" for type code 0x3F) with the console in its
// COM2 sub-mode. False when there is no proper reply; fields stored before a
// failing second query keep their new values.
bool ModuleOtherInfo(ProgramState& state, ConsoleLink& link);

}  // namespace k400
