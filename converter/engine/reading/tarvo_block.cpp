#include "engine/reading/tarvo_block.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

#include "engine/reading/line_ends.h"
#include "engine/reading/powers_of_ten.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Where the processor runs AVX2 (with the bit instructions of its generation), a line's masks come
// from one vector; SSE2 stays the baseline.
#if defined(__SSE2__) && defined(__x86_64__) && defined(__linux__) && defined(__GNUC__)
#define PATHSHIFT_BLOCK_AVX2 1
#include <immintrin.h>
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

// The plain line's word loop meets letters only. Each letter's index in the reader's letter sets: a
// word's letter, G, or a letter the dialect does not know, which the loop passes over.
constexpr unsigned kGIndex = kTarvoLetters, kOtherIndex = kTarvoLetters + 1;

// A plain word's number: an optional minus sign, then its body, digits with at most one point, at
// most eight bytes. A row for each set of its sign, its points and its end, one bit a byte from the
// word's letter on, the letter's bit set (numberKey()): what reading the number needs. A body never
// starts with a point where no sign comes before it (readPlainLine() leaves such lines), so the
// bit after the letter's is a sign.
constexpr int kBodyBytes = 8;
constexpr int kNumberBytes = kBodyBytes + 1;
constexpr unsigned kNumberKeys = 4u << kNumberBytes;
constexpr unsigned numberKey(std::uint64_t signAndPoints, unsigned length) {
    return static_cast<unsigned>(1 | signAndPoints << 1 | std::uint64_t{2} << length);
}
// What the plain line's word loop looks up, column by column: one register and the row's index
// address every column.
struct PlainWordTables {
    // One bit at the letter's index; in the high half, for a word's letter, the word's offset in the
    // reader (its block first).
    std::uint64_t letters[256];
    double digitValue[256];        // a digit's value, by its byte
    // For a byte shuffle of the number's bytes: its digits without sign and point, aligned right
    // in eight bytes behind zeros. Read sixteen bytes at a time (hence the spare row): what the
    // shuffle makes of the high eight is never used.
    std::uint64_t digitsRight[kNumberKeys + 1];
    // Ten to the count of fraction digits, negative after a minus sign: x / -d is -(x / d) bit for
    // bit, a division rounding a value and its negation alike (0 / -d is -0, as -(0 / d) is).
    double divisor[kNumberKeys];
    // The shape, its length counting the sign; all zeros where the row is no plain number: no
    // digit, more than one point or more than kBodyBytes in the body.
    PlainNumber plain[kNumberKeys];
    bool sign[kNumberKeys];
};
constexpr PlainWordTables plainWordTables() {
    PlainWordTables t{};
    for (int c = 'A'; c <= 'Z'; ++c) {
        const std::uint8_t k = kByteClass[static_cast<std::size_t>(c)];
        const unsigned index = k == kG ? kGIndex : k == 0 ? kOtherIndex : k - 1u;
        const auto place = offsetof(TarvoBlock, words) + index * sizeof(TarvoWord);
        t.letters[c] = 1u << index | (index < kTarvoLetters ? std::uint64_t{place} << 32 : 0);
    }
    for (int c = '0'; c <= '9'; ++c) t.digitValue[c] = c - '0';
    for (unsigned length = 0; length <= kNumberBytes; ++length)
        for (unsigned bits = 0; bits < 1u << length; ++bits) {
            const unsigned key = numberKey(bits, length);
            const unsigned sign = bits & 1, points = bits >> sign, bodyLength = length - sign;
            const bool point = points != 0;
            const int whole = point ? std::countr_zero(points) : static_cast<int>(bodyLength);
            const int fraction = point ? static_cast<int>(bodyLength) - whole - 1 : 0, count = whole + fraction;
            std::uint64_t lanes = ~std::uint64_t{0} / 0xFF * 0x80;
            for (int k = 0; k < count && count <= kBodyBytes; ++k) {
                const auto lane = std::uint64_t{sign + static_cast<unsigned>(k < whole ? k : k + 1)};
                const int at = 8 * (kBodyBytes - count + k);
                lanes = (lanes & ~(std::uint64_t{0xFF} << at)) | lane << at;
            }
            t.digitsRight[key] = lanes;
            t.divisor[key] = sign ? -kExactPowersOfTen[fraction] : kExactPowersOfTen[fraction];
            if (count > 0 && std::popcount(points) <= 1 && bodyLength <= kBodyBytes)
                t.plain[key] = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(whole),
                                static_cast<std::uint8_t>(fraction), point};
            t.sign[key] = sign;
        }
    return t;
}

