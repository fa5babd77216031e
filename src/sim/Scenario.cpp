#include "sim/Scenario.h"

#include <fstream>
#include <initializer_list>
#include <set>

#include "modules/ModelCatalogue.h"
#include "platform/JsonReader.h"
#include "platform/NumberText.h"
#include "platform/TextFile.h"

namespace k400 {

CommandMatch CommandMatch::Line(std::string text, int occurrence)
{
    CommandMatch match;
    match.command = std::move(text);
    match.occurrence = occurrence;
    return match;
}

CommandMatch CommandMatch::Nth(int index)
{
    CommandMatch match;
    match.index = index;
    return match;
}

CommandMatch CommandMatch::Any()
{
    return {};
}

FaultRule FaultRule::NoAnswerTo(CommandMatch match)
{
    FaultRule rule;
    rule.kind = FaultKind::NoAnswer;
    rule.match = std::move(match);
    return rule;
}

FaultRule FaultRule::DelayReply(CommandMatch match, int delayMs)
{
    FaultRule rule;
    rule.kind = FaultKind::Delay;
    rule.match = std::move(match);
    rule.delayMs = delayMs;
    return rule;
}

FaultRule FaultRule::SplitReply(CommandMatch match, int pieceBytes, int gapMs)
{
    FaultRule rule;
    rule.kind = FaultKind::Split;
    rule.match = std::move(match);
    rule.pieceBytes = pieceBytes;
    rule.gapMs = gapMs;
    return rule;
}

FaultRule FaultRule::GarbageBeforePrompt(CommandMatch match, std::string text)
{
    FaultRule rule;
    rule.kind = FaultKind::Garbage;
    rule.match = std::move(match);
    rule.text = std::move(text);
    return rule;
}

FaultRule FaultRule::VanishAt(CommandMatch match)
{
    FaultRule rule;
    rule.kind = FaultKind::Vanish;
    rule.match = std::move(match);
    return rule;
}

FaultRule FaultRule::LoseLastCharacterOf(CommandMatch match)
{
    FaultRule rule;
    rule.kind = FaultKind::LoseLastCharacter;
    rule.match = std::move(match);
    return rule;
}

std::uint32_t Scenario::word(int block, int offset) const
{
    if (block < 0 || block >= kEepromBlockCount || offset < 0 || offset % 4 != 0 || offset / 4 >= kEepromWordsPerBlock)
        return 0;
    return eeprom[static_cast<std::size_t>(block)][static_cast<std::size_t>(offset / 4)];
}

void Scenario::setWord(int block, int offset, std::uint32_t value)
{
    if (block < 0 || block >= kEepromBlockCount || offset < 0 || offset % 4 != 0 || offset / 4 >= kEepromWordsPerBlock)
        return;
    eeprom[static_cast<std::size_t>(block)][static_cast<std::size_t>(offset / 4)] = value;
}

void Scenario::setFirmware(int major, int minor, int year, int month, int day)
{
    setWord(0, 0, static_cast<std::uint32_t>(((major & 0xFF) << 8) | (minor & 0xFF)));
    setWord(0, 4,
            (static_cast<std::uint32_t>(year & 0xFFFF) << 16) |
                static_cast<std::uint32_t>(((month & 0xFF) << 8) | (day & 0xFF)));
}

void Scenario::setHeader(const std::array<std::uint32_t, 9>& words)
{
    for (std::size_t i = 0; i < words.size(); ++i)
        setWord(0, 40 + 4 * static_cast<int>(i), words[i]);
}

std::string SignedWordText(std::uint32_t value)
{
    return std::to_string(static_cast<std::int32_t>(value));
}

Scenario BuiltInScenario()
{
    Scenario s;
    s.controller = "K400E";

    // Erased EEPROM cells read as all ones; only the words below were ever written.
    for (auto& block : s.eeprom)
        block.fill(0xFFFFFFFFu);
    s.eeprom[1].fill(0);  // never configured for DeviceNet
    s.setWord(0, 8, 0);
    for (int offset = 12; offset < 40; offset += 4)
        s.setWord(0, offset, 0);
    s.setFirmware(1, 5, 2007, 11, 26);

    // Listed in address order, as the gateway polls its line.
    auto module = [](int address, const char* model, int typeCode, int dataFormat) {
        SimModule m;
        m.address = address;
        m.model = model;
        m.typeCode = typeCode;
        m.dataFormat = dataFormat;
        return m;
    };
    s.modules.push_back(module(1, "M44", 0x40, 0x00));  // 16 DI
    s.modules.push_back(module(3, "M38", 0x40, 0x00));  // 13 DO
    // Not at address 5: there the listing checksum of M28 would end in "D".
    s.modules.push_back(module(4, "M28", 0x08, 0x00));   // 8 AI
    s.modules.push_back(module(6, "M60", 0x50, 0x00));   // 2 counters (4 AI words) + 2 DO
    s.modules.push_back(module(10, "M33", 0x32, 0x00));  // 4 AO
    SimModule m32 = module(12, "M32", 0x3F, 0x00);       // 2 AO, one type code per channel
    m32.channelTypes = {0x0, 0x3};
    s.modules.push_back(m32);

    // Totals of these six: DI 2, AI 16 + 8 = 24, DO 2 + 1 = 3, AO 8 + 4 = 12 bytes.
    s.setHeader({
        0x01B40024u,                            // mark 0x01B4, header size 36
        0u * 65536 + 36,                        // CANopen (no block 1), application area 12 + 4 * 6
        3u * 65536 + 0 * 256 + 2,               // node 3, CANopen, CAN baud index 2
        2008u * 65536 + 3 * 256 + 14,           // configured 2008/03/14
        9u * 16777216 + 30 * 65536 + 15 * 256,  // at 09:30:15
        0u * 16777216 + 3 * 65536 + 200,        // COM2 checksum off, 9600, 200 ms
        2u * 65536 + 24,                        // DI 2, AI 24
        3u * 65536 + 12,                        // DO 3, AO 12
        0u,
    });

    // Application area: heartbeat 500 ms, PDOs up to 3 on both sides, then the modules.
    s.setWord(2, 0, 4u * 16777216 + 500 * 256);
    s.setWord(2, 4, 0);
    s.setWord(2, 8, 3u * 16777216 + 3u * 65536);
    for (std::size_t i = 0; i < s.modules.size(); ++i) {
        const ModelInfo* model = FindModel(s.modules[i].model);
        const std::uint32_t code = model ? model->ModelNumber : 0;
        s.setWord(2, 12 + 4 * static_cast<int>(i), code * 256 + static_cast<std::uint32_t>(s.modules[i].address));
    }

    s.scan.lineIntervalMs = 100;  // a scan that takes a moment, as on the real line
    return s;
}

namespace {

class Loader : public JsonFieldReader {
public:
    bool word(const JsonValue& value, const std::string& path, std::uint32_t& out)
    {
        std::int64_t v = 0;
        if (!integer(value, path, -2147483648LL, 4294967295LL, v))
            return false;
        out = static_cast<std::uint32_t>(v < 0 ? v + 4294967296LL : v);
        return true;
    }

