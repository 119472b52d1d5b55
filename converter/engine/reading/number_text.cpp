#include "engine/reading/number_text.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

namespace pathshift {
namespace {

// Decimal mantissas up to this many digits fit a 64-bit integer.
constexpr int kMaxMantissaDigits = 19;
// Exponents are saturated here: anything beyond is already far outside a 64-bit float.
constexpr long kExponentLimit = 100000;
// Integers up to here are exact in a 64-bit float.
constexpr std::uint64_t kTwoTo53 = std::uint64_t{1} << 53;

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isExponentLetter(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// The digits of a number in a normalised form: significant digits without leading zeros, and the
// power of ten of the first one.
struct DecimalText {
    std::string digits;  // no leading zeros; empty for zero
    long pointExponent = 0;  // value = 0.digits * 10^pointExponent
};

// Correctly rounded conversion of normalised decimal digits, for the rare texts the fast path
// cannot take (long mantissas, large exponents).
NumberRead convertSlow(const DecimalText& text, bool negative) {
    NumberRead result;
    if (text.digits.empty()) {
        result.value = negative ? -0.0 : 0.0;
        return result;
    }
    // 0.d1d2... * 10^p: above 10^309 certainly overflows, below 10^-400 certainly underflows.
    if (text.pointExponent > 310) {
        result.overflow = true;
        return result;
    }
    if (text.pointExponent < -400) {
        result.value = negative ? -0.0 : 0.0;
        return result;
    }
    std::string buffer = "0." + text.digits + "e" + std::to_string(text.pointExponent);
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                     std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (text.pointExponent > 0) {
            result.overflow = true;
            return result;
        }
        value = 0.0;
    } else if (std::isinf(value)) {
        result.overflow = true;
        return result;
    }
    result.value = negative ? -value : value;
    return result;
}

// Skips leading blanks and reads an optional sign; true for a minus.
bool readBlanksAndSign(const char*& p, const char* end) {
    while (p < end && isBlank(*p)) ++p;
    if (p < end && (*p == '+' || *p == '-')) return *p++ == '-';
    return false;
}

// Reads the exponent part after an exponent letter at p. Returns false when no digit follows (the
// letter then ends the number and the exponent does not count).
bool readExponent(const char*& p, const char* end, long& exponent) {
    const char* q = p + 1;
    while (q < end && isBlank(*q)) ++q;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    bool anyDigit = false;
    long value = 0;
    for (; q < end; ++q) {
        if (isDigit(*q)) {
            anyDigit = true;
            if (value < kExponentLimit) value = value * 10 + (*q - '0');
        } else if (!isBlank(*q)) {
            break;
        }
    }
    if (!anyDigit) return false;
    exponent = negative ? -value : value;
    p = q;
    return true;
}

// Collects the digits of the mantissa between begin and end (blanks and one point skipped) into
// normalised form.
DecimalText normalise(const char* begin, const char* end, long exponent) {
    DecimalText text;
    long integerDigits = 0;
    long leadingFractionZeros = 0;
    bool point = false;
    for (const char* p = begin; p < end; ++p) {
        char c = *p;
        if (c == '.') {
            point = true;
        } else if (isDigit(c)) {
            if (text.digits.empty() && c == '0') {
                if (point) ++leadingFractionZeros;
                continue;
            }
            text.digits.push_back(c);
            if (!point) ++integerDigits;
        }
    }
    while (!text.digits.empty() && text.digits.back() == '0') text.digits.pop_back();
    text.pointExponent = integerDigits - leadingFractionZeros + exponent;
    return text;
}

}  // namespace

NumberRead detail::readGeneralNumber(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = readBlanksAndSign(p, end);

    const char* const mantissaBegin = p;
    std::uint64_t mantissa = 0;
    int mantissaDigits = 0;  // significant digits held in mantissa
    int fractionDigits = 0;  // digits after the point that are held (or leading zeros) in mantissa
    bool lostDigits = false;  // more significant digits than mantissa holds
    bool anyDigit = false;
    bool point = false;
    for (; p < end; ++p) {
        char c = *p;
        if (isDigit(c)) {
            anyDigit = true;
            if (mantissaDigits < kMaxMantissaDigits) {
                if (mantissa != 0 || c != '0') {
                    mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
                    ++mantissaDigits;
                }
                if (point) ++fractionDigits;
            } else {
                lostDigits = true;
            }
        } else if (c == '.') {
            if (point) break;
            point = true;
        } else if (!isBlank(c)) {
            break;
        }
    }
    const char* const mantissaEnd = p;

    NumberRead result;
    if (!anyDigit) return result;

    long exponent = 0;
    if (p < end && isExponentLetter(*p)) readExponent(p, end, exponent);

    if (mantissa == 0 && !lostDigits) {
        result.value = negative ? -0.0 : 0.0;
        return result;
    }
    if (!lostDigits && mantissa <= kTwoTo53) {
        long power = exponent - fractionDigits;
        if (power >= -kLargestExactPower && power <= kLargestExactPower) {
            double value = static_cast<double>(mantissa);
            value = power >= 0 ? value * kExactPowersOfTen[power] : value / kExactPowersOfTen[-power];
            result.value = negative ? -value : value;
            return result;
        }
    }
    return convertSlow(normalise(mantissaBegin, mantissaEnd, exponent), negative);
}

std::optional<double> readStrictNumber(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = readBlanksAndSign(p, end);
    const char* const mantissaBegin = p;
    bool anyDigit = false;
    bool point = false;
    for (; p < end; ++p) {
        if (isDigit(*p)) {
            anyDigit = true;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return std::nullopt;
    const char* const mantissaEnd = p;

    long exponent = 0;
    if (p < end && isExponentLetter(*p)) {
        ++p;
        bool exponentNegative = false;
        if (p < end && (*p == '+' || *p == '-')) {
            exponentNegative = *p == '-';
            ++p;
        }
        bool exponentDigit = false;
        long value = 0;
        for (; p < end && isDigit(*p); ++p) {
            exponentDigit = true;
            if (value < kExponentLimit) value = value * 10 + (*p - '0');
        }
        if (!exponentDigit) return std::nullopt;
        exponent = exponentNegative ? -value : value;
    }
    while (p < end && isBlank(*p)) ++p;
    if (p != end) return std::nullopt;

    NumberRead read = convertSlow(normalise(mantissaBegin, mantissaEnd, exponent), negative);
    if (read.overflow) return std::nullopt;
    return read.value;
}

std::optional<std::int16_t> roundToInt16(double value) {
    if (std::isnan(value)) return std::nullopt;
    double rounded = std::nearbyint(value);  // the default rounding mode sends halves to even
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

}  // namespace pathshift
