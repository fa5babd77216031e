#pragma once
// What a simulated gateway looks like: the controller, its EEPROM, the TARN
// modules on its COM2 line, and the faults it should show. Plain data with
// sensible defaults, so that tests can build one in a few lines; JSON files
// (docs/simulator.md) load into the same structure.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k400 {

inline constexpr int kEepromBlockCount = 3;
inline constexpr int kEepromWordsPerBlock = 64;  // 256 bytes, long words at offsets 0, 4, ... 252

using EepromBlockWords = std::array<std::uint32_t, kEepromWordsPerBlock>;
using EepromImage = std::array<EepromBlockWords, kEepromBlockCount>;

// One TARN module on the gateway's COM2 line.
struct SimModule {
    int address = 1;            // 0..255; 0 is how an unconfigured module shows up
    std::string model = "M28";  // name as the module reports it
    int typeCode = 0x08;        // 0x3F: one type code per channel, see channelTypes
    int baudCode = 0x06;        // TARN baud code (06 = 9600)
    int dataFormat = 0x00;
    std::vector<int> channelTypes;  // answers to "$AA9C" (channel C); used with type code 0x3F
    bool dFlag = false;             // listed with a "D" before the "{"
    bool answers = true;            // false: listed by the scan but every query times out
    std::string checksumText;       // two characters to list instead of the computed checksum
};

// Which command lines a fault applies to.
struct CommandMatch {
    std::optional<std::string> command;  // the line as received (blanks trimmed); none: any line
    int occurrence = 0;                  // 1-based among lines equal to command; 0: every one
    int index = 0;                       // 1-based among all lines received; 0: not used

    static CommandMatch Line(std::string text, int occurrence = 0);
    static CommandMatch Nth(int index);
    static CommandMatch Any();
};

enum class FaultKind {
    NoAnswer,           // the line is lost: no effect, no reply
    Delay,              // the reply is held back delayMs
    Split,              // the reply comes in pieces of pieceBytes, gapMs apart
    Garbage,            // text is put before the reply's prompt
    Vanish,             // the device disappears at this line (pty: the master side closes)
    LoseLastCharacter,  // the line arrives without its last character, as when one is lost on the wire
};

struct FaultRule {
    FaultKind kind = FaultKind::NoAnswer;
    CommandMatch match;
    int delayMs = 0;
    int pieceBytes = 1;
    int gapMs = 0;
    std::string text;

    static FaultRule NoAnswerTo(CommandMatch match);
    static FaultRule DelayReply(CommandMatch match, int delayMs);
    static FaultRule SplitReply(CommandMatch match, int pieceBytes, int gapMs);
    static FaultRule GarbageBeforePrompt(CommandMatch match, std::string text);
    static FaultRule VanishAt(CommandMatch match);
    static FaultRule LoseLastCharacterOf(CommandMatch match);
};

// A pause after the N-th value typed into the value editor (the values a
// client types back while reading count too): the reply to that value is
// held back ms, and whoever listens is told (the pseudo-terminal server
// prints a line on standard output), so
// that a test can act while the client is in the middle of an EEPROM write.
struct ValuePause {
    int afterValue = 0;  // 1-based; 0: no pause
    int ms = 0;
};

struct ScanBehaviour {
    int startDelayMs = 0;    // before the first listing line
    int lineIntervalMs = 0;  // between listing lines, and before the closing prompt
    bool silent = false;     // the scan never prints anything and never ends (until "/q")
};

struct Scenario {
    std::string controller = "K400E";  // the top-level prompt is controller + ">"
    EepromImage eeprom{};              // all long words, as unsigned 32-bit values
    std::vector<SimModule> modules;
    bool echo = false;  // echo every received character (CR as CR LF)

    int replyDelayMs = 0;  // every reply held back this long
    int splitBytes = 0;    // every reply in pieces of this many bytes (0: whole)
    int splitGapMs = 0;    // pause between those pieces
    int dropWithinMs = 0;  // drop a character that follows the previous one within this many ms (0: off)
    ScanBehaviour scan;
    std::vector<FaultRule> faults;
    ValuePause pause;

    std::uint32_t word(int block, int offset) const;
    void setWord(int block, int offset, std::uint32_t value);
    // Block 0 offset 0: major * 256 + minor; offset 4: year * 65536 + month * 256 + day.
    void setFirmware(int major, int minor, int year, int month, int day);
    // Block 0 offsets 40..72 (the stored configuration header).
    void setHeader(const std::array<std::uint32_t, 9>& words);
};

// The demo gateway: a K400E, firmware 1.05 of 2007/11/26, six modules of all
// four I/O kinds and a stored CANopen configuration that matches them.
Scenario BuiltInScenario();

std::optional<Scenario> ParseScenario(std::string_view json, std::string& error);
std::optional<Scenario> LoadScenarioFile(const std::string& path, std::string& error);

// The EEPROM as JSON, {"eeprom": {"block0": [...], "block1": [...], "block2": [...]}},
// values in signed decimal as the console shows them. The text is itself a
// valid scenario, so a saved EEPROM can be loaded again.
std::string EepromToJson(const EepromImage& eeprom);
// Written to a temporary file first, then renamed over path.
bool WriteEepromFile(const std::string& path, const EepromImage& eeprom, std::string& error);
// Reads a file written by WriteEepromFile (or any scenario file's EEPROM).
std::optional<EepromImage> LoadEepromFile(const std::string& path, std::string& error);

// The console's value text for a long word: signed 32-bit decimal.
std::string SignedWordText(std::uint32_t value);

}  // namespace k400