    bool block(const JsonValue& value, const std::string& path, EepromBlockWords& out)
    {
        if (value.is_array()) {
            if (value.size() > static_cast<std::size_t>(kEepromWordsPerBlock))
                return fail(path, "a block holds at most 64 long words");
            for (std::size_t i = 0; i < value.size(); ++i)
                if (!word(value[i], path + "[" + std::to_string(i) + "]", out[i]))
                    return false;
            return true;
        }
        if (value.is_object()) {
            for (const auto& member : value.items()) {
                const std::string& key = member.key();
                const JsonValue& item = member.value();
                int offset = -1;
                if (!key.empty() && key.size() <= 3 && key.find_first_not_of("0123456789") == std::string::npos)
                    offset = std::stoi(key);
                if (offset < 0 || offset > 252 || offset % 4 != 0)
                    return fail(path, "\"" + key + "\" is not a long word offset (0, 4, ... 252)");
                if (!word(item, path + "." + key, out[static_cast<std::size_t>(offset / 4)]))
                    return false;
            }
            return true;
        }
        return fail(path, "expected an array of long words or an object of offset: value");
    }

    bool eeprom(const JsonValue& value, EepromImage& out)
    {
        if (!expectType(value, JsonValue::value_t::object, "eeprom") ||
            !knownMembers(value, "eeprom", {"block0", "block1", "block2"}))
            return false;
        for (int b = 0; b < kEepromBlockCount; ++b) {
            const std::string name = "block" + std::to_string(b);
            if (const JsonValue* v = Member(value, name))
                if (!block(*v, "eeprom." + name, out[static_cast<std::size_t>(b)]))
                    return false;
        }
        return true;
    }

