#pragma once
// The CANopen configuration window as plain logic: its box texts, which of
// its controls are enabled or visible, and its event handlers. The desktop
// window renders this state; the command line and the tests drive it directly.

#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "app/ProfileFinish.h"
#include "canopen/PdoMapping.h"

namespace k400 {

struct ProgramState;
class UserInterface;
class ConsoleLink;
class Clock;

// ErrControl option buttons.
enum class ErrorControlOption { NodeGuarding = 0, Heartbeat = 1 };

struct CanopenWindowView {
    std::string GuardTimeText;   // GuardTime_T(0)
    std::string LifeFactorText;  // GuardTime_T(1)
    std::string HeartbeatText;   // Heartbeat_T
    std::array<std::string, 2> EdsInfo;  // EDSInfo(0) description, EDSInfo(1) creator
    ErrorControlOption Option = ErrorControlOption::NodeGuarding;
    bool NodeGuardingFrameVisible = true;  // ParameterSetting_frame(0)
    bool HeartbeatFrameVisible = false;    // ParameterSetting_frame(1)
    bool Frame1Enabled = true;
    bool Closed = false;  // the window has unloaded; the main window shows again
};

// Outcome of Finish; the shared outcomes plus the window's own refusals.
enum class CanopenFinishStatus {
    Done,
    Refused,  // an error-control value out of range, or no usable PDO mapping
    Busy,
    PortNotOpened,
    Timeout,
    EdsFailed,
};

struct CanopenFinishResult {
    CanopenFinishStatus status = CanopenFinishStatus::Refused;
    std::string edsPath;
    std::string message;  // the refusal or error shown
};

// The three viewers a button may open.
enum class CanopenViewer { Pdo, ObjectDictionary, ModuleInformation };

class CanopenWindow {
public:
    CanopenWindow(ProgramState& state, UserInterface& ui);

    // Empties the EDS texts, presets error control from the stored image
    // (when valid) and builds the PDO mapping. A mapping that cannot be built
    // is reported to the user and returned; Finish then refuses to run.
    PdoBuildResult Load();

    // The ErrControl click handler: shows the option's parameter frame and
    // sets or clears the heartbeat bit.
    void SelectErrorControl(ErrorControlOption option);

    // Finish's first step: checks the boxes and takes their values. False
    // after showing the range message; nothing is changed then.
    bool TakeErrorControl();

    // Finish in full. The EDS file goes to edsFolder. closeViewers, when set,
    // closes the open viewers before the gateway dialogue.
    CanopenFinishResult Finish(ConsoleLink& link, Clock& clock, const std::filesystem::path& edsFolder);

    // Unload request (Back, window close). Refused with "Module is connecting
    // now!" while a gateway dialogue runs.
    bool RequestClose();

    // A viewer button: false (after the message) when there is nothing to show.
    bool RequestViewer(CanopenViewer viewer);

    CanopenWindowView& view() { return view_; }
    const CanopenWindowView& view() const { return view_; }
    bool mappingBuilt() const { return mapping_.ok; }

    std::function<void()> closeViewers;

private:
    ProgramState& state_;
    UserInterface& ui_;
    CanopenWindowView view_;
    PdoBuildResult mapping_;
};

}  // namespace k400
