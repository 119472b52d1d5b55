#include "engine/reading/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#ifndef PATHSHIFT_RANDOM_VALUES
#define PATHSHIFT_RANDOM_VALUES 100000
#endif

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

TEST(LeadingNumber, OnlyBlanksAndTabsAreSkipped) {
    EXPECT_EQ(readLeadingNumber("- 5").value, -5.0);
    EXPECT_EQ(readLeadingNumber("\t+\t5 .\t2 5").value, 5.25);
    for (const char* text : {"\n5", "\r5", "\v5", "\f5", "_5", "=5", "\xA0" "5"})
        EXPECT_EQ(readLeadingNumber(text).value, 0.0) << ::testing::PrintToString(std::string(text));
    EXPECT_EQ(readLeadingNumber("5\n6").value, 5.0);
}

TEST(LeadingNumber, OneSignThenDigitsWithOnePoint) {
    EXPECT_EQ(readLeadingNumber("+-5").value, 0.0);
    EXPECT_EQ(readLeadingNumber("--5").value, 0.0);
    EXPECT_EQ(readLeadingNumber("1-2").value, 1.0);
    EXPECT_EQ(readLeadingNumber("1+2").value, 1.0);
    EXPECT_EQ(readLeadingNumber(".").value, 0.0);
    EXPECT_EQ(readLeadingNumber("-.").value, 0.0);
    EXPECT_EQ(readLeadingNumber(".5").value, 0.5);
    EXPECT_EQ(readLeadingNumber("5.").value, 5.0);
    EXPECT_EQ(readLeadingNumber("007.50").value, 7.5);
    EXPECT_EQ(readLeadingNumber("1..2").value, 1.0);
    EXPECT_FALSE(readLeadingNumber("").overflow);
}

TEST(LeadingNumber, ExponentLettersAndBlanksInsideTheExponent) {
    EXPECT_EQ(readLeadingNumber("1.e2").value, 100.0);
    EXPECT_EQ(readLeadingNumber(".5e1").value, 5.0);
    EXPECT_EQ(readLeadingNumber("1e - 2").value, 0.01);
    EXPECT_EQ(readLeadingNumber("1 D +2").value, 100.0);
    EXPECT_EQ(readLeadingNumber("25d-1").value, 2.5);
    EXPECT_EQ(readLeadingNumber("1e2.5").value, 100.0);
    EXPECT_EQ(readLeadingNumber("1e-").value, 1.0);
    EXPECT_EQ(readLeadingNumber("1E+ ").value, 1.0);
    EXPECT_EQ(readLeadingNumber("1e+-2").value, 1.0);
    EXPECT_EQ(readLeadingNumber("3x2").value, 3.0);
    EXPECT_EQ(readLeadingNumber("1f2").value, 1.0);
    EXPECT_EQ(readLeadingNumber("e5").value, 0.0);
    EXPECT_EQ(readLeadingNumber("1ee2").value, 1.0);
}

TEST(LeadingNumber, OverflowOnlyForNumbersBeyondTheRange) {
    EXPECT_TRUE(readLeadingNumber("1e5000").overflow);
    EXPECT_TRUE(readLeadingNumber("1" + std::string(400, '0')).overflow);
    EXPECT_TRUE(readLeadingNumber("179769313486232e294").overflow);
    EXPECT_FALSE(readLeadingNumber("1e-5000").overflow);
    EXPECT_EQ(readLeadingNumber("1e-5000").value, 0.0);
    EXPECT_FALSE(readLeadingNumber("0e500").overflow);
    EXPECT_EQ(readLeadingNumber("0e500").value, 0.0);
    EXPECT_FALSE(readLeadingNumber("0." + std::string(500, '0') + "1e400").overflow);
    EXPECT_EQ(readLeadingNumber("0." + std::string(500, '0') + "1e400").value, 1e-101);
    EXPECT_EQ(readLeadingNumber("1" + std::string(300, '0')).value, 1e300);
    EXPECT_EQ(readLeadingNumber("1.7976931348623157e308").value, 1.7976931348623157e308);
    EXPECT_FALSE(readLeadingNumber("1.7976931348623158e308").overflow);  // rounds down to the largest
    EXPECT_EQ(readLeadingNumber("99999999999999999999999999999").value, 1e29);
}

