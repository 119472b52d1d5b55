#include "engine/translation/decimal_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace pathshift {
namespace {

using u128 = unsigned __int128;


struct WidePowers {
    u128 value[39];
    constexpr WidePowers() : value() {
        value[0] = 1;
        for (int i = 1; i < 39; ++i) value[i] = value[i - 1] * 10;
    }
};
constexpr WidePowers kWidePowers;
inline u128 pow10Wide(int n) { return kWidePowers.value[n]; }  // n <= 38

// The common case in 64 bits: a value below 2^64 with a fractional binary part, scaled up by 10^k.
// Same contract as roundExact.
inline bool roundNarrow(std::uint64_t m, int e, int k, int precision, RoundedDecimal& out, bool& tooLarge) {
    tooLarge = false;
    if (e >= 0 || e < -63 || k < 0 || k > 19) return false;
    std::uint64_t numerator;
    if (__builtin_mul_overflow(m, kIntegerPowersOfTen[k], &numerator)) return false;
    const int shift = -e;
    std::uint64_t quotient = numerator >> shift;
    const std::uint64_t remainder = numerator & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    const std::uint64_t upper = kIntegerPowersOfTen[precision];
    if (quotient >= upper) {
        tooLarge = true;
        return false;
    }
    if (remainder > half || (remainder == half && (quotient & 1))) ++quotient;
    int exponent = -k;
    if (quotient == upper) {
        quotient /= 10;
        ++exponent;
    }
    out.digits = quotient;
    out.exponent = exponent;
    return true;
}

int bitWidth(u128 x) {
    const auto high = static_cast<std::uint64_t>(x >> 64);
    return high ? 64 + std::bit_width(high) : std::bit_width(static_cast<std::uint64_t>(x));
}

// Exact rounding through a 128-bit quotient: value = m * 2^e is scaled by 10^k so that `precision`
// digits stand before the point, and the quotient is rounded half to even. Returns false where the
// numbers do not fit 128 bits; the general path then does the work.
bool roundExact(std::uint64_t m, int e, int precision, RoundedDecimal& out) {
    // floor(log10(2^(width - 1 + e))) is floor(log10(value)) or one less.
    const int binaryMagnitude = std::bit_width(m) - 1 + e;
    int decimalMagnitude = (binaryMagnitude * 78913) >> 18;  // floor(x * log10(2)) for |x| < 1650
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int k = precision - 1 - decimalMagnitude;
        bool tooLarge;
        if (roundNarrow(m, e, k, precision, out, tooLarge)) return true;
        if (tooLarge) {  // the magnitude estimate was one too low
            ++decimalMagnitude;
            continue;
        }
        if (k > 38 || k < -38) return false;
        u128 numerator = m;
        u128 denominator = 1;
        if (k >= 0) {
            if (std::bit_width(m) + 4 * k > 127) return false;  // log2(10) < 4
            numerator *= pow10Wide(k);
        } else {
            denominator = pow10Wide(-k);
        }
        u128 quotient;
        u128 remainder;
        if (e >= 0) {
            if (bitWidth(numerator) + e > 127) return false;
            numerator <<= e;
            quotient = numerator / denominator;
            remainder = numerator % denominator;
        } else if (denominator == 1) {  // the usual case: a power of two, divided by shifting
            if (-e > 126) return false;
            denominator <<= -e;
            quotient = numerator >> -e;
            remainder = numerator & (denominator - 1);
        } else {
            if (bitWidth(denominator) - e > 126) return false;
            denominator <<= -e;
            quotient = numerator / denominator;
            remainder = numerator % denominator;
        }
        const u128 upper = kIntegerPowersOfTen[precision];
        if (quotient >= upper) {  // the magnitude estimate was one too low
            ++decimalMagnitude;
            continue;
        }
        const u128 twice = remainder << 1;
        if (twice > denominator || (twice == denominator && (quotient & 1))) ++quotient;
        int exponent = -k;
        if (quotient == upper) {
            quotient /= 10;
            ++exponent;
        }
        out.digits = static_cast<std::uint64_t>(quotient);
        out.exponent = exponent;
        return true;
    }
    return false;
}

// General path: the standard library's exact scientific formatting, read back into digits.
[[gnu::noinline]] RoundedDecimal roundThroughText(double magnitude, int precision) {
    char text[64];
    auto [end, ec] = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific,
                                   precision - 1);
    (void)ec;
    RoundedDecimal out;
    const char* p = text;
    int fractionDigits = 0;
    bool point = false;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.') {
            point = true;
            continue;
        }
        out.digits = out.digits * 10 + static_cast<unsigned>(*p - '0');
        if (point) ++fractionDigits;
    }
    int exponent = 0;
    if (p < end) std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, exponent);
    out.exponent = exponent - fractionDigits;
    return out;
}

using detail::kDigitPairs;

