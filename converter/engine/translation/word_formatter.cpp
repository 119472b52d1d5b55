#include "engine/translation/word_formatter.h"

#include <bit>
#include <charconv>
#include <cstring>

namespace pathshift {
namespace {

constexpr int kFloatDigits = 7;    // significant digits a 32-bit float keeps in its text
constexpr int kDoubleDigits = 15;  // and a 64-bit float

}  // namespace

void WordFormatter::reset() {
    for (double& last : last_) last = kNothingWritten;
    for (Letter letter : {Letter::X, Letter::Y, Letter::Z, Letter::F}) forgetLeftOut(letter);
}

void WordFormatter::fill(Cached& cached, std::uint64_t bits, const RoundedDecimal& digits) {
    cached.bits = bits;
    cached.n = decimalValue(digits);
    cached.textLength = formatShortFourDecimals(digits, cached.text, cached.writtenValue);
    if (cached.textLength != 0) return;
    cached.written = roundFourDecimals(digits);
    cached.writtenValue = decimalValue(cached.written);
}

void WordFormatter::fill(Cached& cached, float value) {
    cached.textLength = formatFloatFourDecimals(value, cached.text, cached.n, cached.writtenValue);
    if (cached.textLength != 0) {
        cached.bits = std::bit_cast<std::uint32_t>(value);
        return;
    }
    fill(cached, std::bit_cast<std::uint32_t>(value), roundSignificant(value, kFloatDigits));
}

void WordFormatter::fill(Cached& cached, double value) {
    fill(cached, std::bit_cast<std::uint64_t>(value), roundSignificant(value, kDoubleDigits));
}

char* WordFormatter::writeDigits(Letter letter, const Cached& cached, char* out) {
    written_ = cached.writtenValue;
    *out = kLetterChars[static_cast<std::size_t>(letter)];
    if (cached.textLength != 0) {  // the whole room: a fixed-size copy, within the word's kMaxWord
        std::memcpy(out + 1, cached.text, kShortDecimalRoom);
        return out + 1 + cached.textLength;
    }
    return out + 1 + writeFourDecimals(cached.written, out + 1);
}

char* WordFormatter::writeCachedFloat(Letter letter, float value, char* out) {
    return writeCached(letter, [&]() -> Cached& { return floatSlot(letter); }, value, out);
}

char* WordFormatter::write(Letter letter, std::int16_t value, char* out) {
    if (!remember(letter, value)) return out;
    written_ = value;
    *out = kLetterChars[static_cast<std::size_t>(letter)];
    return std::to_chars(out + 1, out + kMaxWord, value).ptr;
}

}  // namespace pathshift
