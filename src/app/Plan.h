#pragma once
// A configuration plan: what a user decides for one gateway (profile,
// settings, profile choices, EDS texts and, optionally, the modules
// expected), kept in a JSON file so that the same configuration can be
// replayed, reviewed and handed on. Every field may be left out; what is left
// out keeps what the gateway holds (or the command line gives).

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/BuildEds.h"
#include "app/PlannedModules.h"
#include "canopen/CanopenConfiguration.h"
#include "devicenet/DeviceNetConfiguration.h"
#include "platform/TextFile.h"

namespace k400 {

struct Plan {
    Profile Slave = Profile::None;  // None: not planned
    std::optional<int> NodeId;
    std::optional<int> CanBaudKbps;
    std::optional<int> Com2BaudBps;
    std::optional<bool> Com2Checksum;
    std::optional<int> Com2TimeoutMs;
    // CANopen error control: heartbeat, or node guarding with both values.
    std::optional<int> HeartbeatMs;
    std::optional<int> GuardTimeMs;
    std::optional<int> LifeFactor;
    // DeviceNet: selector entries (0 = None) of poll, strobe and COS, and the
    // default connection (0 poll, 1 strobe, 2 COS, 3 cyclic).
    std::array<std::optional<int>, 3> InputEntry;
    std::array<std::optional<int>, 3> OutputEntry;
    std::optional<int> DefaultConnection;
    std::optional<std::string> Description;
    std::optional<std::string> CreatedBy;
    std::optional<std::vector<PlannedModule>> Modules;
};

// Reads a plan; nothing, and an error naming the place, for a file that is
// not one or holds a value out of its range.
std::optional<Plan> ParsePlan(std::string_view json, std::string& error);
std::optional<Plan> LoadPlanFile(const std::filesystem::path& path, std::string& error);

std::string PlanText(const Plan& plan);
TextFileResult WritePlanFile(const std::filesystem::path& path, const Plan& plan);

// The plan that configures again what the state holds after a run: the
// settings, the modules and the profile's choices.
Plan PlanOfCanopen(const ProgramState& state, const CanopenChoices& choices);
Plan PlanOfDeviceNet(const ProgramState& state, const DeviceNetChoices& choices);

// The first difference between the modules a scan found and those planned,
// e.g. "module at 3: planned M38, found M39"; empty when they agree.
std::string ModulesDiffer(const ProgramState& state, const std::vector<PlannedModule>& planned);

}  // namespace k400
