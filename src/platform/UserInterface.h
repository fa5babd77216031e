#pragma once
// Everything the core needs from whoever faces the user: the desktop window,
// the command line or a test. Core procedures report through it and never
// touch widgets themselves.

#include <string_view>

namespace k400 {

struct ProgramState;

// Phases of the connect sequence the main window reflects in its controls.
enum class ConnectPhase {
    Started,    // port open: reset the view, disable controls, show progress
    Released,   // ReleaseConnection: port closed, controls enabled, progress hidden
    Succeeded,    // show controller, firmware, settings, enable the controls
    SidePressed,  // after the result (and any warning): the CAN side toggle pressed
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
    // Scan parameter dialog: on return state.ScanParametersDone is true and the
    // Scan* fields hold the user's choice.
    virtual void requestScanParameters(ProgramState& state) = 0;
    // Connect sequence display; the desktop window redraws, others may ignore it.
    virtual void connectPhase(ConnectPhase, const ProgramState&) {}
};

}  // namespace k400