    bool module(const JsonValue& value, const std::string& path, SimModule& m)
    {
        if (!expectType(value, JsonValue::value_t::object, path) ||
            !knownMembers(
                value, path,
                {"address", "model", "typeCode", "baudCode", "dataFormat", "channelTypes", "d", "answers", "checksum"}))
            return false;
        const JsonValue* address = Member(value, "address");
        const JsonValue* model = Member(value, "model");
        if (!address)
            return fail(path, "a module needs an \"address\"");
        if (!model)
            return fail(path, "a module needs a \"model\"");
        if (!intField(*address, path + ".address", 0, 255, m.address) || !stringField(*model, path + ".model", m.model))
            return false;
        if (m.model.empty() || m.model.size() > 32 || m.model.find_first_of("!{\r\n") != std::string::npos)
            return fail(path + ".model", "a model name has 1 to 32 characters and no '!', '{' or line end");
        if (const JsonValue* v = Member(value, "typeCode"); v && !intField(*v, path + ".typeCode", 0, 255, m.typeCode))
            return false;
        if (const JsonValue* v = Member(value, "baudCode"); v && !intField(*v, path + ".baudCode", 0, 255, m.baudCode))
            return false;
        if (const JsonValue* v = Member(value, "dataFormat");
            v && !intField(*v, path + ".dataFormat", 0, 255, m.dataFormat))
            return false;
        if (const JsonValue* v = Member(value, "channelTypes")) {
            if (!expectType(*v, JsonValue::value_t::array, path + ".channelTypes"))
                return false;
            if (v->size() > 16)
                return fail(path + ".channelTypes", "at most 16 channels");
            m.channelTypes.clear();
            for (std::size_t i = 0; i < v->size(); ++i) {
                int code = 0;
                if (!intField((*v)[i], path + ".channelTypes[" + std::to_string(i) + "]", 0, 255, code))
                    return false;
                m.channelTypes.push_back(code);
            }
        }
        if (const JsonValue* v = Member(value, "d"); v && !boolField(*v, path + ".d", m.dFlag))
            return false;
        if (const JsonValue* v = Member(value, "answers"); v && !boolField(*v, path + ".answers", m.answers))
            return false;
        if (const JsonValue* v = Member(value, "checksum")) {
            if (!stringField(*v, path + ".checksum", m.checksumText))
                return false;
            if (m.checksumText.size() != 2 || m.checksumText.find_first_of("!{\r\n") != std::string::npos)
                return fail(path + ".checksum", "two characters, neither '!' nor '{'");
        }
        return true;
    }

    bool fault(const JsonValue& value, const std::string& path, FaultRule& rule)
    {
        if (!expectType(value, JsonValue::value_t::object, path) ||
            !knownMembers(value, path,
                          {"kind", "command", "occurrence", "index", "delayMs", "pieceBytes", "gapMs", "text"}))
            return false;
        const JsonValue* kind = Member(value, "kind");
        if (!kind)
            return fail(path, "a fault needs a \"kind\"");
        std::string kindText;
        if (!stringField(*kind, path + ".kind", kindText))
            return false;
        if (kindText == "noAnswer")
            rule.kind = FaultKind::NoAnswer;
        else if (kindText == "delay")
            rule.kind = FaultKind::Delay;
        else if (kindText == "split")
            rule.kind = FaultKind::Split;
        else if (kindText == "garbage")
            rule.kind = FaultKind::Garbage;
        else if (kindText == "vanish")
            rule.kind = FaultKind::Vanish;
        else if (kindText == "loseLastCharacter")
            rule.kind = FaultKind::LoseLastCharacter;
        else
            return fail(
                path + ".kind",
                "\"" + kindText + "\" is not one of noAnswer, delay, split, garbage, vanish, loseLastCharacter");
        if (const JsonValue* v = Member(value, "command")) {
            std::string command;
            if (!stringField(*v, path + ".command", command))
                return false;
            rule.match.command = command;
        }
        if (const JsonValue* v = Member(value, "occurrence");
            v && !intField(*v, path + ".occurrence", 0, 1000000, rule.match.occurrence))
            return false;
        if (const JsonValue* v = Member(value, "index");
            v && !intField(*v, path + ".index", 0, 1000000, rule.match.index))
            return false;
        if (rule.match.occurrence > 0 && !rule.match.command)
            return fail(path, "\"occurrence\" needs a \"command\"");
        if (const JsonValue* v = Member(value, "delayMs");
            v && !intField(*v, path + ".delayMs", 0, 600000, rule.delayMs))
            return false;
        if (const JsonValue* v = Member(value, "pieceBytes");
            v && !intField(*v, path + ".pieceBytes", 1, 4096, rule.pieceBytes))
            return false;
        if (const JsonValue* v = Member(value, "gapMs"); v && !intField(*v, path + ".gapMs", 0, 600000, rule.gapMs))
            return false;
        if (const JsonValue* v = Member(value, "text")) {
            if (!stringField(*v, path + ".text", rule.text))
                return false;
            if (rule.text.size() > 4096)
                return fail(path + ".text", "at most 4096 characters");
        }
        return true;
    }