#if defined(__SSE2__)
// What 32 bytes of a line hold, one bit per byte. A plain line holds nothing but plain bytes up to
// its line end: letters other than the exponent letters E and D, digits, points and minus signs
// (a plus sign is rare enough to be left to the byte reading).
struct Masks {
    std::uint32_t letters = 0;
    std::uint32_t points = 0;
    std::uint32_t minuses = 0;
    std::uint32_t stops = 0;  // the bytes that are not plain, line ends among them
};

// A byte's classes as the AND of what its low and its high four bits allow, one bit each: minus
// signs in the top bit, the letters in the next two (0x41-0x4F without D and E, 0x50-0x5A), then
// points and digits. So a byte's class is a letter's exactly when, as a signed byte, it is above
// the points' and digits' bits, and a minus sign's when it is negative.
constexpr std::uint8_t kMinus = 0x80, kLetter4 = 0x40, kLetter5 = 0x20, kPoint = 0x10, kDigit = 0x08;
constexpr std::uint8_t kAboveNonLetters = kPoint | kDigit;
struct alignas(32) Table {
    std::uint8_t bytes[32];
};
constexpr Table nibbleTable(bool high) {
    Table t{};
    for (int n = 0; n < 32; ++n) {
        const int v = n % 16;  // the same table in both halves of the vector
        std::uint8_t bits = 0;
        if (high) {
            bits = v == 2   ? kPoint | kMinus
                   : v == 3 ? kDigit
                   : v == 4 ? kLetter4
                   : v == 5 ? kLetter5
                            : 0;
        } else {
            if (v >= 1 && v != 4 && v != 5) bits |= kLetter4;
            if (v <= 0xA) bits |= kLetter5;
            if (v <= 9) bits |= kDigit;
            if (v == 0xE) bits |= kPoint;
            if (v == 0xD) bits |= kMinus;
        }
        t.bytes[n] = bits;
    }
    return t;
}
// Bytes, or 16-bit lanes in little-endian bytes, alternating between two values.
constexpr Table alternating(int first, int second, int bytes = 1) {
    Table t{};
    for (int n = 0; n < 32; ++n)
        t.bytes[n] = static_cast<std::uint8_t>((n / bytes % 2 ? second : first) >> (8 * (n % bytes)));
    return t;
}
// The nibble tables, then the constants of the value's steps: the AVX2 code's. The tables the word
// loop looks up after them, at a known distance.
struct alignas(32) LineTables {
    Table nibbles[8];
    PlainWordTables words;
};
constexpr LineTables kLineTables = {{nibbleTable(false), nibbleTable(true), alternating(0x0F, 0x0F),
                                     alternating(kAboveNonLetters, kAboveNonLetters), alternating('0', '0'),
                                     alternating(10, 1), alternating(100, 1, 2), alternating(10000, 1, 2)},
                                    plainWordTables()};
enum : int {
    kLowNibbles, kHighNibbles, kNibbleBits, kNonLetters, kZeros, kTensAndOnes, kHundredsAndOnes, kTenThousandsAndOnes
};

