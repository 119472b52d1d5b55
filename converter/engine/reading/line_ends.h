#pragma once
// Line ends inside a run of text: LF, CR LF or a lone CR.

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pathshift {

inline bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// The first line end at or after p, or end; with `nul` set when a NUL comes before it.
inline const char* findLineEnd(const char* p, const char* end, bool& nul) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto ends = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr))));
        const auto nuls = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zero)));
        if (ends) {
            nul = nul || (nuls & ((ends & (0u - ends)) - 1)) != 0;  // a NUL before the first end
            return p + std::countr_zero(ends);
        }
        nul = nul || nuls != 0;
    }
#endif
    for (; p < end && !isLineEnd(*p); ++p) nul = nul || *p == '\0';
    return p;
}

// Where the next line starts, given the end of a line (a line end or the end of the run). A CR
// LF at `lineEnd` must lie whole in the run.
inline const char* afterLineEnd(const char* lineEnd, const char* end) {
    if (lineEnd == end) return end;
    return lineEnd + 1 + (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n');
}

}  // namespace pathshift
