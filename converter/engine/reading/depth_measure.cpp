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
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace pathshift {
namespace {

// Bytes looked at in one step: a bit each in a 64-bit mask.
constexpr int kBlock = 64;
constexpr int kChunk = 32;

// One bit for each of the 32 bytes at p that equals one of `kBytes`.
template <char... kBytes>
inline std::uint32_t bytesOf(const char* p) {
    std::uint32_t m = 0;
#if defined(__SSE2__)
    for (int half = 0; half < kChunk; half += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + half));
        __m128i any = _mm_setzero_si128();
        ((any = _mm_or_si128(any, _mm_cmpeq_epi8(b, _mm_set1_epi8(kBytes)))), ...);
        m |= static_cast<std::uint32_t>(_mm_movemask_epi8(any)) << half;
    }
#else
    for (int i = 0; i < kChunk; ++i) m |= std::uint32_t(((p[i] == kBytes) || ...)) << i;
#endif
    return m;
}

// The bytes of a chunk the depth table reads at (Z, G, "(", NUL) and the bytes a line's words end
// at (LF, CR, "(", NUL); one bit each.
struct PortableMarks {
    std::uint32_t stops(const char* p) const { return bytesOf<'Z', 'G', '(', '\0'>(p); }
    std::uint32_t wordEnds(const char* p) const { return bytesOf<'\n', '\r', '(', '\0'>(p); }
};

#if defined(PATHSHIFT_MEASURE_AVX2)
// Each set is told by one table of its bytes indexed by their low four bits: the stops' low
// nibbles (0, 7, 8, A) differ, as do the word ends' (0, 8, A, D). A byte is in the set when the table gives
// the byte back; bytes from 0x80 look up 0 and others an entry of another low nibble, so neither
// matches. The tables are constants the compiler loads where they are used: held in registers,
// they would be saved around every call the loop makes.
struct Avx2Marks {
    static constexpr char n = '\x80';
    __attribute__((target("avx2"))) std::uint32_t stops(const char* p) const {
        return in(_mm256_setr_epi8('\0', n, n, n, n, n, n, 'G', '(', n, 'Z', n, n, n, n, n,  //
                                   '\0', n, n, n, n, n, n, 'G', '(', n, 'Z', n, n, n, n, n),
                  p);
    }
    __attribute__((target("avx2"))) std::uint32_t wordEnds(const char* p) const {
        return in(_mm256_setr_epi8('\0', n, n, n, n, n, n, n, '(', n, '\n', n, n, '\r', n, n,  //
                                   '\0', n, n, n, n, n, n, n, '(', n, '\n', n, n, '\r', n, n),
                  p);
    }
    __attribute__((target("avx2"))) static std::uint32_t in(__m256i table, const char* p) {
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_shuffle_epi8(table, b), b)));
    }
};
#endif

// The marks of the 64 bytes at p: the stops, the line ends (LF, CR), and apart the odd stops,
// "(" and NUL, which are word ends too.
struct BlockMarks {
    std::uint64_t stops, ends, odd;
};
template <class MarksOf>
[[gnu::always_inline]] inline BlockMarks blockMarks(const MarksOf& marksOf, const char* p, std::uint64_t inside) {
    const std::uint64_t stops =
        (std::uint64_t{marksOf.stops(p)} | std::uint64_t{marksOf.stops(p + kChunk)} << kChunk) & inside;
    const std::uint64_t wordEnds = std::uint64_t{marksOf.wordEnds(p)} | std::uint64_t{marksOf.wordEnds(p + kChunk)}
                                                                            << kChunk;
    const std::uint64_t odd = stops & wordEnds;
    return {stops, (wordEnds & inside) ^ odd, odd};
}

}  // namespace

