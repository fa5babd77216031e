#pragma once
// The user interface of the command line: message boxes become lines on the
// error stream, the scan dialog's answers come from the command's options.

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "platform/UserInterface.h"

namespace k400 {

// How much a command says while it runs, besides its result and its errors.
enum class Chatter {
    Quiet,         // nothing
    ProgressLine,  // one line on a terminal, updated in place
    Verbose,       // every status text and progress value on its own line
};

class TerminalUserInterface : public UserInterface {
public:
    explicit TerminalUserInterface(std::ostream& err, Chatter chatter = Chatter::Quiet);
    ~TerminalUserInterface() override;

    // "Title: text", or just the text when there is no title. Warnings read
    // "warning:" whatever the window's title spelling.
    void showMessage(std::string_view text, std::string_view title) override;
    // Nobody can answer on a terminal run by a script: prints the question and
    // gives yesNoAnswer.
    bool askYesNo(std::string_view text, std::string_view title) override;
    void setStatusText(std::string_view text) override;
    void setProgress(int value) override;
    void showProgress(bool) override {}
    void pumpEvents() override {}
    void scanWaiting(std::int64_t waitedMs, int modulesListed) override;
    // The scan parameters the command was given.
    ScanParameters requestScanParameters(const ScanParameters& current) override;

    // Takes the progress line off the terminal before other output.
    void clearProgressLine();

    // The last message shown (empty when none) and the current status text.
    const std::string& lastMessage() const { return lastMessage_; }
    const std::string& status() const { return status_; }

    bool yesNoAnswer = true;
    ScanParameters scanAnswer;
    std::function<void(std::string_view)> onStatus;  // told every status text

private:
    void drawProgressLine(const std::string& text);

    std::ostream& err_;
    Chatter chatter_;
    std::string lastMessage_;
    std::string status_;
    int progress_ = 0;
    std::int64_t lastScanSecond_ = -1;
    bool lineShown_ = false;
};

}  // namespace k400
