#include "sim/GatewayConsole.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

#include "platform/NumberText.h"

namespace k400 {

namespace {

constexpr std::size_t kMaxLogEntries = 10000;  // logs keep the most recent entries only
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
constexpr const char* kEepromPrompt = "[EEPROM:]";
constexpr const char* kCom2Prompt = "[COM2:]";
constexpr const char* kNewLine = "\r\n";

std::string Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

// "word rest": the first blank-separated word and the rest, trimmed.
std::pair<std::string, std::string> SplitWord(const std::string& line)
{
    const auto blank = line.find_first_of(" \t");
    if (blank == std::string::npos)
        return {line, {}};
    return {line.substr(0, blank), Trim(std::string_view(line).substr(blank))};
}

// Unsigned decimal without sign or blanks, at most max.
std::optional<long long> PlainNumber(const std::string& text, long long max)
{
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value > max)
        return std::nullopt;
    return value;
}

// A typed long word: optional sign and decimal digits, signed or unsigned 32-bit range.
std::optional<std::uint32_t> TypedWord(const std::string& text)
{
    std::string digits = text;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        negative = digits[0] == '-';
        digits.erase(0, 1);
    }
    const auto magnitude = PlainNumber(digits, 4294967295LL);
    if (!magnitude)
        return std::nullopt;
    const long long value = negative ? -*magnitude : *magnitude;
    if (value < -2147483648LL)
        return std::nullopt;
    return static_cast<std::uint32_t>(value < 0 ? value + 4294967296LL : value);
}

std::string Hex2(int value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X", value & 0xFF);
    return buffer;
}

std::optional<int> HexPair(std::string_view text)
{
    if (text.size() != 2)
        return std::nullopt;
    const auto value = HexDigitsValue(text);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

// TARN checksum: the sum of the characters, modulo 256, as two hex digits.
std::string Checksum(std::string_view text)
{
    unsigned sum = 0;
    for (const char c : text)
        sum += static_cast<unsigned char>(c);
    return Hex2(static_cast<int>(sum & 0xFF));
}

bool IsValidBaud(int baud)
{
    for (const int b : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        if (b == baud)
            return true;
    return false;
}

template <typename T>
void AppendBounded(std::vector<T>& log, T entry)
{
    if (log.size() >= kMaxLogEntries)
        log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(kMaxLogEntries / 2));
    log.push_back(std::move(entry));
}

}  // namespace

const char* ModeName(GatewayConsole::Mode mode)
{
    switch (mode) {
    case GatewayConsole::Mode::TopLevel:
        return "top level";
    case GatewayConsole::Mode::Eeprom:
        return "EEPROM";
    case GatewayConsole::Mode::ValueEditor:
        return "value editor";
    case GatewayConsole::Mode::Com2:
        return "COM2";
    case GatewayConsole::Mode::Scanning:
        return "scanning";
    }
    return "?";
}

GatewayConsole::GatewayConsole(Scenario scenario)
    : scenario_(std::move(scenario)), eeprom_(scenario_.eeprom), ruleOccurrences_(scenario_.faults.size(), 0)
{
}

std::string GatewayConsole::prompt() const
{
    switch (mode_) {
    case Mode::TopLevel:
        return scenario_.controller + ">";
    case Mode::Eeprom:
        return kEepromPrompt;
    case Mode::ValueEditor:
        return editorLine();
    case Mode::Com2:
    case Mode::Scanning:
        return kCom2Prompt;
    }
    return {};
}

void GatewayConsole::advance(std::int64_t nowMs)
{
    if (mode_ == Mode::Scanning && nowMs >= scanEndMs_)
        mode_ = Mode::Com2;
}

void GatewayConsole::receive(std::string_view bytes, std::int64_t nowMs)
{
    for (const char c : bytes) {
        if (vanished_)
            return;
        receiveByte(c, nowMs);
    }
}

