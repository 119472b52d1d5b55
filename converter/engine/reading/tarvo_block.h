#pragma once
// One source line read once into a block: whether the converter takes it (a numbered line without
// a comment) or drops it, the words the dialect knows with their values as the machine holds them,
// and the G words in order. Translation writes target text from blocks; the toolpath replay turns
// the same blocks into moves.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/reading/number_text.h"
#include "engine/reading/tarvo_rules.h"

namespace pathshift {

// The words besides G, in the order their faults are named: only the first occurrence of each counts.
enum class TarvoLetter : std::uint8_t { M, P, X, Y, Z, I, J, K, F, S, H, T };
inline constexpr int kTarvoLetters = 12;
using TarvoLetters = std::uint16_t;  // a set of letters, one bit each
inline constexpr TarvoLetters letterBit(TarvoLetter letter) { return TarvoLetters(1u << static_cast<int>(letter)); }
inline constexpr TarvoLetters kAllLetters = (1u << kTarvoLetters) - 1;

struct TarvoWord {
    double value = 0;        // as read
    float held = 0;          // X, Y, Z, I, J, F, S: the 32-bit float the value is held in
    std::int16_t tool = 0;   // T: the value rounded to a tool number
    PlainNumber plain;       // the shape of its text, when plain
    const char* text = nullptr;  // the first character after the letter
};

struct TarvoBlock {
    enum class Kind : std::uint8_t {
        Numbered,    // taken: the line starts with a capital N
        Unnumbered,  // dropped: empty, or starting with anything else
        Commented,   // dropped: a numbered line holding a "("
    };
    Kind kind = Kind::Unnumbered;
    std::string_view text;     // the line without its line end
    WordFault fault;           // the first fault among the words read, or a NUL in the line
    TarvoLetters present = 0;  // the letters read that the line holds
    TarvoWord words[kTarvoLetters];
    const NumberRead* g = nullptr;  // every G word's number, in line order
    std::size_t gCount = 0;

    bool has(TarvoLetter letter) const { return present & letterBit(letter); }
    const TarvoWord& word(TarvoLetter letter) const { return words[static_cast<int>(letter)]; }
};

// The letters whose values the machine holds in 32-bit floats: coordinates, feed and speed.
inline constexpr TarvoLetters kFloatLetters = letterBit(TarvoLetter::X) | letterBit(TarvoLetter::Y) |
                                              letterBit(TarvoLetter::Z) | letterBit(TarvoLetter::I) |
                                              letterBit(TarvoLetter::J) | letterBit(TarvoLetter::F) |
                                              letterBit(TarvoLetter::S);
// A word's number as the machine holds it: a 32-bit float, a 16-bit tool, or as read. The word's
// fault, if any.
inline WordFault holdWord(TarvoLetter letter, const NumberRead& read, TarvoWord& word) {
    word.value = read.value;
    word.plain = read.plain;
    const auto fault = [&](WordFault::Kind kind, double value) {
        return WordFault{kind, "MPXYZIJKFSHT"[static_cast<int>(letter)], value};
    };
    if (read.overflow) [[unlikely]]
        return fault(WordFault::Kind::Number, 0);
    if (letterBit(letter) & kFloatLetters) {
        const std::optional<float> held = narrowToFloat(read.value);
        if (!held) [[unlikely]]
            return fault(WordFault::Kind::Float, read.value);
        word.held = *held;
    } else if (letter == TarvoLetter::T) {
        const std::optional<std::int16_t> tool = roundToInt16(read.value);
        if (!tool) return fault(WordFault::Kind::Tool, read.value);
        word.tool = *tool;
    }
    return {};
}

// The value of the word whose number starts at `after`, as the machine holds it. `end` is the line's
// end or the end of a run of whole lines: a number never runs over a line end. The word's fault, if
// any.
inline WordFault readWordValue(TarvoLetter letter, const char* after, const char* end, TarvoWord& word) {
#if defined(__SSE2__)
    // A short plain number is far within a float's range: nothing to check.
    NumberRead read;
    if ((letterBit(letter) & kFloatLetters) && end - after >= 17 && detail::readShortNumber(after, read)) {
        word.value = read.value;
        word.held = static_cast<float>(read.value);
        word.plain = read.plain;
        return {};
    }
#endif
    return holdWord(letter, readLeadingNumber(std::string_view(after, static_cast<std::size_t>(end - after))), word);
}

// The longest line read from masks of its bytes; longer ones take the byte-by-byte way.
inline constexpr int kPlainLineBytes = 64;

class TarvoBlockReader {
public:
    // Reads the given letters and every G word; a reader for the depth table needs only Z. The
    // processor's widest vector code is used unless `widest` is false, which keeps to the baseline
    // code processors without AVX2 run.
    explicit TarvoBlockReader(TarvoLetters letters = kAllLetters, bool widest = true);

    // The block of one line, without its line end, in one pass over its bytes. It lives until the
    // next call.
    const TarvoBlock& read(std::string_view line) {
        const char* p = line.data();
        return readLine(p, p + line.size());
    }
    // The block of the line at p in a run of whole lines (LineScanner::nextLines), found in the
    // same pass that reads its words; p moves on to the next line.
    const TarvoBlock& readLine(const char*& p, const char* end) {
        const PlainRead read = avx2_ ? readPlainLineAvx2(p, end) : readPlainLinePortable(p, end);
        if (read == PlainRead::Yes) [[likely]]
            return block_;
        return readOtherLine(read, p, end);
    }

private:
    // A plain line read from masks of its bytes (readPlainLine), in the baseline vector code or in
    // AVX2, by a function that calls nothing (its 32-byte vectors then need no realigned stack);
    // readOtherLine() finishes what it leaves: the words it does not hold, every other line read
    // byte by byte (readAnyLine).
    enum class PlainRead : std::uint8_t {
        Yes,
        OtherWords,  // read, but for its words besides coordinates, feeds and speeds
        No,          // not a plain line: nothing read, p kept
        NotWords,    // its words found not plain: p moved on, the line's start in the block's text
    };
    PlainRead readPlainLinePortable(const char*& p, const char* end);
    PlainRead readPlainLineAvx2(const char*& p, const char* end);
    template <class Line>
    PlainRead readPlainLine(const char*& cursor, const char* end, const Line& line);
    [[gnu::noinline]] const TarvoBlock& readOtherLine(PlainRead read, const char*& p, const char* end);
    [[gnu::noinline]] const TarvoBlock& readAnyLine(const char*& p, const char* end);
    const char* readWords(const char* p, const char* end);
    const char* stopAt(const char* at, const char* end);
    [[gnu::noinline, gnu::cold]] void holdOtherWords();
    void noteFault(TarvoLetter letter, WordFault fault);

    TarvoBlock block_;  // first: a word's place in it is its place in the reader
    bool avx2_ = false;
    TarvoLetters letters_;
    unsigned plainSkipped_;  // what a plain line's word loop passes over from its start
    int faultLetter_ = 0;  // the letter of block_.fault
    std::vector<NumberRead> g_;  // kept from line to line: no allocation per line
    NumberRead plainG_[kPlainLineBytes / 2];  // a plain line's G words: at most one in two bytes
};

}  // namespace pathshift