// The baseline: masks in two 16-byte steps, a body's value through the word-wide digit reading.
struct Sse2Line {
    Masks operator()(const char* p) const {
        Masks m;
        for (int half = 0; half < 32; half += 16) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + half));
            const __m128i capitals = _mm_cmplt_epi8(_mm_add_epi8(b, _mm_set1_epi8(static_cast<char>(128 - 'A'))),
                                                    _mm_set1_epi8(static_cast<char>(-128 + 26)));
            const __m128i exponents =
                _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('E')), _mm_cmpeq_epi8(b, _mm_set1_epi8('D')));
            const __m128i letters = _mm_andnot_si128(exponents, capitals);
            const __m128i digits = _mm_cmplt_epi8(_mm_add_epi8(b, _mm_set1_epi8(static_cast<char>(128 - '0'))),
                                                  _mm_set1_epi8(static_cast<char>(-128 + 10)));
            const __m128i points = _mm_cmpeq_epi8(b, _mm_set1_epi8('.'));
            const __m128i minuses = _mm_cmpeq_epi8(b, _mm_set1_epi8('-'));
            const __m128i plain = _mm_or_si128(_mm_or_si128(letters, digits), _mm_or_si128(points, minuses));
            m.letters |= static_cast<std::uint32_t>(_mm_movemask_epi8(letters)) << half;
            m.points |= static_cast<std::uint32_t>(_mm_movemask_epi8(points)) << half;
            m.minuses |= static_cast<std::uint32_t>(_mm_movemask_epi8(minuses)) << half;
            m.stops |= static_cast<std::uint32_t>(_mm_movemask_epi8(plain) ^ 0xFFFF) << half;
        }
        return m;
    }
    // The low `count` bits of x, count from 1 to 64; the bits of x up to its lowest set bit, that
    // bit included; that bit's index.
    static std::uint64_t lowBits(std::uint64_t x, std::uint64_t count) {
        return x & (~std::uint64_t{0} >> (64 - count));
    }
    static std::uint64_t upToLowest(std::uint64_t x) { return x ^ (x - 1); }
    static std::size_t lowest(std::uint64_t x) { return static_cast<std::size_t>(std::countr_zero(x)); }
    double value(const char* number, std::size_t key) const {
        const PlainNumber& plain = tables->words.plain[key];
        const bool minus = tables->words.sign[key];
        const double magnitude = detail::shortDigitsValue(number + minus, plain.whole, plain.places, plain.point);
        return minus ? -magnitude : magnitude;
    }

    const LineTables* tables = &kLineTables;
};
#endif

#if defined(PATHSHIFT_BLOCK_AVX2)
// Masks from two nibble tables in one vector; a body's value from a shuffle of its digits and
// multiply-adds of neighbours: pairs, fours, then all eight, every sum exact in its lane.
struct Avx2Line {
    __attribute__((target("avx2,bmi,bmi2"))) __m256i table(int which) const {
        return _mm256_load_si256(reinterpret_cast<const __m256i*>(tables->nibbles[which].bytes));
    }
    __attribute__((target("avx2,bmi,bmi2"))) Masks operator()(const char* p) const {
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        // The shuffle looks up a byte by its low four bits, and gives 0 for a byte of 0x80 and
        // above: no class, as the high four bits would give it.
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(b, 4), table(kNibbleBits));
        const __m256i classes = _mm256_and_si256(_mm256_shuffle_epi8(table(kLowNibbles), b),
                                                 _mm256_shuffle_epi8(table(kHighNibbles), high));
        // Each class to the top bit of its byte for the movemask.
        Masks m;
        m.letters =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpgt_epi8(classes, table(kNonLetters))));
        m.points = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_slli_epi16(classes, 3)));
        m.minuses = static_cast<std::uint32_t>(_mm256_movemask_epi8(classes));
        m.stops = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(classes, _mm256_setzero_si256())));
        return m;
    }
    __attribute__((target("avx2,bmi,bmi2"))) static std::uint64_t lowBits(std::uint64_t x, std::uint64_t count) {
        return _bzhi_u64(x, count);
    }
    // As written: from the intrinsics GCC makes x - 1 shared with the next x & (x - 1), and an int
    // count widened with a sign extension.
    static std::uint64_t upToLowest(std::uint64_t x) {
        std::uint64_t bits;
        asm("blsmsk %1, %0" : "=r"(bits) : "rm"(x) : "cc");
        return bits;
    }
    static std::size_t lowest(std::uint64_t x) {
        std::size_t count;
        asm("tzcnt %1, %0" : "=r"(count) : "rm"(x) : "cc");
        return count;
    }
    // The digits' integer is below 10^8: every pair, four and eight fits its lane, and the float
    // division is the one the word-wide reading makes, its sign in the divisor.
    __attribute__((target("avx2,bmi,bmi2"))) double value(const char* number, std::size_t key) const {
        const auto constant = [&](int which) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(tables->nibbles[which].bytes));
        };
        __m128i d = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(number)), constant(kZeros));
        d = _mm_shuffle_epi8(d, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&tables->words.digitsRight[key])));
        d = _mm_maddubs_epi16(d, constant(kTensAndOnes));
        d = _mm_madd_epi16(d, constant(kHundredsAndOnes));
        d = _mm_packus_epi32(d, d);
        d = _mm_madd_epi16(d, constant(kTenThousandsAndOnes));
        return _mm_cvtsd_f64(_mm_cvtepi32_pd(d)) / tables->words.divisor[key];
    }

    const LineTables* tables = &kLineTables;
};
#endif

}  // namespace

