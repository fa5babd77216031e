#pragma once
// The COM2 module scan: the console dialogue that has the gateway search its
// RS-485 line, the parser that cuts the listing into modules (classifying and
// querying each), and the display order of the modules found.

#include <string>
#include <string_view>

#include "gateway/ProgramState.h"

namespace k400 {

class ConsoleLink;

enum class ScanOutcome {
    Done,
    Timeout,         // a required command got no expected answer, or the scan went silent
    NotConfigured,   // a module at address 0
    NotSupported,    // a model not in the catalogue, or no proper answer to its query
    TooManyModules,  // the listing names more modules than the table holds
    BadAddress,      // the address after a "!" is not two hex digits
};

// Message box text and status text for an outcome other than Done.
struct ScanFailureText {
    std::string message;
    std::string status;
};
ScanFailureText ScanFailureTexts(ScanOutcome outcome);

// Scan parameters, then "/scan"; on success ReplyText holds the listing.
// The console is left in its COM2 sub-mode. Reports status "Scaning..." and
// progress 3 and 5.
ScanOutcome RunScanDialogue(ProgramState& state, ConsoleLink& link);

// Stores, classifies and queries each module of the listing from table entry
// 0 on. A "!" with no "{" after it ends the listing there: the modules before
// it stay, as trailing console chatter may well hold a "!".
ScanOutcome ParseScanListing(ProgramState& state, ConsoleLink& link, std::string listing);

// ModuleOrder and ModuleCount from the entries with an address, in table order.
void BuildModuleOrder(ProgramState& state);

}  // namespace k400
