// The lines of a drawn move: which source block each move of the converted program came from, and
// the texts of both lines read back through sparse line indexes, shown safely whatever they hold.

#include "engine/plan/move_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/toolpath/source_lines.h"
#include "support/piece_source.h"

namespace pathshift {
namespace {

using testing::PieceSource;

class Lines final : public MoveSink {
public:
    bool move(const Move& m) override {
        got.push_back({m.sourceLine, m.targetLine});
        return true;
    }
    std::vector<std::pair<std::size_t, std::size_t>> got;
};

TEST(MoveLines, EachLineIsReadBackAndShownAsItIs) {
    std::string text = "N1G20\r\nN2T1005\rN3G0X0Y0\n";                      // CR LF, a lone CR, LF
    text += "N4G1X1 (\xFF\xC3\x28 \x1B[31m\xE2\x80\xAE<b>&\xC3\xA9\t)\r\n";  // bad UTF-8, escape, bidi, markup
    text += std::string(40000, 'X') + "\n";                                  // past the bytes between marks
    for (int i = 6; i <= 300; ++i) text.append("N").append(std::to_string(i)).append("\n");  // past the lines between marks
    PieceSource piece(text, 7);  // short pieces: a CR LF split between two of them
    IndexedSource source(piece);
    std::string error;
    char buffer[4096];
    for (int scan = 0; scan < 2; ++scan) {
        ASSERT_TRUE(source.rewind(error));
        while (source.read(buffer, sizeof buffer, error) > 0) {
        }
    }
    const MoveLineTexts texts(source, source.index(), source, source.index());
    const struct {
        std::size_t line;
        std::string shown;
    } cases[] = {
        {0, "no source line"},
        {1, "source line 1: N1G20"},
        {2, "source line 2: N2T1005"},
        {3, "source line 3: N3G0X0Y0"},
        {4, "source line 4: N4G1X1 (\\xFF\\xC3( \\x1B[31m\\u{202E}<b>&\xC3\xA9\\x09)"},
        {5, "source line 5: " + std::string(kShownLineBytes, 'X') + "\u2026"},
        {6, "source line 6: N6"},
        {250, "source line 250: N250"},
        {300, "source line 300: N300"},
        {302, "source line 302: its text cannot be read (no such line)"},
    };
    for (const auto& c : cases) EXPECT_EQ(texts.sourceLine(c.line), c.shown) << c.line;
}

TEST(MoveLines, AChangedSourceKeepsItsNumbersButNotItsTexts) {
    const auto path = std::filesystem::temp_directory_path() / "pathshift_move_lines.nc";
    std::ofstream(path) << "N1G20\nN2G0X1\n";
    SourceFile file;
    std::string error;
    ASSERT_TRUE(file.open(path, error)) << error;
    IndexedSource source(file);
    char buffer[64];
    ASSERT_TRUE(source.rewind(error));
    while (source.read(buffer, sizeof buffer, error) > 0) {
    }
    const MoveLineTexts texts(source, source.index(), source, source.index());
    EXPECT_EQ(texts.sourceLine(2), "source line 2: N2G0X1");
    std::ofstream(path, std::ios::app) << "N3G0X2\n";
    EXPECT_EQ(texts.tooltip(2, 0), "source line 2: its text is no longer available (the file has changed)\n"
                                   "no target line");
    std::filesystem::remove(path);
}

// Cuts pair in order; each of the target's rapids takes the source's rapid between the same cuts
// that ends nearest it.
TEST(MoveLines, EveryTargetMoveNamesTheSourceBlockItCameFrom) {
    ConversionOptions options;
    options.thickness = "0.75";
    options.tools.appendRow({"1005", "3"});
    const std::string program = "N1G20\nN2T1005\nN3G0X0Y0\nN4Z0.2\nN5G1Z-0.5F80\nN6X2\nN7G2X3Y1I0J1\n"
                                "N8G0Z0.2\nN9X5Y5\nN10G1Z-0.25\nN11X6\nN12G0Z1\n";
    const ConversionResult converted = convertProgram(program, options);
    ASSERT_TRUE(converted.converted);
    PieceSource source(program, 64), target(converted.text, 64);
    Lines lines;
    ReplayError sourceError, targetError;
    ASSERT_TRUE(replayWithSourceLines(source, options, target, lines, sourceError, targetError));
    // (source line, target line): the first retract and the approach from N4 (N3 moves nowhere),
    // three cuts, the retract from N8, the approach from N9, two cuts, the last retract from N12.
    const std::vector<std::pair<std::size_t, std::size_t>> expected = {
        {4, 20}, {4, 25}, {5, 26}, {6, 27}, {7, 28}, {8, 29}, {9, 34}, {10, 35}, {11, 36}, {12, 37}};
    EXPECT_EQ(lines.got, expected) << converted.text;
}

}  // namespace
}  // namespace pathshift
