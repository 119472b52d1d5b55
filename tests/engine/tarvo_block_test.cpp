// The reading of one source line into a block: taken or dropped, the words with their held values
// and the first fault in the letters' order.

#include "engine/reading/tarvo_block.h"

#include "engine/reading/block_scan.h"
#include "engine/reading/depth_measure.h"
#include "engine/reading/line_scanner.h"
#include "support/piece_source.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace pathshift {
namespace {

using Kind = TarvoBlock::Kind;
using Fault = WordFault::Kind;

TEST(TarvoBlockReader, ReadsEachLineOnce) {
    using namespace std::string_literals;
    struct Case {
        std::string line;
        Kind kind;
        Fault fault;
        std::string words;  // letter=value of the words present, in the letters' order
        std::vector<double> g;
    };
    const Case cases[] = {
        {"N10G0X1.5Y-2", Kind::Numbered, Fault::None, "X=1.5 Y=-2", {0}},
        {"N1X1X2 Y 3.5E1", Kind::Numbered, Fault::None, "X=1 Y=35", {}},  // first occurrence; blanks and exponents
        {"N1G1 G2G3.0G 21", Kind::Numbered, Fault::None, "", {1, 2, 3, 21}},
        {"N1T1004.5S1e3", Kind::Numbered, Fault::None, "S=1000 T=1004", {}},  // halves round to even
        {"N1 x1 X", Kind::Numbered, Fault::None, "X=0", {}},                   // lower case is no word
        {"", Kind::Unnumbered, Fault::None, "", {}},
        {"n10G1X1", Kind::Unnumbered, Fault::None, "", {}},
        {" N10G1X1", Kind::Unnumbered, Fault::None, "", {}},
        {"N10G1X1(CUT)Y2", Kind::Commented, Fault::None, "", {}},
        {"N10X1e39(CUT)", Kind::Commented, Fault::None, "", {}},  // a dropped line's words do not count
        {"N1X1\0Y2"s, Kind::Numbered, Fault::Nul, "", {}},
        {"%\0"s, Kind::Unnumbered, Fault::Nul, "", {}},
        {"N1(\0)"s, Kind::Commented, Fault::Nul, "", {}},
        {"N1Y1e39X1e400", Kind::Numbered, Fault::Number, "", {}},  // X is named before Y
        {"N1Z3.5e38", Kind::Numbered, Fault::Float, "", {}},
        {"N1T40000", Kind::Numbered, Fault::Tool, "", {}},
        {"N1G1e400", Kind::Numbered, Fault::None, "", {0}},  // G faults count when the G words are taken
    };
    TarvoBlockReader reader;
    const char letters[] = "MPXYZIJKFSHT";
    for (const Case& c : cases) {
        const TarvoBlock& block = reader.read(c.line);
        SCOPED_TRACE(c.line);
        EXPECT_EQ(block.kind, c.kind);
        EXPECT_EQ(block.fault.kind, c.fault);
        if (c.fault != Fault::None) continue;
        std::string words;
        for (int i = 0; i < kTarvoLetters; ++i) {
            const auto letter = static_cast<TarvoLetter>(i);
            if (!block.has(letter)) continue;
            char value[32];
            std::snprintf(value, sizeof value, "%g", letter == TarvoLetter::T ? block.word(letter).tool
                                                                             : block.word(letter).held);
            if (!words.empty()) words += ' ';
            words += letters[i];
            words += '=';
            words += value;
        }
        if (c.kind == Kind::Numbered) {
            EXPECT_EQ(words, c.words);
        }
        std::vector<double> g;
        for (std::size_t k = 0; k < block.gCount; ++k) g.push_back(block.g[k].overflow ? 0 : block.g[k].value);
        if (c.kind == Kind::Numbered) {
            EXPECT_EQ(g, c.g);
        }
    }
    EXPECT_EQ(TarvoBlockReader(letterBit(TarvoLetter::Z)).read("N1X1e39Z2").fault.kind, Fault::None);
}

// A line is read from masks of its bytes when it is a numbered line of plain words within 64 bytes
// with room after it, byte by byte otherwise: both readings must give the same block, whatever the
// words' places around 16- and 32-byte steps.
TEST(TarvoBlockReader, ReadsPlainLinesAsTheByteReadingDoes) {
    using namespace std::string_literals;
    const std::string shapes[] = {
        "X1.5Y-2", "X12345678Y1", "X123456789", "X1234567.8", "X-123456.7Z+.1234567", "X.5Y5.Z-.5F-5.",
        "X.Y-Z+", "X--1", "X1-2Y1+2", "X1.2.3", "X 1", "X1 Y2", "X1\tY2", "x1X2", "X1e5", "X1E5Y2",
        "X1D2", "X1d2", "X1X2Y3Y4Z5Z6", "G1G2G3.5G-1G12345678G123456789G0", "G", "G1.", "T99999",
        "T1.5", "T2.5M6", "M6T1002", "A1B2C3X1N5Y2", "X1(C)Y2", "X1\0Y2"s, "", "M3P1X1Y2Z3I4J5K6F7S8H9T10",
        "X1Y2Z3I4J5F6X1Y2Z3I4J5F6X1Y2Z3I4J5F6X1Y2Z3I4J5F6X1Y2Z3I4J5F6", "F99999999S0.0000001H-0",
        "Z1e39", "X-0Y+0G-0", "X1\xB5Y2", "G\x8A" "1"};
    // Besides, every number of up to nine bytes with up to two points, with and without a sign.
    std::vector<std::string> lines(std::begin(shapes), std::end(shapes));
    for (int length = 0; length <= 9; ++length)
        for (int points = 0; points < 1 << length; ++points)
            if (std::popcount(static_cast<unsigned>(points)) <= 2)
                for (const char* letters : {"X", "Z-", "G"}) {
                    std::string line = letters;
                    for (int k = 0; k < length; ++k) line += points >> k & 1 ? '.' : static_cast<char>('1' + k % 9);
                    lines.push_back(line.append("Y2"));
                }
    const auto same = [](const TarvoBlock& a, const TarvoBlock& b, const char* base, const char* other) {
        if (a.kind != b.kind || a.fault.kind != b.fault.kind || a.fault.letter != b.fault.letter ||
            std::memcmp(&a.fault.value, &b.fault.value, sizeof(double)) != 0 || a.present != b.present ||
            a.text != b.text || a.gCount != b.gCount)
            return false;
        for (int i = 0; i < kTarvoLetters; ++i) {
            const TarvoWord &u = a.words[i], &v = b.words[i];
            if (a.present & (1u << i) &&
                (std::memcmp(&u.value, &v.value, sizeof(double)) != 0 || u.plain.length != v.plain.length ||
                 u.plain.whole != v.plain.whole || u.plain.places != v.plain.places || u.plain.point != v.plain.point ||
                 u.text - base != v.text - other ||
                 (letterBit(static_cast<TarvoLetter>(i)) & kFloatLetters ? std::memcmp(&u.held, &v.held, sizeof(float))
                                                                          : u.tool != v.tool)))
                return false;
        }
        for (std::size_t k = 0; k < a.gCount; ++k)
            if (std::memcmp(&a.g[k].value, &b.g[k].value, sizeof(double)) != 0 || a.g[k].overflow != b.g[k].overflow ||
                a.g[k].plain.length != b.g[k].plain.length || a.g[k].plain.places != b.g[k].plain.places)
                return false;
        return true;
    };
    TarvoBlockReader bytes, widest, baseline(kAllLetters, false);
    for (const std::string& shape : lines)
        for (int digits = 0; digits <= 40; ++digits)
            for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
                std::string line = "N";
                line.append(static_cast<std::size_t>(digits), '7').append(shape);
                std::string run = line;
                run.append(lineEnd).append(80, 'N');
                const TarvoBlock& expected = bytes.read(line);  // no room after it: byte by byte
                for (TarvoBlockReader* reader : {&widest, &baseline}) {
                    const char* p = run.data();
                    const TarvoBlock& block = reader->readLine(p, run.data() + run.size());
                    EXPECT_TRUE(same(block, expected, run.data(), line.data())) << ::testing::PrintToString(line);
                    EXPECT_EQ(p - run.data(), static_cast<long>(line.size() + std::strlen(lineEnd)));
                }
            }
}

