// Decimal text of binary floating-point values: significant-digit rounding checked against the C
// library's exact %e formatting, the value read back, and the four-decimal text of the words.

#include "engine/translation/decimal_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/decimal_reference.h"

#ifndef PATHSHIFT_RANDOM_VALUES
#define PATHSHIFT_RANDOM_VALUES 100000
#endif

namespace pathshift {
namespace {

constexpr int kRandomValues = PATHSHIFT_RANDOM_VALUES;
using testing::referenceFourDecimals;
using testing::scientific;

struct Digits {
    std::uint64_t digits = 0;
    int exponent = 0;
    bool negative = false;
    bool operator==(const Digits&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Digits& d) {
    return out << (d.negative ? "-" : "+") << d.digits << "e" << d.exponent;
}

// Trailing zeros moved into the exponent, so equal values compare equal.
Digits normalised(std::uint64_t digits, int exponent, bool negative) {
    if (digits == 0) return {0, 0, negative};
    while (digits % 10 == 0) {
        digits /= 10;
        ++exponent;
    }
    return {digits, exponent, negative};
}

Digits normalised(const RoundedDecimal& d) { return normalised(d.digits, d.exponent, d.negative); }

// The digits glibc prints for the value at this precision (glibc rounds exactly, ties to even).
Digits libcDigits(double value, int precision) {
    const std::string text = scientific(value, precision);
    const char* p = text.c_str();
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    std::uint64_t digits = 0;
    int fraction = 0;
    bool point = false;
    for (; *p && *p != 'e'; ++p) {
        if (*p == '.') {
            point = true;
            continue;
        }
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
        if (point) ++fraction;
    }
    const int exponent = std::atoi(p + 1);
    return normalised(digits, exponent - fraction, negative);
}

std::string fourDecimals(const RoundedDecimal& decimal) {
    std::vector<char> out(kMaxDecimalText);  // exactly the promised room: the sanitizers see any overrun
    const std::size_t length = formatFourDecimals(decimal, out.data());
    EXPECT_LE(length, kMaxDecimalText);
    return std::string(out.data(), std::min(length, kMaxDecimalText));
}

std::uint64_t bitsOf(double value) { return std::bit_cast<std::uint64_t>(value); }

// Checks one value at one precision against glibc; returns false after the first few failures.
void expectLikeLibc(double value, int precision, int& failures) {
    if (failures > 10) return;
    const RoundedDecimal rounded = roundSignificant(value, precision);
    const Digits expected = libcDigits(value, precision);
    if (normalised(rounded) != expected) {
        ++failures;
        ADD_FAILURE() << "roundSignificant(" << scientific(value, 17) << ", " << precision << ") = " << normalised(rounded)
                      << ", %e gives " << expected;
        return;
    }
    const double back = decimalValue(rounded);
    const double libcBack = std::strtod(scientific(value, precision).c_str(), nullptr);
    if (bitsOf(back) != bitsOf(libcBack)) {
        ++failures;
        ADD_FAILURE() << "decimalValue of " << normalised(rounded) << " = " << scientific(back, 17) << ", strtod gives "
                      << scientific(libcBack, 17);
    }
}

// ---------------------------------------------------------------------------------------------
// roundSignificant and decimalValue

TEST(SignificantDigits, RoundsExactBinaryTiesToEven) {
    EXPECT_EQ(normalised(roundSignificant(2.5, 1)), (Digits{2, 0, false}));
    EXPECT_EQ(normalised(roundSignificant(3.5, 1)), (Digits{4, 0, false}));
    EXPECT_EQ(normalised(roundSignificant(-0.125, 2)), (Digits{12, -2, true}));
    EXPECT_EQ(normalised(roundSignificant(0.375, 2)), (Digits{38, -2, false}));
    EXPECT_EQ(normalised(roundSignificant(1048576.5, 7)), (Digits{1048576, 0, false}));
    EXPECT_EQ(normalised(roundSignificant(1048577.5, 7)), (Digits{1048578, 0, false}));
}

TEST(SignificantDigits, UsesTheExactBinaryValueNotItsShortestText) {
    // 0.15 is 0.1499999999999999944..., 2.675 is 2.67499999999999982236431605997495353221893310546875.
    EXPECT_EQ(normalised(roundSignificant(0.15, 1)), (Digits{1, -1, false}));
    EXPECT_EQ(normalised(roundSignificant(2.675, 3)), (Digits{267, -2, false}));
    // 0.1f is 0.100000001490116119384765625.
    EXPECT_EQ(normalised(roundSignificant(0.1f, 7)), (Digits{1, -1, false}));
    EXPECT_EQ(normalised(roundSignificant(0.1f, 15)), (Digits{100000001490116, -15, false}));
    EXPECT_EQ(normalised(roundSignificant(0.1, 17)), (Digits{10000000000000001, -17, false}));
}

TEST(SignificantDigits, CarriesIntoANewDigit) {
    EXPECT_EQ(normalised(roundSignificant(9.9999999, 7)), (Digits{1, 1, false}));
    EXPECT_EQ(normalised(roundSignificant(-999999.96, 7)), (Digits{1, 6, true}));
    EXPECT_EQ(normalised(roundSignificant(0.99999999999999999, 15)), (Digits{1, 0, false}));
}

TEST(SignificantDigits, ZeroKeepsItsSign) {
    EXPECT_EQ(roundSignificant(0.0, 7).digits, 0u);
    EXPECT_FALSE(roundSignificant(0.0, 7).negative);
    EXPECT_EQ(roundSignificant(-0.0, 15).digits, 0u);
    EXPECT_TRUE(roundSignificant(-0.0, 15).negative);
}

TEST(SignificantDigits, ExtremeMagnitudesAgreeWithLibc) {
    int failures = 0;
    for (double value : {DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN, 2 * DBL_TRUE_MIN, 1e-310,
                         static_cast<double>(FLT_MAX), static_cast<double>(FLT_MIN),
                         static_cast<double>(FLT_TRUE_MIN), 1e22, 1e23, 9007199254740993.0, 18446744073709551616.0,
                         1e38, 1e-38, 5e-324, 1.7976931348623157e308, 123456789012345678.0}) {
        for (int precision : {7, 15, 17}) expectLikeLibc(value, precision, failures);
    }
}

TEST(SignificantDigits, AgreesWithLibcForRandomDoubles) {
    std::mt19937_64 random(1);
    int failures = 0;
    for (int i = 0; i < kRandomValues; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value)) continue;
        expectLikeLibc(value, 15, failures);
        expectLikeLibc(value, 7, failures);
    }
    EXPECT_EQ(failures, 0);
}

TEST(SignificantDigits, AgreesWithLibcForRandomFloats) {
    std::mt19937 random(2);
    int failures = 0;
    for (int i = 0; i < kRandomValues; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(value)) continue;
        expectLikeLibc(value, 7, failures);
        expectLikeLibc(value, 15, failures);
    }
    EXPECT_EQ(failures, 0);
}

