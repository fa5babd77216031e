#include "cli/TerminalUserInterface.h"

namespace k400 {

TerminalUserInterface::TerminalUserInterface(std::ostream& err, bool verbose) : err_(err), verbose_(verbose) {}

void TerminalUserInterface::showMessage(std::string_view text, std::string_view title)
{
    lastMessage_ = std::string(text);
    if (!title.empty())
        err_ << title << ": ";
    err_ << text << std::endl;
}

bool TerminalUserInterface::askYesNo(std::string_view text, std::string_view title)
{
    if (!title.empty())
        err_ << title << ": ";
    err_ << text << (yesNoAnswer ? " [yes]" : " [no]") << std::endl;
    return yesNoAnswer;
}

void TerminalUserInterface::setStatusText(std::string_view text)
{
    status_ = std::string(text);
    if (verbose_ && !text.empty())
        err_ << "Status: " << text << std::endl;
}

void TerminalUserInterface::setProgress(int value)
{
    if (verbose_)
        err_ << "Progress: " << value << std::endl;
}

ScanParameters TerminalUserInterface::requestScanParameters(const ScanParameters&)
{
    return scanAnswer;
}

}  // namespace k400
