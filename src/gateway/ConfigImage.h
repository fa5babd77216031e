#pragma once
// The gateway's configuration image in EEPROM: reading it at connect, checking
// it against the modules found, defaults, and preparing it for Finish (which
// writes it through EepromWrite).
// Long words are held as doubles with the unsigned value 0..4294967295.

#include <cstdint>
#include <functional>
#include <string>

#include "gateway/EepromWrite.h"  // the image's one writer
#include "gateway/ProgramState.h"
#include "platform/Clock.h"

namespace k400 {

class ConsoleLink;
class UserInterface;

// Image mark in the high half of header entry 0.
inline constexpr std::uint32_t ImageMark = 0x01B4;
// Size of the DeviceNet connection area in block 1.
inline constexpr int DeviceNetConnectionAreaBytes = 28;

// Halves and bytes of a long word, unpacked arithmetically.
std::uint32_t HighHalf(double word);
std::uint32_t LowHalf(double word);
inline std::uint32_t HighByte(std::uint32_t half)
{
    return half / 256;
}
inline std::uint32_t LowByte(std::uint32_t half)
{
    return half % 256;
}

// Decimal text of an integral value as the console prints it.
std::string LongWordText(double value);

// --- connect ---

// "use eeprom"; block 0: firmware words and header entries 0..9 (offsets 40..76);
// block 1: connection entries 0..6. Every value read except the last of a
// block is typed back, so the EEPROM is left unchanged. False on the first
// console step that fails.
bool ReadHeaderBlocks(ProgramState& state, ConsoleLink& link);

// Checks the header image against the gateway and the scanned totals and takes
// the stored settings; sets StoredImageInvalid on any failing check. Progress 7
// is reported between the time and the COM2 checks. Leaves ApplicationImage
// as four zero entries.
void CheckHeaderImage(ProgramState& state, UserInterface& ui);

// Settings of an unusable stored image. ApplicationLayer keeps its value.
void ApplyImageDefaults(ProgramState& state);

// "use eeprom", "block 2": application entries 0..3 (entries 0..2 retyped).
bool ReadApplicationBlock(ProgramState& state, ConsoleLink& link);

// --- Finish ---

// Maps a module to the model code its image entry carries.
using ModelCodeFn = std::function<std::uint32_t(const ScannedModule&)>;

// The catalogue's ModelNumber of a module's name (0 when unknown).
std::uint32_t CatalogueModelCode(const ScannedModule& module);

// ApplicationAreaBytes = 12 + 4 per module with an address; sizes the three
// image tables (all entries 0); fills header entries 0..8 from the settings,
// the totals and `now` (also kept as ConfigTime). connectionAreaBytes is the
// block-1 size carried in entry 1: 0 for CANopen, 28 for DeviceNet.
void PrepareHeaderImage(ProgramState& state, const LocalDateTime& now, int connectionAreaBytes);

// Error-control flags, guard/heartbeat time and life factor in one word.
double ErrorControlWord(const ProgramState& state);
// Last output assembly (receive PDO) and last input assembly (transmit PDO).
double PdoCountWord(const ProgramState& state);
// model code x 256 + address.
double ModuleEntryWord(std::uint32_t modelCode, int address);

// ApplicationImage entries 0..2 and one module entry per module with an
// address, in table order. Call after PrepareHeaderImage.
void PrepareApplicationImage(ProgramState& state, const ModelCodeFn& modelCode);

}  // namespace k400
