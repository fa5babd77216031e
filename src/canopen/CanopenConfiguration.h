#pragma once
// The CANopen profile of a configuration: the PDO mapping built from the
// modules, the error-control choice, and Finish. No window is needed: the
// desktop window and the command line both fill the typed choices and call
// the same procedures.

#include <filesystem>

#include "gateway/ProfileFinish.h"
#include "gateway/ProgramState.h"
#include "platform/Clock.h"
#include "platform/UserInterface.h"

namespace k400 {

class ConsoleLink;

enum class ErrorControlMode { NodeGuarding = 0, Heartbeat = 1 };

// What a user decides for a CANopen slave: node guarding with guard time
// and life factor, or heartbeat with its time.
struct CanopenChoices {
    ErrorControlMode Mode = ErrorControlMode::NodeGuarding;
    EnteredNumber GuardTimeMs = 0;  // 0..65535
    EnteredNumber LifeFactor = 0;   // 0..255
    EnteredNumber HeartbeatMs = 0;  // 0..65535
};

// The overflow checks of the chosen protocol's times, with their messages.
bool CheckCanopenChoices(const CanopenChoices& choices, UserInterface& ui);

// Fills the image words a CANopen Finish writes, at `now`.
void PrepareCanopenImage(ProgramState& state, const LocalDateTime& now);

// The three viewers a button may open.
enum class CanopenViewer { Pdo, ObjectDictionary, ModuleInformation };

class CanopenConfiguration {
public:
    CanopenConfiguration(ProgramState& state, UserInterface& ui);

    // Empties the EDS texts, presets the choices from the stored image (when
    // valid) and builds the PDO mapping. A mapping that cannot be built is
    // reported to the user; Finish then refuses to run.
    BuildResult Load();
    // The choices Load preset: the stored ones, or node guarding with zeros.
    const CanopenChoices& Choices() const { return choices_; }

    // Choosing the protocol: sets or clears the heartbeat bit. The times are
    // taken by ApplyChoices.
    void SelectErrorControl(ErrorControlMode mode);
    // Checks the times of the chosen protocol (with the overflow messages)
    // and takes them; nothing changes on a refusal.
    bool ApplyChoices(const CanopenChoices& choices);
    // The description and creator of the EDS file (UTF-8). Refused, with the
    // message naming the character, when one has no Windows-1252 byte.
    bool SetEdsInfo(const EdsInfo& info);

    // Fills the image words as Finish writes them, at `now`.
    void PrepareImage(const LocalDateTime& now) { PrepareCanopenImage(state_, now); }
    // Whether Finish also writes the DCF beside the EDS file (it does unless told not to).
    void SetWriteDcf(bool write) { writeDcf_ = write; }
    // Prepares the image, writes it to the gateway and then the EDS file
    // (stamped `now`) and the DCF into folder. Refused when the mapping was not built or
    // the EDS texts cannot be written; does nothing while another gateway
    // dialogue runs.
    FinishResult Finish(ConsoleLink& link, const LocalDateTime& now, const std::filesystem::path& folder);

    // Closing the window (Back, close box): refused with "Module is
    // connecting now!" while a gateway dialogue runs.
    bool RequestClose();
    // A viewer button: false (after the message) when there is nothing to show.
    bool RequestViewer(CanopenViewer viewer);

    bool MappingBuilt() const { return mapping_.ok; }

private:
    ProgramState& state_;
    UserInterface& ui_;
    CanopenChoices choices_;
    BuildResult mapping_;
    bool writeDcf_ = true;
};

}  // namespace k400
