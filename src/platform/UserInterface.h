#pragma once
// Everything the core needs from whoever faces the user: the desktop window,
// the command line or a test. Core procedures report through it and never
// touch widgets themselves.

#include <cstdint>
#include <string_view>

namespace k400 {

// A number as a user entered it: the window's numeric value of typed text,
// which may carry a fraction, or the command line's whole number. The checks
// judge it as entered; what is stored is the nearest whole number.
using EnteredNumber = double;

// What the scan parameter dialog asks before every scan.
struct ScanParameters {
    std::uint8_t BaudIndex = 3;      // into BaudRateTable
    std::uint8_t ChecksumIndex = 0;  // 0 without, 1 with the TARN checksum
    EnteredNumber TimeoutMs = 200;   // module reply time-out, 1..32767
};

// Phases of the connect sequence the main window reflects in its controls.
enum class ConnectPhase {
    Started,    // port open: reset the view, disable controls, show progress
    Released,   // the attempt ended without a connection: controls enabled, progress hidden
    Succeeded,  // connected: show controller, firmware and settings, enable the controls
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // Message box with an OK button. An empty title means the box has none.
    virtual void showMessage(std::string_view text, std::string_view title) = 0;
    // Yes/No message box; true for Yes.
    virtual bool askYesNo(std::string_view text, std::string_view title) = 0;
    // The main window's status box (CommunicationState).
    virtual void setStatusText(std::string_view text) = 0;
    virtual void setProgress(int value) = 0;
    virtual void showProgress(bool visible) = 0;
    // Lets pending window events run once.
    virtual void pumpEvents() = 0;
    // The scan parameter dialog, shown with `current`; returns the user's
    // choice once the dialog closes. The caller checks and stores it.
    virtual ScanParameters requestScanParameters(const ScanParameters& current) = 0;
    // Connect sequence display; the desktop window redraws, others may ignore it.
    virtual void connectPhase(ConnectPhase) {}
    // Called all through the module scan's wait, which can last a minute:
    // how long it has waited and how many modules the console has listed.
    virtual void scanWaiting(std::int64_t /*waitedMs*/, int /*modulesListed*/) {}
};

// Shows nothing and answers every question with its default: for work no one
// watches (a backup decoding what it read, the start-up before a window).
class SilentUserInterface : public UserInterface {
public:
    void showMessage(std::string_view, std::string_view) override {}
    bool askYesNo(std::string_view, std::string_view) override { return false; }
    void setStatusText(std::string_view) override {}
    void setProgress(int) override {}
    void showProgress(bool) override {}
    void pumpEvents() override {}
    ScanParameters requestScanParameters(const ScanParameters& current) override { return current; }
};

}  // namespace k400