TEST(SignificantDigits, AgreesWithLibcForProgramValues) {
    // Coordinates in thousandths and ten-thousandths, as programs write them, held as both kinds
    // of float, and differences like the relative Z words.
    std::mt19937 random(3);
    std::uniform_int_distribution<int> thousandths(-10000000, 10000000);
    int failures = 0;
    for (int i = 0; i < kRandomValues / 2; ++i) {
        const int k = thousandths(random);
        const double value = k / 1000.0;
        const float held = static_cast<float>(value);
        expectLikeLibc(value, 15, failures);
        expectLikeLibc(held, 7, failures);
        expectLikeLibc(static_cast<double>(held) - static_cast<float>(thousandths(random) / 10000.0), 15, failures);
        expectLikeLibc(static_cast<float>(held / 60.0f), 7, failures);
    }
    EXPECT_EQ(failures, 0);
}

TEST(SignificantDigits, TheQuickFloatDigitsAgreeWithLibc) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> thousandths(-100000000, 100000000);
    int failures = 0, taken = 0;
    auto check = [&](float value) {
        RoundedDecimal quick;
        if (!roundFloatDigits(value, quick) || failures > 10) return;
        ++taken;
        const Digits expected = libcDigits(value, 7);
        if (normalised(quick) != expected) {
            ++failures;
            ADD_FAILURE() << "roundFloatDigits(" << scientific(value, 9) << ") = " << normalised(quick) << ", %e gives "
                          << expected;
        }
    };
    for (int i = 0; i < kRandomValues; ++i) {
        check(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
        check(static_cast<float>(thousandths(random) / 1000.0));
        check(static_cast<float>(thousandths(random) / 10000.0) / 60.0f);
    }
    for (float value : {0.0f, -0.0f, 1e-6f, 9.999999e-7f, 1e7f, 9999999.0f, 9999999.5f, 0.1f, 1.0f, 123456.75f,
                        8388608.0f, 0.00005f, -0.00015f})
        check(value);
    EXPECT_EQ(failures, 0);
    EXPECT_GT(taken, kRandomValues) << "the usual magnitudes take the quick way";
}