TarvoBlockReader::TarvoBlockReader(TarvoLetters letters, bool widest)
    : letters_(letters), plainSkipped_((kAllLetters & ~unsigned{letters}) | 1u << kGIndex | 1u << kOtherIndex) {
#if defined(PATHSHIFT_BLOCK_AVX2)
    static const bool avx2 =
        __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
    avx2_ = avx2 && widest;
#else
    (void)widest;
#endif
}

// The plain line's words other than coordinates, feeds and speeds: rare, and kept out of its loop.
void TarvoBlockReader::holdOtherWords() {
    for (unsigned rest = block_.present & ~kFloatLetters; rest; rest &= rest - 1) {
        const auto letter = static_cast<TarvoLetter>(std::countr_zero(rest));
        TarvoWord& word = block_.words[static_cast<int>(letter)];
        if (const WordFault fault = holdWord(letter, NumberRead{word.value, false, word.plain}, word))
            noteFault(letter, fault);
    }
}

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

// A numbered line of at most 63 bytes, holding nothing but letters other than E and D, digits,
// points and minus signs, each sign right after a letter, whose words are each a letter and a number
// of the short plain shape, [-] digits [. digits] with at most eight digits (seven around a point),
// up to the next letter or the line end; read from masks of its bytes. readWords() stops at the
// same letters in the same order, and nothing after such a number goes on with it (a letter other
// than E and D, or the line end), so every path of readLeadingNumber() and readShortNumber() reads
// it as the digits' integer over ten to the count after the point, both exact, the sign applied
// last: the line's value() is that division (its sign carried by the divisor, the same bits), and
// one digit alone is its own value. Below 10^8 in size, no value is beyond a float. So the block is
// the one readWords() reads, once holdOtherWords() has held what the loop leaves. For such a line
// `cursor` moves to where the next line starts; every other line is left to the byte reading.
template <class Line>
[[gnu::always_inline]] inline TarvoBlockReader::PlainRead TarvoBlockReader::readPlainLine(const char*& cursor,
                                                                                        const char* end,
                                                                                        const Line& line) {
#if defined(__SSE2__)
    const char* const p = cursor;
    // Room for the masks of 64 bytes and the sixteen bytes read at the last number.
    if (end - p < kPlainLineBytes + 16 || *p != 'N') [[unlikely]]
        return PlainRead::No;
    Masks m = line(p);
    std::uint64_t letters = m.letters, points = m.points, minuses = m.minuses, stops = m.stops;
    if (m.stops == 0) {
        m = line(p + 32);
        if (m.stops == 0) [[unlikely]]
            return PlainRead::No;
        letters |= std::uint64_t{m.letters} << 32;
        points |= std::uint64_t{m.points} << 32;
        minuses |= std::uint64_t{m.minuses} << 32;
        stops = std::uint64_t{m.stops} << 32;
    }
    // Nothing but plain bytes before the line end: the first byte that is not plain ends the line.
    const auto lineEnd = static_cast<unsigned>(std::countr_zero(stops));
    // afterLineEnd(), a CR LF known to lie in the run.
    std::uint16_t endBytes;
    std::memcpy(&endBytes, p + lineEnd, sizeof endBytes);
    const bool crLf = endBytes == ('\r' | '\n' << 8);
    if (!crLf && !isLineEnd(static_cast<char>(endBytes & 0xFF))) [[unlikely]]
        return PlainRead::No;
    // With every sign after a letter, a number's bytes after its sign are digits and points; with
    // no point right after a letter, a number's first bit in the key is its sign: the signs and
    // points right after letters are the minus signs, all of them.
    const std::uint64_t signsAndPoints = minuses | points;
    if ((minuses ^ (letters << 1 & signsAndPoints)) & ((std::uint64_t{1} << lineEnd) - 1)) [[unlikely]]
        return PlainRead::No;
    // Every field is set again when the line turns out not plain.
    TarvoBlock& b = block_;
    b.kind = TarvoBlock::Kind::Numbered;
    static_assert(sizeof b.fault == 16);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&b.fault), _mm_setzero_si128());  // b.fault = {}, one store
    b.text = std::string_view(p, lineEnd);
    b.g = plainG_;
    cursor = p + lineEnd + 1 + crLf;  // set before the words: fewer values live after them
    unsigned skipped = plainSkipped_;  // letters not read, or read already
    std::size_t gCount = 0;
    // Each letter's number ends at the next letter or the line end, the lowest of the stops. The
    // N at the start, bit 0, is no word.
    std::uint64_t bounds = line.lowBits(letters | stops, lineEnd + 1) ^ 1;
    // A number's key from one mask: nothing but its sign and points lies between its letter and
    // its end.
    const std::uint64_t keyBits = signsAndPoints | bounds;
    const PlainWordTables& words = line.tables->words;
    for (;;) {
        const std::size_t at = line.lowest(bounds);
        bounds &= bounds - 1;
        if (!bounds) break;  // at the line end
        const std::uint64_t letter = words.letters[static_cast<unsigned char>(p[at])];
        // The number's key: the letter's bit, the number's sign, points and end bit (up to the
        // lowest bound left), below 2^(kNumberBytes + 2) exactly when the number has at most
        // kNumberBytes bytes. Its shape, 0 where it is no plain number.
        std::uint64_t key;
        const auto shape = [&] {
            key = (keyBits & line.upToLowest(bounds)) >> at;
            static_assert(std::endian::native == std::endian::little);
            return key < kNumberKeys ? std::bit_cast<std::uint32_t>(words.plain[key]) : 0;
        };
        const char* const number = p + at + 1;
        // G is always in `skipped`: the words held in the block pass one test.
        if (skipped & letter) [[unlikely]] {
            if (letter != 1u << kGIndex) continue;
            const std::uint32_t plainBits = shape();
            if (plainBits == 0) return PlainRead::NotWords;
            // Most G words are one digit alone.
            NumberRead& g = plainG_[gCount++];
            g.value = (plainBits & 0xFF) == 1 ? words.digitValue[static_cast<unsigned char>(*number)]
                                              : line.value(number, key);
            g.overflow = false;
            std::memcpy(static_cast<void*>(&g.plain), &plainBits, sizeof plainBits);
            continue;
        }
        const std::uint32_t plainBits = shape();
        if (plainBits == 0) return PlainRead::NotWords;
        const double value = line.value(number, key);
        skipped |= static_cast<std::uint32_t>(letter);
        // Fewer than 10^8 in size: far within a float's range. The other letters are held by
        // holdOtherWords().
        static_assert(offsetof(TarvoBlockReader, block_) == 0);
        auto* const word = reinterpret_cast<TarvoWord*>(reinterpret_cast<char*>(this) + (letter >> 32));
        word->text = number;
        word->value = value;
        word->held = static_cast<float>(value);
        std::memcpy(static_cast<void*>(&word->plain), &plainBits, sizeof plainBits);
    }
    b.present = static_cast<TarvoLetters>(skipped & letters_);
    b.gCount = gCount;
    return b.present & ~kFloatLetters ? PlainRead::OtherWords : PlainRead::Yes;