// Every shape around the limits of the inline readings (a lone digit, eight digits, seven around a
// point), followed by what ends or continues a number, and long enough for them: the same value, to
// the bit, as the general reading.
TEST(LeadingNumber, TheInlineReadingsAgreeWithTheGeneralOne) {
    for (const std::string sign : {"", "-", "+"})
        for (int whole = 0; whole <= 10; ++whole)
            for (int fraction = -1; fraction <= 10; ++fraction)
                for (const std::string after : {"X", " 5", ".5", "E2", "e", "d-1", "\n", "\t1", "9", ""}) {
                    std::string text = sign;
                    text.append("9071582643", static_cast<std::size_t>(whole));
                    if (fraction >= 0) text.append(".5008119236", static_cast<std::size_t>(fraction + 1));
                    text += after;
                    text += "Y-1.25Z0.5F100";
                    const NumberRead inline_ = readLeadingNumber(text), general = detail::readGeneralNumber(text);
                    EXPECT_EQ(std::bit_cast<std::uint64_t>(inline_.value), std::bit_cast<std::uint64_t>(general.value)) << text;
                    EXPECT_EQ(inline_.overflow, general.overflow) << text;
                }
}

// Texts built from random parts (sign, digits, point, exponent, blanks anywhere, a following word),
// compared with the C library reading the same number written plainly.
TEST(LeadingNumber, AgreesWithTheCLibraryOnRandomTexts) {
    std::mt19937 random(9);
    auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    auto digits = [&](int most) {
        std::string d(random() % static_cast<unsigned>(most + 1), '0');
        for (char& c : d) c = static_cast<char>('0' + random() % 10);
        return d;
    };
    int failures = 0;
    for (int round = 0; round < PATHSHIFT_RANDOM_VALUES / 4 && failures < 10; ++round) {
        const bool longNumbers = round % 4 == 0;
        const char sign = chance(30) ? '-' : chance(10) ? '+' : 0;
        const std::string integer = digits(longNumbers ? 30 : 8);
        const bool point = chance(70);
        const std::string fraction = point ? digits(longNumbers ? 30 : 6) : "";
        std::string exponent;
        char exponentLetter = 0;
        if (chance(20)) {
            exponentLetter = "EeDd"[random() % 4];
            if (chance(40)) exponent += chance(50) ? '-' : '+';
            exponent += digits(3);
        }
        const std::string follower = std::string(1, "XYZGFN(;&"[random() % 9]);

        std::string plain;  // what the C library reads
        if (sign) plain += sign;
        plain += integer.empty() && fraction.empty() ? "" : (integer.empty() ? "0" : integer);
        if (!fraction.empty()) plain += "." + fraction;
        const bool exponentCounts = exponentLetter && exponent.find_first_of("0123456789") != std::string::npos;
        if (exponentCounts) plain += "e" + exponent;

        std::string text;  // what the program holds, blanks anywhere
        auto put = [&](const std::string& part) {
            for (char c : part) {
                if (chance(5)) text += chance(50) ? ' ' : '\t';
                text += c;
            }
        };
        if (chance(20)) text += " \t";
        if (sign) put(std::string(1, sign));
        put(integer);
        if (point) put(".");
        put(fraction);
        if (exponentLetter) {
            put(std::string(1, exponentLetter));
            put(exponent);
        }
        text += follower;

        const bool anyDigit = !integer.empty() || !fraction.empty();
        errno = 0;
        const double expected = anyDigit ? std::strtod(plain.c_str(), nullptr) : 0.0;
        const bool overflow = anyDigit && errno == ERANGE && std::isinf(expected);
        const NumberRead read = readLeadingNumber(text);
        if (read.overflow != overflow || (!overflow && std::bit_cast<std::uint64_t>(read.value) !=
                                                           std::bit_cast<std::uint64_t>(anyDigit ? expected : 0.0))) {
            ++failures;
            ADD_FAILURE() << ::testing::PrintToString(text) << " read as " << read.value << (read.overflow ? " (overflow)" : "")
                          << ", the C library reads " << ::testing::PrintToString(plain) << " as " << expected
                          << (overflow ? " (overflow)" : "");
        }
    }
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
