#pragma once
// The desktop program's face towards the core: message boxes, the main
// window's status box and progress bar, the scan parameter dialog, and the
// connect display.

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
    // Shows the scan parameter dialog without blocking, disables the main
    // window and lets events run (sleeping in the event loop) until the dialog
    // has been closed.
    ScanParameters requestScanParameters(const ScanParameters& current) override;
    void connectPhase(ConnectPhase phase) override;

    // Message boxes are parented to the window the user is looking at.
    void setMessageParent(QWidget* parent) { messageParent_ = parent; }

private:
    QWidget* parentWindow() const;

    MainWindow& window_;
    QWidget* messageParent_ = nullptr;
};

}  // namespace k400::ui
