#pragma once
// Decimal text of binary floating-point values, as the target program's words need it.

#include <cstddef>
#include <cstdint>

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

// The 64-bit float nearest to the rounded decimal (the digits read back as a number).
double decimalValue(const RoundedDecimal& decimal);

// Longest text formatFourDecimals writes: a sign, 17 digits, up to 330 zeros or places, a point.
constexpr std::size_t kMaxDecimalText = 360;

// Writes the decimal with at most four decimals, rounded half away from zero on its digits, no
// trailing zeros after the point, no point without decimals and never "-0". Returns the length.
std::size_t formatFourDecimals(const RoundedDecimal& decimal, char* out);

}  // namespace pathshift
