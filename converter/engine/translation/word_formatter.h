#pragma once
// FormatWord: every address word of the target program. Coordinates and feeds that have not changed
// since they were last written are left out.

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "engine/reading/tarvo_block.h"
#include "engine/translation/decimal_format.h"

namespace pathshift {

// The letters the target's words are made with. DepthZ is the tool call's "-Z": written as Z, never
// left out, but remembered as the last Z.
enum class Letter : std::uint8_t { X, Y, Z, F, I, J, T, h, S, DepthZ };

// A source word's number text is copied when it is already the text the word's value, held as a
// 32-bit float, is written as (up to the sign). The shape: an optional minus, "0" or digits without
// a leading zero, then optionally a point and one to four decimals, the last not 0; at most seven
// digits in all; and nothing after them that would go on with the number. Such a decimal d lies in
// [0.0001, 9999999], and the 32-bit float nearest to the 64-bit float nearest to d (the word as
// read and held) rounds back to d at seven significant digits: a test checks every such d. The
// four-decimal text of d is then the text itself, and the value the general way remembers, the
// 64-bit float nearest to d, is the value read.
namespace detail {
// One of the 50 plain shapes (PlainNumber's four bytes) whose texts are copied where their digits
// allow, and where in the text the digits are that must not be '0': the first of two or more whole
// digits or a lone digit (a zero, which is never written "-0", goes the general way), the last
// decimal. -1, the word's letter, where there is none.
struct CopiedShape {
    std::uint32_t shape = 0;
    std::uint8_t count = 0;  // digits and point
    std::uint8_t minus = 0;  // 1 for the shapes with a sign
    std::int8_t firstDigit = -1;
    std::int8_t lastDigit = -1;
};
static_assert(sizeof(PlainNumber) == 4 && std::endian::native == std::endian::little);
constexpr std::uint32_t shapeBits(int length, int whole, int places, bool point) {
    return static_cast<std::uint32_t>(length | whole << 8 | places << 16 | int{point} << 24);
}
// The shapes are looked up in one step: each has a slot of its own (the table does not compile
// otherwise), and a slot without a shape holds bits that belong to another slot, so a text of any
// other shape meets a slot whose bits differ.
constexpr int kCopiedShapeBits = 8;
constexpr std::size_t copiedShapeSlot(std::uint32_t shape) {
    // 2^32 / golden ratio: all bits reach the top; 32-bit, so it is the multiplication's operand.
    constexpr std::uint32_t kSpread = 0x9E3779B9;
    return static_cast<std::size_t>((shape * kSpread) >> (32 - kCopiedShapeBits));
}
inline constexpr std::array<CopiedShape, std::size_t{1} << kCopiedShapeBits> kCopiedShapes = [] {
    std::array<CopiedShape, std::size_t{1} << kCopiedShapeBits> table{};
    std::array<bool, std::size_t{1} << kCopiedShapeBits> taken{};
    for (int point = 0; point < 2; ++point)
        for (int whole = 1; whole <= 7; ++whole)
            for (int places = 0; whole + places <= 7; ++places) {
                if (point ? places < 1 || places > 4 : places != 0) continue;
                for (int minus = 0; minus < 2; ++minus) {
                    const int count = whole + point + places;
                    const std::uint32_t bits = shapeBits(minus + count, whole, places, point);
                    const std::size_t slot = copiedShapeSlot(bits);
                    if (taken[slot]) throw "two copied shapes share a slot";
                    taken[slot] = true;
                    table[slot] = {bits, static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(minus),
                                   static_cast<std::int8_t>(whole > 1 || count == 1 ? minus : -1),
                                   static_cast<std::int8_t>(point ? minus + count - 1 : -1)};
                }
            }
    if (copiedShapeSlot(0) == copiedShapeSlot(1)) throw "the bits of an empty slot need another slot";
    for (std::size_t slot = 0; slot < table.size(); ++slot)
        if (!taken[slot]) table[slot].shape = copiedShapeSlot(0) != slot ? 0 : 1;
    return table;
}();
}  // namespace detail

// The shape of a source word's number text (`text` follows its letter) when the text is copied;
// null otherwise.
inline const detail::CopiedShape* copiedShape(const char* text, PlainNumber n) {
    std::uint32_t bits;
    std::memcpy(&bits, &n, sizeof bits);
    const detail::CopiedShape& shape = detail::kCopiedShapes[detail::copiedShapeSlot(bits)];
    // Only a text of the shape is read: a text that is not plain may end its line.
    if (shape.shape != bits || text[shape.firstDigit] == '0' || text[shape.lastDigit] == '0' || *text == '+')
        return nullptr;
    return &shape;
}

class WordFormatter {
public:
    // The most a word writes: its letter and its decimal text.
    static constexpr std::size_t kMaxWord = 1 + kMaxDecimalText;

    // The begin-of-scan values: the first word of each kind is always written.
    void reset();
    // The next Z word is written whatever its value: a line written as fixed text (the retract
    // before a tool call) has moved the machine to a Z the memory does not know.
    void forgetZ() {
        last_[static_cast<std::size_t>(Letter::Z)] = kNothingWritten;
        forgetLeftOut(Letter::Z);
    }

