#include "engine/number_text.h"

#include <gtest/gtest.h>

namespace pathshift {
namespace {

TEST(LeadingNumber, ReadsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(readLeadingNumber("1.5Y-2").value, 1.5);
    EXPECT_EQ(readLeadingNumber("-2Z0.3").value, -2.0);
    EXPECT_EQ(readLeadingNumber("").value, 0.0);
    EXPECT_EQ(readLeadingNumber("abc").value, 0.0);
    EXPECT_EQ(readLeadingNumber("0 ").value, 0.0);
}

TEST(LeadingNumber, SkipsBlanksAndTabsAnywhere) {
    EXPECT_EQ(readLeadingNumber(" \t- 1 2 . 5").value, -12.5);
    EXPECT_EQ(readLeadingNumber("1 E 2").value, 100.0);
}

TEST(LeadingNumber, ExponentCountsOnlyWithADigit) {
    EXPECT_EQ(readLeadingNumber("1.5E2").value, 150.0);
    EXPECT_EQ(readLeadingNumber("1.5d-1").value, 0.15);
    EXPECT_EQ(readLeadingNumber("2E").value, 2.0);
    EXPECT_EQ(readLeadingNumber("2E-X").value, 2.0);
}

TEST(LeadingNumber, HexAndOctalPrefixesAreNotNumbers) {
    EXPECT_EQ(readLeadingNumber("&H10").value, 0.0);
    EXPECT_EQ(readLeadingNumber("&O17").value, 0.0);
}

TEST(LeadingNumber, SecondPointEndsTheNumber) { EXPECT_EQ(readLeadingNumber("1.2.3").value, 1.2); }

TEST(LeadingNumber, IsCorrectlyRoundedForLongAndExtremeTexts) {
    EXPECT_EQ(readLeadingNumber("0.1000000000000000055511151231257827").value, 0.1);
    EXPECT_EQ(readLeadingNumber("123456789012345678901234567890").value, 1.2345678901234568e29);
    EXPECT_EQ(readLeadingNumber("1e-320").value, 1e-320);
    EXPECT_EQ(readLeadingNumber("1e-999").value, 0.0);
    EXPECT_TRUE(readLeadingNumber("1e400").overflow);
    EXPECT_TRUE(readLeadingNumber("-1.8e308").overflow);
    EXPECT_FALSE(readLeadingNumber("1.7e308").overflow);
}

TEST(StrictNumber, AcceptsTheThicknessForms) {
    EXPECT_EQ(readStrictNumber("0.75"), 0.75);
    EXPECT_EQ(readStrictNumber(" \t-0.5 "), -0.5);
    EXPECT_EQ(readStrictNumber("+.5"), 0.5);
    EXPECT_EQ(readStrictNumber("5."), 5.0);
    EXPECT_EQ(readStrictNumber("1.5e1"), 15.0);
    EXPECT_EQ(readStrictNumber("1.5D-1"), 0.15);
}

TEST(StrictNumber, RefusesEverythingElse) {
    for (const char* text : {"", " ", ".", "-", "1,5", "1 5", "0.75mm", "1e", "1e+", "&H10", "1.2.3", "1e400",
                             "- 1", "1\n"})
        EXPECT_FALSE(readStrictNumber(text).has_value()) << text;
}

TEST(FloatNarrowing, RoundsAndRefusesBeyondTheRange) {
    EXPECT_EQ(narrowToFloat(0.1), 0.1f);
    EXPECT_EQ(narrowToFloat(3.4028235e38), 3.4028235e38f);
    EXPECT_FALSE(narrowToFloat(3.5e38).has_value());
    EXPECT_FALSE(narrowToFloat(-1e39).has_value());
}

TEST(Int16Rounding, SendsHalvesToEven) {
    EXPECT_EQ(roundToInt16(12.5), 12);
    EXPECT_EQ(roundToInt16(13.5), 14);
    EXPECT_EQ(roundToInt16(-2.5), -2);
    EXPECT_EQ(roundToInt16(32767.4), 32767);
    EXPECT_FALSE(roundToInt16(32767.5).has_value());
    EXPECT_EQ(roundToInt16(-32768.5), -32768);
    EXPECT_FALSE(roundToInt16(-32769).has_value());
}

}  // namespace
}  // namespace pathshift
