#include "engine/translation/word_formatter.h"

#include <bit>
#include <charconv>
#include <cstring>

namespace pathshift {
namespace {

constexpr int kFloatDigits = 7;    // significant digits a 32-bit float keeps in its text
constexpr int kDoubleDigits = 15;  // and a 64-bit float

// A character the reading of a number may go on through, so that the digits before it are not the
// whole number.
inline bool continuesNumber(char c) {
    const char lower = static_cast<char>(c | 0x20);
    return static_cast<unsigned>(c - '0') < 10 || c == '.' || c == ' ' || c == '\t' || lower == 'e' || lower == 'd';
}

// Eight bytes of text as one number, the first byte lowest.
inline std::uint64_t eightBytes(const char* p) {
    static_assert(std::endian::native == std::endian::little);
    std::uint64_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    return bytes;
}
inline char byteAt(std::uint64_t bytes, int i) { return static_cast<char>(bytes >> (8 * i)); }

}  // namespace

std::size_t sourceNumberLength(const char* lineStart, std::string_view text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    constexpr int kMaxDigits = 7, kMaxPlaces = 4;
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHigh = kOnes * 0x80;
    const char* const first = begin + (begin < end && *begin == '-');
    const std::ptrdiff_t size = end - first;
    std::uint64_t bytes;  // the text from `first`, zeros past its end
    if (size >= 8) {
        bytes = eightBytes(first);
    } else if (size <= 0) {
        return 0;
    } else if (end - lineStart >= 8) {
        bytes = eightBytes(end - 8) >> (8 * (8 - size));
    } else {
        char padded[8] = {};
        std::memcpy(padded, first, static_cast<std::size_t>(size));
        bytes = eightBytes(padded);
    }
    // A byte is a digit when it is at most 9 above '0'; the high bit marks the others.
    const std::uint64_t offsets = bytes ^ (kOnes * '0');
    const std::uint64_t others = (((offsets & ~kHigh) + kOnes * (0x80 - 10)) | offsets) & kHigh;
    if (others == 0) return 0;  // eight digits or more
    const int integer = std::countr_zero(others) >> 3;
    if (integer == 0 || (integer > 1 && byteAt(bytes, 0) == '0')) return 0;
    int length = integer;
    char after = byteAt(bytes, integer);
    if (after == '.') {
        if (integer >= kMaxDigits) return 0;
        const std::uint64_t rest = others >> (8 * (integer + 1));
        const int places = rest ? std::countr_zero(rest) >> 3 : 7 - integer;
        if (places == 0 || places > kMaxPlaces || integer + places > kMaxDigits ||
            byteAt(bytes, integer + places) == '0')
            return 0;
        length = integer + 1 + places;
        after = length < 8 ? byteAt(bytes, length) : (length < size ? first[length] : '\0');
    }
    if (continuesNumber(after)) return 0;
    return static_cast<std::size_t>(first + length - begin);
}

void WordFormatter::reset() {
    for (double& last : last_) last = kNothingWritten;
}

void WordFormatter::fill(Cached& cached, std::uint64_t bits, const RoundedDecimal& digits) {
    cached.bits = bits;
    cached.n = decimalValue(digits);
    cached.written = roundFourDecimals(digits);
    cached.writtenValue = decimalValue(cached.written);
}

void WordFormatter::fill(Cached& cached, float value) {
    RoundedDecimal digits;
    if (!roundFloatDigits(value, digits)) digits = roundSignificant(value, kFloatDigits);
    fill(cached, std::bit_cast<std::uint32_t>(value), digits);
}

void WordFormatter::fill(Cached& cached, double value) {
    fill(cached, std::bit_cast<std::uint64_t>(value), roundSignificant(value, kDoubleDigits));
}

char* WordFormatter::writeDigits(Letter letter, const Cached& cached, char* out) {
    written_ = cached.writtenValue;
    *out = kLetterChars[static_cast<std::size_t>(letter)];
    return out + 1 + writeFourDecimals(cached.written, out + 1);
}

char* WordFormatter::write(Letter letter, std::int16_t value, char* out) {
    if (!remember(letter, value)) return out;
    written_ = value;
    *out = kLetterChars[static_cast<std::size_t>(letter)];
    return std::to_chars(out + 1, out + kMaxWord, value).ptr;
}

}  // namespace pathshift
