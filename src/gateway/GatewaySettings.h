#pragma once
// What a user decides for the gateway's two sides, as typed values, and the
// one function per value that checks it (with the user's messages) and stores
// it. The window fills these values from its boxes, the command line from its
// options; both then call the same functions.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/UserInterface.h"

namespace k400 {

struct ProgramState;

inline constexpr std::uint8_t CanopenLayer = 0;
inline constexpr std::uint8_t DeviceNetLayer = 1;

// COM2 and scan baud rates in bit/s, index = baud index.
inline const std::array<std::string, 8> BaudRateTable = {"1200",  "2400",  "4800",  "9600",
                                                         "19200", "38400", "57600", "115200"};
// The CAN baud rate in kbit/s of each entry of the two CAN lists.
inline constexpr std::array<int, 8> CanopenBaudKbps = {10, 20, 50, 125, 250, 500, 800, 1000};
inline constexpr std::array<int, 3> DeviceNetBaudKbps = {125, 250, 500};

// Highest node ID each CAN application accepts.
inline constexpr int MaxCanopenNodeId = 127;
inline constexpr int MaxDeviceNetNodeId = 63;

// Entries of the CAN baud list of an application layer (0 CANopen: 8, DeviceNet: 3).
int CanBaudListSize(std::uint8_t applicationLayer);
// kbit/s of a CAN baud index of an application; nothing when the list has no such entry.
std::optional<int> CanBaudKbps(std::uint8_t applicationLayer, int index);
// The index of a CAN baud rate in an application's list; nothing when it has none.
std::optional<std::uint8_t> CanBaudIndexOf(std::uint8_t applicationLayer, int kbps);
// The index of a COM2 or scan baud rate in BaudRateTable.
std::optional<std::uint8_t> BaudIndexOf(int bps);
int BaudRateBps(std::uint8_t index);

// The CAN side: application, node ID and CAN baud rate.
struct CanSettings {
    std::uint8_t Application = CanopenLayer;
    EnteredNumber NodeId = 1;
    std::uint8_t CanBaudIndex = 0;  // into the application's list
};

// The COM2 side: the modules' line.
struct Com2Settings {
    std::uint8_t BaudIndex = 3;  // into BaudRateTable
    bool Checksum = false;
    EnteredNumber TimeoutMs = 50;  // 1..32767
};

// The stored settings as typed values.
CanSettings StoredCanSettings(const ProgramState& state);
Com2Settings StoredCom2Settings(const ProgramState& state);
ScanParameters StoredScanParameters(const ProgramState& state);

// Each check shows the message a wrong value gets and returns false; the
// Apply functions store a value that passes (the CAN and COM2 sides also
// report "Setting Ok"), and leave everything as it was otherwise.
bool CheckCanSettings(const CanSettings& settings, UserInterface& ui);
bool ApplyCanSettings(ProgramState& state, const CanSettings& settings, UserInterface& ui);
bool CheckCom2Settings(const Com2Settings& settings, UserInterface& ui);
bool ApplyCom2Settings(ProgramState& state, const Com2Settings& settings, UserInterface& ui);
bool CheckScanParameters(const ScanParameters& parameters, UserInterface& ui);
bool ApplyScanParameters(ProgramState& state, const ScanParameters& parameters, UserInterface& ui);

// A node ID or CAN baud index the stored application cannot take becomes 1 or
// 0, as showing the CAN side does.
void RepairCanSettings(ProgramState& state);

}  // namespace k400
