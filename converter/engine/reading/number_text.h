#pragma once
// Numbers read from program text and from the operator's fields.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "engine/reading/powers_of_ten.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pathshift {

// The shape of a plain number text, [sign] digits [. digits] with nothing after it that would go on
// with the number (a digit, blank, point or exponent letter): what a writer needs to tell whether
// the text is already the one it would write, without reading it again.
struct PlainNumber {
    std::uint8_t length = 0;  // of the text, sign and point included; 0 when it is not plain
    std::uint8_t whole = 0;   // digits before the point
    std::uint8_t places = 0;  // digits after it
    bool point = false;
};

struct NumberRead {
    double value = 0.0;
    bool overflow = false;  // the text names a number beyond the range of a 64-bit float
    PlainNumber plain;      // given for plain texts of up to 19 digits
};

// The lenient leading-number rule used for every word of a source line and every tool-table cell:
// blanks and tabs are skipped anywhere, an optional sign, digits with at most one point, an optional
// exponent (E, e, D or d, optional sign, at least one digit). Reading stops at the first other
// character; text without a digit reads as 0. The value is the correctly rounded 64-bit float.
namespace detail {
NumberRead readGeneralNumber(std::string_view text);
inline bool isDigit(char c) { return static_cast<unsigned>(c - '0') < 10; }

// What may continue a number after [sign] digits [. digits]: a blank, a point, an exponent letter.
inline constexpr std::array<bool, 256> kNumberGoesOn = [] {
    std::array<bool, 256> goesOn{};
    for (const char c : {' ', '\t', '.', 'E', 'e', 'D', 'd'}) goesOn[static_cast<unsigned char>(c)] = true;
    return goesOn;
}();
}  // namespace detail

#if defined(__SSE2__)
namespace detail {

// The value of eight digit values in the bytes of a word, the first byte the most significant
// digit: pairs, then fours, then all eight, each step within lanes it cannot overflow.
inline std::uint64_t eightDigitsValue(std::uint64_t digits) {
    digits = ((digits * 10) + (digits >> 8)) & 0x00FF00FF00FF00FF;
    digits = ((digits * 100) + (digits >> 16)) & 0x0000FFFF0000FFFF;
    return ((digits * 10000) + (digits >> 32)) & 0xFFFFFFFF;
}

// The size of `whole` digits, then a point when `point`, then `fraction` digits, the text at p
// with eight bytes readable, at most eight digits in all (seven around a point). Mantissa and
// power of ten are exact, so the one division gives the correctly rounded value, as the
// byte-by-byte reading does.
inline double shortDigitsValue(const char* p, int whole, int fraction, bool point) {
    std::uint64_t text;
    std::memcpy(&text, p, sizeof text);
    if (point) {
        // The point out, the fraction digits moved down a byte behind the whole ones.
        const std::uint64_t wholeBytes = (std::uint64_t{1} << (8 * whole)) - 1;
        text = (text & wholeBytes) | ((text >> 8) & ~wholeBytes);
    }
    // Digit values moved to the top of the word: the bytes below them are leading zeros.
    text = (text - 0x3030303030303030) << (8 * (8 - whole - fraction));
    return static_cast<double>(eightDigitsValue(text)) / kExactPowersOfTen[fraction];
}

// [sign] digits [. digits] with at most eight digits (seven around a point), from a text of at
// least 17 bytes: the digits are found sixteen bytes at a time and valued eight at a time. True
// with the value and its plain shape, false for every other text.
inline bool readShortNumber(const char* start, NumberRead& read) {
    const char* p = start;
    const bool negative = *p == '-';
    p += negative || *p == '+';
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto digits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmplt_epi8(
        _mm_add_epi8(bytes, _mm_set1_epi8(static_cast<char>(128 - '0'))), _mm_set1_epi8(static_cast<char>(-128 + 10)))));
    const std::uint32_t others = ~digits;
    const int whole = std::countr_zero(others);
    if (whole > 8) return false;
    int count = whole, fraction = 0;
    const bool point = p[whole] == '.';
    if (point) {
        fraction = std::countr_zero(others >> (whole + 1));
        count += fraction;
        if (count > 7) return false;
    }
    if (count == 0 || kNumberGoesOn[static_cast<unsigned char>(p[count + point])]) return false;
    const double value = shortDigitsValue(p, whole, fraction, point);
    p += point;
    read.value = negative ? -value : value;
    read.overflow = false;
    read.plain = {static_cast<std::uint8_t>(p + count - start), static_cast<std::uint8_t>(whole),
                  static_cast<std::uint8_t>(fraction), point};
    return true;
}

}  // namespace detail
#endif

// The usual shape of a word's number, [sign] digits [. digits] not followed by a blank, point or
// exponent letter, is read inline; every other text goes to the general reading.
inline NumberRead readLeadingNumber(std::string_view text) {
#if defined(__SSE2__)
    if constexpr (std::endian::native == std::endian::little) {
        NumberRead read;
        if (text.size() >= 17) {
            // One digit alone, as in most G and M words.
            const char next = text[1];
            if (detail::isDigit(text[0]) && !detail::isDigit(next) && !detail::kNumberGoesOn[static_cast<unsigned char>(next)])
                return NumberRead{static_cast<double>(text[0] - '0'), false, {1, 1, 0, false}};
            if (detail::readShortNumber(text.data(), read)) return read;
        }
    }
#endif
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
    const bool point = p < end && *p == '.';
    if (point) {
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
    return NumberRead{negative ? -value : value, false,
                      {static_cast<std::uint8_t>(p - text.data()), static_cast<std::uint8_t>(integerDigits),
                       static_cast<std::uint8_t>(fractionDigits), point}};
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
