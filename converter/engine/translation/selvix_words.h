#pragma once
// The words of one Selvix line: its G codes in order and the first value of each letter. A reader
// fills them from a line's text; the translator fills them with the words it writes, so that what
// a program being written does is known without reading its text back.

#include <cstdint>
#include <string_view>

#include "engine/io/output_text.h"

namespace pathshift {

struct SelvixWords {
    static constexpr int kMaxG = 8;  // the engine writes at most three on a line

    int g[kMaxG];
    int gCount = 0;
    std::uint32_t letters = 0;  // one bit per letter, A at bit 0
    double value[26];           // set for the letters held

    constexpr bool has(char letter) const { return (letters >> (letter - 'A')) & 1u; }
    constexpr double operator[](char letter) const { return value[letter - 'A']; }
    // False when the line holds more G words than a written line can.
    constexpr bool addG(int code) {
        if (gCount == kMaxG) return false;
        g[gCount++] = code;
        return true;
    }
    // A letter's first value counts.
    constexpr void add(char letter, double v) {
        if (has(letter)) return;
        put(letter, v);
    }
    // A letter the line does not hold yet: a writer that names each letter once needs no check.
    constexpr void put(char letter, double v) {
        letters |= 1u << (letter - 'A');
        value[letter - 'A'] = v;
    }
};

// Told of every line a conversion writes, in order: a line of words as its words (the values its
// text reads back as), every other line as its text.
class TargetLines : public LineWatcher {
public:
    virtual void wordsLine(const SelvixWords& words) = 0;

protected:
    ~TargetLines() = default;
};

}  // namespace pathshift
