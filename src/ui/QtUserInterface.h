#pragma once
// The desktop program's face towards the core: message boxes, the main
// window's status box and progress bar, the scan parameter dialog, the
// connect display and what the scan has reached while it waits.

#include "platform/UserInterface.h"

class QWidget;

namespace k400::ui {

class MainWindow;

class QtUserInterface final : public UserInterface {
public:
    explicit QtUserInterface(MainWindow& window);

    void showMessage(std::string_view text, std::string_view title) override;
    bool askYesNo(std::string_view text, std::string_view title) override;
    void setStatusText(std::string_view text) override;
    void setProgress(int value) override;
    void showProgress(bool visible) override;
    void pumpEvents() override;
    // Shows the scan parameter dialog (window-modal to the main window, whose
    // controls are disabled) and lets events run, sleeping in the event loop,
    // until the dialog has been closed.
    ScanParameters requestScanParameters(const ScanParameters& current) override;
    void connectPhase(ConnectPhase phase) override;
    // The seconds waited and the modules listed so far, in the status line.
    void scanWaiting(std::int64_t waitedMs, int modulesListed) override;

    // Message boxes are parented to the window the user is looking at.
    void setMessageParent(QWidget* parent) { messageParent_ = parent; }
    // A connect that follows one the user started (after a restore) scans
    // with the stored parameters instead of asking again.
    void keepScanParameters(bool keep) { keepScanParameters_ = keep; }

private:
    QWidget* parentWindow() const;

    MainWindow& window_;
    QWidget* messageParent_ = nullptr;
    bool keepScanParameters_ = false;
};

}  // namespace k400::ui
