#include "gateway/ConfigImage.h"

#include <cmath>
#include <cstdio>

#include "gateway/ConsoleLink.h"
#include "gateway/GatewaySettings.h"
#include "modules/ModelCatalogue.h"
#include "modules/ModuleInfo.h"
#include "platform/NumberText.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

constexpr std::string_view EepromPrompt = "[EEPROM:]";
constexpr double LongWordRange = 4294967296.0;

std::string KeyAt(int offset)
{
    return "Long(" + std::to_string(offset) + ")=";
}

// A read value that is no unsigned long word (a garbled console line) is
// dropped to 0 and spoils the stored image, rather than reaching the
// arithmetic below out of range.
double SanitizedWord(ProgramState& state, double value)
{
    if (!std::isfinite(value) || value < 0 || value >= LongWordRange || value != std::floor(value)) {
        state.StoredImageInvalid = true;
        return 0;
    }
    return value;
}

// Walks the value editor from `firstCommand`: reads `count` words into
// table[first..first+count), typing each back to step on. keyOf(i) names the
// offset of word i (0-based within this walk).
template <typename KeyFn>
bool ReadWords(ConsoleLink& link, std::vector<double>& table, std::size_t first, int count,
               const std::string& firstCommand, KeyFn keyOf)
{
    if (table.size() < first + static_cast<std::size_t>(count))
        table.resize(first + static_cast<std::size_t>(count), 0.0);
    if (!link.SendAndReadValue(firstCommand, keyOf(0), table[first]))
        return false;
    for (int i = 1; i < count; ++i) {
        if (!link.SendAndReadValue(LongWordText(table[first + i - 1]), keyOf(i), table[first + i]))
            return false;
    }
    return true;
}

