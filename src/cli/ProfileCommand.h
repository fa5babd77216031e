#pragma once
// What differs between the profiles in `configure` and `eds`: the profile's
// options, its configuration and what it prints. The flow (ConfigureCommand)
// calls define while the command line is declared, checkOptions before the
// gateway is touched, load once the module tables are filled, then one of
// dryRun, finish or writeEds. Each returns an exit code (ExitSuccess to go on)
// and prints its own result on io.out.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "app/BuildEds.h"
#include "app/Plan.h"
#include "cli/Output.h"
#include "gateway/ProgramState.h"
#include "platform/Clock.h"

namespace CLI {
class App;
}

namespace k400 {

class ConsoleLink;
class UserInterface;
struct CommandIo;
struct ProgramState;

class ProfileCommand {
public:
    virtual ~ProfileCommand() = default;

    virtual std::string_view name() const = 0;  // the --profile value
    virtual std::uint8_t layer() const = 0;
    virtual ApplicationChoice choice() const = 0;
    virtual Profile profile() const = 0;

    virtual void define(CLI::App& command) = 0;
    // The first of its options that was given, for "applies to the other profile" errors.
    virtual std::string givenOption() const = 0;
    // The plan's choices for this profile, where no option gave one.
    virtual void takePlan(const Plan& plan) = 0;
    // The plan that configures again what load() made of the state.
    virtual Plan usedPlan(const ProgramState& state) const = 0;
    // The given choices checked as far as they can be without the modules.
    virtual bool checkOptions(UserInterface& ui) const = 0;

    // Builds the profile's I/O image and makes the given choices.
    virtual int load(ProgramState& state, UserInterface& ui, const EdsInfo& edsInfo, CommandIo& io,
                     std::string_view command) = 0;
    // configure --dry-run: what Finish would write, with nothing sent or written.
    virtual int dryRun(ProgramState& state, const LocalDateTime& now, const std::filesystem::path& folder, bool json,
                       CommandIo& io) = 0;
    virtual int finish(ProgramState& state, ConsoleLink& link, const LocalDateTime& now,
                       const std::filesystem::path& folder, bool json, CommandIo& io) = 0;
    // eds: the EDS file of the planned modules, no gateway attached.
    virtual int writeEds(ProgramState& state, const LocalDateTime& now, const std::filesystem::path& folder, bool json,
                         CommandIo& io) = 0;
};

std::unique_ptr<ProfileCommand> MakeCanopenCommand();
std::unique_ptr<ProfileCommand> MakeDeviceNetCommand();

}  // namespace k400