void GatewayConsole::receiveByte(char c, std::int64_t nowMs)
{
    // A UART that cannot keep up loses characters that come too close together.
    const bool tooClose = anyByte_ && scenario_.dropWithinMs > 0 && nowMs - lastByteMs_ < scenario_.dropWithinMs;
    anyByte_ = true;
    lastByteMs_ = nowMs;
    if (tooClose)
        return;

    if (c == '\n')
        return;
    if (c == '\r') {
        if (scenario_.echo)
            enqueuePiece(nowMs, kNewLine, false);
        completeLine(nowMs);
        return;
    }
    if (c == '\b' || c == 0x7F) {
        if (!line_.empty() && !lineTooLong_) {
            line_.pop_back();
            if (scenario_.echo)
                enqueuePiece(nowMs, "\b \b", false);
        }
        return;
    }
    if (static_cast<unsigned char>(c) < 0x20)
        return;  // other control characters are not part of a command
    if (line_.size() >= kMaxLineLength) {
        lineTooLong_ = true;
        return;
    }
    line_ += c;
    if (scenario_.echo)
        enqueuePiece(nowMs, std::string(1, c), false);
}

GatewayConsole::Shaping GatewayConsole::shapingFor(const std::string& line)
{
    Shaping shaping;
    shaping.delayMs = scenario_.replyDelayMs;
    shaping.pieceBytes = scenario_.splitBytes;
    shaping.gapMs = scenario_.splitGapMs;
    for (std::size_t i = 0; i < scenario_.faults.size(); ++i) {
        const FaultRule& rule = scenario_.faults[i];
        const CommandMatch& match = rule.match;
        bool applies = true;
        if (match.index > 0 && static_cast<std::size_t>(match.index) != lineCount_)
            applies = false;
        if (match.command) {
            if (*match.command != line) {
                applies = false;
            } else {
                int& seen = ruleOccurrences_[i];
                if (seen < std::numeric_limits<int>::max())
                    ++seen;
                if (match.occurrence > 0 && seen != match.occurrence)
                    applies = false;
            }
        }
        if (!applies)
            continue;
        switch (rule.kind) {
        case FaultKind::NoAnswer:
            shaping.lost = true;
            break;
        case FaultKind::Vanish:
            shaping.vanish = true;
            break;
        case FaultKind::Delay:
            shaping.delayMs = std::max(shaping.delayMs, rule.delayMs);
            break;
        case FaultKind::Split:
            shaping.pieceBytes = rule.pieceBytes;
            shaping.gapMs = rule.gapMs;
            break;
        case FaultKind::Garbage:
            shaping.garbage += rule.text;
            break;
        case FaultKind::LoseLastCharacter:
            shaping.loseLast = true;
            break;
        }
    }
    return shaping;
}

void GatewayConsole::completeLine(std::int64_t nowMs)
{
    advance(nowMs);
    std::string line = Trim(line_);
    const bool tooLong = lineTooLong_;
    line_.clear();
    lineTooLong_ = false;
    ++lineCount_;
    AppendBounded(lines_, line);

    const Shaping shaping = shapingFor(line);
    if (shaping.vanish) {
        vanished_ = true;
        queue_.clear();
        queuedBytes_ = 0;
        return;
    }
    if (shaping.lost)
        return;

    Reply reply;
    if (tooLong) {
        // Refused whole: a cut command could do something nobody asked for.
        reply = {std::string("Line too long") + kNewLine, prompt()};
        if (mode_ == Mode::Scanning)
            return;
    } else {
        if (shaping.loseLast && !line.empty())
            line.pop_back();
        reply = execute(line, nowMs, shaping);
    }
    int pauseMs = 0;
    if (pauseDue_) {
        pauseDue_ = false;
        pauseMs = scenario_.pause.ms;
        if (pauseListener_)
            pauseListener_(valuesTyped_);
    }
    if (reply.body.empty() && reply.prompt.empty())
        return;
    const std::int64_t start = std::max(nowMs + shaping.delayMs + pauseMs, lastReplyMs_);
    lastReplyMs_ = enqueue(kNewLine + reply.body + shaping.garbage + reply.prompt, start, shaping, false);
}

