#pragma once
// The poll, strobe and change-of-state/cyclic connection choices: the
// selector lists, the strobe length limit, the restore from the stored
// connection words and their packing into the connection block.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devicenet/AssemblyObjects.h"

namespace k400 {

struct ProgramState;
class UserInterface;

// Connection kinds, as array indexes.
inline constexpr int PollConnection = 0;
inline constexpr int StrobeConnection = 1;
inline constexpr int CosConnection = 2;  // change of state and cyclic
inline constexpr int ConnectionKinds = 3;

// A bit-strobe response carries at most this many bytes.
inline constexpr int StrobeDataLimit = 8;

// The output side of change of state / cyclic is always the acknowledge handler.
inline constexpr ConnectionPath AcknowledgeHandlerPath{0x2B, 1, 0};

struct SelectorLists {
    std::vector<std::string> Input;   // the same list in all three input selectors
    std::vector<std::string> Output;  // the same list in all three output selectors
};

struct ConnectionChoices {
    std::array<std::int16_t, 4> InputSelection{};
    std::array<std::int16_t, 4> OutputSelection{};
    std::uint16_t DefaultConnection = 0;
};

// Module table entries the DeviceNet tables may read: those scanned, at most the table size.
int ScannedSlots(const ProgramState& state);

// One module's digital or analog data of one direction.
struct ApplicationData {
    int slot = 0;  // module table index
    bool analog = false;
    int length = 0;  // bytes
};

// The application objects that carry data in one direction, in the order the
// selectors and the EDS file list them: every module's digital data, then
// every module's analog data.
std::vector<ApplicationData> ApplicationDataObjects(const ProgramState& state, bool output);

// "None", the assembly entries, then the application objects with digital
// and then analog data. Only assemblies holding data are offered.
SelectorLists BuildSelectorLists(const ProgramState& state);

// The byte count behind an input selector entry (0 for "None").
int InputEntryLength(const ProgramState& state, int listIndex, const std::string& itemText);
// True when the entry may feed the bit-strobe connection.
bool StrobeAccepts(const ProgramState& state, int listIndex, const std::string& itemText);

// Restores the choices from the connection words read at connect, or
// defaults them with the notice the user is owed. Only the poll output
// choice is restored; the other outputs and DefaultConnection start at 0.
// A stored assembly entry the list leaves out because the assembly is empty
// reads as "None" for that connection alone, without the notice.
ConnectionChoices RestoreConnectionChoices(ProgramState& state, const SelectorLists& lists, UserInterface& ui);

// The seven words of the connection block.
std::array<double, 7> PackConnectionImage(const ProgramState& state, const SelectorLists& lists,
                                          const ConnectionChoices& choices);

// One connection word: selection, class, instance, attribute, a byte each.
double PackConnectionWord(int selection, const ConnectionPath& path);

}  // namespace k400