    // The word for a value held as a 32-bit float (7 significant digits), a 64-bit float
    // (15 digits) or a 16-bit integer, written at `out` (room for kMaxWord bytes); returns its end,
    // which is `out` when the word is left out.
    [[gnu::always_inline]] char* write(Letter letter, float value, char* out) {
        // Coordinates and arc centres differ nearly every time: kept, their digits would only be
        // copied once more. Feeds and speeds come back.
        if (letter == Letter::F || letter == Letter::S)
            return writeCached(letter, [&]() -> Cached& { return floatSlot(letter); }, value, out);
        return writeUnkept(letter, value, out);
    }
    char* write(Letter letter, double value, char* out) {
        return writeCached(letter, [&]() -> Cached& { return doubleSlot(value); }, value, out);
    }
    char* write(Letter letter, std::int16_t value, char* out);
    // The word for the held value of a block's word, negated (the mirrored X and Y) or as it is:
    // the source's digits copied where they are the text that value is written as.
    // Without kNoteValue, writtenValue() is left as it was: for a writer that does not read it.
    template <bool kNoteValue = true>
    char* write(Letter letter, const TarvoWord& source, bool negate, char* out);
    template <bool kNoteValue = true>
    [[gnu::always_inline]] char* write(Letter letter, const TarvoBlock& block, TarvoLetter source, bool negate, char* out) {
        return write<kNoteValue>(letter, block.word(source), negate, out);
    }

    // The same words as views that live until the next call; empty when left out.
    std::string_view FormatWord(Letter letter, float value) { return view(write(letter, value, buffer_)); }
    std::string_view FormatWord(Letter letter, double value) { return view(write(letter, value, buffer_)); }
    std::string_view FormatWord(Letter letter, std::int16_t value) { return view(write(letter, value, buffer_)); }

    // The value the last word written reads back as: the 64-bit float nearest its decimal text.
    double writtenValue() const { return written_; }

private:
    static constexpr char kLetterChars[] = "XYZFIJThSZ";
    static constexpr double kUnwrittenFeed = 40.0;  // a feed of 40 is never written

    // Applies the suppression and memory rules to n; false when the word is left out.
    bool remember(Letter letter, double n);
    // Whether remember() looks at or keeps a letter's values: the others are always written.
    static constexpr bool remembers(Letter letter) { return letter <= Letter::F || letter == Letter::DepthZ; }
    std::string_view view(const char* end) const {
        return std::string_view(buffer_, static_cast<std::size_t>(end - buffer_));
    }