// What a measuring reading ends with: whether it went through, the units and the depth table.
struct Measured {
    bool ok = false;
    UnitsWord units = UnitsWord::None;
    std::vector<double> levels;
    bool operator==(const Measured&) const = default;
};

Measured measuredBy(DepthMeasure& measure, bool ok) {
    Measured m{ok, measure.units(), {}};
    measure.end();
    for (std::size_t k = 0; ok && measure.levels().holds(k); ++k) m.levels.push_back(measure.levels().level(k));
    return m;
}

// The measuring reading looks only at Z, G, "(", NUL and line ends in runs of whole lines: it must
// measure what the blocks of a Z and G reader measure, and fail where they fail.
TEST(DepthMeasure, TheScanOfWholeLinesAgreesWithTheBlocks) {
    using namespace std::string_literals;
    std::vector<std::string> texts = {
        "N1G0X1\nN2G1Z-1\r\nN3Z-2\rN4G0\nN5G1Z-0.5G20", "\xEF\xBB\xBFN1G0\nN2G1Z-1Z-5G21\n",
        "N1G0\nN2G1Z-3(CUT)\nN3G1Z-1\n(Z-5)\n N2G1Z-9\nn3G1Z-9\nN4G0G1 Z - 2 . 5E1\n", "N1G1Z1e39\n",
        "N1G1e400\n", "N1(Z1e39)G1e400\nN2Z3.5e38(\n", "%\0\n"s, "N1G0\nN2G1Z-1(\0)\n"s, "\xEF\xBB\xBF", "",
        // Z numbers at the edges of the short plain shape, in cutting and in rapid lines.
        "N1G1Z-0.48X1\nN2Z+.1234567\nN3Z12345678\nN4Z123456789\nN5Z-1234567.\nN6Z1.2.3\nN7Z-.\nN8Z-0\n"
        "N9Z0.30000001\nN10Z9.87654321\nN11Z-1234.5678\nN12Z7", "N1G0Z0.5\nN2Z1e39\n", "N1G0Z1.5\nN2G1Z-.1234 5\n",
        // A Z text read again, then the same digits going on otherwise (with 17 bytes after each
        // but the last), and near the run's end.
        "N1G1Z-0.5\nN2Z-0.5\nN3Z-0.5E1\nN4X1234567890123\n", "N1G1Z-0.5X\nN2Z-0.5X\nN3Z-0.5 1\nN4X1234567890123\n",
        "N1G1Z-12.3456\nN2Z-12.34567\nN3Z-12.34567X\nN4Z+.5-2\nN5Z-12.3456\nN6Z-12.34567D1\nN7X1234567890123\nN8Z-.5"};
    // Lines of many G words, with Z words, faults, a comment and no line end after them.
    std::string gWords;
    for (int k = 0; k < 20; ++k) gWords += k % 3 ? "G1" : "G0";
    for (const char* rest : {"Z-1\nN2G1Z-2\n", "Z1e39\n", "(\nN2G1Z-3\n", "G1e400\n", "G21Z-4"})
        texts.push_back("N1G0\nN2" + gWords + rest);
    std::mt19937 random(13);
    const std::string alphabet = "NNNGGZZ0123.-+ E(\0\r\n\n\nX"s;
    // The last thousand with long lines, across the 64-byte blocks the scan takes and beyond two.
    const std::string longLines = "NNGGGZZZ0123.-+ E(\0\rXXXXXXXXXX\n"s;
    for (int i = 0; i < 4000; ++i) {
        std::string text(random() % (i < 2000 ? 90 : 400), ' ');
        for (char& c : text) c = (i < 3000 ? alphabet : longLines)[random() % (i < 3000 ? alphabet : longLines).size()];
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        DepthMeasure blocks(Head::One);
        blocks.begin();
        LineScanner lines(text);
        TarvoBlockReader reader(letterBit(TarvoLetter::Z));
        bool ok = true;
        scanBlocks(lines, reader, [&](const TarvoBlock& block, std::size_t) {
            WordFault fault;
            return ok = blocks.take(block, fault);
        });
        const Measured expected = measuredBy(blocks, ok);
        for (const std::size_t piece : {0u, 1u, 7u, 1u << 20}) {  // 0: the text whole in memory
            testing::PieceSource source(text, 5);
            LineScanner scanner = piece ? LineScanner(source, piece) : LineScanner(text);
            for (const bool widest : {true, false}) {
                DepthMeasure runs(Head::One, widest);
                runs.begin();
                ok = scanner.rewind();
                for (std::string_view run; ok && scanner.nextLines(run);) ok = runs.takeLines(run);
                ASSERT_EQ(measuredBy(runs, ok), expected)
                    << ::testing::PrintToString(text) << " piece " << piece << " widest " << widest;
            }
        }
    }
}

}  // namespace
}  // namespace pathshift
