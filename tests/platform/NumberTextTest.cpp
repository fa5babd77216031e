// Console number texts and the start-up delay.

#include <gtest/gtest.h>

#include "platform/NumberText.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::test {
namespace {

TEST(NumberTextTest, LongWordsRoundTripBetweenSignedAndUnsigned)
{
    EXPECT_EQ(ToUnsignedLong(-1), 4294967295.0);
    EXPECT_EQ(ToUnsignedLong(-2147483648.0), 2147483648.0);
    EXPECT_EQ(ToUnsignedLong(0), 0.0);
    EXPECT_EQ(ToUnsignedLong(28573732), 28573732.0);

    EXPECT_EQ(ToSignedLongText(4294967295.0), "-1");
    EXPECT_EQ(ToSignedLongText(2147483647.0), "2147483647");
    EXPECT_EQ(ToSignedLongText(2147483648.0), "-2147483648");
    EXPECT_EQ(ToSignedLongText(0), "0");
    EXPECT_EQ(ToSignedLongText(28573732), "28573732");
    // Words as read (already signed) pass through unchanged.
    EXPECT_EQ(ToSignedLongText(-5), "-5");

    for (double word : {0.0, 1.0, 2147483647.0, 2147483648.0, 3000000000.0, 4294967295.0})
        EXPECT_EQ(ToUnsignedLong(LeadingDecimalValue(ToSignedLongText(word))), word) << word;
}

TEST(NumberTextTest, HexTextCountsEveryOtherCharacterAsZero)
{
    EXPECT_EQ(HexTextToNumber("FF"), 255);
    EXPECT_EQ(HexTextToNumber("ff"), 255);
    EXPECT_EQ(HexTextToNumber("0F"), 15);
    EXPECT_EQ(HexTextToNumber("1a"), 26);
    EXPECT_EQ(HexTextToNumber("G1"), 1);
    EXPECT_EQ(HexTextToNumber("1G"), 16);
    EXPECT_EQ(HexTextToNumber(""), 0);
    EXPECT_EQ(HexTextToNumber("FFFFFFFF"), 4294967295.0);
}

TEST(NumberTextTest, NumericValueReadsLeadingNumberOfText)
{
    EXPECT_EQ(NumericValue("  12abc"), 12);
    EXPECT_EQ(NumericValue("-3.5x"), -3.5);
    EXPECT_EQ(NumericValue("+7"), 7);
    EXPECT_EQ(NumericValue(".5"), 0.5);
    EXPECT_EQ(NumericValue("5."), 5);
    EXPECT_EQ(NumericValue("1e3"), 1);  // no exponent in box texts
    EXPECT_EQ(NumericValue("&H1F"), 31);
    EXPECT_EQ(NumericValue(" &hff zz"), 255);
    EXPECT_EQ(NumericValue("&H"), 0);
    EXPECT_EQ(NumericValue("abc"), 0);
    EXPECT_EQ(NumericValue(""), 0);
    EXPECT_EQ(NumericValue("-"), 0);
    EXPECT_EQ(NumericValue("."), 0);
    EXPECT_EQ(NumericValue("x12"), 0);
}

TEST(NumberTextTest, LeadingDecimalValueAlsoTakesExponent)
{
    EXPECT_EQ(LeadingDecimalValue("1.5e3-->"), 1500);
    EXPECT_EQ(LeadingDecimalValue("2E-1"), 0.2);
    EXPECT_EQ(LeadingDecimalValue("2e"), 2);
    EXPECT_EQ(LeadingDecimalValue("2e+"), 2);
    EXPECT_EQ(LeadingDecimalValue("  -2147483648 "), -2147483648.0);
    EXPECT_EQ(LeadingDecimalValue("\r\n 42-->"), 42);
    EXPECT_EQ(LeadingDecimalValue("=5"), 0);
    EXPECT_EQ(LeadingDecimalValue(""), 0);
}

TEST(NumberTextTest, TrimBlanksRemovesSpacesTabsAndLineEnds)
{
    EXPECT_EQ(TrimBlanks(" \t\r\nK400E> \r\n"), "K400E>");
    EXPECT_EQ(TrimBlanks("a b"), "a b");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(""), "");
}

TEST(NumberTextTest, WaitSecondsWaitsAtLeastThatLongWhilePumpingEvents)
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

    const std::int64_t third = clock.nowMs();
    WaitSeconds(clock, ui, 0);
    WaitSeconds(clock, ui, -1);
    WaitSeconds(clock, ui, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(clock.nowMs(), third);
}

}  // namespace
}  // namespace k400::test
