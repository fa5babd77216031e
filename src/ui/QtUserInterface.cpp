#include "ui/QtUserInterface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>

#include "platform/Messages.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ScanParameterDialog.h"
#include "ui/StatusLine.h"

namespace k400::ui {

QtUserInterface::QtUserInterface(MainWindow& window) : window_(window) {}

QWidget* QtUserInterface::parentWindow() const
{
    // A box parented to a disabled window cannot be answered, and the main
    // window is disabled while the scan parameter dialog is open: prefer the
    // window the user is working in.
    const auto usable = [](QWidget* w) { return w != nullptr && w->isVisible() && w->isEnabled(); };
    if (QWidget* active = QApplication::activeWindow(); usable(active))
        return active;
    if (usable(messageParent_))
        return messageParent_;
    return usable(&window_) ? &window_ : nullptr;
}

void QtUserInterface::showMessage(std::string_view text, std::string_view title)
{
    ShowMessage(parentWindow(), FromCore(text), FromCore(title));
}

bool QtUserInterface::askYesNo(std::string_view text, std::string_view title)
{
    return AskYesNo(parentWindow(), FromCore(text), FromCore(title));
}

void QtUserInterface::setStatusText(std::string_view text)
{
    window_.setStatusText(FromCore(text));
}

void QtUserInterface::setProgress(int value)
{
    window_.setProgressValue(value);
}

void QtUserInterface::showProgress(bool visible)
{
    window_.setProgressVisible(visible);
}

void QtUserInterface::pumpEvents()
{
    QCoreApplication::processEvents();
}

ScanParameters QtUserInterface::requestScanParameters(const ScanParameters& current)
{
    if (keepScanParameters_)
        return current;
    window_.setInputEnabled(false);
    window_.statusLine()->idle();
    ScanParameterDialog* dialog = window_.openScanParameterDialog();
    // Closing the dialog (after its own check) records the choice and enables
    // the main window. Waiting for events sleeps in the OS.
    QPointer<ScanParameterDialog> guard(dialog);
    while (guard && !guard->chosen())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    window_.setInputEnabled(true);
    window_.statusLine()->setBusy(true);
    // A dialog gone without an answer (the program shutting down) keeps what was stored.
    return guard && guard->chosen() ? *guard->chosen() : current;
}

void QtUserInterface::connectPhase(ConnectPhase phase)
{
    window_.showConnectPhase(phase);
}

void QtUserInterface::scanWaiting(std::int64_t waitedMs, int modulesListed)
{
    window_.statusLine()->say(FromCore(msg::CliScanWaiting(static_cast<int>(waitedMs / 1000), modulesListed)));
}

}  // namespace k400::ui
