#pragma once
// What both profiles share: the result of building their I/O image and of
// Finish, and the part of Finish that is the same for both: once the profile
// has prepared the configuration image and set GatewayBusy, open the gateway
// port, write the image, close the port, then write the EDS file. Every path
// ends with the port closed and GatewayBusy cleared.

#include <functional>
#include <string>

#include "platform/TextFile.h"

namespace k400 {

struct ProgramState;
class ConsoleLink;
class SerialPort;

// Whether a profile could build its I/O image from the modules found.
struct BuildResult {
    bool ok = true;
    std::string error;  // why the modules cannot be laid out

    explicit operator bool() const { return ok; }
};

enum class FinishOutcome {
    Done,           // image and EDS file written
    Refused,        // a choice or the I/O image refused before anything was sent
    Busy,           // another gateway dialogue was running: nothing done
    PortNotOpened,  // the port could not be opened; OpenGatewayPort told the user
    Timeout,        // a console step failed: "Timeout"; no EDS file written
    EdsFailed,      // image written, EDS file not: its error was shown
};

// What a Finish of either profile did.
struct FinishResult {
    FinishOutcome outcome = FinishOutcome::Busy;
    std::string edsPath;  // the EDS file written (Done)
    std::string error;    // what went wrong (Refused, EdsFailed)

    bool done() const { return outcome == FinishOutcome::Done; }
};

// Writes the EDS file; called only after the image was written and the port closed.
using EdsWriter = std::function<TextFileResult()>;

// Runs the shared steps. The caller has filled HeaderImage, ApplicationImage
// (and, for DeviceNet, ConnectionImage) and set GatewayBusy. The connection
// block is written only when includeConnectionBlock is true (DeviceNet).
FinishResult RunProfileFinish(ProgramState& state, ConsoleLink& link, bool includeConnectionBlock,
                              const EdsWriter& writeEds);

// A failed Finish: close the port if it is open, clear GatewayBusy.
void ProcessError(ProgramState& state, SerialPort& port);

}  // namespace k400