// Most programs write a few Z numbers over and over, so a Z word's held value is kept by its text.
// readWordValue() reads a text of 17 bytes or more by its short reading first, and when that one
// takes the text the value depends only on the sign, the digits, the point and the byte after
// them, all bytes between '+' (0x2B) and '9' but the last. So the bytes up to and including the
// first byte outside that range, when at most eight, are a key for the value, kept only for texts
// the short reading takes: any other text may need the bytes beyond its key. False for a text
// without a key.
[[gnu::always_inline]] inline bool DepthMeasure::zKey(const char* p, const char* end, std::uint64_t& key) {
#if defined(__SSE2__)
    if constexpr (std::endian::native == std::endian::little) {
        if (end - p >= 17) {
            // The range shifted to the lowest signed bytes, for the first eight bytes: only those
            // count (as constants of eight bytes, which the compiler loads whole).
            constexpr std::uint64_t kEach = 0x0101010101010101u;
            constexpr auto kShift = static_cast<long long>(kEach * static_cast<unsigned char>(128 - '+'));
            constexpr auto kLimit = static_cast<long long>(kEach * static_cast<unsigned char>(-128 + ('9' - '+' + 1)));
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const auto inRange = static_cast<std::uint32_t>(_mm_movemask_epi8(
                _mm_cmplt_epi8(_mm_add_epi8(bytes, _mm_set_epi64x(0, kShift)), _mm_set_epi64x(0, kLimit))));
            const int length = std::countr_zero(~inRange);
            if (length < 8) {
                std::memcpy(&key, p, sizeof key);
                key &= ~std::uint64_t{0} >> (8 * (7 - length));
                return true;
            }
        }
    }
#else
    (void)p, (void)end, (void)key;
#endif
    return false;
}

DepthMeasure::ZText& DepthMeasure::keptZ(std::uint64_t key) {
    return zTexts_[(key * 0x9E3779B97F4A7C15u) >> (64 - kZTextBits)];
}

// A Z word whose text was not kept: read, and kept when it has a key.
bool DepthMeasure::readZ(const char* p, const char* end) {
    TarvoWord z;
    if (readWordValue(TarvoLetter::Z, p, end, z)) return false;
#if defined(__SSE2__)
    std::uint64_t key;
    if (NumberRead read; zKey(p, end, key) && detail::readShortNumber(p, read)) keptZ(key) = {key, z.held};
#endif
    if (machine_.cutting()) levels_.cut(z.held);
    return true;
}

// A G word's effect taken. Its line ends in a line end within the run, so a digit after the G is
// followed by one more byte at least: one digit followed by a byte that cannot go on with a number
// is the code it spells, as readGWord() reads it; every other text is read by readGWord(). False
// on a fault.
[[gnu::always_inline]] inline bool DepthMeasure::takeG(const char* p, const char* end) {
    GEffect effect;
    const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (digit < 10 && !detail::kGoesOnAfterDigits[static_cast<unsigned char>(p[1])]) [[likely]] {
        effect = detail::kCodeEffects[digit];
    } else {
        const GWord g = otherG(p, end);
        if (g.overflow) return false;
        effect = g.effect;
    }
    const auto plunge = [this] {
        levels_.plunge();
        return true;
    };
    // The motions, most G words, are taken with their effects known: the machine's switch folds away.
    if (effect == GEffect::Line) return machine_.takeG(GEffect::Line, plunge);
    if (effect == GEffect::ClockwiseArc) return machine_.takeG(GEffect::ClockwiseArc, plunge);
    if (effect == GEffect::CounterClockwiseArc) return machine_.takeG(GEffect::CounterClockwiseArc, plunge);
    if (effect == GEffect::Rapid) return machine_.takeG(GEffect::Rapid, plunge);
    return machine_.takeG(effect, plunge);
}

GWord DepthMeasure::otherG(const char* p, const char* end) { return readGWord(p, end); }

// The G and Z words of a taken line without "(" or NUL, at `stops` from `base`: each G word's
// effect taken in line order, the first Z word noted in `z`. False on a fault.
[[gnu::always_inline]] inline bool DepthMeasure::takeWords(const char* base, std::uint64_t stops, const char* end,
                                                           const char*& z) {
    for (; stops; stops &= stops - 1) {
        const char* const at = base + std::countr_zero(stops);
        if (*at == 'G') {
            if (!takeG(at + 1, end)) return false;
        } else if (!z) {
            z = at + 1;
        }
    }
    return true;
}

