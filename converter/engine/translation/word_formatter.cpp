#include "engine/translation/word_formatter.h"

#include <bit>
#include <charconv>

#include "engine/reading/number_text.h"

namespace pathshift {
namespace {

constexpr int kFloatDigits = 7;    // significant digits a 32-bit float keeps in its text
constexpr int kDoubleDigits = 15;  // and a 64-bit float
constexpr double kUnwrittenFeed = 40.0;  // a feed of 40 is never written

char letterChar(Letter letter) {
    switch (letter) {
        case Letter::X: return 'X';
        case Letter::Y: return 'Y';
        case Letter::Z:
        case Letter::DepthZ: return 'Z';
        case Letter::F: return 'F';
        case Letter::I: return 'I';
        case Letter::J: return 'J';
        case Letter::T: return 'T';
        case Letter::h: return 'h';
        case Letter::S: return 'S';
    }
    return '?';
}

}  // namespace

void WordFormatter::reset() {
    lastX_.reset();
    lastY_.reset();
    lastZ_.reset();
    lastF_.reset();
}

bool WordFormatter::remember(Letter letter, double n) {
    switch (letter) {
        case Letter::X:
            if (n == lastX_) return false;
            lastX_ = n;
            return true;
        case Letter::Y:
            if (n == lastY_) return false;
            lastY_ = n;
            return true;
        case Letter::Z:
            if (n == lastZ_) return false;
            lastZ_ = n;
            return true;
        case Letter::DepthZ:
            lastZ_ = n;
            return true;
        case Letter::F:
            if (n == lastF_ || n == kUnwrittenFeed) return false;
            lastF_ = n;
            return true;
        default:
            return true;
    }
}

std::string_view WordFormatter::word(Letter letter, const RoundedDecimal& decimal, double n) {
    if (!remember(letter, n)) return {};
    buffer_[0] = letterChar(letter);
    written_ = formatFourDecimals(decimal, buffer_ + 1) + 1;
    return std::string_view(buffer_, written_);
}

const WordFormatter::Cached& WordFormatter::digitsOf(Letter letter, float value) {
    const std::uint64_t bits = std::bit_cast<std::uint32_t>(value);
    Cached& cached = floatCache_[static_cast<std::size_t>(letter)];
    if (cached.bits != bits) {
        if (!roundFloatDigits(value, cached.digits)) cached.digits = roundSignificant(value, kFloatDigits);
        cached.n = decimalValue(cached.digits);
        cached.bits = bits;
    }
    return cached;
}

const WordFormatter::Cached& WordFormatter::digitsOf(Letter letter, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    Cached& cached = doubleCache_[static_cast<std::size_t>(letter)];
    if (cached.bits != bits) {
        cached.digits = roundSignificant(value, kDoubleDigits);
        cached.n = decimalValue(cached.digits);
        cached.bits = bits;
    }
    return cached;
}

std::string_view WordFormatter::FormatWord(Letter letter, float value) {
    const Cached& cached = digitsOf(letter, value);
    return word(letter, cached.digits, cached.n);
}

std::string_view WordFormatter::FormatWord(Letter letter, double value) {
    const Cached& cached = digitsOf(letter, value);
    return word(letter, cached.digits, cached.n);
}

std::string_view WordFormatter::FormatWord(Letter letter, std::int16_t value) {
    if (!remember(letter, value)) return {};
    buffer_[0] = letterChar(letter);
    auto [end, ec] = std::to_chars(buffer_ + 1, buffer_ + sizeof buffer_, value);
    (void)ec;
    written_ = static_cast<std::size_t>(end - buffer_);
    return std::string_view(buffer_, written_);
}

double WordFormatter::writtenValue() const {
    return readLeadingNumber(std::string_view(buffer_ + 1, written_ - 1)).value;
}

}  // namespace pathshift