GatewayConsole::Reply GatewayConsole::execute(const std::string& line, std::int64_t nowMs, const Shaping& shaping)
{
    switch (mode_) {
    case Mode::TopLevel:
        return topLevel(line);
    case Mode::Eeprom:
        return eepromMode(line);
    case Mode::ValueEditor:
        return valueEditor(line);
    case Mode::Com2:
        return com2Mode(line, nowMs, shaping);
    case Mode::Scanning:
        // The gateway is busy polling its line; only "/q" gets through.
        if (line == "/q") {
            stopScan(nowMs);
            mode_ = Mode::TopLevel;
            return {std::string("Scan stopped") + kNewLine, prompt()};
        }
        return {};
    }
    return {};
}

GatewayConsole::Reply GatewayConsole::topLevel(const std::string& line)
{
    if (line.empty() || line == "exit" || line == "/q" || line == ".")
        return {{}, prompt()};
    if (line == "use eeprom") {
        mode_ = Mode::Eeprom;
        block_ = 0;
        return {{}, prompt()};
    }
    if (line == "use com2") {
        mode_ = Mode::Com2;
        return {{}, prompt()};
    }
    if (line == "help" || line == "?") {
        std::string text;
        text += "use eeprom   EEPROM long words (block N, el OFFSET, exit)";
        text += kNewLine;
        text += "use com2     COM2 line (/s1 /s0 /timeout MS /baud BPS /start A /end A /scan $AA.. /q)";
        text += kNewLine;
        return {text, prompt()};
    }
    return {"Unknown command: " + line + kNewLine, prompt()};
}

GatewayConsole::Reply GatewayConsole::eepromMode(const std::string& line)
{
    if (line.empty() || line == ".")
        return {{}, prompt()};
    if (line == "exit") {
        mode_ = Mode::TopLevel;
        return {{}, prompt()};
    }
    const auto [word, rest] = SplitWord(line);
    if (word == "block") {
        const auto number = PlainNumber(rest, kEepromBlockCount - 1);
        if (!number)
            return {std::string("Block must be 0 to 2") + kNewLine, prompt()};
        block_ = static_cast<int>(*number);
        return {"Block " + std::to_string(block_) + kNewLine, prompt()};
    }
    if (word == "el") {
        const auto number = PlainNumber(rest, 4 * (kEepromWordsPerBlock - 1));
        if (!number || *number % 4 != 0)
            return {std::string("Offset must be 0 to 252 in steps of 4") + kNewLine, prompt()};
        editOffset_ = static_cast<int>(*number);
        mode_ = Mode::ValueEditor;
        return {{}, editorLine()};
    }
    return {"Unknown command: " + line + kNewLine, prompt()};
}

std::string GatewayConsole::editorLine() const
{
    const std::uint32_t value = eeprom_[static_cast<std::size_t>(block_)][static_cast<std::size_t>(editOffset_ / 4)];
    return "Long(" + std::to_string(editOffset_) + ")=" + SignedWordText(value) + "-->";
}

GatewayConsole::Reply GatewayConsole::valueEditor(const std::string& line)
{
    if (line == ".") {
        mode_ = Mode::Eeprom;
        return {{}, prompt()};
    }
    if (line.empty())
        return {{}, editorLine()};  // shown again, unchanged
    const auto value = TypedWord(line);
    if (!value)
        return {std::string("Invalid value") + kNewLine, editorLine()};

    auto& stored = eeprom_[static_cast<std::size_t>(block_)][static_cast<std::size_t>(editOffset_ / 4)];
    const bool changed = stored != *value;
    stored = *value;
    AppendBounded(writes_, EepromWrite{block_, editOffset_, *value, changed});
    if (++valuesTyped_ == scenario_.pause.afterValue)
        pauseDue_ = true;
    if (changed && listener_)
        listener_(eeprom_);

    if (editOffset_ + 4 >= 4 * kEepromWordsPerBlock) {
        mode_ = Mode::Eeprom;
        return {"End of block " + std::to_string(block_) + kNewLine, prompt()};
    }
    editOffset_ += 4;
    return {{}, editorLine()};
}

