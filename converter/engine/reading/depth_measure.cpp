#include "engine/reading/depth_measure.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pathshift {
namespace {

// What sixteen bytes hold, one bit per byte: line ends, and the bytes the depth table reads at.
struct Marks {
    std::uint32_t ends = 0;   // LF, CR
    std::uint32_t stops = 0;  // Z, G, "(", NUL
};

inline Marks marksOf(const char* p) {
    Marks m;
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto is = [&](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
    m.ends = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(is('\n'), is('\r'))));
    m.stops = static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(is('Z'), is('G')), _mm_or_si128(is('('), is('\0')))));
#else
    for (int i = 0; i < 16; ++i) {
        const char c = p[i];
        m.ends |= std::uint32_t(c == '\n' || c == '\r') << i;
        m.stops |= std::uint32_t(c == 'Z' || c == 'G' || c == '(' || c == '\0') << i;
    }
#endif
    return m;
}

// Just after the last of the marked bytes.
inline const char* afterLast(const char* base, std::uint32_t marks) { return base + (32 - std::countl_zero(marks)); }

}  // namespace

// The line's Z and G words as a reader of those gives them (the block's text is not kept).
bool DepthMeasure::takeLine() {
    block_.kind = TarvoBlock::Kind::Numbered;
    block_.g = g_.data();
    block_.gCount = g_.size();
    WordFault fault;
    return take(block_, fault);
}

bool DepthMeasure::takeLines(std::string_view lines) {
    const char* const end = lines.data() + lines.size();
    const char* lineStart = lines.data();  // of the line at the current block's start
    const char* line = nullptr;            // the line of the last stop
    bool numbered = false, commented = false;
    for (const char* base = lines.data(); base < end; base += 16) {
        Marks m;
        const auto left = static_cast<std::size_t>(end - base);
        if (left >= 16) {
            m = marksOf(base);
        } else {  // the last bytes, read from a copy so as not to read beyond the run
            char tail[16];
            std::memset(tail, ' ', sizeof tail);
            std::memcpy(tail, base, left);
            m = marksOf(tail);
            const std::uint32_t inside = (1u << left) - 1;
            m.ends &= inside;
            m.stops &= inside;
        }
        for (std::uint32_t stops = m.stops; stops; stops &= stops - 1) {
            const int i = std::countr_zero(stops);
            const std::uint32_t endsBefore = m.ends & ((1u << i) - 1);
            const char* const start = endsBefore ? afterLast(base, endsBefore) : lineStart;
            if (start != line) {
                if (numbered && !commented && !takeLine()) return false;
                line = start;
                numbered = *start == 'N';
                commented = false;
                block_.present = 0;
                block_.fault = {};
                g_.clear();
            }
            const char* const at = base + i;
            if (*at == '\0') return false;
            if (!numbered || commented) continue;
            if (*at == '(') {
                commented = true;  // the line is dropped, its words do not count
            } else if (*at == 'G') {
                g_.push_back(readLeadingNumber(std::string_view(at + 1, static_cast<std::size_t>(end - at - 1))));
            } else if (!block_.has(TarvoLetter::Z)) {  // only the first Z counts
                block_.present = letterBit(TarvoLetter::Z);
                block_.fault = readWordValue(TarvoLetter::Z, at + 1, end, block_.words[static_cast<int>(TarvoLetter::Z)]);
            }
        }
        if (m.ends) lineStart = afterLast(base, m.ends);
    }
    return !(numbered && !commented) || takeLine();
}

}  // namespace pathshift
