#pragma once
// The DeviceNet configuration window without its widgets: the selector lists
// and choices, the default connection, Finish, Back and closing. The desktop
// window renders this state and forwards clicks; the command line and the
// tests drive it directly. Closing the viewers when Finish starts and when
// the window closes is left to the desktop window.

#include <array>
#include <filesystem>
#include <string>

#include "app/ProfileFinish.h"
#include "devicenet/ConnectionSettings.h"
#include "platform/Clock.h"

namespace k400 {

struct ProgramState;
class UserInterface;
class ConsoleLink;

inline constexpr const char* NotFinishedMessage = "You have not fininshing!";
inline constexpr const char* FinishRunningMessage = "Module is connecting now!";

class DeviceNetWindow {
public:
    DeviceNetWindow(ProgramState& state, UserInterface& ui);

    // Builds the objects, fills the selectors and restores or defaults the
    // choices (with their notices). False when the objects cannot be built:
    // the reason is shown and Finish stays disabled.
    bool Load();

    // Input selector of a connection kind; the strobe selector refuses
    // entries of more than 8 bytes and keeps its previous choice (false).
    bool SelectInput(int kind, int listIndex);
    void SelectOutput(int kind, int listIndex);
    // The default connection option (0 poll, 1 strobe, 2 COS, 3 cyclic).
    void SelectDefaultConnection(int option);

    // EDS information fields (description, creator).
    std::array<std::string, 2> EdsInfo;

    // Finish: prepares the image, writes it and then the EDS file into
    // edsFolder. While another Finish runs it does nothing (Busy). On success
    // the window closes; after a failure it stays open with Finish disabled.
    FinishResult Finish(ConsoleLink& link, const std::filesystem::path& edsFolder);

    // Fills HeaderImage, ApplicationImage and ConnectionImage as Finish writes them.
    void PrepareImage(const LocalDateTime& now);

    // Back: empties the selectors and closes the window.
    bool Back();
    // Closing the window: reminds the user when nothing was finished. Refused
    // (false) while a Finish is talking to the gateway.
    bool Unload();

    const SelectorLists& Lists() const { return lists_; }
    const ConnectionChoices& Choices() const { return choices_; }
    bool FinishEnabled() const { return finishEnabled_; }
    bool Frame1Enabled() const { return frame1Enabled_; }
    bool Finished() const { return finished_; }
    bool IsOpen() const { return open_; }

private:
    ProgramState& state_;
    UserInterface& ui_;
    SelectorLists lists_;
    ConnectionChoices choices_;
    bool finishEnabled_ = false;
    bool frame1Enabled_ = true;
    bool finished_ = false;
    bool open_ = false;
};

}  // namespace k400
