#pragma once
// The TARN models the gateway can poll: channel counts, I/O kind and the
// number by which the gateway firmware knows each model.

#include <cstdint>
#include <span>
#include <string_view>

namespace k400 {

// I/O kind codes (5 is not used).
enum IOTypeCode : std::uint8_t {
    IOTypeDO = 0,
    IOTypeAO = 1,
    IOTypeDI = 2,
    IOTypeAI = 3,
    IOTypeDIDO = 4,
    IOTypeAIAODIDO = 6,
    IOTypeAIDIDO = 7,
    IOTypeAIDO = 8,
};

// Byte lengths reserved in the CANopen and DeviceNet images for a channel count.
constexpr std::uint8_t DOLengthOf(std::uint8_t channels)
{
    return static_cast<std::uint8_t>((channels + 7) / 8);
}
constexpr std::uint8_t DILengthOf(std::uint8_t channels)
{
    return static_cast<std::uint8_t>((channels + 7) / 8);
}
constexpr std::uint8_t AOLengthOf(std::uint8_t channels)
{
    return static_cast<std::uint8_t>(channels * 2);
}
constexpr std::uint8_t AILengthOf(std::uint8_t words)
{
    return static_cast<std::uint8_t>(words * 2);
}

struct ModelInfo {
    std::string_view Name;
    std::uint8_t DOChannels;
    std::uint8_t AOChannels;
    std::uint8_t DIChannels;
    std::uint8_t AIChannels;  // AI words; a 32-bit counter counts as two
    std::uint8_t IOType;
    std::uint32_t ModelNumber;

    constexpr std::uint8_t DOLength() const { return DOLengthOf(DOChannels); }
    constexpr std::uint8_t AOLength() const { return AOLengthOf(AOChannels); }
    constexpr std::uint8_t DILength() const { return DILengthOf(DIChannels); }
    constexpr std::uint8_t AILength() const { return AILengthOf(AIChannels); }
};

// All catalogue models (84).
std::span<const ModelInfo> ModelCatalogue();

// Exact, case-sensitive lookup; nullptr for a model the gateway cannot poll.
const ModelInfo* FindModel(std::string_view name);

// Counter models (M60, M60B, Q61, M62, M62B): their AI words are 32-bit counters.
bool IsCounterModel(std::string_view name);

}  // namespace k400