#else
    (void)cursor, (void)end, (void)line;
    return PlainRead::No;
#endif
}

TarvoBlockReader::PlainRead TarvoBlockReader::readPlainLinePortable(const char*& p, const char* end) {
#if defined(__SSE2__)
    return readPlainLine(p, end, Sse2Line());
#else
    (void)p, (void)end;
    return PlainRead::No;
#endif
}

#if defined(PATHSHIFT_BLOCK_AVX2)
// Flattened: the line's vector steps are inlined as the AVX2 code they are. It calls nothing, so
// its 32-byte vectors cost no realignment of the stack.
[[gnu::flatten]] __attribute__((target("avx2,bmi,bmi2"))) TarvoBlockReader::PlainRead
TarvoBlockReader::readPlainLineAvx2(const char*& p, const char* end) {
    Avx2Line line;
    asm("" : "+r"(line.tables));  // the tables are read where they are, all from one register
    return readPlainLine(p, end, line);
}
#else
TarvoBlockReader::PlainRead TarvoBlockReader::readPlainLineAvx2(const char*& p, const char* end) {
    return readPlainLinePortable(p, end);
}
#endif

const TarvoBlock& TarvoBlockReader::readOtherLine(PlainRead read, const char*& p, const char* end) {
    if (read == PlainRead::NotWords) p = block_.text.data();
    if (read != PlainRead::OtherWords) return readAnyLine(p, end);
    holdOtherWords();
    return block_;
}

const TarvoBlock& TarvoBlockReader::readAnyLine(const char*& p, const char* end) {
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
