#include "engine/reading/tarvo_block.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pathshift {
namespace {

// What each byte means to the reading: nothing, a letter's index + 1, a G, a comment or a NUL.
constexpr std::uint8_t kG = 32, kComment = 33, kNul = 34;
constexpr std::array<std::uint8_t, 256> byteClasses() {
    std::array<std::uint8_t, 256> classes{};
    const char letters[] = "MPXYZIJKFSHT";
    for (int i = 0; i < kTarvoLetters; ++i) classes[static_cast<unsigned char>(letters[i])] = std::uint8_t(i + 1);
    classes['G'] = kG;
    classes['('] = kComment;
    classes[0] = kNul;
    return classes;
}
constexpr std::array<std::uint8_t, 256> kByteClass = byteClasses();

constexpr TarvoLetters kFloatLetters = letterBit(TarvoLetter::X) | letterBit(TarvoLetter::Y) |
                                       letterBit(TarvoLetter::Z) | letterBit(TarvoLetter::I) |
                                       letterBit(TarvoLetter::J) | letterBit(TarvoLetter::F) |
                                       letterBit(TarvoLetter::S);
constexpr char kLetterChars[] = "MPXYZIJKFSHT";

}  // namespace

// The value as the machine holds it: 32-bit floats for coordinates, feed and speed, a 16-bit tool.
void TarvoBlockReader::readWord(TarvoLetter letter, const char* after, const char* end) {
    TarvoWord& word = block_.words[static_cast<int>(letter)];
    word.text = std::string_view(after, static_cast<std::size_t>(end - after));
    const NumberRead read = readLeadingNumber(word.text);
    word.value = read.value;
    WordFault fault;
    const char c = kLetterChars[static_cast<int>(letter)];
    if (read.overflow) [[unlikely]] {
        fault = {WordFault::Kind::Number, c, 0};
    } else if (letterBit(letter) & kFloatLetters) {
        const std::optional<float> held = narrowToFloat(read.value);
        if (held) word.held = *held;
        else fault = {WordFault::Kind::Float, c, read.value};
    } else if (letter == TarvoLetter::T) {
        const std::optional<std::int16_t> tool = roundToInt16(read.value);
        if (tool) word.tool = *tool;
        else fault = {WordFault::Kind::Tool, c, read.value};
    }
    // Letters are met in line order, faults are named in the letters' order.
    if (fault && (!block_.fault || static_cast<int>(letter) < faultLetter_)) {
        block_.fault = fault;
        faultLetter_ = static_cast<int>(letter);
    }
}

// One byte of a numbered line; false when it ends the reading of the line (a comment or a NUL).
inline bool TarvoBlockReader::take(const char* at, const char* end) {
    TarvoBlock& b = block_;
    const std::uint8_t c = kByteClass[static_cast<unsigned char>(*at)];
    if (c == 0) return true;
    if (c <= kTarvoLetters) {
        const auto letter = static_cast<TarvoLetter>(c - 1);
        const TarvoLetters bit = letterBit(letter);
        if ((letters_ & bit) && !(b.present & bit)) {
            b.present |= bit;
            readWord(letter, at + 1, end);
        }
        return true;
    }
    if (c == kG) {
        g_.push_back(readLeadingNumber(std::string_view(at + 1, static_cast<std::size_t>(end - at - 1))));
        return true;
    }
    if (c == kComment) {
        b.kind = TarvoBlock::Kind::Commented;
        b.fault = {};  // the words of a dropped line do not count
        if (std::memchr(at, 0, static_cast<std::size_t>(end - at))) b.fault = {WordFault::Kind::Nul, 0, 0};
        return false;
    }
    b.fault = {WordFault::Kind::Nul, 0, 0};
    return false;
}

const TarvoBlock& TarvoBlockReader::read(std::string_view line) {
    TarvoBlock& b = block_;
    b.text = line;
    b.fault = {};
    b.present = 0;
    b.gCount = 0;
    g_.clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    if (line.empty() || line[0] != 'N') {
        b.kind = TarvoBlock::Kind::Unnumbered;
        if (std::memchr(p, 0, line.size())) b.fault = {WordFault::Kind::Nul, 0, 0};
        return b;
    }
    b.kind = TarvoBlock::Kind::Numbered;
    ++p;
#if defined(__SSE2__)
    // Sixteen bytes at a time, stopping only at capital letters, parentheses and NULs.
    const __m128i shift = _mm_set1_epi8(static_cast<char>(128 - 'A'));
    const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
    const __m128i paren = _mm_set1_epi8('(');
    const __m128i nul = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        auto marks = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(
            _mm_cmplt_epi8(_mm_add_epi8(bytes, shift), limit),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, paren), _mm_cmpeq_epi8(bytes, nul)))));
        for (; marks; marks &= marks - 1)
            if (!take(p + std::countr_zero(marks), end)) return b;
    }
#endif
    for (; p < end; ++p)
        if (!take(p, end)) return b;
    b.g = g_.data();
    b.gCount = g_.size();
    return b;
}

}  // namespace pathshift