TEST(SignificantDigits, AllPrecisionsAgreeWithLibc) {
    std::mt19937_64 random(4);
    int failures = 0;
    for (int i = 0; i < kRandomValues / 20; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value)) continue;
        for (int precision = 1; precision <= 17; ++precision) {
            if (failures > 10) break;
            const Digits expected = libcDigits(value, precision);
            const Digits got = normalised(roundSignificant(value, precision));
            if (got != expected) {
                ++failures;
                ADD_FAILURE() << scientific(value, 17) << " at " << precision << ": " << got << ", %e gives " << expected;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(DecimalValue, ReadsTheDigitsBackAsTheNearestDouble) {
    EXPECT_EQ(decimalValue({12, 0, false}), 12.0);
    EXPECT_EQ(decimalValue({5, -1, true}), -0.5);
    EXPECT_EQ(decimalValue({1000000, -7, false}), 0.1);
    EXPECT_EQ(decimalValue({100000001490116, -15, false}), 0.100000001490116);
    EXPECT_EQ(decimalValue({17976931348623157, 292, false}), DBL_MAX);
    EXPECT_EQ(decimalValue({4940656, -330, false}), DBL_TRUE_MIN);
    EXPECT_EQ(decimalValue({9007199254740993, 0, false}), 9007199254740992.0);
    EXPECT_EQ(decimalValue({1, 23, false}), 1e23);
    EXPECT_EQ(decimalValue({1, -23, false}), 1e-23);
    EXPECT_EQ(bitsOf(decimalValue({0, 0, true})), bitsOf(-0.0));
}

TEST(DecimalValue, SeventeenDigitsGiveTheValueBack) {
    std::mt19937_64 random(5);
    for (int i = 0; i < kRandomValues / 10; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value)) continue;
        const double back = decimalValue(roundSignificant(value, 17));
        ASSERT_EQ(bitsOf(back), bitsOf(value)) << scientific(value, 17) << " came back as " << scientific(back, 17);
    }
}

// ---------------------------------------------------------------------------------------------
// formatFourDecimals

TEST(FourDecimals, WritesTheWordValuesOfTheTargetProgram) {
    struct Case {
        RoundedDecimal decimal;
        const char* text;
    };
    for (const Case& c : {
             Case{{12, 0, false}, "12"},
             Case{{5, -1, false}, "0.5"},
             Case{{123456, -5, true}, "-1.2346"},
             Case{{10005, -1, false}, "1000.5"},
             Case{{25, -2, true}, "-0.25"},
             Case{{1200, 0, false}, "1200"},
             Case{{120000, -4, false}, "12"},
             Case{{1, 20, false}, "100000000000000000000"},
             Case{{12345678901234567, -4, false}, "1234567890123.4567"},
             Case{{125, -4, false}, "0.0125"},
             Case{{1, -4, true}, "-0.0001"},
         }) {
        EXPECT_EQ(fourDecimals(c.decimal), c.text)
            << c.decimal.digits << "e" << c.decimal.exponent << (c.decimal.negative ? " negative" : "");
    }
}