GatewayConsole::Reply GatewayConsole::com2Mode(const std::string& line, std::int64_t nowMs, const Shaping& shaping)
{
    if (line.empty())
        return {{}, prompt()};
    if (line == "/q" || line == "exit") {
        mode_ = Mode::TopLevel;
        return {{}, prompt()};
    }
    if (line[0] != '/')
        return {moduleCommand(line) + kNewLine, prompt()};

    const auto [word, rest] = SplitWord(line);
    if (word == "/s1" || word == "/s0") {
        checksum_ = word == "/s1";
        return {std::string(checksum_ ? "Checksum enabled" : "Checksum disabled") + kNewLine, prompt()};
    }
    if (word == "/timeout") {
        const auto number = PlainNumber(rest, 65535);
        if (!number || *number == 0)
            return {std::string("Module timeout must be 1 to 65535 ms") + kNewLine, prompt()};
        moduleTimeoutMs_ = static_cast<int>(*number);
        return {"Module timeout " + std::to_string(moduleTimeoutMs_) + " ms" + kNewLine, prompt()};
    }
    if (word == "/baud") {
        const auto number = PlainNumber(rest, 115200);
        if (!number || !IsValidBaud(static_cast<int>(*number)))
            return {std::string("Baud rate must be one of 1200 2400 4800 9600 19200 38400 57600 115200") + kNewLine,
                    prompt()};
        baud_ = static_cast<int>(*number);
        return {"Baud rate " + std::to_string(baud_) + " bps" + kNewLine, prompt()};
    }
    if (word == "/start" || word == "/end") {
        const auto number = PlainNumber(rest, 255);
        if (!number)
            return {std::string("Address must be 0 to 255") + kNewLine, prompt()};
        (word == "/start" ? scanStart_ : scanEnd_) = static_cast<int>(*number);
        return {std::string(word == "/start" ? "Start" : "End") + " address " + std::to_string(*number) + kNewLine,
                prompt()};
    }
    if (word == "/scan" && rest.empty()) {
        startScan(nowMs, shaping);
        return {};
    }
    return {"Unknown command: " + line + kNewLine, prompt()};
}

std::string GatewayConsole::moduleCommand(const std::string& line) const
{
    // A TARN command: lead character, two hex address digits, the rest.
    const auto address = line.size() >= 3 ? HexPair(std::string_view(line).substr(1, 2)) : std::nullopt;
    const SimModule* module = nullptr;
    if (address)
        for (const auto& m : scenario_.modules)
            if (m.address == *address)
                module = &m;
    if (!module || !module->answers)
        return "Timeout";

    const std::string aa = Hex2(module->address);
    const std::string rest = line.substr(3);
    std::string answer;
    if (line[0] == '$' && rest == "2") {
        answer = "!" + aa + Hex2(module->typeCode) + Hex2(module->baudCode) + Hex2(module->dataFormat);
    } else if (const auto channel = line[0] == '$' && rest.size() == 2 && rest[0] == '9'
                                        ? HexPair(std::string("0") + rest[1])
                                        : std::nullopt;
               channel && static_cast<std::size_t>(*channel) < module->channelTypes.size()) {
        answer = "!" + aa + Hex2(module->channelTypes[static_cast<std::size_t>(*channel)]);
    } else if (line[0] == '$' && rest == "M") {
        answer = "!" + aa + module->model;
    } else if (line[0] == '$' && rest == "F") {
        answer = "!" + aa + "A2.05";
    } else {
        answer = "?" + aa;
    }
    if (checksum_)
        answer += Checksum(answer);
    return answer;
}

std::string GatewayConsole::listingLine(const SimModule& module) const
{
    std::string line = "!" + Hex2(module.address) + module.model;
    if (checksum_)
        line += module.checksumText.empty() ? Checksum(line) : module.checksumText;
    if (module.dFlag)
        line += "D";
    line += "{T" + Hex2(module.typeCode) + " B" + Hex2(module.baudCode) + " F" + Hex2(module.dataFormat) + "}";
    return line + kNewLine;
}

