#pragma once
// What both profiles share: the result of building their I/O image and of
// Finish, and the part of Finish that is the same for both: once the profile
// has prepared the configuration image and set GatewayBusy, open the gateway
// port, write the image, close the port, then write the EDS file. Every path
// ends with the port closed and GatewayBusy cleared.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gateway/EepromWrite.h"
#include "platform/TextFile.h"

namespace k400 {

struct ProgramState;
class ConsoleLink;
class SerialPort;
class UserInterface;

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
    VerifyFailed,   // a word read back differed even after a second write; no EDS file written
    Interrupted,    // a stop request (signal) was honoured; no EDS file written
    EdsFailed,      // image written, EDS file not: its error was shown
};

// What a Finish of either profile did.
struct FinishResult {
    FinishOutcome outcome = FinishOutcome::Busy;
    std::string edsPath;                            // the EDS file written (Done)
    std::string error;                              // what went wrong (Refused, VerifyFailed, Interrupted, EdsFailed)
    EepromStatus eeprom = EepromStatus::Unchanged;  // what the gateway's EEPROM holds now
    int stopSignal = 0;                             // Interrupted: the signal that asked
    std::int64_t verifyMs = 0;                      // read-back and mark write (the safe commit's cost)

    bool done() const { return outcome == FinishOutcome::Done; }
};

// The EDS description and creator go into the files in Windows-1252, one
// byte per character: the message for the first character that has no such
// byte, naming it, or nothing when both texts can be written.
std::optional<std::string> EdsInfoProblem(const std::array<std::string, 2>& info);
// The same check with the message shown (title "Error"); true when the texts can be written.
bool CheckEdsInfo(const std::array<std::string, 2>& info, UserInterface& ui);

// Writes the EDS file; called only after the image was written and the port closed.
using EdsWriter = std::function<TextFileResult()>;

// Runs the shared steps. The caller has filled HeaderImage, ApplicationImage
// (and, for DeviceNet, ConnectionImage) and set GatewayBusy. The connection
// block is written only when includeConnectionBlock is true (DeviceNet).
// The port is the one the last successful connect used (ConnectedPort),
// whatever the port list shows now. A failure after the first EEPROM word
// was written also tells the user the configuration is incomplete; an EDS
// file that cannot be written after the EEPROM was says both. A stop
// request is honoured (Interrupted) at the write's safe points and before
// the EDS file.
FinishResult RunProfileFinish(ProgramState& state, ConsoleLink& link, bool includeConnectionBlock,
                              const EdsWriter& writeEds);

// What a Finish stopped by a signal says, by what the EEPROM then holds; the
// same text whether the stop came at a safe point or at once (a second signal).
const char* StoppedMessage(EepromStatus status);

// A failed Finish: close the port if it is open, clear GatewayBusy.
void ProcessError(ProgramState& state, SerialPort& port);

}  // namespace k400
