// The scanner reading a source in pieces must see exactly what it sees in a text held whole,
// wherever the pieces end: inside a line, between CR and LF, or inside a line longer than a piece.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/reading/line_scanner.h"
#include "engine/io/text_source.h"

namespace pathshift {
namespace {

class StringSource final : public TextSource {
public:
    explicit StringSource(std::string text, std::size_t readLimit = 1 << 30)
        : text_(std::move(text)), readLimit_(readLimit) {}
    bool rewind(std::string&) override {
        ++rewinds;
        at_ = 0;
        return true;
    }
    long read(char* into, std::size_t size, std::string& error) override {
        if (failAt >= 0 && at_ >= static_cast<std::size_t>(failAt)) {
            error = "cannot read: device gone";
            return -1;
        }
        const std::size_t n = std::min({size, text_.size() - at_, readLimit_});
        text_.copy(into, n, at_);
        at_ += n;
        return static_cast<long>(n);
    }
    std::size_t size() const override { return text_.size(); }
    int rewinds = 0;
    long failAt = -1;

private:
    std::string text_;
    std::size_t readLimit_;
    std::size_t at_ = 0;
};

struct LineRecord {
    std::string text;
    std::size_t number;
    std::size_t offset;
    std::vector<std::string> gFields;
    bool operator==(const LineRecord&) const = default;
};

class Recorder final : public LineScanner::Events {
public:
    explicit Recorder(LineScanner& scanner) : scanner_(scanner) {}
    void beginOfFile() override { ++begins; }
    void line() override {
        LineRecord record{std::string(scanner_.currentLine()), scanner_.lineNumber(), scanner_.lineOffset(), {}};
        scanner_.setSeparator('G');
        for (int k = 1; k <= scanner_.fieldCount(); ++k) record.gFields.emplace_back(scanner_.field(k));
        scanner_.setSeparator('X');
        record.gFields.emplace_back(scanner_.field(2));
        lines.push_back(std::move(record));
        if (stopAfter > 0 && lines.size() == stopAfter) scanner_.stop();
    }
    void endOfFile() override { ++ends; }
    std::vector<LineRecord> lines;
    int begins = 0;
    int ends = 0;
    std::size_t stopAfter = 0;

private:
    LineScanner& scanner_;
};

std::vector<LineRecord> scanWhole(const std::string& text) {
    LineScanner scanner(text);
    Recorder recorder(scanner);
    EXPECT_TRUE(scanner.start(recorder));
    return recorder.lines;
}

std::string randomProgram(std::mt19937& random, std::size_t length) {
    static constexpr char kAlphabet[] = "NGXYZ0123456789.-\r\n\n\r ";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += kAlphabet[pick(random)];
    return text;
}

TEST(ScannerPieces, SeeTheSameLinesAsTheWholeTextForEveryPieceSize) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const std::string text = randomProgram(random, 300);
        const std::vector<LineRecord> expected = scanWhole(text);
        for (std::size_t piece : {1, 2, 3, 5, 16, 17, 64, 1000}) {
            StringSource source(text);
            LineScanner scanner(source, piece);
            Recorder recorder(scanner);
            ASSERT_TRUE(scanner.start(recorder));
            ASSERT_EQ(recorder.lines, expected) << "piece size " << piece << " round " << round;
            EXPECT_EQ(recorder.begins, 1);
            EXPECT_EQ(recorder.ends, 1);
        }
    }
}

TEST(ScannerPieces, ShortReadsSplitCrLfWithoutAnExtraLine) {
    const std::string text = "N1G1X1\r\nN2G0\r\rN3\r\n";
    StringSource source(text, 7);  // the first read ends between CR and LF
    LineScanner scanner(source, 64);
    Recorder recorder(scanner);
    ASSERT_TRUE(scanner.start(recorder));
    ASSERT_EQ(recorder.lines.size(), 4u);
    EXPECT_EQ(recorder.lines[0].text, "N1G1X1");
    EXPECT_EQ(recorder.lines[1].text, "N2G0");
    EXPECT_EQ(recorder.lines[2].text, "");
    EXPECT_EQ(recorder.lines[3].text, "N3");
    EXPECT_EQ(recorder.lines[3].offset, text.size() - 4);
}

TEST(ScannerPieces, ALineLongerThanThePieceIsReadWhole) {
    const std::string longLine = "N1G1X" + std::string(100000, '7') + "Y2";
    StringSource source(longLine + "\nN2\n");
    LineScanner scanner(source, 16);
    Recorder recorder(scanner);
    ASSERT_TRUE(scanner.start(recorder));
    ASSERT_EQ(recorder.lines.size(), 2u);
    EXPECT_EQ(recorder.lines[0].text, longLine);
    EXPECT_EQ(recorder.lines[1].text, "N2");
}

TEST(ScannerPieces, EveryScanStartsAgainFromTheStart) {
    StringSource source("N1\nN2\n");
    LineScanner scanner(source, 2);
    Recorder first(scanner);
    ASSERT_TRUE(scanner.start(first));
    Recorder second(scanner);
    ASSERT_TRUE(scanner.start(second));
    EXPECT_EQ(first.lines, second.lines);
    EXPECT_EQ(source.rewinds, 2);
}

TEST(ScannerPieces, AReadErrorEndsTheScanWithoutEndOfFile) {
    StringSource source("N1\nN2\nN3\n");
    source.failAt = 3;
    LineScanner scanner(source, 3);
    Recorder recorder(scanner);
    EXPECT_FALSE(scanner.start(recorder));
    EXPECT_EQ(recorder.ends, 0);
    EXPECT_EQ(scanner.error(), "cannot read: device gone");
    EXPECT_LE(recorder.lines.size(), 1u);
}

TEST(ScannerPieces, StopEndsTheScanWithoutEndOfFile) {
    StringSource source("N1\nN2\nN3\n");
    LineScanner scanner(source, 2);
    Recorder recorder(scanner);
    recorder.stopAfter = 2;
    EXPECT_TRUE(scanner.start(recorder));
    EXPECT_EQ(recorder.lines.size(), 2u);
    EXPECT_EQ(recorder.ends, 0);
}

}  // namespace
}  // namespace pathshift

namespace pathshift {
namespace {

TEST(SourceFileTest, RefusesAFileThatChangedSinceItWasOpened) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "pathshift_changing_source.nc";
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("N1G0X1\n", file);
        std::fclose(file);
    }
    SourceFile source;
    std::string error;
    ASSERT_TRUE(source.open(path, error)) << error;
    EXPECT_TRUE(source.rewind(error)) << error;
    {
        std::FILE* file = std::fopen(path.c_str(), "ab");
        std::fputs("N2G1X2\n", file);
        std::fclose(file);
    }
    EXPECT_FALSE(source.rewind(error));
    EXPECT_NE(error.find("changed while it was being converted"), std::string::npos) << error;
    std::filesystem::remove(path);
}

TEST(SourceFileTest, RefusesFoldersAndMissingFiles) {
    SourceFile folder;
    std::string error;
    EXPECT_FALSE(folder.open(std::filesystem::temp_directory_path(), error));
    EXPECT_EQ(error, "is a folder, not a program");
    SourceFile missing;
    EXPECT_FALSE(missing.open("/nonexistent/pathshift/part.nc", error));
    EXPECT_EQ(error.rfind("cannot open: ", 0), 0u) << error;
}

}  // namespace
}  // namespace pathshift