    bool scenario(const JsonValue& root, Scenario& s)
    {
        if (!expectType(root, JsonValue::value_t::object, ""))
            return false;
        if (!knownMembers(root, "",
                          {"description", "controller", "firmware", "header", "eeprom", "modules", "echo",
                           "replyDelayMs", "splitBytes", "splitGapMs", "dropWithinMs", "scan", "faults", "pause"}))
            return false;
        if (const JsonValue* v = Member(root, "description");
            v && !expectType(*v, JsonValue::value_t::string, "description"))
            return false;
        if (const JsonValue* v = Member(root, "controller")) {
            if (!stringField(*v, "controller", s.controller))
                return false;
            if (s.controller.size() > 32 || s.controller.find_first_of("\r\n") != std::string::npos)
                return fail("controller", "at most 32 characters on one line");
        }
        // Raw words first; firmware and header below override the words they name.
        if (const JsonValue* v = Member(root, "eeprom"); v && !eeprom(*v, s.eeprom))
            return false;
        if (const JsonValue* v = Member(root, "firmware")) {
            if (!expectType(*v, JsonValue::value_t::object, "firmware") ||
                !knownMembers(*v, "firmware", {"major", "minor", "year", "month", "day"}))
                return false;
            int major = 0, minor = 0, year = 0, month = 0, day = 0;
            struct Field {
                const char* name;
                int max;
                int* out;
            };
            for (const Field& f : {Field{"major", 255, &major}, Field{"minor", 255, &minor},
                                   Field{"year", 65535, &year}, Field{"month", 255, &month}, Field{"day", 255, &day}}) {
                const JsonValue* fv = Member(*v, f.name);
                if (!fv)
                    return fail("firmware", std::string("missing \"") + f.name + "\"");
                if (!intField(*fv, std::string("firmware.") + f.name, 0, f.max, *f.out))
                    return false;
            }
            s.setFirmware(major, minor, year, month, day);
        }
        if (const JsonValue* v = Member(root, "header")) {
            if (!expectType(*v, JsonValue::value_t::array, "header"))
                return false;
            if (v->size() != 9)
                return fail("header", "expected 9 long words (offsets 40 to 72 of block 0)");
            std::array<std::uint32_t, 9> words{};
            for (std::size_t i = 0; i < 9; ++i)
                if (!word((*v)[i], "header[" + std::to_string(i) + "]", words[i]))
                    return false;
            s.setHeader(words);
        }
        if (const JsonValue* v = Member(root, "modules")) {
            if (!expectType(*v, JsonValue::value_t::array, "modules"))
                return false;
            if (v->size() > 256)
                return fail("modules", "at most 256 modules");
            std::set<int> addresses;
            for (std::size_t i = 0; i < v->size(); ++i) {
                const std::string path = "modules[" + std::to_string(i) + "]";
                SimModule m;
                if (!module((*v)[i], path, m))
                    return false;
                if (!addresses.insert(m.address).second)
                    return fail(path, "address " + std::to_string(m.address) + " is used twice");
                s.modules.push_back(std::move(m));
            }
        }
        if (const JsonValue* v = Member(root, "echo"); v && !boolField(*v, "echo", s.echo))
            return false;
        if (const JsonValue* v = Member(root, "replyDelayMs");
            v && !intField(*v, "replyDelayMs", 0, 600000, s.replyDelayMs))
            return false;
        if (const JsonValue* v = Member(root, "splitBytes"); v && !intField(*v, "splitBytes", 0, 4096, s.splitBytes))
            return false;
        if (const JsonValue* v = Member(root, "splitGapMs"); v && !intField(*v, "splitGapMs", 0, 600000, s.splitGapMs))
            return false;
        if (const JsonValue* v = Member(root, "dropWithinMs");
            v && !intField(*v, "dropWithinMs", 0, 600000, s.dropWithinMs))
            return false;
        if (const JsonValue* v = Member(root, "scan")) {
            if (!expectType(*v, JsonValue::value_t::object, "scan") ||
                !knownMembers(*v, "scan", {"startDelayMs", "lineIntervalMs", "silent"}))
                return false;
            if (const JsonValue* f = Member(*v, "startDelayMs");
                f && !intField(*f, "scan.startDelayMs", 0, 600000, s.scan.startDelayMs))
                return false;
            if (const JsonValue* f = Member(*v, "lineIntervalMs");
                f && !intField(*f, "scan.lineIntervalMs", 0, 600000, s.scan.lineIntervalMs))
                return false;
            if (const JsonValue* f = Member(*v, "silent"); f && !boolField(*f, "scan.silent", s.scan.silent))
                return false;
        }
        if (const JsonValue* v = Member(root, "pause")) {
            if (!expectType(*v, JsonValue::value_t::object, "pause") ||
                !knownMembers(*v, "pause", {"afterValue", "ms"}))
                return false;
            if (const JsonValue* f = Member(*v, "afterValue");
                f && !intField(*f, "pause.afterValue", 0, 1000000, s.pause.afterValue))
                return false;
            if (const JsonValue* f = Member(*v, "ms"); f && !intField(*f, "pause.ms", 0, 600000, s.pause.ms))
                return false;
        }
        if (const JsonValue* v = Member(root, "faults")) {
            if (!expectType(*v, JsonValue::value_t::array, "faults"))
                return false;
            if (v->size() > 1000)
                return fail("faults", "at most 1000 faults");
            for (std::size_t i = 0; i < v->size(); ++i) {
                FaultRule rule;
                if (!fault((*v)[i], "faults[" + std::to_string(i) + "]", rule))
                    return false;
                s.faults.push_back(std::move(rule));
            }
        }
        return true;
    }
};

// Reads at most one byte more than the JSON reader accepts, so that a huge
// file or an endless device is refused instead of filling the memory.
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    text.clear();
    char buffer[65536];
    while (text.size() <= kJsonMaxInputBytes) {
        in.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (!in)
            break;
    }
    if (in.bad() || (!in.eof() && text.size() <= kJsonMaxInputBytes)) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

}  // namespace

std::optional<Scenario> ParseScenario(std::string_view json, std::string& error)
{
    std::string jsonError;
    const auto root = ParseJson(json, jsonError);
    if (!root) {
        error = jsonError;
        return std::nullopt;
    }
    Loader loader;
    Scenario s;
    if (!loader.scenario(*root, s)) {
        error = loader.error;
        return std::nullopt;
    }
    return s;
}

std::optional<Scenario> LoadScenarioFile(const std::string& path, std::string& error)
{
    std::string text;
    if (!ReadWholeFile(path, text, error))
        return std::nullopt;
    std::string parseError;
    auto s = ParseScenario(text, parseError);
    if (!s)
        error = path + ": " + parseError;
    return s;
}

std::string EepromToJson(const EepromImage& eeprom)
{
    std::string out = "{\n  \"eeprom\": {\n";
    for (int b = 0; b < kEepromBlockCount; ++b) {
        out += "    \"block" + std::to_string(b) + "\": [";
        const auto& block = eeprom[static_cast<std::size_t>(b)];
        for (std::size_t i = 0; i < block.size(); ++i) {
            if (i % 8 == 0)
                out += "\n      ";
            out += SignedWordText(block[i]);
            if (i + 1 < block.size())
                out += i % 8 == 7 ? "," : ", ";
        }
        out += b + 1 < kEepromBlockCount ? "\n    ],\n" : "\n    ]\n";
    }
    out += "  }\n}\n";
    return out;
}

bool WriteEepromFile(const std::string& path, const EepromImage& eeprom, std::string& error)
{
    const TextFileResult result = WriteTextFile(path, EepromToJson(eeprom));
    if (!result)
        error = result.error;
    return result.ok;
}

std::optional<EepromImage> LoadEepromFile(const std::string& path, std::string& error)
{
    auto s = LoadScenarioFile(path, error);
    if (!s)
        return std::nullopt;
    return s->eeprom;
}

}  // namespace k400
