#include "app/ui/QtUserInterface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>

#include "app/ProgramState.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MessageBoxes.h"
#include "app/ui/ScanParameterDialog.h"

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

void QtUserInterface::setStatusText(std::string_view text) { window_.setStatusText(FromCore(text)); }

void QtUserInterface::setProgress(int value) { window_.setProgressValue(value); }

void QtUserInterface::showProgress(bool visible) { window_.setProgressVisible(visible); }

void QtUserInterface::pumpEvents() { QCoreApplication::processEvents(); }

void QtUserInterface::requestScanParameters(ProgramState& state)
{
    state.ScanParametersDone = false;
    window_.setEnabled(false);
    ScanParameterDialog* dialog = window_.openScanParameterDialog();
    // The dialog's unload sets ScanParametersDone and enables the main window.
    // Waiting for events sleeps in the OS; a closed dialog posts its own events.
    while (!state.ScanParametersDone) {
        QPointer<ScanParameterDialog> guard(dialog);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
        if (guard.isNull() && !state.ScanParametersDone) {
            // The dialog went away without its unload (program shutting down):
            // take what is stored so the sequence can end.
            state.ScanParametersDone = true;
        }
    }
    window_.setEnabled(true);
}

void QtUserInterface::connectPhase(ConnectPhase phase, const ProgramState& state)
{
    window_.showConnectPhase(phase, state);
}

}  // namespace k400::ui
