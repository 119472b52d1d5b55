// The reading of one source line into a block: taken or dropped, the words with their held values
// and the first fault in the letters' order.

#include "engine/reading/tarvo_block.h"

#include "engine/reading/block_scan.h"
#include "engine/reading/depth_measure.h"
#include "engine/reading/line_scanner.h"
#include "support/piece_source.h"

#include <gtest/gtest.h>

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
        "N9Z0.30000001\nN10Z9.87654321\nN11Z-1234.5678\nN12Z7", "N1G0Z0.5\nN2Z1e39\n", "N1G0Z1.5\nN2G1Z-.1234 5\n"};
    // Lines of more G words than the measure holds go to the block reading.
    std::string gWords;
    for (int k = 0; k < 20; ++k) gWords += k % 3 ? "G1" : "G0";
    for (const char* rest : {"Z-1\nN2G1Z-2\n", "Z1e39\n", "(\nN2G1Z-3\n", "G1e400\n", "G21Z-4"})
        texts.push_back("N1G0\nN2" + gWords + rest);
    std::mt19937 random(13);
    const std::string alphabet = "NNNGGZZ0123.-+ E(\0\r\n\n\nX"s;
    for (int i = 0; i < 3000; ++i) {
        std::string text(random() % (i < 2000 ? 90 : 400), ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
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
        for (const std::size_t piece : {1u, 7u, 1u << 20}) {
            testing::PieceSource source(text, 5);
            LineScanner scanner(source, piece);
            DepthMeasure runs(Head::One);
            runs.begin();
            ok = scanner.rewind();
            for (std::string_view run; ok && scanner.nextLines(run);) ok = runs.takeLines(run);
            ASSERT_EQ(measuredBy(runs, ok), expected) << ::testing::PrintToString(text) << " piece " << piece;
        }
    }
}

}  // namespace
}  // namespace pathshift