// Writes the decimal digits of a number at p; returns the end.
char* writeDigits(std::uint64_t value, char* p) {
    constexpr const char* kPairs = kDigitPairs;
    // floor(bits * log10(2)) digits, one more where the value reaches the next power of ten. value | 1
    // has as many digits as value (an even value below a power of ten stays below it) and is never 0.
    const std::uint64_t nonZero = value | 1;
    const int estimate = (std::bit_width(nonZero) * 1233) >> 12;  // at most 19
    const int length = estimate + (nonZero >= kIntegerPowersOfTen[estimate]);
    char* q = p + length;
    while (value >= 100) {
        const auto pair = static_cast<unsigned>(value % 100) * 2;
        value /= 100;
        *--q = kPairs[pair + 1];
        *--q = kPairs[pair];
    }
    if (value >= 10) {
        const auto pair = static_cast<unsigned>(value) * 2;
        *--q = kPairs[pair + 1];
        *--q = kPairs[pair];
    } else {
        *--q = static_cast<char>('0' + value);
    }
    return p + length;
}

// A fraction of ten-thousandths (below 10^4) as four digits.
inline void writeFourPlaces(unsigned fraction, char* p) {
    const unsigned high = fraction / 100 * 2, low = fraction % 100 * 2;
    p[0] = kDigitPairs[high];
    p[1] = kDigitPairs[high + 1];
    p[2] = kDigitPairs[low];
    p[3] = kDigitPairs[low + 1];
}

}  // namespace

char* detail::writeWholeDigits(std::uint64_t value, char* p) { return writeDigits(value, p); }

RoundedDecimal roundSignificant(double value, int precision) {
    RoundedDecimal out;
    out.negative = std::signbit(value);
    double magnitude = std::fabs(value);
    if (magnitude == 0.0) return out;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int e;
    if (biased == 0) {
        e = -1074;
    } else {
        m |= std::uint64_t{1} << 52;
        e = biased - 1075;
    }
    // Drop trailing zero bits: smaller numbers keep the wide arithmetic in range.
    const int zeros = std::countr_zero(m);
    m >>= zeros;
    e += zeros;
    RoundedDecimal fast;
    if (roundExact(m, e, precision, fast)) {
        fast.negative = out.negative;
        return fast;
    }
    RoundedDecimal slow = roundThroughText(magnitude, precision);
    slow.negative = out.negative;
    return slow;
}

double detail::decimalValueThroughText(const RoundedDecimal& decimal) {
    char text[48];
    char* end = std::to_chars(text, text + 24, decimal.digits).ptr;
    *end++ = 'e';
    end = std::to_chars(end, text + sizeof text, decimal.exponent).ptr;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text, end, value, std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Beyond the range: as a C library reads it, infinity above and zero below.
        value = decimal.exponent > 0 ? HUGE_VAL : 0.0;
    }
    return decimal.negative ? -value : value;
}

RoundedDecimal roundFourDecimals(const RoundedDecimal& decimal) {
    std::uint64_t digits = decimal.digits;
    int exponent = decimal.exponent;
    if (exponent < -4) {
        const int drop = -4 - exponent;
        if (drop > 19) {
            digits = 0;
        } else {
            digits = dropDigitsHalfAway(digits, drop);
        }
        exponent = -4;
    }
    if (digits == 0) return {};  // also what a negative value rounds to: never "-0"
    while (exponent < 0 && digits % 10 == 0) {
        digits /= 10;
        ++exponent;
    }
    return {digits, exponent, decimal.negative};
}

std::size_t writeFourDecimals(const RoundedDecimal& rounded, char* out) {
    const std::uint64_t digits = rounded.digits;
    const int exponent = rounded.exponent;
    char* p = out;
    if (digits == 0) {
        *p++ = '0';
        return 1;
    }
    if (rounded.negative) *p++ = '-';
    if (exponent >= 0) {
        p = writeDigits(digits, p);
        for (int i = 0; i < exponent; ++i) *p++ = '0';
        return static_cast<std::size_t>(p - out);
    }
    const int places = -exponent;  // 1 to 4, the last one not 0
    const std::uint64_t scale = kIntegerPowersOfTen[places];
    p = writeDigits(digits / scale, p);
    *p++ = '.';
    // The fraction as four digits, of which the first `places` are written.
    writeFourPlaces(static_cast<unsigned>(digits % scale * kIntegerPowersOfTen[4 - places]), p);
    p += places;
    return static_cast<std::size_t>(p - out);
}

// The same text as writeFourDecimals(roundFourDecimals(decimal)): both round to t ten-thousandths
// the same way; stripping the trailing zeros keeps the value t / 10^4, whose whole part and up to four
// places, the last not 0, are the text. Below 2^53, t and every stripped form of it are exact 64-bit
// floats, so decimalValue's one correctly rounded operation gives the nearest float to t / 10^4, which
// t / 1e4 also is.
std::size_t formatShortFourDecimals(const RoundedDecimal& decimal, char* out, double& readBack) {
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 53;
    std::uint64_t tenThousandths;  // the value times 10^4, rounded half away from zero
    if (decimal.exponent >= -4) {
        if (decimal.exponent > 12) return 0;  // 10^16 ten-thousandths are past 2^53
        if (__builtin_mul_overflow(decimal.digits, kIntegerPowersOfTen[decimal.exponent + 4], &tenThousandths))
            return 0;
    } else {
        const int drop = -4 - decimal.exponent;
        tenThousandths = drop > 19 ? 0 : dropDigitsHalfAway(decimal.digits, drop);
    }
    if (tenThousandths >= kLimit) return 0;
    return writeTenThousandths(tenThousandths, decimal.negative, out, readBack);
}

}  // namespace pathshift