std::uint32_t Word(double value)
{
    if (!std::isfinite(value) || value <= 0)
        return 0;
    if (value >= LongWordRange)
        return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::uint32_t HighHalf(double word)
{
    return Word(word) >> 16;
}

std::uint32_t LowHalf(double word)
{
    return Word(word) & 0xFFFFu;
}

std::string LongWordText(double value)
{
    if (std::isfinite(value) && std::fabs(value) < 9.0e15 && value == std::floor(value))
        return std::to_string(static_cast<long long>(value));
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

bool ReadHeaderBlocks(ProgramState& state, ConsoleLink& link)
{
    if (!link.SendAndExpect("use eeprom", EepromPrompt) || !link.SendAndExpect("block 0", EepromPrompt))
        return false;

    // The firmware words come first in block 0; they are only read.
    double version = 0;
    double date = 0;
    double unused = 0;
    if (!link.SendAndReadValue("el 0", KeyAt(0), version))
        return false;
    if (!link.SendAndReadValue(LongWordText(version), KeyAt(4), date))
        return false;
    if (!link.SendAndReadValue(LongWordText(date), KeyAt(8), unused))
        return false;
    if (!link.SendAndExpect(".", EepromPrompt))
        return false;

    // The firmware words are unpacked as printed (signed): the high half is
    // the whole part of value / 65536 rounded down, so a year stays within
    // 16 signed bits and the low half is that of the unsigned word.
    const double versionWord = SanitizedWord(state, ToUnsignedLong(version));
    const double dateWord = SanitizedWord(state, ToUnsignedLong(date));
    const auto versionLow = LowHalf(versionWord);
    state.FirmwareVersion.Major = static_cast<std::uint8_t>(HighByte(versionLow));
    state.FirmwareVersion.Minor = static_cast<std::uint8_t>(LowByte(versionLow));
    const auto dateHigh = static_cast<std::int32_t>(HighHalf(dateWord));
    state.FirmwareDate.Year = static_cast<std::int16_t>(dateHigh > 32767 ? dateHigh - 65536 : dateHigh);
    const auto month = HighByte(LowHalf(dateWord));
    const auto day = LowByte(LowHalf(dateWord));
    state.FirmwareDate.Month = static_cast<std::uint8_t>(month);
    if (month > 12) {
        state.FirmwareDate.Month = 0;
        state.StoredImageInvalid = true;
    }
    state.FirmwareDate.Day = static_cast<std::uint8_t>(day);
    if (day > 31) {
        state.FirmwareDate.Day = 0;
        state.StoredImageInvalid = true;
    }

    // Header entries 0..9 are offsets 40..76.
    state.HeaderAreaBytes = 36;
    state.HeaderImage.assign(10, 0.0);
    if (!ReadWords(link, state.HeaderImage, 0, 10, "el 40", [](int i) { return KeyAt(40 + 4 * i); }))
        return false;
    if (!link.SendAndExpect(".", EepromPrompt))
        return false;
    for (int i = 0; i <= 8; ++i)
        state.HeaderImage[i] = SanitizedWord(state, ToUnsignedLong(state.HeaderImage[i]));

    // The DeviceNet connection words: block 1, offsets 0..24.
    if (!link.SendAndExpect("block 1", EepromPrompt))
        return false;
    if (state.ConnectionImage.size() < 11)
        state.ConnectionImage.resize(11, 0.0);
    if (!ReadWords(link, state.ConnectionImage, 0, 7, "el 0", [](int i) { return KeyAt(4 * i); }))
        return false;
    if (!link.SendAndExpect(".", EepromPrompt))
        return false;
    for (int i = 0; i <= 6; ++i)
        state.ConnectionImage[i] = SanitizedWord(state, ToUnsignedLong(state.ConnectionImage[i]));
    return true;
}

void CheckHeaderImage(ProgramState& state, UserInterface& ui)
{
    auto& h = state.HeaderImage;
    if (h.size() < 9)
        h.resize(10, 0.0);
    auto invalid = [&state] { state.StoredImageInvalid = true; };

    // Without the mark (above 0x01B40000) nothing else of the image is taken.
    if (!(h[0] > static_cast<double>(ImageMark) * 65536.0)) {
        invalid();
    } else {
        if (HighHalf(h[0]) != ImageMark || LowHalf(h[0]) == 0)
            invalid();

        // Area sizes: no connection area or the DeviceNet one, at least the fixed application words.
        const auto connectionSize = HighHalf(h[1]);
        if ((connectionSize != 0 && connectionSize != 28) || LowHalf(h[1]) < 12)
            invalid();
        state.ConnectionAreaBytes = 0;
        state.ApplicationAreaBytes = 12;

        const auto node = HighHalf(h[2]);
        if (node >= 1 && node <= 127)
            state.NodeId = static_cast<std::uint8_t>(node);
        else
            invalid();
        state.ApplicationLayer = static_cast<std::uint8_t>(HighByte(LowHalf(h[2])));
        if (state.ApplicationLayer > 2)
            invalid();
        state.CanBaudIndex = static_cast<std::uint8_t>(LowByte(LowHalf(h[2])));
        // An index beyond the stored application's CAN baud list cannot be
        // shown or written back meaningfully: the image does not fit.
        if (state.CanBaudIndex > 8 || state.CanBaudIndex >= CanBaudListSize(state.ApplicationLayer))
            invalid();

        // Date and time of the stored configuration.
        const auto year = HighHalf(h[3]);
        if (year <= 32767)
            state.ConfigTime.Year = static_cast<std::int16_t>(year);
        else
            invalid();
        state.ConfigTime.Month = static_cast<std::uint8_t>(HighByte(LowHalf(h[3])));
        if (state.ConfigTime.Month > 12)
            invalid();
        state.ConfigTime.Day = static_cast<std::uint8_t>(LowByte(LowHalf(h[3])));
        if (state.ConfigTime.Day > 31)
            invalid();

        state.ConfigTime.Hour = static_cast<std::uint8_t>(HighByte(HighHalf(h[4])));
        if (state.ConfigTime.Hour > 24)
            invalid();
        state.ConfigTime.Minute = static_cast<std::uint8_t>(LowByte(HighHalf(h[4])));
        if (state.ConfigTime.Minute > 60)
            invalid();
        state.ConfigTime.Second = static_cast<std::uint8_t>(HighByte(LowHalf(h[4])));
        if (state.ConfigTime.Second > 60)
            invalid();

        ui.setProgress(7);

        // The COM2 line.
        state.Com2Checksum = static_cast<std::uint8_t>(HighByte(HighHalf(h[5])));
        if (state.Com2Checksum > 1)
            invalid();
        state.Com2BaudIndex = static_cast<std::uint8_t>(LowByte(HighHalf(h[5])));
        if (state.Com2BaudIndex > 7)
            invalid();
        const auto timeout = LowHalf(h[5]);
        if (timeout > 32767) {
            state.Com2Timeout = 32767;
            invalid();
        } else {
            state.Com2Timeout = static_cast<std::int16_t>(timeout);
        }

        // The image must describe the modules just scanned.
        if (HighHalf(h[6]) != state.TotalDIBytes || LowHalf(h[6]) != state.TotalAIBytes)
            invalid();
        if (HighHalf(h[7]) != state.TotalDOBytes || LowHalf(h[7]) != state.TotalAOBytes)
            invalid();
    }

    state.ApplicationImage.assign(4, 0.0);
}

void ApplyImageDefaults(ProgramState& state)
{
    state.NodeId = 1;
    state.ConfigTime = ConfigurationTime{};
    state.CanBaudIndex = 0;
    state.Com2BaudIndex = state.ScanBaudIndex;
    state.Com2Checksum = state.ScanChecksumIndex;
    state.Com2Timeout = state.ScanTimeoutMs;
    if (state.ApplicationImage.size() < 4)
        state.ApplicationImage.resize(4, 0.0);
    for (int i = 0; i <= 2; ++i)
        state.ApplicationImage[i] = 0;
}

bool ReadApplicationBlock(ProgramState& state, ConsoleLink& link)
{
    if (!link.SendAndExpect("use eeprom", EepromPrompt))
        return false;
    state.EepromBlock = 2;
    if (!link.SendAndExpect("block 2", EepromPrompt))
        return false;
    const int blockShift = (state.EepromBlock - 2) * 256;
    if (!ReadWords(link, state.ApplicationImage, 0, 4, "el 0",
                   [blockShift](int i) { return KeyAt(4 * i - blockShift); }))
        return false;
    if (!link.SendAndExpect(".", EepromPrompt))
        return false;
    for (int i = 0; i <= 2; ++i)
        state.ApplicationImage[i] = SanitizedWord(state, ToUnsignedLong(state.ApplicationImage[i]));
    return true;
}

std::uint32_t CatalogueModelCode(const ScannedModule& module)
{
    const ModelInfo* model = FindModel(module.Name);
    return model ? model->ModelNumber : 0;
}

void PrepareHeaderImage(ProgramState& state, const LocalDateTime& now, int connectionAreaBytes)
{
    int modules = 0;
    for (const auto& entry : state.ModuleTable)
        if (!entry.Address.empty())
            ++modules;
    state.ApplicationAreaBytes = static_cast<std::int16_t>(12 + 4 * modules);
    state.HeaderImage.assign(static_cast<std::size_t>(state.HeaderAreaBytes / 4 + 1), 0.0);
    state.ApplicationImage.assign(static_cast<std::size_t>(state.ApplicationAreaBytes / 4 + 1), 0.0);
    state.ConnectionImage.assign(11, 0.0);

    state.ConfigTime.Year = static_cast<std::int16_t>(now.Year);
    state.ConfigTime.Month = static_cast<std::uint8_t>(now.Month);
    state.ConfigTime.Day = static_cast<std::uint8_t>(now.Day);
    state.ConfigTime.Hour = static_cast<std::uint8_t>(now.Hour);
    state.ConfigTime.Minute = static_cast<std::uint8_t>(now.Minute);
    state.ConfigTime.Second = static_cast<std::uint8_t>(now.Second);
    const auto& t = state.ConfigTime;
    const double timeout = state.Com2Timeout > 0 ? state.Com2Timeout : 0;

    auto& h = state.HeaderImage;
    h[0] = ImageMark * 65536.0 + state.HeaderAreaBytes;
    h[1] = connectionAreaBytes * 65536.0 + state.ApplicationAreaBytes;
    h[2] = state.NodeId * 65536.0 + state.ApplicationLayer * 256.0 + state.CanBaudIndex;
    h[3] = t.Year * 65536.0 + t.Month * 256.0 + t.Day;
    h[4] = t.Hour * 16777216.0 + t.Minute * 65536.0 + t.Second * 256.0;
    h[5] = state.Com2Checksum * 16777216.0 + state.Com2BaudIndex * 65536.0 + timeout;
    h[6] = state.TotalDIBytes * 65536.0 + state.TotalAIBytes;
    h[7] = state.TotalDOBytes * 65536.0 + state.TotalAOBytes;
    h[8] = 0;
}

double ErrorControlWord(const ProgramState& state)
{
    const bool heartbeat = (state.ErrorControlFlags & HeartbeatBit) != 0;
    const double time = heartbeat ? state.HeartbeatTime : state.GuardTime;
    const double factor = heartbeat ? 0 : state.LifeTimeFactor;
    return state.ErrorControlFlags * 16777216.0 + time * 256.0 + factor;
}

double PdoCountWord(const ProgramState& state)
{
    return state.LastOutputAssembly * 16777216.0 + state.LastInputAssembly * 65536.0;
}

double ModuleEntryWord(std::uint32_t modelCode, int address)
{
    return modelCode * 256.0 + address;
}

void PrepareApplicationImage(ProgramState& state, const ModelCodeFn& modelCode)
{
    const auto needed = static_cast<std::size_t>(state.ApplicationAreaBytes / 4 + 1);
    if (state.ApplicationImage.size() < needed)
        state.ApplicationImage.resize(needed, 0.0);
    auto& a = state.ApplicationImage;
    a[0] = ErrorControlWord(state);
    a[1] = 0;
    a[2] = PdoCountWord(state);
    std::size_t next = 3;
    for (const auto& entry : state.ModuleTable) {
        if (entry.Address.empty())
            continue;
        if (next >= a.size())
            a.resize(next + 1, 0.0);
        a[next++] = ModuleEntryWord(modelCode(entry), AddressValue(entry.Address).value_or(0));
    }
}

}  // namespace k400