// After a taken line's G words: its first Z word counts when the line cuts. A fault found after
// the G effects stops the reading all the same.
[[gnu::always_inline]] inline bool DepthMeasure::takeZ(const char* z, const char* end) {
    if (!z) return true;
    if (std::uint64_t key; zKey(z, end, key)) {
        if (const ZText& kept = keptZ(key); kept.key == key) [[likely]] {
            if (machine_.cutting()) levels_.cut(kept.held);
            return true;
        }
    }
    return readZ(z, end);
}

// A line the block reading takes (see scan()); p moves on to the next line.
bool DepthMeasure::takeByBlock(const char*& p, const char* end) {
    WordFault fault;
    return take(longLines_.readLine(p, end), fault);
}

// A taken line's stops at `stops` from `base`: when it starts with N, its G effects in order and
// then its first Z word.
[[gnu::always_inline]] inline bool DepthMeasure::takeLine(const char* start, const char* base, std::uint64_t stops,
                                                          const char* end) {
    if (*start != 'N') return true;
    const char* z = nullptr;
    return takeWords(base, stops, end, z) && takeZ(z, end);
}

// The run is looked at 64 bytes at a time, as masks of its stops and line ends. Only the lines
// holding a stop are looked at, each once its end is found: its start is just after the last line
// end before its first stop, in this block or an earlier one. A line with a stop still open at
// the block's end starts the next block; one holding a "(" or NUL, one longer than a block from a
// block's start, and the run's last line without a line end are taken by the block reading.
template <class MarksOf>
[[gnu::always_inline]] inline bool DepthMeasure::scan(std::string_view lines, const MarksOf& marksOf) {
    const char* const end = lines.data() + lines.size();
    const char* lineStart = lines.data();  // of the line open at b
    const char* b = lines.data();
    // The block at b, its bytes at `block` (`inside` marks those in the run): false on a fault.
    const auto takeBlock = [&](const char* block, std::uint64_t inside) __attribute__((always_inline)) {
        const BlockMarks m = blockMarks(marksOf, block, inside);
        std::uint64_t stops = m.stops;
        while (stops) {
            // The line ends from the first stop on: all bits from the stop's up, as a negated bit.
            const std::uint64_t after = m.ends & (0 - (stops & (0 - stops)));
            if (!after) break;  // the line is open at the block's end
            const std::uint64_t before = m.ends ^ after;
            const char* start = before ? b + (kBlock - std::countl_zero(before)) : lineStart;
            const std::uint64_t line = after ^ (after - 1);  // up to its end
            const std::uint64_t lineStops = stops & line;
            stops &= ~line;
            if (lineStops & m.odd) [[unlikely]] {
                const char* p = start;
                if (!takeByBlock(p, end)) return false;
            } else if (!takeLine(start, b, lineStops, end)) {
                return false;
            }
        }
        if (m.ends) lineStart = b + (kBlock - std::countl_zero(m.ends));
        if (!stops) {
            b += kBlock;
        } else if (lineStart > b && block == b) {
            b = lineStart;
        } else {
            if (!takeByBlock(lineStart, end)) return false;
            b = lineStart;
        }
        return true;
    };
    while (end - b >= kBlock)
        if (!takeBlock(b, ~std::uint64_t{0})) return false;
    // The last bytes from a copy, so as not to read beyond the run.
    if (const auto left = static_cast<std::size_t>(end - b)) {
        char tail[kBlock];
        std::memset(tail, ' ', sizeof tail);
        std::memcpy(tail, b, left);
        return takeBlock(tail, (std::uint64_t{1} << left) - 1);
    }
    return true;
}

#if defined(PATHSHIFT_MEASURE_AVX2)
// With the bit instructions every processor with AVX2 has.
__attribute__((target("avx2,bmi,bmi2,lzcnt"))) bool DepthMeasure::takeLinesAvx2(std::string_view lines) {
    return scan(lines, Avx2Marks());
}
#endif

bool DepthMeasure::takeLines(std::string_view lines) {
#if defined(PATHSHIFT_MEASURE_AVX2)
    static const bool avx2 = [] {
        unsigned eax, ebx, ecx, edx;  // LZCNT is told by the extended features
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
               __get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx) && (ecx & bit_LZCNT);
    }();
    if (avx2 && widest_) return takeLinesAvx2(lines);
#endif
    return scan(lines, PortableMarks());
}

}  // namespace pathshift
