#include "cli/TerminalUserInterface.h"

#include "platform/Messages.h"

namespace k400 {

TerminalUserInterface::TerminalUserInterface(std::ostream& err, Chatter chatter) : err_(err), chatter_(chatter) {}

TerminalUserInterface::~TerminalUserInterface()
{
    clearProgressLine();
}

void TerminalUserInterface::showMessage(std::string_view text, std::string_view title)
{
    clearProgressLine();
    lastMessage_ = std::string(text);
    if (title == msg::WarnningTitle || title == msg::WarningTitle)
        err_ << msg::CliWarningPrefix;
    else if (!title.empty())
        err_ << title << ": ";
    err_ << text << std::endl;
}

bool TerminalUserInterface::askYesNo(std::string_view text, std::string_view title)
{
    showMessage(std::string(text) + (yesNoAnswer ? msg::CliYesAnswer : msg::CliNoAnswer), title);
    return yesNoAnswer;
}

void TerminalUserInterface::setStatusText(std::string_view text)
{
    status_ = std::string(text);
    if (text.empty())
        return;
    if (onStatus)
        onStatus(text);
    if (chatter_ == Chatter::Verbose)
        err_ << msg::CliStatusLabel << text << std::endl;
    else if (chatter_ == Chatter::ProgressLine)
        drawProgressLine(status_ + " " + std::to_string(progress_) + "%");
}

void TerminalUserInterface::setProgress(int value)
{
    progress_ = value;
    if (chatter_ == Chatter::Verbose)
        err_ << msg::CliProgressLabel << value << std::endl;
    else if (chatter_ == Chatter::ProgressLine)
        drawProgressLine(status_ + " " + std::to_string(value) + "%");
}

void TerminalUserInterface::scanWaiting(std::int64_t waitedMs, int modulesListed)
{
    // Redrawn once a second: often enough to show life, rarely enough not to flicker.
    const std::int64_t second = waitedMs / 1000;
    if (chatter_ != Chatter::ProgressLine || second == lastScanSecond_)
        return;
    lastScanSecond_ = second;
    drawProgressLine(msg::CliScanWaiting(static_cast<int>(second), modulesListed));
}

void TerminalUserInterface::drawProgressLine(const std::string& text)
{
    // Carriage return and erase-line redraw the one line in place.
    err_ << "\r\x1b[K" << text << std::flush;
    lineShown_ = true;
}

void TerminalUserInterface::clearProgressLine()
{
    if (!lineShown_)
        return;
    err_ << "\r\x1b[K" << std::flush;
    lineShown_ = false;
}

ScanParameters TerminalUserInterface::requestScanParameters(const ScanParameters&)
{
    lastScanSecond_ = -1;
    return scanAnswer;
}

}  // namespace k400