TEST(FourDecimals, RoundsHalfAwayFromZero) {
    struct Case {
        RoundedDecimal decimal;
        const char* text;
    };
    for (const Case& c : {
             Case{{5, -5, false}, "0.0001"},
             Case{{5, -5, true}, "-0.0001"},
             Case{{15, -5, false}, "0.0002"},
             Case{{25, -5, false}, "0.0003"},
             Case{{25, -5, true}, "-0.0003"},
             Case{{50000, -9, false}, "0.0001"},
             Case{{49999, -9, false}, "0"},
             Case{{123445, -5, false}, "1.2345"},
             Case{{1234450000000, -12, true}, "-1.2345"},
             Case{{99995, -5, false}, "1"},
             Case{{999999999999995, -11, true}, "-10000"},
             Case{{999999999999999, -11, false}, "10000"},
             Case{{100004999999999, -14, false}, "1"},
             Case{{12345678901234567, -20, false}, "0.0001"},
         }) {
        EXPECT_EQ(fourDecimals(c.decimal), c.text)
            << c.decimal.digits << "e" << c.decimal.exponent << (c.decimal.negative ? " negative" : "");
    }
}

TEST(FourDecimals, NeverWritesMinusZero) {
    for (const RoundedDecimal& d : {RoundedDecimal{0, 0, true}, RoundedDecimal{4, -5, true},
                                    RoundedDecimal{49999, -9, true}, RoundedDecimal{1, -10, true},
                                    RoundedDecimal{4940656, -330, true}, RoundedDecimal{17, -400, true}}) {
        EXPECT_EQ(fourDecimals(d), "0") << d.digits << "e" << d.exponent;
    }
}

TEST(FourDecimals, TheLargestValuesFitTheBuffer) {
    for (double value : {DBL_MAX, -DBL_MAX}) {
        for (int precision : {7, 15, 17}) {
            const std::string text = fourDecimals(roundSignificant(value, precision));
            EXPECT_EQ(text, referenceFourDecimals(value, precision));
            EXPECT_EQ(text.size(), value < 0 ? 310u : 309u);
        }
    }
    EXPECT_EQ(fourDecimals({99999999999999999, 330 - 17, true}).size(), 331u);
}

TEST(FourDecimals, AgreesWithDecimalArithmeticOnTheSignificantDigits) {
    std::mt19937_64 random(6);
    std::uniform_int_distribution<int> thousandths(-100000000, 100000000);
    std::uniform_int_distribution<int> scale(-12, 12);
    int failures = 0;
    auto check = [&](double value, int precision) {
        if (failures > 10) return;
        const std::string got = fourDecimals(roundSignificant(value, precision));
        const std::string expected = referenceFourDecimals(value, precision);
        if (got != expected) {
            ++failures;
            ADD_FAILURE() << scientific(value, 17) << " at " << precision << " digits: \"" << got << "\", expected \""
                          << expected << "\"";
        }
    };
    for (int i = 0; i < kRandomValues / 4; ++i) {
        const double typical = thousandths(random) / 1000.0 * std::pow(10.0, scale(random));
        check(typical, 15);
        check(static_cast<float>(typical), 7);
        // Values exactly on a half of the last decimal in their digit text.
        const double half = (thousandths(random) * 10 + 5) / 100000.0;
        check(half, 15);
        check(static_cast<float>(half), 7);
        const double any = std::bit_cast<double>(random());
        if (std::isfinite(any)) check(any, 15);
    }
    EXPECT_EQ(failures, 0);
}

