#include "engine/reading/tarvo_block.h"

#include <array>
#include <bit>

#include "engine/reading/line_ends.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pathshift {
namespace {

// What each byte means to the reading: nothing, a letter's index + 1, a G, or the end of the words
// (a comment, a NUL or a line end).
constexpr std::uint8_t kG = 32, kStop = 33;
constexpr std::array<std::uint8_t, 256> byteClasses() {
    std::array<std::uint8_t, 256> classes{};
    const char letters[] = "MPXYZIJKFSHT";
    for (int i = 0; i < kTarvoLetters; ++i) classes[static_cast<unsigned char>(letters[i])] = std::uint8_t(i + 1);
    classes['G'] = kG;
    for (const char stop : {'(', '\0', '\n', '\r'}) classes[static_cast<unsigned char>(stop)] = kStop;
    return classes;
}
constexpr std::array<std::uint8_t, 256> kByteClass = byteClasses();

}  // namespace

// Letters are met in line order, faults are named in the letters' order.
void TarvoBlockReader::noteFault(TarvoLetter letter, WordFault fault) {
    if (!block_.fault || static_cast<int>(letter) < faultLetter_) {
        block_.fault = fault;
        faultLetter_ = static_cast<int>(letter);
    }
}

// The end of a numbered line's words at `at`: a line end, a comment or a NUL. The line's end.
const char* TarvoBlockReader::stopAt(const char* at, const char* end) {
    TarvoBlock& b = block_;
    if (isLineEnd(*at)) return at;
    bool nul = *at == '\0';
    if (!nul) {
        b.kind = TarvoBlock::Kind::Commented;
        b.fault = {};  // the words of a dropped line do not count
    }
    const char* const lineEnd = findLineEnd(at + 1, end, nul);
    if (nul) b.fault = {WordFault::Kind::Nul, 0, 0};
    return lineEnd;
}

// The words of a numbered line from p on; the line's end.
const char* TarvoBlockReader::readWords(const char* p, const char* end) {
    TarvoBlock& b = block_;
    TarvoLetters skipped = static_cast<TarvoLetters>(~letters_);  // letters not read, or read already
    const auto take = [&](const char* at) {
        const std::uint8_t c = kByteClass[static_cast<unsigned char>(*at)];
        if (c <= kTarvoLetters) {
            if (c == 0) return true;
            const TarvoLetters bit = TarvoLetters(1u << (c - 1));
            if (skipped & bit) return true;
            skipped |= bit;
            b.present |= bit;
            const auto letter = static_cast<TarvoLetter>(c - 1);
            if (const WordFault fault = readWordValue(letter, at + 1, end, b.words[c - 1])) [[unlikely]]
                noteFault(letter, fault);
            b.words[c - 1].text = at + 1;
            return true;
        }
        if (c == kG) {
            g_.push_back(readLeadingNumber(std::string_view(at + 1, static_cast<std::size_t>(end - at - 1))));
            return true;
        }
        return false;
    };
#if defined(__SSE2__)
    // Sixteen bytes at a time, stopping only at capital letters, parentheses, NULs and line ends.
    const __m128i shift = _mm_set1_epi8(static_cast<char>(128 - 'A'));
    const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
    const __m128i paren = _mm_set1_epi8('(');
    const __m128i nul = _mm_setzero_si128();
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i stops = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, paren), _mm_cmpeq_epi8(bytes, nul)),
                                           _mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr)));
        auto marks = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmplt_epi8(_mm_add_epi8(bytes, shift), limit), stops)));
        for (; marks; marks &= marks - 1) {
            const char* const at = p + std::countr_zero(marks);
            if (!take(at)) return stopAt(at, end);
        }
    }
#endif
    for (; p < end; ++p)
        if (!take(p)) return stopAt(p, end);
    return end;
}

const TarvoBlock& TarvoBlockReader::readLine(const char*& p, const char* end) {
    TarvoBlock& b = block_;
    b.fault = {};
    b.present = 0;
    g_.clear();
    const char* const begin = p;
    const char* lineEnd;
    if (p < end && *p == 'N') {
        b.kind = TarvoBlock::Kind::Numbered;
        lineEnd = readWords(p + 1, end);
    } else {
        b.kind = TarvoBlock::Kind::Unnumbered;
        bool nul = false;
        lineEnd = findLineEnd(p, end, nul);
        if (nul) b.fault = {WordFault::Kind::Nul, 0, 0};
    }
    b.text = std::string_view(begin, static_cast<std::size_t>(lineEnd - begin));
    // A comment or a NUL ends the reading: such a block holds no G words.
    const bool whole = b.kind == TarvoBlock::Kind::Numbered && b.fault.kind != WordFault::Kind::Nul;
    b.g = g_.data();
    b.gCount = whole ? g_.size() : 0;
    p = afterLineEnd(lineEnd, end);
    return b;
}

}  // namespace pathshift
