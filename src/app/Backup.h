#pragma once
// A gateway's stored configuration kept in a file: a record of what the
// gateway holds, a way to see it drift, and what configures a replacement.
// Every word of the image is read without typing a value (ReadEepromWord),
// next to what the connect found (controller, firmware, scan parameters,
// modules) and what the words mean (settings and profile choices). Compare
// and restore work from the same structure, read back from the file.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "canopen/CanopenConfiguration.h"
#include "devicenet/DeviceNetConfiguration.h"
#include "gateway/EepromWrite.h"
#include "platform/Clock.h"
#include "platform/TextFile.h"
#include "platform/UserInterface.h"

namespace k400 {

class ConsoleLink;
struct ProgramState;

inline constexpr int BackupFormat = 1;

// The stored image as the EEPROM holds it.
struct StoredImage {
    std::vector<std::uint32_t> Header;       // block 0, offsets 40..76
    std::vector<std::uint32_t> Connection;   // block 1, offsets 0..24
    std::vector<std::uint32_t> Application;  // block 2 from offset 0, the stored application area
};

// What the header words say, whether or not the image fits the modules.
struct StoredSettings {
    int ApplicationLayer = 0;
    int NodeId = 0;
    int CanBaudIndex = 0;
    int Com2BaudIndex = 0;
    bool Com2Checksum = false;
    int Com2TimeoutMs = 0;
};

// A module as the scan found it.
struct BackupModule {
    int Address = 0;
    std::string Name;
    std::vector<int> TypeCodes;  // one, or one per channel for type code 0x3F
    int BaudCode = 0;
    int DataFormat = 0;
};

// The DeviceNet choices by their selector entries ("INPUT 01(Assembly)", "None").
struct DeviceNetSelections {
    std::array<std::string, 3> Input;  // poll, strobe, COS/cyclic
    std::array<std::string, 3> Output;
    int DefaultConnection = 0;  // 0 poll, 1 strobe, 2 COS, 3 cyclic
};

struct GatewayBackup {
    std::string ProgramVersion;
    std::string Time;  // local time of the backup, "2024-05-01T10:20:30"
    std::string Port;
    std::string Controller;  // "K400E"
    std::string Firmware;    // "1.05-2007/11/26"
    ScanParameters Scan;
    bool StoredImageValid = false;
    StoredSettings Settings;
    std::vector<BackupModule> Modules;
    // Decoded from a valid stored image of that application layer.
    std::optional<CanopenChoices> Canopen;
    std::optional<DeviceNetSelections> DeviceNet;
    StoredImage Image;
};

// After a successful connect: opens the port again, reads every stored word
// with the read-only reader (the application area as long as header word 1
// says, within what fifteen modules need) and closes it. A failure is shown
// to the user ("Timeout" when a console step failed) and gives nothing.
std::optional<StoredImage> ReadStoredImage(ProgramState& state, ConsoleLink& link);

// The backup of the connected gateway whose image was just read.
GatewayBackup DescribeGateway(const ProgramState& state, const StoredImage& image, const LocalDateTime& now);

// After a successful connect: the stored image read and described, as backup
// writes it and compare holds it against a file (the gateway busy meanwhile).
// A failure was shown and gives nothing.
std::optional<GatewayBackup> ReadGatewayBackup(ProgramState& state, ConsoleLink& link);

// The DeviceNet choices a stored image holds: those Load restores, plus the
// default connection and the strobe and COS/cyclic outputs it leaves at 0.
DeviceNetChoices StoredDeviceNetChoices(const ProgramState& state, const DeviceNetConfiguration& configuration);

std::string BackupText(const GatewayBackup& backup);
TextFileResult WriteBackupFile(const std::filesystem::path& path, const GatewayBackup& backup);
// Nothing, and an error naming the place, for a file that is no backup.
std::optional<GatewayBackup> ParseBackup(std::string_view json, std::string& error);
std::optional<GatewayBackup> LoadBackupFile(const std::filesystem::path& path, std::string& error);

// --- compare ---

// One thing that differs by meaning: "node ID", "5", "6".
struct FactDifference {
    std::string What;
    std::string File;
    std::string Gateway;
    bool Counts = true;  // identity (controller, firmware) is shown only
};

// One image word that differs; a side without the word holds nothing.
struct WordDifference {
    int Block = 0;
    int Offset = 0;
    std::optional<std::uint32_t> File;
    std::optional<std::uint32_t> Gateway;
    const char* NotCounted = nullptr;  // why it does not count, or nullptr
};

struct BackupComparison {
    std::vector<FactDifference> Facts;
    std::vector<WordDifference> Words;

    bool Equal() const;
};

// The differences by meaning, then the image words. The Finish date and time
// (block 0 offsets 52 and 56) and offset 76 (outside the header area, never
// written) are listed without counting, and so is block 1 when neither side
// has a DeviceNet connection area.
BackupComparison CompareBackups(const GatewayBackup& file, const GatewayBackup& gateway);

// "0x01B40024".
std::string WordText(std::uint32_t word);
// The word, or "-" for a side without it.
std::string WordOrAbsent(const std::optional<std::uint32_t>& word);

// The comparison as it is listed: the differences by meaning under their
// heading, then the image words, each one that does not count saying why.
// Empty when nothing differs at all.
std::vector<std::string> ComparisonLines(const BackupComparison& comparison);

// --- restore ---

// The first module that differs between the file and the modules just
// scanned (address, name, type codes), as "module at 0x03: file M38, gateway
// M39"; empty when they agree.
std::string BackupModulesDiffer(const GatewayBackup& file, const ProgramState& state);

// Writes the file's image words through the one writer (commit order and
// verification), on the port the connect used; the connection block when the
// file's configuration has one (DeviceNet). The port is closed afterwards.
EepromWriteResult RestoreImage(ProgramState& state, ConsoleLink& link, const StoredImage& image);

// The device files of the configuration a connect just read: the EDS of its
// profile with the choices the image holds and, for CANopen unless withoutDcf,
// the DCF beside it.
struct DeviceFiles {
    TextFileResult Eds;
    std::optional<TextFileResult> Dcf;
    std::string Error;  // set when a file could not be built or written

    bool ok() const { return Error.empty(); }
};
DeviceFiles WriteStoredDeviceFiles(ProgramState& state, UserInterface& ui, const LocalDateTime& now,
                                   const std::filesystem::path& folder, bool withoutDcf);

// How far a restore came: the step that failed, or Done.
enum class RestoreStep { Write, Connect, Files, Done };

struct RestoreResult {
    RestoreStep Reached = RestoreStep::Write;
    EepromWriteResult Written;
    DeviceFiles Files;

    bool ok() const { return Reached == RestoreStep::Done; }
};

// After the connect that found the file's modules (BackupModulesDiffer empty)
// on a valid backup: writes the file's image (RestoreImage, the gateway busy
// meanwhile), connects again so that the device files describe what the
// gateway now holds, and writes them into folder. Each failure was shown
// through the link's user interface.
RestoreResult RestoreBackup(ProgramState& state, ConsoleLink& link, const GatewayBackup& file,
                            const std::filesystem::path& folder, bool withoutDcf);

}  // namespace k400
