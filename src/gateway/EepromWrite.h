#pragma once
// Writing the configuration image into the gateway's EEPROM so that the
// gateway never holds a mixture that a connect would take as valid. The
// image mark (header offset 40, the word a connect looks at first) is set
// to 0 before anything else is written; the rest of the header, block 2
// and (DeviceNet) block 1 follow; every word written is read back; only
// then is the real mark written, and read back too. A write cut short at
// any point therefore leaves an image every later connect calls invalid.
// This is the one procedure that writes the EEPROM; both Finish procedures
// use it.

#include <cstdint>
#include <string>

#include "gateway/ProgramState.h"

namespace k400 {

class ConsoleLink;

// What the gateway's EEPROM holds after a write, as the user is told.
enum class EepromStatus {
    Unchanged,           // nothing was typed into it
    PartlyWritten,       // some words written; the mark is 0, so the image reads as invalid
    WrittenAndVerified,  // every word written, read back and found equal; mark set
};

// "unchanged", "partly written, marked invalid", "written and verified".
const char* EepromStatusText(EepromStatus status);

// The status of the write running or last run in this process. Safe to
// read from a signal handler.
EepromStatus LiveEepromStatus() noexcept;

enum class EepromWriteFailure {
    None,
    Timeout,   // a required console step failed
    Mismatch,  // a word read back differs even after it was written once more
    Stopped,   // a stop request was honoured at a safe point
};

struct EepromWriteResult {
    EepromStatus status = EepromStatus::Unchanged;
    EepromWriteFailure failure = EepromWriteFailure::None;
    std::string mismatch;       // Mismatch: block, offset, value written and value read
    std::int64_t verifyMs = 0;  // time spent reading back and writing the real mark
    int wordsRewritten = 0;     // words that differed once and were written again

    bool ok() const { return failure == EepromWriteFailure::None; }
    explicit operator bool() const { return ok(); }
};

// "block N" in the EEPROM sub-mode.
bool SelectEepromBlock(ConsoleLink& link, int block);

// Reads one long word of the chosen block without typing anything into the
// value editor: "el OFFSET", the value shown (as an unsigned long word),
// then "." leaves the editor with the word untouched. The console must be
// in the EEPROM sub-mode and is left there.
bool ReadEepromWord(ConsoleLink& link, int offset, double& value);

// Writes HeaderImage (offsets 40..72 of block 0), ApplicationImage (block 2)
// and, when includeConnectionBlock, ConnectionImage (block 1) in the order
// above, starting from whatever mode the console is in and returning it to
// its top level. A stop request (StopRequested) is honoured after the word
// in progress, while the mark is still 0; once the real mark is being
// written the procedure runs to its end.
EepromWriteResult WriteConfigurationImage(ProgramState& state, ConsoleLink& link, bool includeConnectionBlock);

}  // namespace k400
