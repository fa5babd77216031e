#pragma once
// The program-wide tables and values, in one object. The desktop window owns
// one for the whole run; the command line and the tests make their own.
// Field names are those the gateway's documentation uses.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "modules/AssemblyObject.h"
#include "modules/ModuleTables.h"

namespace k400 {

struct FirmwareVersionWord {
    std::uint8_t Major = 0;
    std::uint8_t Minor = 0;
};

struct FirmwareDateWord {
    std::int16_t Year = 0;
    std::uint8_t Month = 0;
    std::uint8_t Day = 0;
};

// Date and time of the stored configuration (taken from the image or set by Finish).
struct ConfigurationTime {
    std::int16_t Year = 0;
    std::uint8_t Month = 0;
    std::uint8_t Day = 0;
    std::uint8_t Hour = 0;
    std::uint8_t Minute = 0;
    std::uint8_t Second = 0;
};

// The bit of ErrorControlFlags that chooses heartbeat over node guarding.
inline constexpr std::uint8_t HeartbeatBit = 0x04;

// The EDS information texts: 0 description, 1 creator (empty: the file's own defaults).
using EdsInfo = std::array<std::string, 2>;

struct ProgramState : ModuleTables {
    // A connect succeeded; a gateway dialogue is running.
    bool Connected = false;
    bool GatewayBusy = false;

    // Console link (the reply time-out and ReplyText live in ConsoleLink)
    std::string ControllerPrompt;
    // The port the last successful connect used; Finish talks to this one.
    std::string ConnectedPort;

    // Gateway and scan settings
    std::uint8_t ApplicationLayer = 0;  // 0 CANopen, 1 DeviceNet
    std::uint8_t NodeId = 1;
    std::uint8_t CanBaudIndex = 0;
    std::uint8_t Com2BaudIndex = 0;
    std::uint8_t Com2Checksum = 0;
    std::int16_t Com2Timeout = 0;
    std::uint8_t ScanBaudIndex = 3;
    std::uint8_t ScanChecksumIndex = 0;
    std::int16_t ScanTimeoutMs = 200;
    bool ScanParametersDone = false;
    ConfigurationTime ConfigTime;

    // Configuration image (EEPROM blocks 0, 1, 2); unsigned long word values
    std::vector<double> HeaderImage = std::vector<double>(10, 0.0);
    std::vector<double> ConnectionImage = std::vector<double>(11, 0.0);
    std::vector<double> ApplicationImage = std::vector<double>(4, 0.0);
    std::int16_t HeaderAreaBytes = 36;
    std::int16_t ConnectionAreaBytes = 0;
    std::int16_t ApplicationAreaBytes = 12;
    bool StoredImageInvalid = false;
    std::uint8_t StoredImageValid = 0;
    std::uint8_t EepromBlock = 0;
    FirmwareVersionWord FirmwareVersion;
    FirmwareDateWord FirmwareDate;

    // PDOs (CANopen) or assembly instances (DeviceNet), whichever was built last
    AssemblyTable OutputAssemblies;
    AssemblyTable InputAssemblies;
    std::uint8_t LastOutputAssembly = 0;
    std::uint8_t LastInputAssembly = 0;
    std::uint16_t AOOverflowPdo = 0;
    std::uint16_t AIOverflowPdo = 0;

    // CANopen error control
    std::uint8_t ErrorControlFlags = 0;  // HeartbeatBit set: heartbeat, else node guarding
    std::uint32_t GuardTime = 0;
    std::uint8_t LifeTimeFactor = 0;
    std::uint32_t HeartbeatTime = 0;

    // EDS description and creator texts
    EdsInfo EdsInfoText;
};

}  // namespace k400
