#pragma once
// The gateway's text console as a pure state machine: bytes go in with the
// time they arrived, reply text comes out as pieces with the time each may be
// released. No I/O and no clock of its own, so the same console serves the
// in-process port, the pseudo-terminal server and the tests.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Scenario.h"

namespace k400 {

class GatewayConsole {
public:
    enum class Mode { TopLevel, Eeprom, ValueEditor, Com2, Scanning };

    struct EepromWrite {
        int block = 0;
        int offset = 0;
        std::uint32_t value = 0;
        bool changed = false;  // the word held another value before
    };

    static constexpr std::size_t kMaxLineLength = 128;         // longer lines are cut and refused
    static constexpr std::size_t kMaxQueuedBytes = 64 * 1024;  // output beyond this is lost, as in a full FIFO

    explicit GatewayConsole(Scenario scenario);

    // Bytes from the PC, arrived at nowMs. Lines end with CR; LF is ignored.
    void receive(std::string_view bytes, std::int64_t nowMs);

    // All output released by nowMs, in order; removes it from the queue.
    std::string takeOutput(std::int64_t nowMs);
    // Number of bytes that takeOutput(nowMs) would return.
    std::size_t releasedBytes(std::int64_t nowMs) const;
    // Release time of the earliest queued piece, if any.
    std::optional<std::int64_t> nextReleaseMs() const;

    // The mode as of the last receive/takeOutput/advance.
    Mode mode() const { return mode_; }
    // Moves time on: ends a scan whose closing prompt is due.
    void advance(std::int64_t nowMs);

    const EepromImage& eeprom() const { return eeprom_; }
    const std::vector<EepromWrite>& eepromWrites() const { return writes_; }
    // Called after every typed value that changed a long word.
    void setEepromListener(std::function<void(const EepromImage&)> listener) { listener_ = std::move(listener); }
    // Called when the scenario's pause starts, with the number of the value typed.
    void setPauseListener(std::function<void(int)> listener) { pauseListener_ = std::move(listener); }

    // Every complete line received, blanks trimmed, in order (lost lines included).
    const std::vector<std::string>& receivedLines() const { return lines_; }
    // True once a "vanish" fault fired: the device is gone and answers nothing more.
    bool vanished() const { return vanished_; }

    const Scenario& scenario() const { return scenario_; }
    int eepromBlock() const { return block_; }
    bool checksumOn() const { return checksum_; }
    int moduleTimeoutMs() const { return moduleTimeoutMs_; }
    int com2Baud() const { return baud_; }
    int scanStart() const { return scanStart_; }
    int scanEnd() const { return scanEnd_; }
    std::string prompt() const;

private:
    struct Piece {
        std::int64_t releaseMs = 0;
        std::string text;
        bool scan = false;
    };
    struct Reply {
        std::string body;    // without the prompt
        std::string prompt;  // empty: none
    };
    struct Shaping {
        bool lost = false;
        bool vanish = false;
        bool loseLast = false;
        int delayMs = 0;
        int pieceBytes = 0;
        int gapMs = 0;
        std::string garbage;
    };

    void receiveByte(char c, std::int64_t nowMs);
    void completeLine(std::int64_t nowMs);
    Shaping shapingFor(const std::string& line);
    Reply execute(const std::string& line, std::int64_t nowMs, const Shaping& shaping);
    Reply topLevel(const std::string& line);
    Reply eepromMode(const std::string& line);
    Reply valueEditor(const std::string& line);
    Reply com2Mode(const std::string& line, std::int64_t nowMs, const Shaping& shaping);
    std::string moduleCommand(const std::string& line) const;
    std::string editorLine() const;
    void startScan(std::int64_t nowMs, const Shaping& shaping);
    void stopScan(std::int64_t nowMs);
    std::string listingLine(const SimModule& module) const;

    // Queues text from startMs on, cut per the shaping; returns the last piece's release time.
    std::int64_t enqueue(const std::string& text, std::int64_t startMs, const Shaping& shaping, bool scan);
    void enqueuePiece(std::int64_t releaseMs, std::string text, bool scan);

    Scenario scenario_;
    EepromImage eeprom_;
    Mode mode_ = Mode::TopLevel;

    std::string line_;
    bool lineTooLong_ = false;
    std::int64_t lastByteMs_ = 0;
    bool anyByte_ = false;
    std::size_t lineCount_ = 0;
    std::vector<int> ruleOccurrences_;
    std::vector<std::string> lines_;

    int block_ = 0;
    int editOffset_ = 0;
    bool checksum_ = false;
    int moduleTimeoutMs_ = 200;
    int baud_ = 9600;
    int scanStart_ = 0;
    int scanEnd_ = 15;
    std::int64_t scanEndMs_ = 0;

    std::deque<Piece> queue_;
    std::size_t queuedBytes_ = 0;
    std::int64_t lastReplyMs_ = 0;
    bool vanished_ = false;

    std::vector<EepromWrite> writes_;
    std::function<void(const EepromImage&)> listener_;
    int valuesTyped_ = 0;
    bool pauseDue_ = false;
    std::function<void(int)> pauseListener_;
};

const char* ModeName(GatewayConsole::Mode mode);

}  // namespace k400
