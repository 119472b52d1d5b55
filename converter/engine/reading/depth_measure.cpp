#include "engine/reading/depth_measure.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "engine/reading/g_word.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Where the processor runs AVX2, a chunk is looked at in one vector; SSE2 stays the baseline.
#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__)
#define PATHSHIFT_MEASURE_AVX2 1
#include <immintrin.h>
#endif

namespace pathshift {
namespace {

// Bytes looked at in one step.
constexpr int kChunk = 32;

// What a chunk holds, one bit per byte: line ends, and the bytes the depth table reads at.
struct Marks {
    std::uint32_t ends = 0;   // LF, CR
    std::uint32_t stops = 0;  // Z, G, "(", NUL
};

struct PortableMarks {
    Marks operator()(const char* p) const;
};

inline Marks PortableMarks::operator()(const char* p) const {
    Marks m;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), z = _mm_set1_epi8('Z'),
                  g = _mm_set1_epi8('G'), paren = _mm_set1_epi8('('), nul = _mm_setzero_si128();
    for (int half = 0; half < kChunk; half += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + half));
        const auto ends = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr))));
        const auto stops = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, z), _mm_cmpeq_epi8(bytes, g)),
                                           _mm_or_si128(_mm_cmpeq_epi8(bytes, paren), _mm_cmpeq_epi8(bytes, nul)))));
        m.ends |= ends << half;
        m.stops |= stops << half;
    }
#else
    for (int i = 0; i < kChunk; ++i) {
        const char c = p[i];
        m.ends |= std::uint32_t(c == '\n' || c == '\r') << i;
        m.stops |= std::uint32_t(c == 'Z' || c == 'G' || c == '(' || c == '\0') << i;
    }
#endif
    return m;
}

#if defined(PATHSHIFT_MEASURE_AVX2)
// The bytes looked for, each filling a vector, made once per run: hidden from the compiler, they
// are kept rather than built again around every call the loop makes.
struct Avx2Marks {
    __attribute__((target("avx2"))) Avx2Marks()
        : lf(_mm256_set1_epi8('\n')), cr(_mm256_set1_epi8('\r')), z(_mm256_set1_epi8('Z')),
          g(_mm256_set1_epi8('G')), paren(_mm256_set1_epi8('(')), nul(_mm256_setzero_si256()) {
        asm("" : "+x"(lf), "+x"(cr), "+x"(z), "+x"(g), "+x"(paren), "+x"(nul));
    }
    __attribute__((target("avx2"))) Marks operator()(const char* p) const {
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        Marks m;
        m.ends = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(b, lf), _mm256_cmpeq_epi8(b, cr))));
        m.stops = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(b, z), _mm256_cmpeq_epi8(b, g)),
                                                 _mm256_or_si256(_mm256_cmpeq_epi8(b, paren), _mm256_cmpeq_epi8(b, nul)))));
        return m;
    }

    __m256i lf, cr, z, g, paren, nul;
};
#endif

// The last bytes of a run, read from a copy so as not to read beyond it.
template <class MarksOf>
[[gnu::always_inline]] inline Marks tailMarks(const MarksOf& marksOf, const char* p, std::size_t size) {
    char tail[kChunk];
    std::memset(tail, ' ', sizeof tail);
    std::memcpy(tail, p, size);
    Marks m = marksOf(tail);
    const std::uint32_t inside = (std::uint32_t{1} << size) - 1;
    m.ends &= inside;
    m.stops &= inside;
    return m;
}

// Just after the last of the marked bytes.
inline const char* afterLast(const char* base, std::uint32_t marks) { return base + (32 - std::countl_zero(marks)); }

}  // namespace

// What the depth table needs of the line being read. Its G words' effects wait for the line's end,
// where they are taken in order as a block's are: a "(" later in the line drops it. The first Z
// word is read there too, once it is known whether the line cuts.
struct DepthMeasure::Line {
    static constexpr std::size_t kGWords = 16;  // a line with more goes to the block reading

    void start(bool numbered) {
        taken = numbered;
        z = nullptr;
        gFault = false;
        gCount = 0;
    }

    bool taken = false;  // numbered, with no "(" so far
    const char* z = nullptr;  // the number of the first Z word, the one that counts
    bool gFault = false;      // the G words after this one are not taken
    std::size_t gCount = 0;
    GEffect g[kGWords];
};

[[gnu::always_inline]] inline bool DepthMeasure::takeLine(const Line& line, const char* end) {
    if (!line.taken) return true;
    for (std::size_t k = 0; k < line.gCount; ++k) machine_.takeG(line.g[k], [this] {
        levels_.plunge();
        return true;
    });
    if (line.gFault) return false;
    if (!line.z) return true;
    // A fault found after the G effects stops the reading all the same.
    TarvoWord z;
    if (readWordValue(TarvoLetter::Z, line.z, end, z)) return false;
    if (machine_.cutting()) levels_.cut(z.held);
    return true;
}

template <class MarksOf>
[[gnu::always_inline]] inline bool DepthMeasure::scan(std::string_view lines, const MarksOf& marksOf) {
    const char* const end = lines.data() + lines.size();
    const char* lineStart = lines.data();  // of the line the chunk starts in
    const char* line = nullptr;            // the line of the last stop
    Line words;
    for (const char* base = lines.data(); base < end;) {
        const auto left = static_cast<std::size_t>(end - base);
        const Marks m = left >= kChunk ? marksOf(base) : tailMarks(marksOf, base, left);
        const char* resume = nullptr;  // where to go on after a line the block reading took
        for (std::uint32_t stops = m.stops; stops; stops &= stops - 1) {
            const int i = std::countr_zero(stops);
            const std::uint32_t endsBefore = m.ends & ((std::uint32_t{1} << i) - 1);
            const char* const start = endsBefore ? afterLast(base, endsBefore) : lineStart;
            if (start != line) {
                if (!takeLine(words, end)) return false;
                line = start;
                words.start(*start == 'N');
            }
            const char* const at = base + i;
            if (*at == '\0') return false;
            if (!words.taken) continue;
            if (*at == '(') {
                words.taken = false;  // the line is dropped, its words do not count
            } else if (*at == 'Z') {
                if (!words.z) words.z = at + 1;
            } else if (!words.gFault) {
                if (words.gCount == Line::kGWords) {
                    resume = line;
                    WordFault fault;
                    if (!take(manyGWords_.readLine(resume, end), fault)) return false;
                    break;
                }
                const GWord g = readGWord(at + 1, end);
                words.gFault = g.overflow;
                if (!g.overflow) words.g[words.gCount++] = g.effect;
            }
        }
        if (resume) {
            base = lineStart = resume;
            line = nullptr;
            words.start(false);
            continue;
        }
        if (m.ends) lineStart = afterLast(base, m.ends);
        base += kChunk;
    }
    return takeLine(words, end);
}

#if defined(PATHSHIFT_MEASURE_AVX2)
__attribute__((target("avx2"))) bool DepthMeasure::takeLinesAvx2(std::string_view lines) {
    return scan(lines, Avx2Marks());
}
#endif

bool DepthMeasure::takeLines(std::string_view lines) {
#if defined(PATHSHIFT_MEASURE_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return takeLinesAvx2(lines);
#endif
    return scan(lines, PortableMarks());
}

}  // namespace pathshift
