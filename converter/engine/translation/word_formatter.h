#pragma once
// FormatWord: every address word of the target program. Coordinates and feeds that have not changed
// since they were last written are left out.

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/translation/decimal_format.h"

namespace pathshift {

// The letters the target's words are made with. DepthZ is the tool call's "-Z": written as Z, never
// left out, but remembered as the last Z.
enum class Letter : std::uint8_t { X, Y, Z, F, I, J, T, h, S, DepthZ };

class WordFormatter {
public:
    // The begin-of-scan values: the first word of each kind is always written.
    void reset();
    // The next Z word is written whatever its value: a line written as fixed text (the retract
    // before a tool call) has moved the machine to a Z the memory does not know.
    void forgetZ() { lastZ_.reset(); }

    // The word for a value held as a 32-bit float (7 significant digits), a 64-bit float
    // (15 digits) or a 16-bit integer; empty when it is left out. The view lives until the next call.
    std::string_view FormatWord(Letter letter, float value);
    std::string_view FormatWord(Letter letter, double value);
    std::string_view FormatWord(Letter letter, std::int16_t value);
    // The value the text of the word last written reads back as.
    double writtenValue() const;

private:
    std::string_view word(Letter letter, const RoundedDecimal& decimal, double n);
    // Applies the suppression and memory rules to n; false when the word is left out.
    bool remember(Letter letter, double n);

    // The value last written per letter; none before the first word or after a forgetZ.
    std::optional<double> lastX_;
    std::optional<double> lastY_;
    std::optional<double> lastZ_;
    std::optional<double> lastF_;
    // The digits of the last value formatted per letter: feeds, depths and unchanged coordinates come
    // back line after line, and their digits need not be worked out again.
    struct Cached {
        std::uint64_t bits = kNoValue;  // the value's bits
        RoundedDecimal digits;
        double n = 0;
    };
    static constexpr std::uint64_t kNoValue = ~std::uint64_t{0};  // a NaN of either width: never a value
    static constexpr int kLetterCount = 10;
    const Cached& digitsOf(Letter letter, float value);
    const Cached& digitsOf(Letter letter, double value);
    Cached floatCache_[kLetterCount];
    Cached doubleCache_[kLetterCount];
    char buffer_[kMaxDecimalText + 2];
    std::size_t written_ = 0;  // the length of the word in buffer_
};

}  // namespace pathshift
