#pragma once
// The user interface of the command line: message boxes become lines on the
// error stream, the scan dialog's answers come from the command's options.

#include <ostream>
#include <string>

#include "platform/UserInterface.h"

namespace k400 {

class TerminalUserInterface : public UserInterface {
public:
    explicit TerminalUserInterface(std::ostream& err, bool verbose = false);

    // "Title: text", or just the text when there is no title.
    void showMessage(std::string_view text, std::string_view title) override;
    // Nobody can answer on a terminal run by a script: prints the question and
    // gives yesNoAnswer.
    bool askYesNo(std::string_view text, std::string_view title) override;
    // Kept for the command's own report; printed only when verbose.
    void setStatusText(std::string_view text) override;
    void setProgress(int value) override;
    void showProgress(bool) override {}
    void pumpEvents() override {}
    // The scan parameters the command was given.
    ScanParameters requestScanParameters(const ScanParameters& current) override;

    // The last message shown (empty when none) and the current status text.
    const std::string& lastMessage() const { return lastMessage_; }
    const std::string& status() const { return status_; }

    bool yesNoAnswer = true;
    ScanParameters scanAnswer;

private:
    std::ostream& err_;
    bool verbose_;
    std::string lastMessage_;
    std::string status_;
};

}  // namespace k400