    // The value last written per letter X, Y, Z and F (the first four); a NaN, which equals no
    // value, before the first word and after a forgetZ.
    static constexpr double kNothingWritten = std::numeric_limits<double>::quiet_NaN();
    double last_[4] = {kNothingWritten, kNothingWritten, kNothingWritten, kNothingWritten};
    // Per width (32-bit, 64-bit) and letter X, Y, Z and F: the bits of the last value whose word the
    // memory decided on, until the memory changes; else kNoValue. The memory holds that value's
    // number, or leaves out its word whatever it holds (a feed of 40), so a word of the same value is
    // left out at once: an unchanged Z or feed, a block without X or Y. A copied word counts as its
    // held value: the general way gives that value the number the copy went by (see copiedShape).
    std::uint64_t leftOut_[2][4] = {{kNoValue, kNoValue, kNoValue, kNoValue}, {kNoValue, kNoValue, kNoValue, kNoValue}};
    void forgetLeftOut(Letter letter) {
        leftOut_[0][static_cast<std::size_t>(letter)] = leftOut_[1][static_cast<std::size_t>(letter)] = kNoValue;
    }
    double written_ = 0;
    // The digits of a value formatted before: feeds, depths and unchanged coordinates come back line
    // after line, and their digits need not be worked out again. 32-bit values keep the last one per
    // letter, 64-bit values share a table (doubleSlot).
    struct Cached {
        std::uint64_t bits = kNoValue;  // the value's bits
        RoundedDecimal written;         // the digits the word writes, where they have no short text
        std::size_t textLength = 0;     // the word's text after its letter, when short; else 0
        char text[kShortDecimalRoom] = {};
        double n = 0;                   // the value of its significant digits, which the memory compares
        double writtenValue = 0;
    };
    static constexpr std::uint64_t kNoValue = ~std::uint64_t{0};  // a NaN of either width: never a value
    static constexpr int kLetterCount = 10;
    // 64-bit values are computed depths and heights: few of them, each met again and again, but not
    // always in turn. Their digits depend on the value alone, so the letters share one table.
    static constexpr int kDoubleSlotBits = 8;
    Cached& floatSlot(Letter letter) { return floatCache_[static_cast<std::size_t>(letter)]; }
    Cached& doubleSlot(double value) {
        constexpr std::uint64_t kSpread = 0x9E3779B97F4A7C15;  // 2^64 / golden ratio: all bits reach the top
        return doubleCache_[(std::bit_cast<std::uint64_t>(value) * kSpread) >> (64 - kDoubleSlotBits)];
    }
    static std::uint64_t bitsOf(float value) { return std::bit_cast<std::uint32_t>(value); }
    static std::uint64_t bitsOf(double value) { return std::bit_cast<std::uint64_t>(value); }
    // The memory's rules for a word of `value`, in two steps: it is left out at once where the
    // memory has decided on the value; else decide() applies the rules to the word's number n,
    // true when the word is written.
    template <class Value>
    bool decidedOn(Letter letter, Value value) const {
        return letter <= Letter::F && leftOut_[sizeof(Value) == 8][static_cast<std::size_t>(letter)] == bitsOf(value);
    }
    template <class Value>
    bool decide(Letter letter, Value value, double n) {
        const bool changed = remember(letter, n);
        if (letter <= Letter::F) leftOut_[sizeof(Value) == 8][static_cast<std::size_t>(letter)] = bitsOf(value);
        return changed;
    }
    // Inline up to the memory: most values come back unchanged and are left out, before their
    // cache entry (`entry()`) is looked up.
    template <class Entry, class Value>
    char* writeCached(Letter letter, Entry&& entry, Value value, char* out) {
        if (decidedOn(letter, value)) return out;
        Cached& cached = entry();
        if (cached.bits != bitsOf(value)) fill(cached, value);
        if (!decide(letter, value, cached.n)) return out;
        return writeDigits(letter, cached, out);
    }
    char* writeDigits(Letter letter, const Cached& cached, char* out);
    // Written at once from the float's scaled digits where scaleFloatDigits serves (the text's room
    // is within the word's); the rare others go the cached way, out of line.
    char* writeUnkept(Letter letter, float value, char* out) {
        if (decidedOn(letter, value)) return out;
        if (!remembers(letter)) {  // arc centres: without a memory, only the text needs the digits
            std::uint64_t tenThousandths;
            if (nearTenThousandths(value, tenThousandths)) {
                *out = kLetterChars[static_cast<std::size_t>(letter)];
                return out + 1 + writeTenThousandths(tenThousandths, std::signbit(value), out + 1, written_);
            }
        }
        double rounded;
        int k;
        if (!scaleFloatDigits(value, rounded, k)) [[unlikely]]
            return writeCachedFloat(letter, value, out);
        const bool negative = std::signbit(value);
        if (!decide(letter, value, floatDigitsValue(rounded, k, negative))) return out;
        *out = kLetterChars[static_cast<std::size_t>(letter)];
        return out + 1 + writeTenThousandths(floatTenThousandths(rounded, k), negative, out + 1, written_);
    }
    [[gnu::noinline]] char* writeCachedFloat(Letter letter, float value, char* out);
    void fill(Cached& cached, std::uint64_t bits, const RoundedDecimal& digits);
    void fill(Cached& cached, float value);
    void fill(Cached& cached, double value);
    Cached floatCache_[kLetterCount];
    Cached doubleCache_[1 << kDoubleSlotBits];
    char buffer_[kMaxWord];
};

// Inline: with the letter known where it is called, only its own rule is left.
inline bool WordFormatter::remember(Letter letter, double n) {
    if (!remembers(letter)) return true;
    const auto slot = static_cast<std::size_t>(letter);
    switch (letter) {
        case Letter::F:
            if (n == kUnwrittenFeed) return false;
            [[fallthrough]];
        case Letter::X:
        case Letter::Y:
        case Letter::Z:
            if (n == last_[slot]) return false;
            last_[slot] = n;
            forgetLeftOut(letter);
            return true;
        case Letter::DepthZ:
            last_[static_cast<std::size_t>(Letter::Z)] = n;
            forgetLeftOut(Letter::Z);
            return true;
        default:  // not remembered: see remembers()
            return true;
    }
}

template <bool kNoteValue>
[[gnu::always_inline]] inline char* WordFormatter::write(Letter letter, const TarvoWord& source, bool negate, char* out) {
    const float held = negate ? -source.held : source.held;
    // The copy decides as the general way does, so a value the memory has decided on is left out.
    if (decidedOn(letter, held)) return out;
    const detail::CopiedShape* const shape = copiedShape(source.text, source.plain);
    if (!shape) return write(letter, held, out);
    const bool negative = shape->minus;
    const char* const digits = source.text + negative;
    const std::size_t count = shape->count;  // 1 to 8; not a zero
    const double n = negate ? -source.value : source.value;
    if (!decide(letter, held, n)) return out;
    *out++ = kLetterChars[static_cast<std::size_t>(letter)];
    if (kNoteValue) written_ = n;
    if (negative != negate) *out++ = '-';
    if (count >= 4) [[likely]] {  // two overlapping copies of four
        std::memcpy(out, digits, 4);
        std::memcpy(out + count - 4, digits + count - 4, 4);
    } else {
        for (std::size_t i = 0; i < count; ++i) out[i] = digits[i];
    }
    return out + count;
}

}  // namespace pathshift