void GatewayConsole::startScan(std::int64_t nowMs, const Shaping& shaping)
{
    mode_ = Mode::Scanning;
    if (scenario_.scan.silent) {
        scanEndMs_ = kNever;
        return;
    }
    std::vector<const SimModule*> found;
    for (const auto& m : scenario_.modules)
        if (m.address >= scanStart_ && m.address <= scanEnd_)
            found.push_back(&m);
    std::sort(found.begin(), found.end(),
              [](const SimModule* a, const SimModule* b) { return a->address < b->address; });

    const std::int64_t start = std::max(nowMs + shaping.delayMs, lastReplyMs_);
    std::int64_t t = enqueue(std::string(kNewLine) + "Scanning " + Hex2(scanStart_) + " to " + Hex2(scanEnd_) + " at " +
                                 std::to_string(baud_) + " bps" + kNewLine,
                             start, shaping, true);
    t += scenario_.scan.startDelayMs;
    for (const SimModule* m : found) {
        t = enqueue(listingLine(*m), t, shaping, true);
        t += scenario_.scan.lineIntervalMs;
    }
    t = enqueue(std::to_string(found.size()) + " module(s) found" + kNewLine + shaping.garbage + kCom2Prompt, t,
                shaping, true);
    scanEndMs_ = t;
    lastReplyMs_ = t;
    advance(nowMs);
}

void GatewayConsole::stopScan(std::int64_t nowMs)
{
    std::deque<Piece> kept;
    queuedBytes_ = 0;
    lastReplyMs_ = nowMs;
    for (auto& piece : queue_) {
        if (piece.scan && piece.releaseMs > nowMs)
            continue;
        queuedBytes_ += piece.text.size();
        lastReplyMs_ = std::max(lastReplyMs_, piece.releaseMs);
        kept.push_back(std::move(piece));
    }
    queue_ = std::move(kept);
    scanEndMs_ = nowMs;
}

std::int64_t GatewayConsole::enqueue(const std::string& text, std::int64_t startMs, const Shaping& shaping, bool scan)
{
    if (shaping.pieceBytes <= 0 || text.size() <= static_cast<std::size_t>(shaping.pieceBytes)) {
        enqueuePiece(startMs, text, scan);
        return startMs;
    }
    std::int64_t t = startMs;
    const auto step = static_cast<std::size_t>(shaping.pieceBytes);
    for (std::size_t pos = 0; pos < text.size(); pos += step) {
        if (pos > 0)
            t += shaping.gapMs;
        enqueuePiece(t, text.substr(pos, step), scan);
    }
    return t;
}

void GatewayConsole::enqueuePiece(std::int64_t releaseMs, std::string text, bool scan)
{
    if (queuedBytes_ + text.size() > kMaxQueuedBytes)
        return;
    queuedBytes_ += text.size();
    // Kept in release order; pieces due at the same time stay in the order queued.
    auto at = std::upper_bound(queue_.begin(), queue_.end(), releaseMs,
                               [](std::int64_t t, const Piece& piece) { return t < piece.releaseMs; });
    queue_.insert(at, Piece{releaseMs, std::move(text), scan});
}

std::string GatewayConsole::takeOutput(std::int64_t nowMs)
{
    std::string out;
    while (!queue_.empty() && queue_.front().releaseMs <= nowMs) {
        out += queue_.front().text;
        queuedBytes_ -= queue_.front().text.size();
        queue_.pop_front();
    }
    advance(nowMs);
    return out;
}

std::size_t GatewayConsole::releasedBytes(std::int64_t nowMs) const
{
    std::size_t count = 0;
    for (const auto& piece : queue_) {
        if (piece.releaseMs > nowMs)
            break;
        count += piece.text.size();
    }
    return count;
}

std::optional<std::int64_t> GatewayConsole::nextReleaseMs() const
{
    if (queue_.empty())
        return std::nullopt;
    return queue_.front().releaseMs;
}

}  // namespace k400