TEST(FourDecimals, TheShortFormWritesTheSameTextAndValue) {
    std::mt19937_64 random(14);
    std::uniform_int_distribution<int> width(0, 17), exponent(-26, 14);
    int shortForms = 0, failures = 0;
    auto check = [&](RoundedDecimal decimal) {
        char text[kShortDecimalRoom];
        double readBack = 1;
        const std::size_t length = formatShortFourDecimals(decimal, text, readBack);
        if (length == 0 || failures > 10) return;
        ++shortForms;
        const double expected = decimalValue(roundFourDecimals(decimal));
        if (std::string(text, length) != fourDecimals(decimal) ||
            std::bit_cast<std::uint64_t>(readBack) != std::bit_cast<std::uint64_t>(expected)) {
            ++failures;
            ADD_FAILURE() << normalised(decimal) << ": \"" << std::string(text, length) << "\" " << readBack;
        }
    };
    for (int i = 0; i < kRandomValues; ++i) {
        const std::uint64_t digits = random() % (kIntegerPowersOfTen[width(random)] + 1);
        check({digits, exponent(random), (i & 1) != 0});
    }
    for (const std::uint64_t edge : {(std::uint64_t{1} << 53) - 1, std::uint64_t{1} << 53, std::uint64_t{99999999999999999}})
        for (int e = -24; e <= 14; ++e) check({edge, e, false});
    EXPECT_EQ(failures, 0);
    EXPECT_GT(shortForms, kRandomValues / 2);
}

TEST(FourDecimals, TheFloatFormIsTheShortFormOfTheFloatsDigits) {
    std::mt19937 random(15);
    std::uniform_real_distribution<float> mantissa(-10.0f, 10.0f);
    std::uniform_int_distribution<int> scale(-8, 8);
    int failures = 0;
    for (int i = 0; i < kRandomValues && failures <= 10; ++i) {
        // Every few values one that carries into a new digit at seven digits.
        const float value = i % 8 ? mantissa(random) * std::pow(10.0f, static_cast<float>(scale(random)))
                                  : std::nextafter(std::pow(10.0f, static_cast<float>(scale(random))), 0.0f);
        char text[kShortDecimalRoom], expectedText[kShortDecimalRoom];
        double n = 1, readBack = 1, expectedBack = 2;
        RoundedDecimal digits;
        const std::size_t length = formatFloatFourDecimals(value, text, n, readBack);
        ASSERT_EQ(length != 0, roundFloatDigits(value, digits)) << scientific(value, 9);
        if (length == 0) continue;
        const std::size_t expected = formatShortFourDecimals(digits, expectedText, expectedBack);
        if (std::string(text, length) != std::string(expectedText, expected) || n != decimalValue(digits) ||
            std::bit_cast<std::uint64_t>(readBack) != std::bit_cast<std::uint64_t>(expectedBack))
            ++failures, ADD_FAILURE() << scientific(value, 9) << ": \"" << std::string(text, length) << "\"";
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace pathshift

namespace pathshift {
namespace {

// Sums of four-decimal texts held as floats (arc centres) and floats near the grid's edges: where
// the quick way serves, its text is the seven digits' four-decimal text.
TEST(FourDecimals, NearTenThousandthsWriteTheFloatsText) {
    std::mt19937 random(16);
    std::uniform_int_distribution<int> tenThousandths(-9999999, 9999999);
    std::vector<float> values = {0.0f, -0.0f, 1e-30f, 0.00004f, 0.00005f, -0.00015f, 99.99995f, 99.999954f,
                                 999.99994f, 999.99996f, 1000.0f, -999.9999f, 123.45675f, 0.1f, 7.0f};
    for (int i = 0; i < kRandomValues; ++i) {
        const float a = static_cast<float>(tenThousandths(random) / 1e4), b = static_cast<float>(tenThousandths(random) / 1e5);
        values.push_back(-(a + b));
        values.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
    }
    int served = 0, failures = 0;
    for (const float value : values) {
        std::uint64_t quick;
        if (!nearTenThousandths(value, quick) || failures > 10) continue;
        ++served;
        char text[kShortDecimalRoom];
        double readBack;
        const std::string written(text, writeTenThousandths(quick, std::signbit(value), text, readBack));
        if (written != referenceFourDecimals(value, 7)) ++failures, ADD_FAILURE() << scientific(value, 9) << ": " << written;
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(served, kRandomValues / 2);
}

}  // namespace
}  // namespace pathshift
