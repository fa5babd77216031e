#pragma once
// The DeviceNet profile of a configuration: the application and assembly
// objects built from the modules, the connection choices, and Finish. No
// window is needed: the desktop window and the command line both fill the
// typed choices and call the same procedures.

#include <filesystem>

#include "devicenet/ConnectionSettings.h"
#include "gateway/ProfileFinish.h"
#include "gateway/ProgramState.h"
#include "platform/Clock.h"
#include "platform/UserInterface.h"

namespace k400 {

class ConsoleLink;

// What a user decides for a DeviceNet slave: the selector entry of each
// connection's input and output, and the default connection.
using DeviceNetChoices = ConnectionChoices;

class DeviceNetConfiguration {
public:
    DeviceNetConfiguration(ProgramState& state, UserInterface& ui);

    // Builds the objects, fills the selectors and restores or defaults the
    // choices (with their notices). An image that cannot be built is
    // reported to the user; Finish then refuses to run.
    BuildResult Load();
    // The choices as they stand: restored by Load, changed by the selections.
    const DeviceNetChoices& Choices() const { return choices_; }
    const SelectorLists& Lists() const { return lists_; }

    // One selector: the strobe input refuses entries of more than 8 bytes
    // and keeps its previous choice (false). An index outside the list is
    // refused without a message.
    bool SelectInput(int kind, int listIndex);
    bool SelectOutput(int kind, int listIndex);
    // The default connection option (0 poll, 1 strobe, 2 COS, 3 cyclic).
    bool SelectDefaultConnection(int option);
    // All choices at once, each through its selector's checks; nothing
    // changes on a refusal.
    bool ApplyChoices(const DeviceNetChoices& choices);
    // The description and creator of the EDS file (UTF-8). Refused, with the
    // message naming the character, when one has no Windows-1252 byte.
    bool SetEdsInfo(const EdsInfo& info);

    // Fills HeaderImage, ApplicationImage and ConnectionImage as Finish writes them, at `now`.
    void PrepareImage(const LocalDateTime& now);
    // Prepares the image, writes it to the gateway and then the EDS file
    // (stamped `now`) into folder. Refused when the objects were not built,
    // an earlier Finish failed or the EDS texts cannot be written; does
    // nothing while another gateway dialogue runs.
    FinishResult Finish(ConsoleLink& link, const LocalDateTime& now, const std::filesystem::path& folder);

    // Back: empties the selectors, then closes as RequestClose does.
    bool Back();
    // Closing the window: refused while a Finish is talking to the gateway;
    // reminds the user when nothing was finished.
    bool RequestClose();

    bool FinishEnabled() const { return finishEnabled_; }
    bool Finished() const { return finished_; }

private:
    ProgramState& state_;
    UserInterface& ui_;
    SelectorLists lists_;
    DeviceNetChoices choices_;
    BuildResult objects_;
    bool finishEnabled_ = false;
    bool finished_ = false;
    bool open_ = false;
};

}  // namespace k400
