#pragma once
// Numbers read from program text and from the operator's fields.

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/reading/powers_of_ten.h"

namespace pathshift {

struct NumberRead {
    double value = 0.0;
    bool overflow = false;  // the text names a number beyond the range of a 64-bit float
};

// The lenient leading-number rule used for every word of a source line and every tool-table cell:
// blanks and tabs are skipped anywhere, an optional sign, digits with at most one point, an optional
// exponent (E, e, D or d, optional sign, at least one digit). Reading stops at the first other
// character; text without a digit reads as 0. The value is the correctly rounded 64-bit float.
namespace detail {
NumberRead readGeneralNumber(std::string_view text);
inline bool isDigit(char c) { return static_cast<unsigned>(c - '0') < 10; }
}  // namespace detail

// The usual shape of a word's number, [sign] digits [. digits] not followed by a blank, point or
// exponent letter, is read inline; every other text goes to the general reading.
inline NumberRead readLeadingNumber(std::string_view text) {
    constexpr long kMaxPlainDigits = 19;               // fit a 64-bit integer
    constexpr std::uint64_t kExactMantissa = 1ull << 53;  // exact in a 64-bit float
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    const char* const digits = p;
    std::uint64_t mantissa = 0;
    while (p < end && detail::isDigit(*p)) mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
    const long integerDigits = p - digits;
    long fractionDigits = 0;
    if (p < end && *p == '.') {
        const char* const fraction = ++p;
        while (p < end && detail::isDigit(*p)) mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
        fractionDigits = p - fraction;
    }
    const long allDigits = integerDigits + fractionDigits;
    const bool mayContinue = p < end && (*p == ' ' || *p == '\t' || *p == '.' || *p == 'E' || *p == 'e' ||
                                         *p == 'D' || *p == 'd');
    if (allDigits == 0 || allDigits > kMaxPlainDigits || mayContinue || mantissa > kExactMantissa ||
        fractionDigits > kLargestExactPower)
        return detail::readGeneralNumber(text);
    // One correctly rounded division of exact operands.
    const double value = static_cast<double>(mantissa) / kExactPowersOfTen[fractionDigits];
    return NumberRead{negative ? -value : value, false};
}

// The strict rule for the thickness: blanks, an optional sign, digits with at most one point and at
// least one digit, an optional exponent (E, e, D or d, optional sign, digits), blanks; nothing else.
// Empty when the text does not follow the rule or names a number beyond a 64-bit float.
std::optional<double> readStrictNumber(std::string_view text);

// Narrowing into the 32-bit float a word is held in; empty when the value rounds beyond its range.
inline std::optional<float> narrowToFloat(double value) {
    // Values from the largest float up to half a unit beyond it round to the largest float; the
    // half-way point itself rounds to even, which is infinity.
    constexpr double kLargest = 0x1.fffffep127;
    constexpr double kFirstOverflow = 0x1.ffffffp127;
    const double magnitude = value < 0 ? -value : value;
    if (magnitude <= kLargest) return static_cast<float>(value);
    if (magnitude < kFirstOverflow) return static_cast<float>(value < 0 ? -kLargest : kLargest);
    return std::nullopt;  // beyond the range, or not a number
}

// Rounding to the nearest integer, halves to the even neighbour, into a 16-bit integer; empty when
// the result lies outside -32768..32767.
std::optional<std::int16_t> roundToInt16(double value);

}  // namespace pathshift
