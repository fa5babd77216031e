#pragma once
// The user interface of the command line: message boxes become lines on the
// error stream, the scan dialog's answers are preset by the command.

#include <cstdint>
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
    void requestScanParameters(ProgramState& state) override;

    // The last message shown (empty when none) and the current status text.
    const std::string& lastMessage() const { return lastMessage_; }
    const std::string& lastTitle() const { return lastTitle_; }
    const std::string& status() const { return status_; }
    int messageCount() const { return messageCount_; }

    bool yesNoAnswer = true;
    // Answers of the scan parameter dialog.
    std::uint8_t scanBaudIndex = 3;
    std::uint8_t scanChecksumIndex = 0;
    std::int16_t scanTimeoutMs = 200;

private:
    std::ostream& err_;
    bool verbose_;
    std::string lastMessage_;
    std::string lastTitle_;
    std::string status_;
    int messageCount_ = 0;
};

}  // namespace k400
