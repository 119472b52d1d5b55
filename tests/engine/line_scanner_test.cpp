// The line scanner: events, line ends, fields under a separator that changes mid-line.

#include "engine/reading/line_scanner.h"

#include "engine/io/text_source.h"
#include "support/piece_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#ifndef PATHSHIFT_RANDOM_VALUES
#define PATHSHIFT_RANDOM_VALUES 100000
#endif

namespace pathshift {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

// Random texts per test: fewer under the sanitizers.
constexpr int kRandomTexts = PATHSHIFT_RANDOM_VALUES >= 1000000 ? 2000 : 500;

// Records every event; calls `onLine` while a line is current.
class Recorder final : public LineScanner::Events {
public:
    explicit Recorder(LineScanner& scanner) : scanner_(scanner) {}

    void beginOfFile() override { events.push_back("begin"); }
    void line() override {
        events.push_back("line");
        lines.emplace_back(scanner_.currentLine());
        numbers.push_back(scanner_.lineNumber());
        offsets.push_back(scanner_.lineOffset());
        if (onLine) onLine(scanner_);
    }
    void endOfFile() override { events.push_back("end"); }

    std::vector<std::string> events;
    std::vector<std::string> lines;
    std::vector<std::size_t> numbers;
    std::vector<std::size_t> offsets;
    std::function<void(LineScanner&)> onLine;

private:
    LineScanner& scanner_;
};

std::vector<std::string> linesOf(std::string_view text) {
    LineScanner scanner(text);
    Recorder recorder(scanner);
    scanner.start(recorder);
    return recorder.lines;
}

// Every field of the current line under one separator.
std::vector<std::string> fieldsOf(const LineScanner& scanner) {
    std::vector<std::string> fields;
    const int count = scanner.fieldCount();
    for (int n = 1; n <= count; ++n) fields.emplace_back(scanner.field(n));
    return fields;
}

// Fields of a one-line text under a separator.
std::vector<std::string> split(std::string_view line, char separator) {
    LineScanner scanner(line);
    Recorder recorder(scanner);
    std::vector<std::string> fields;
    recorder.onLine = [&](LineScanner& s) {
        s.setSeparator(separator);
        fields = fieldsOf(s);
    };
    scanner.start(recorder);
    EXPECT_EQ(recorder.lines.size(), 1u);
    return fields;
}

using Fields = std::vector<std::string>;
using Lines = std::vector<std::string>;

// ---------------------------------------------------------------------------------------------
// Events and line ends

TEST(ScannerEvents, BeginThenOneLineEventPerLineThenEnd) {
    LineScanner scanner("N1\nN2\nN3\n");
    Recorder recorder(scanner);
    scanner.start(recorder);
    EXPECT_EQ(recorder.events, (Lines{"begin", "line", "line", "line", "end"}));
    EXPECT_EQ(recorder.lines, (Lines{"N1", "N2", "N3"}));
    EXPECT_EQ(recorder.numbers, (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_EQ(recorder.offsets, (std::vector<std::size_t>{0, 3, 6}));
}

TEST(ScannerEvents, EmptyFileRaisesOnlyBeginAndEnd) {
    LineScanner scanner("");
    Recorder recorder(scanner);
    scanner.start(recorder);
    EXPECT_EQ(recorder.events, (Lines{"begin", "end"}));
}

TEST(ScannerEvents, ASecondStartScansTheSameLinesAgain) {
    LineScanner scanner("N1\r\nN2");
    Recorder recorder(scanner);
    scanner.start(recorder);
    scanner.start(recorder);
    EXPECT_EQ(recorder.events, (Lines{"begin", "line", "line", "end", "begin", "line", "line", "end"}));
    EXPECT_EQ(recorder.numbers, (std::vector<std::size_t>{1, 2, 1, 2}));
}

TEST(ScannerEvents, StopEndsTheScanWithoutEndOfFile) {
    LineScanner scanner("N1\nN2\nN3\nN4\n");
    Recorder recorder(scanner);
    recorder.onLine = [](LineScanner& s) {
        if (s.currentLine() == "N2") s.stop();
    };
    scanner.start(recorder);
    EXPECT_EQ(recorder.events, (Lines{"begin", "line", "line"}));

    // A stopped scanner starts afresh.
    recorder.events.clear();
    recorder.onLine = nullptr;
    scanner.start(recorder);
    EXPECT_EQ(recorder.events, (Lines{"begin", "line", "line", "line", "line", "end"}));
}

TEST(ScannerLineEnds, LfCrLfAndLoneCrAllEndALine) {
    EXPECT_EQ(linesOf("a\nb\r\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(linesOf("a\r"), (Lines{"a"}));
    EXPECT_EQ(linesOf("a\n"), (Lines{"a"}));
}

TEST(ScannerLineEnds, LastLineWithoutLineEndCounts) {
    EXPECT_EQ(linesOf("N1\nN2G1X5"), (Lines{"N1", "N2G1X5"}));
    EXPECT_EQ(linesOf("x"), (Lines{"x"}));
}

TEST(ScannerLineEnds, EmptyLinesAreLines) {
    EXPECT_EQ(linesOf("\n"), (Lines{""}));
    EXPECT_EQ(linesOf("\r\n"), (Lines{""}));
    EXPECT_EQ(linesOf("\r"), (Lines{""}));
    EXPECT_EQ(linesOf("\n\n"), (Lines{"", ""}));
    // LF then CR is two line ends; CR CR LF is a lone CR then a CR LF.
    EXPECT_EQ(linesOf("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(linesOf("a\r\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(linesOf("\r\n\r\n\n"), (Lines{"", "", ""}));
}

TEST(ScannerLineEnds, OffsetsPointAtEachLineStart) {
    LineScanner scanner("ab\r\ncd\ref\n\ngh");
    Recorder recorder(scanner);
    scanner.start(recorder);
    EXPECT_EQ(recorder.lines, (Lines{"ab", "cd", "ef", "", "gh"}));
    EXPECT_EQ(recorder.offsets, (std::vector<std::size_t>{0, 4, 7, 10, 11}));
}

TEST(ScannerBytes, NulAndNonAsciiBytesStayInTheLine) {
    const std::string text = "N1\0X5\n\xC3\xA9\xFFX\x80\n\x01\x02"s;
    EXPECT_EQ(linesOf(text), (Lines{"N1\0X5"s, "\xC3\xA9\xFFX\x80", "\x01\x02"}));
    EXPECT_EQ(split("N1\0X5"s, 'X'), (Fields{"N1\0"s, "5"}));
    EXPECT_EQ(split("N1\0X5\0"s, '\0'), (Fields{"N1", "X5", ""}));
    EXPECT_EQ(split("\xC3\xA9X\xA9Y", '\xA9'), (Fields{"\xC3", "X", "Y"}));
}

TEST(ScannerBytes, ALineOfSeveralMegabytes) {
    std::string line;
    constexpr int kWords = 1 << 20;
    line.reserve(static_cast<std::size_t>(kWords) * 5);
    for (int i = 0; i < kWords; ++i) {
        line += 'X';
        line += std::to_string(i % 1000);
    }
    const std::string text = "N1\n" + line + "\nN3";
    LineScanner scanner(text);
    Recorder recorder(scanner);
    int count = 0;
    std::string second, last;
    recorder.onLine = [&](LineScanner& s) {
        if (s.lineNumber() != 2) return;
        s.setSeparator('X');
        count = s.fieldCount();
        second = s.field(2);
        last = s.field(count);
    };
    scanner.start(recorder);
    ASSERT_EQ(recorder.lines.size(), 3u);
    EXPECT_EQ(recorder.lines[1].size(), line.size());
    EXPECT_EQ(recorder.lines[2], "N3");
    EXPECT_EQ(count, kWords + 1);
    EXPECT_EQ(second, "0");
    EXPECT_EQ(last, std::to_string((kWords - 1) % 1000));
}

// ---------------------------------------------------------------------------------------------
// Fields

TEST(ScannerFields, TheLetterSplitsTheLine) {
    EXPECT_EQ(split("N20G1X1.5Y-2Z0.3", 'X'), (Fields{"N20G1", "1.5Y-2Z0.3"}));
    EXPECT_EQ(split("N30G0G40X5", 'G'), (Fields{"N30", "0", "40X5"}));
}

TEST(ScannerFields, ALineWithoutTheLetterHasOneField) {
    EXPECT_EQ(split("N30G0G40X5", 'Y'), (Fields{"N30G0G40X5"}));
    LineScanner scanner("\n");
    Recorder recorder(scanner);
    int count = -1;
    recorder.onLine = [&](LineScanner& s) {
        s.setSeparator('X');
        count = s.fieldCount();
    };
    scanner.start(recorder);
    EXPECT_LE(count, 1) << "an empty line holds no letter";
}

TEST(ScannerFields, FieldsAreNotTrimmed) {
    EXPECT_EQ(split("N50G0 G40", 'G'), (Fields{"N50", "0 ", "40"}));
    EXPECT_EQ(split(" X 1 \tX\t", 'X'), (Fields{" ", " 1 \t", "\t"}));
}

TEST(ScannerFields, AdjacentSeparatorsGiveEmptyFields) {
    EXPECT_EQ(split("GG1G", 'G'), (Fields{"", "", "1", ""}));
    EXPECT_EQ(split("G", 'G'), (Fields{"", ""}));
}

TEST(ScannerFields, MatchingIsCaseSensitive) {
    EXPECT_EQ(split("N1g1G2x3X4", 'G'), (Fields{"N1g1", "2x3X4"}));
    EXPECT_EQ(split("N1g1G2x3X4", 'g'), (Fields{"N1", "1G2x3X4"}));
    EXPECT_EQ(split("N1g1G2x3X4", 'x'), (Fields{"N1g1G2", "3X4"}));
    EXPECT_EQ(split("n1g1", 'N'), (Fields{"n1g1"}));
}

TEST(ScannerFields, AnyByteCanBeTheSeparator) {
    EXPECT_EQ(split("N5(A(B)", '('), (Fields{"N5", "A", "B)"}));
    EXPECT_EQ(split("a b  c", ' '), (Fields{"a", "b", "", "c"}));
    EXPECT_EQ(split("1.5;2;", ';'), (Fields{"1.5", "2", ""}));
    EXPECT_EQ(split("X10Y1", '1'), (Fields{"X", "0Y", ""}));
    EXPECT_EQ(split("a\tb", '\t'), (Fields{"a", "b"}));
}

TEST(ScannerFields, BeyondTheLastFieldIsEmpty) {
    LineScanner scanner("N1G1X5");
    Recorder recorder(scanner);
    std::string beyond = "unset";
    recorder.onLine = [&](LineScanner& s) {
        s.setSeparator('G');
        beyond = s.field(3);
    };
    scanner.start(recorder);
    EXPECT_EQ(beyond, "");
}

TEST(ScannerFields, TheSeparatorChangesTakeEffectAtOnceWithinTheLine) {
    LineScanner scanner("N10G1X1Y2G40\nN11X7G0G1X8\n");
    Recorder recorder(scanner);
    std::vector<Fields> seen;
    recorder.onLine = [&](LineScanner& s) {
        for (char separator : {'X', 'G', 'Y', 'X', 'N', 'G'}) {
            s.setSeparator(separator);
            seen.push_back(fieldsOf(s));
        }
        // Fields read out of order, then the separator changed between reads of one field list.
        s.setSeparator('G');
        const std::string third = std::string(s.field(3));
        const std::string second = std::string(s.field(2));
        s.setSeparator('X');
        const std::string x2 = std::string(s.field(2));
        s.setSeparator('G');
        seen.push_back({second, third, x2, std::string(s.field(2))});
    };
    scanner.start(recorder);
    const std::vector<Fields> expected = {
        {"N10G1", "1Y2G40"}, {"N10", "1X1Y2", "40"}, {"N10G1X1", "2G40"}, {"N10G1", "1Y2G40"}, {"", "10G1X1Y2G40"},
        {"N10", "1X1Y2", "40"}, {"1X1Y2", "40", "1Y2G40", "1X1Y2"},
        {"N11", "7G0G1", "8"}, {"N11X7", "0", "1X8"}, {"N11X7G0G1X8"}, {"N11", "7G0G1", "8"}, {"", "11X7G0G1X8"},
        {"N11X7", "0", "1X8"}, {"0", "1X8", "7G0G1", "0"},
    };
    EXPECT_EQ(seen, expected);
}

// The simplest reading of the rules, to compare the scanner against on many random texts.
std::vector<std::string> referenceLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        lines.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

Fields referenceFields(std::string_view line, char separator) {
    Fields fields(1);
    for (char c : line) {
        if (c == separator)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

TEST(ScannerFields, AgreesWithTheRulesOnRandomTexts) {
    std::mt19937 random(77);
    constexpr std::string_view kAlphabet = "NGXYZIJFSTMgx0123456789.- \t\r\n(\0\xE9"sv;
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 200);
    constexpr char kSeparators[] = {'G', 'X', 'N', 'Z', 'g', '(', ' ', '\0', '\xE9', '5'};
    for (int round = 0; round < kRandomTexts; ++round) {
        std::string text(length(random) * (round % 2 ? 1 : 5), ' ');
        for (char& c : text) c = kAlphabet[pick(random)];
        if (round % 2 == 0) {  // long lines: line ends are rare
            for (char& c : text)
                if ((c == '\n' || c == '\r') && random() % 16 != 0) c = 'X';
        }
        const std::vector<std::string> expectedLines = referenceLines(text);

        LineScanner scanner(text);
        Recorder recorder(scanner);
        std::size_t index = 0;
        recorder.onLine = [&](LineScanner& s) {
            ASSERT_LT(index, expectedLines.size());
            const std::string& line = expectedLines[index++];
            for (char separator : kSeparators) {
                s.setSeparator(separator);
                if (line.empty()) {  // an empty line may count 0 fields or 1
                    EXPECT_LE(s.fieldCount(), 1);
                    continue;
                }
                EXPECT_EQ(fieldsOf(s), referenceFields(line, separator))
                    << "line " << ::testing::PrintToString(line) << " separator " << static_cast<int>(separator);
            }
        };
        scanner.start(recorder);
        ASSERT_EQ(recorder.lines, expectedLines) << ::testing::PrintToString(text);
        if (HasFailure()) return;
    }
}

// ---------------------------------------------------------------------------------------------
// Programs read in pieces

using testing::PieceSource;

// Everything a scan shows: events, lines, numbers, offsets and the fields under a few separators.
struct ScanTrace {
    std::vector<std::string> events;
    std::vector<std::size_t> numbers, offsets;
    std::vector<Fields> fields;
    bool operator==(const ScanTrace&) const = default;
};

ScanTrace trace(LineScanner& scanner, bool* started = nullptr) {
    ScanTrace t;
    Recorder recorder(scanner);
    recorder.onLine = [&](LineScanner& s) {
        for (char separator : {'G', 'X', '(', 'g', '\0'}) {
            s.setSeparator(separator);
            if (s.currentLine().empty()) {
                t.fields.push_back({});
                continue;
            }
            t.fields.push_back(fieldsOf(s));
        }
    };
    const bool ok = scanner.start(recorder);
    if (started) *started = ok;
    t.events = recorder.events;
    t.numbers = recorder.numbers;
    t.offsets = recorder.offsets;
    for (std::size_t i = 0; i < recorder.lines.size(); ++i) t.fields.push_back({recorder.lines[i]});
    return t;
}

TEST(ScannerPieces, ReadingInPiecesShowsWhatTheWholeTextShows) {
    std::mt19937 random(31);
    constexpr std::string_view kAlphabet = "NGXYZ01.- \t\r\n(\0\xE9g"sv;
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 300);
    for (int round = 0; round < kRandomTexts / 7; ++round) {
        std::string text(length(random), ' ');
        for (char& c : text) c = kAlphabet[pick(random)];
        if (round % 3 == 0)
            for (char& c : text)
                if ((c == '\n' || c == '\r') && random() % 8 != 0) c = 'X';
        LineScanner whole(text);
        const ScanTrace expected = trace(whole);
        for (std::size_t piece : {1u, 2u, 3u, 7u, 16u, 17u, 64u}) {
            for (std::size_t chunk : {1u, 5u, 1000u}) {
                PieceSource source(text, chunk);
                LineScanner pieces(source, piece);
                bool started = false;
                EXPECT_EQ(trace(pieces, &started), expected)
                    << "piece " << piece << ", reads of " << chunk << ", text " << ::testing::PrintToString(text);
                EXPECT_TRUE(started) << pieces.error();
                EXPECT_EQ(trace(pieces), expected) << "second scan, piece " << piece;
                if (HasFailure()) return;
            }
        }
    }
}

TEST(ScannerPieces, LineEndsSplitBetweenPieces) {
    for (std::size_t piece : {1u, 2u, 3u}) {
        PieceSource source("a\r\nb\rc\n\r\nd", 1);
        LineScanner scanner(source, piece);
        Recorder recorder(scanner);
        EXPECT_TRUE(scanner.start(recorder)) << scanner.error();
        EXPECT_EQ(recorder.lines, (Lines{"a", "b", "c", "", "d"})) << "piece " << piece;
        EXPECT_EQ(recorder.offsets, (std::vector<std::size_t>{0, 3, 5, 7, 9})) << "piece " << piece;
    }
}

TEST(ScannerPieces, ALineFarLongerThanAPiece) {
    std::string line = "N1G1";
    line.append(3u << 20, ' ');
    line += "X5";
    PieceSource source("N0\n" + line + "\r\nN2", 4096);
    LineScanner scanner(source, 1024);
    Recorder recorder(scanner);
    std::string x;
    recorder.onLine = [&](LineScanner& s) {
        s.setSeparator('X');
        if (s.lineNumber() == 2) x = s.field(2);
    };
    EXPECT_TRUE(scanner.start(recorder)) << scanner.error();
    ASSERT_EQ(recorder.lines.size(), 3u);
    EXPECT_EQ(recorder.lines[1], line);
    EXPECT_EQ(recorder.lines[2], "N2");
    EXPECT_EQ(x, "5");
}

TEST(ScannerPieces, AFailedReadEndsTheScanWithoutEndOfFile) {
    for (int failAfter : {0, 1, 3}) {
        PieceSource source("N1\nN2\nN3\nN4\n", 3);
        source.failAfterReads = failAfter;
        LineScanner scanner(source, 3);
        Recorder recorder(scanner);
        EXPECT_FALSE(scanner.start(recorder)) << "failing read " << failAfter;
        EXPECT_FALSE(scanner.error().empty());
        EXPECT_TRUE(recorder.events.empty() || recorder.events.back() != "end") << "failing read " << failAfter;
        EXPECT_LT(recorder.lines.size(), 4u);
    }
    PieceSource refused("N1\n", 3);
    refused.failRewind = true;
    LineScanner scanner(refused);
    Recorder recorder(scanner);
    EXPECT_FALSE(scanner.start(recorder));
    EXPECT_FALSE(scanner.error().empty());
    EXPECT_TRUE(std::find(recorder.events.begin(), recorder.events.end(), "end") == recorder.events.end());
}

}  // namespace
}  // namespace pathshift
