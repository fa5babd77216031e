// Console number texts, port names and the start-up delay.

#include <gtest/gtest.h>

#include <limits>

#include "platform/NumberText.h"
#include "platform/PortNames.h"
#include "platform/WaitSeconds.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

TEST(NumberText, LongWordsRoundTripBetweenSignedAndUnsigned)
{
    const std::pair<const char*, double> cases[] = {
        {"-1", 4294967295.0}, {"-2147483648", 2147483648.0}, {"0", 0}, {"2147483647", 2147483647.0}};
    for (const auto& [printed, word] : cases) {
        EXPECT_EQ(ToUnsignedLong(LeadingDecimalValue(printed)), word) << printed;
        EXPECT_EQ(ToSignedLongText(word), printed) << word;
    }
    EXPECT_EQ(ToSignedLongText(-5), "-5");  // a word as read (already signed) passes unchanged
}

TEST(NumberText, TextToNumberReaders)
{
    const struct {
        double (*read)(std::string_view);
        const char* text;
        double expected;
    } cases[] = {
        {NumericValue, "  12abc", 12},
        {NumericValue, "-3.5x", -3.5},
        {NumericValue, "+7", 7},
        {NumericValue, ".5", 0.5},
        {NumericValue, "1e3", 1},
        {NumericValue, " &hff zz", 255},
        {NumericValue, "&H", 0},
        {NumericValue, "-", 0},
        {NumericValue, "x12", 0},
        {LeadingDecimalValue, "1.5e3-->", 1500},
        {LeadingDecimalValue, "2E-1", 0.2},
        {LeadingDecimalValue, "2e+", 2},
        {LeadingDecimalValue, "\r\n -2147483648-->", -2147483648.0},
        {LeadingDecimalValue, "=5", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.read(c.text), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(HexDigitsValue("0a"), 10u);
    EXPECT_EQ(HexDigitsValue("0G"), std::nullopt);
    EXPECT_EQ(HexDigitsValue(""), std::nullopt);
    EXPECT_EQ(TrimBlanks(" \t\r\nK400 E> \r\n"), "K400 E>");
}

TEST(PortNames, ComPortsNumbersAndPaths)
{
    const struct {
        const char* typed;
        std::optional<int> number;
        const char* normalized;
        const char* display;
    } cases[] = {
        {"COM1", 1, "COM1", "COM 1"},
        {"com16", 16, "COM16", "COM 16"},
        {"COM0", {}, "COM0", "COM0"},
        {"COM17", {}, "COM17", "COM17"},
        {"COM01", {}, "COM01", "COM01"},
        {"COM1x", {}, "COM1x", "COM1x"},
        {"3", {}, "COM3", "3"},
        {"16", {}, "COM16", "16"},
        {"17", {}, "17", "17"},
        {"03", {}, "03", "03"},
        {"/dev/pts/4", {}, "/dev/pts/4", "/dev/pts/4"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComPortNumber(c.typed), c.number) << c.typed;
        EXPECT_EQ(NormalizePortName(c.typed), c.normalized) << c.typed;
        EXPECT_EQ(PortDisplayName(c.typed), c.display) << c.typed;
    }
    // Linux numbers its serial devices from 0; Windows opens COMn by that name.
    const std::pair<const char*, const char*> devices[] = {
#ifdef _WIN32
        {"COM1", "COM1"},
        {"COM16", "COM16"},
#else
        {"COM1", "/dev/ttyS0"},
        {"COM16", "/dev/ttyS15"},
#endif
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
    };
    for (const auto& [name, device] : devices)
        EXPECT_EQ(DevicePathForPortName(name), device) << name;
}

TEST(WaitSecondsTest, WaitsAtLeastThatLongWhilePumpingEvents)
{
    FakeClock clock;
    RecordingUserInterface ui;
    const std::int64_t start = clock.nowMs();
    WaitSeconds(clock, ui, 1.0);
    EXPECT_GE(clock.nowMs() - start, 1000);
    EXPECT_LE(clock.nowMs() - start, 1010);
    EXPECT_GE(ui.pumps, 10);
    const std::int64_t second = clock.nowMs();
    WaitSeconds(clock, ui, 0.0015);
    EXPECT_EQ(clock.nowMs() - second, 2);  // rounded up to whole milliseconds
    for (double nothing : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()})
        WaitSeconds(clock, ui, nothing);
    EXPECT_EQ(clock.nowMs() - second, 2);
}

}  // namespace
}  // namespace k400::test
