#pragma once
// Decimal text of binary floating-point values, as the target program's words need it.

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/reading/powers_of_ten.h"

namespace pathshift {

// A value rounded to a number of significant decimal digits: digits * 10^exponent.
struct RoundedDecimal {
    std::uint64_t digits = 0;  // at most 17 decimal digits; 0 only for a zero value
    int exponent = 0;
    bool negative = false;
};

// Rounds a finite value to `precision` significant digits (1 to 17), correctly from its exact binary
// value with ties to even: the digits printf's %.{precision}g shows.
RoundedDecimal roundSignificant(double value, int precision);

namespace detail {
double decimalValueThroughText(const RoundedDecimal& decimal);
}  // namespace detail

// A 32-bit float's 7 significant digits as rounded / 10^k: rounded a whole number in [10^6, 10^7]
// (10^7 where the rounding carried into a new digit), k from 0 to 12. Floating-point arithmetic
// that is exact for the usual magnitudes (10^-6 to 10^7); false for the others.
inline bool scaleFloatDigits(float value, double& rounded, int& k) {
    constexpr int kPrecision = 7;
    constexpr double kLow = 1e6, kHigh = 1e7;  // the rounded digits lie in [kLow, kHigh]
    constexpr double kRoundingShift = 0x1p52;  // adding and subtracting it rounds to an integer, ties to even
    // A float's 24-bit mantissa times 5^k stays exact in a 64-bit float up to k = 12.
    constexpr int kMaxExactScale = 12;
    const double magnitude = std::fabs(static_cast<double>(value));
    const int binaryExponent = static_cast<int>(std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023;
    // floor(log10(magnitude)) is the estimate or one more, so k is exact or one too large.
    k = kPrecision - 1 - ((binaryExponent * 78913) >> 18);
    if (k < 0 || k > kMaxExactScale + 1) return false;
    double scaled = magnitude * kExactPowersOfTen[k];
    if (scaled >= kHigh) {
        if (k == 0) return false;
        --k;
        scaled = magnitude * kExactPowersOfTen[k];
    }
    if (k > kMaxExactScale || scaled < kLow) return false;
    rounded = (scaled + kRoundingShift) - kRoundingShift;
    return true;
}

// The same as roundSignificant(value, 7) where scaleFloatDigits serves; false for the others.
inline bool roundFloatDigits(float value, RoundedDecimal& out) {
    double rounded;
    int k;
    if (!scaleFloatDigits(value, rounded, k)) return false;
    int exponent = -k;
    if (rounded == 1e7) {
        rounded = 1e6;
        ++exponent;
    }
    out.digits = static_cast<std::uint64_t>(static_cast<std::int64_t>(rounded));  // signed: one instruction
    out.exponent = exponent;
    out.negative = std::signbit(value);
    return true;
}

// The 64-bit float nearest to the rounded decimal (the digits read back as a number).
inline double decimalValue(const RoundedDecimal& decimal) {
    if (decimal.digits >= (std::uint64_t{1} << 53) || decimal.exponent < -kLargestExactPower ||
        decimal.exponent > kLargestExactPower)
        return detail::decimalValueThroughText(decimal);
    // One correctly rounded operation on exact operands.
    const double digits = static_cast<double>(static_cast<std::int64_t>(decimal.digits));  // below 2^53
    const double value = decimal.exponent >= 0 ? digits * kExactPowersOfTen[decimal.exponent]
                                               : digits / kExactPowersOfTen[-decimal.exponent];
    return decimal.negative ? -value : value;
}

// Longest text formatFourDecimals writes: a sign, 17 digits, up to 330 zeros or places, a point.
constexpr std::size_t kMaxDecimalText = 360;

// The decimal with at most four decimals that a word writes: rounded half away from zero on its
// digits, without trailing zeros after the point, and zero without a sign.
RoundedDecimal roundFourDecimals(const RoundedDecimal& decimal);

// Writes a decimal roundFourDecimals gave: no point without decimals. Returns the length.
std::size_t writeFourDecimals(const RoundedDecimal& rounded, char* out);

// Both: the decimal with at most four decimals, never "-0". Returns the length.
inline std::size_t formatFourDecimals(const RoundedDecimal& decimal, char* out) {
    return writeFourDecimals(roundFourDecimals(decimal), out);
}

// Room formatShortFourDecimals needs at `out`: it may write a few bytes past the text's end.
constexpr std::size_t kShortDecimalRoom = 24;

// formatFourDecimals and the 64-bit float nearest its text (decimalValue of roundFourDecimals), in
// one step, for a decimal that rounds to fewer than 2^53 ten-thousandths. Returns the length, or 0
// with nothing written for the other decimals.
std::size_t formatShortFourDecimals(const RoundedDecimal& decimal, char* out, double& readBack);

namespace detail {
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The digit pair of a number below 100 as two bytes, its first digit at the lower address.
inline std::uint16_t pairBytes(unsigned pair) {
    std::uint16_t bytes;
    std::memcpy(&bytes, kDigitPairs + 2 * pair, sizeof bytes);
    return bytes;
}

// Writes the decimal digits of a number at p; returns the end.
char* writeWholeDigits(std::uint64_t value, char* p);
}  // namespace detail

// The four-decimal text of `tenThousandths` (below 2^53) ten-thousandths, never "-0", at `out`
// (room kShortDecimalRoom), and the 64-bit float it reads back as. Returns the length. Inline: the
// arc centres of a program's every arc are written with it.
inline std::size_t writeTenThousandths(std::uint64_t tenThousandths, bool negative, char* out, double& readBack) {
    constexpr std::uint64_t kScale = 10000;
    if (tenThousandths == 0) {  // never "-0"
        *out = '0';
        readBack = 0.0;
        return 1;
    }
    const double magnitude = static_cast<double>(static_cast<std::int64_t>(tenThousandths)) / 1e4;
    readBack = negative ? -magnitude : magnitude;
    char* p = out;
    *p = '-';
    p += negative;
    const std::uint64_t whole = tenThousandths / kScale;
    if (whole < 100) {  // most words: one or two digits from their pair, the one digit being its second
        const auto pair = static_cast<unsigned>(whole) * 2;
        const bool two = whole >= 10;
        p[0] = detail::kDigitPairs[pair + !two];
        p[1] = detail::kDigitPairs[pair + 1];
        p += 1 + two;
    } else {
        p = detail::writeWholeDigits(whole, p);
    }
    const auto fraction = static_cast<unsigned>(tenThousandths - whole * kScale);
    if (fraction == 0) return static_cast<std::size_t>(p - out);
    // The four places as one word, the first in its lowest byte: the trailing zeros left out are
    // its top bytes that hold '0'.
    static_assert(std::endian::native == std::endian::little);
    const std::uint32_t places =
        detail::pairBytes(fraction / 100) | std::uint32_t{detail::pairBytes(fraction % 100)} << 16;
    *p = '.';
    std::memcpy(p + 1, &places, sizeof places);
    const int zeros = std::countl_zero(places - 0x30303030u) / 8;  // the word less '0's is not 0
    return static_cast<std::size_t>(p + 5 - zeros - out);
}

// digits / 10^drop (drop up to 19), rounded half away from zero.
inline std::uint64_t dropDigitsHalfAway(std::uint64_t digits, int drop) {
    const std::uint64_t divisor = kIntegerPowersOfTen[drop];
    const std::uint64_t remainder = digits % divisor;
    return digits / divisor + (remainder >= divisor - remainder);
}

// For scaleFloatDigits' rounded / 10^k: its decimalValue as roundFloatDigits gives it (after a carry
// 10^6 / 10^(k - 1), the same number), read back in one correctly rounded division.
inline double floatDigitsValue(double rounded, int k, bool negative) {
    const double magnitude = rounded / kExactPowersOfTen[k];
    return negative ? -magnitude : magnitude;
}

// The same number's ten-thousandths, rounded half away from zero as formatShortFourDecimals rounds
// them: rounded * 10^(4 - k), exact below 10^11, or the rounding of rounded / 10^(k - 4).
inline std::uint64_t floatTenThousandths(double rounded, int k) {
    if (k <= 4) return static_cast<std::uint64_t>(static_cast<std::int64_t>(rounded * kExactPowersOfTen[4 - k]));
    return dropDigitsHalfAway(static_cast<std::uint64_t>(static_cast<std::int64_t>(rounded)), k - 4);
}

// The ten-thousandths of a float's four-decimal text, found without its seven significant digits
// where they are not needed: below 1000, where the float lies within 0.4 ten-thousandths (plus the
// product's rounding, below 1e-9 of them) of a whole number S of them. Its seven digits r lie on a
// grid of at most one ten-thousandth: of exactly one (100 to 1000), r is the grid point nearest
// the float, S itself; of at most 1e-5, r is within 0.05 + 0.4 ten-thousandths of S, and rounding
// r to four places gives S. So the text is S's; false for the other floats.
inline bool nearTenThousandths(float value, std::uint64_t& tenThousandths) {
    constexpr double kRoundingShift = 0x1p52;  // adding and subtracting it rounds to an integer
    const double scaled = std::fabs(static_cast<double>(value)) * 1e4;
    if (!(scaled < 1e7)) return false;  // NaN included
    const double whole = (scaled + kRoundingShift) - kRoundingShift;
    if (!(std::fabs(scaled - whole) <= 0.4)) return false;
    tenThousandths = static_cast<std::uint64_t>(static_cast<std::int64_t>(whole));  // signed: one instruction
    return true;
}

// For a float that scaleFloatDigits serves: formatShortFourDecimals of its roundFloatDigits, and
// their decimalValue as `n`. Returns 0 with nothing written for the other floats.
inline std::size_t formatFloatFourDecimals(float value, char* out, double& n, double& readBack) {
    double rounded;
    int k;
    if (!scaleFloatDigits(value, rounded, k)) return 0;
    const bool negative = std::signbit(value);
    n = floatDigitsValue(rounded, k, negative);
    return writeTenThousandths(floatTenThousandths(rounded, k), negative, out, readBack);
}

}  // namespace pathshift
