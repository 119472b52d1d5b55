// A Tarvo program replayed as the translator reads it: the same accepted lines, the same words in
// the same order, the same 32-bit values, the same plunges and segment levels, the same tools.

#include <cmath>
#include <string>

#include "engine/reading/line_scanner.h"
#include "engine/reading/number_text.h"
#include "engine/toolpath/toolpath.h"

namespace pathshift {
namespace {

// The tool numbers each head knows (exclusive bounds), as the translator's.
constexpr int kHead1Low = 1000, kHead1High = 1010;
constexpr int kHead2Low = 2000, kHead2High = 2020;
constexpr double kNoZ = 9999.0;  // the level of a segment without any Z word

struct Position {
    float x = 0, y = 0, z = 0;
    bool operator==(const Position&) const = default;
};

class TarvoReplay final : public LineScanner::Events {
public:
    TarvoReplay(LineScanner& scanner, const ConversionOptions& options, double thickness, MoveSink& sink)
        : scanner_(scanner), options_(options), tools_(options.tools), thickness_(thickness), sink_(sink) {}

    bool run(ReplayError& error) {
        measuring_ = true;
        if (!scanner_.start(*this)) return readFailure(error);
        if (failed_) return failure(error);
        measuring_ = false;
        if (!scanner_.start(*this)) return readFailure(error);
        if (failed_) return failure(error);
        return true;
    }

    void beginOfFile() override {
        pos_ = last_ = Position{};
        tWord_ = curTool_ = 0;
        motionMode_ = 0;
        plungePending_ = false;
        segCount_ = 0;
        segTool_ = 0;
        if (measuring_) {
            segMin_.assign(1, 0.0);
            segMinZ_ = kNoZ;
            units_ = Units::Unknown;
        } else {
            sink_.begin(ToolpathInfo{units_, thickness_});
        }
    }

    void line() override {
        if (!readLine()) scanner_.stop();
    }

    void endOfFile() override {
        if (!measuring_) return;
        segMin_.resize(static_cast<std::size_t>(segCount_) + 2);
        segMin_[static_cast<std::size_t>(segCount_)] = segMinZ_;
    }

private:
    bool readFailure(ReplayError& error) const {
        error = {0, scanner_.error()};
        return false;
    }
    bool failure(ReplayError& error) const {
        if (stoppedBySink_) return true;
        error = error_;
        return false;
    }
    bool fail(std::string reason) {  // the first error of a line is the one named
        if (!failed_) error_ = {scanner_.lineNumber(), std::move(reason)};
        failed_ = true;
        return false;
    }

    // The letter's first occurrence read as a number; false when absent. Overflow fails the line.
    // Most letters are absent from most lines: the check stays inline, the error texts out of line.
    bool word(char letter, double& value) {
        scanner_.setSeparator(letter);
        if (scanner_.fieldCount() <= 1) return false;
        const NumberRead read = readLeadingNumber(scanner_.field(2));
        if (read.overflow) [[unlikely]]
            return overflow(letter, "word is beyond the range of a number");
        value = read.value;
        return true;
    }
    bool floatWord(char letter, float& value) {
        double v = 0;
        if (!word(letter, v)) return false;
        const std::optional<float> narrowed = narrowToFloat(v);
        if (!narrowed) [[unlikely]]
            return overflow(letter, "value is beyond the range of a 32-bit float");
        value = *narrowed;
        return true;
    }
    [[gnu::noinline, gnu::cold]] bool overflow(char letter, const char* what) {
        return fail(std::string("the ") + letter + " " + what);
    }

    bool plunge() {
        if (!plungePending_) return true;
        plungePending_ = false;
        if (measuring_) {
            segMin_.resize(static_cast<std::size_t>(segCount_) + 2);
            segMin_[static_cast<std::size_t>(segCount_)] = segMinZ_;
            segMinZ_ = kNoZ;
            ++segCount_;
            return true;
        }
        ++segCount_;
        ToolTableError tableError;
        const std::optional<ToolTranslation> tool = tools_.translate(curTool_, tableError);
        if (!tool) return fail("tool table row " + std::to_string(tableError.row) + ": " + tableError.reason);
        segTool_ = tool->tool;
        return true;
    }

    bool readLine() {
        if (scanner_.holdsNul()) return fail("the line holds a NUL byte: this is not a text program");
        const std::string_view text = scanner_.currentLine();
        if (text.empty() || text[0] != 'N') return true;
        scanner_.setSeparator('(');
        if (scanner_.fieldCount() > 1) return true;

        // Measuring needs only the Z and G words, as the translator's own first reading.
        if (measuring_) return measureLine();

        // The words in the translator's order; M, P, K and H are read for their errors only.
        double v = 0;
        float i = 0, j = 0, unused = 0;
        word('M', v);
        word('P', v);
        floatWord('X', pos_.x);
        floatWord('Y', pos_.y);
        floatWord('Z', pos_.z);
        floatWord('I', i);
        floatWord('J', j);
        word('K', v);
        floatWord('F', unused);
        floatWord('S', unused);
        word('H', v);
        if (word('T', v)) {
            const std::optional<std::int16_t> tool = roundToInt16(v);
            if (!tool) return fail("the tool number is outside -32768 to 32767");
            tWord_ = *tool;
        }
        if (failed_) return false;
        const bool head1 = options_.head == Head::One;
        if (head1 ? (tWord_ > kHead1Low && tWord_ < kHead1High) : (tWord_ > kHead2Low && tWord_ < kHead2High))
            curTool_ = tWord_;

        if (!gWords()) return false;

        bool go = true;
        if (motionMode_ >= 1 && motionMode_ <= 3) {
            go = emitCut(i, j);
        } else if (pos_ != last_) {
            go = emit(MoveKind::Rapid, 0, 0);
        }
        last_ = pos_;
        if (!go) stoppedBySink_ = failed_ = true;
        return go;
    }

    bool measureLine() {
        const bool zSeen = floatWord('Z', pos_.z);
        if (failed_ || !gWords()) return false;
        const bool cutting = motionMode_ >= 1 && motionMode_ <= 3;
        if (cutting && zSeen && static_cast<float>(segMinZ_) > pos_.z) segMinZ_ = pos_.z;
        return true;
    }

    bool gWords() {
        scanner_.setSeparator('G');
        const int fields = scanner_.fieldCount();
        for (int k = 2; k <= fields; ++k) {
            const NumberRead g = readLeadingNumber(scanner_.field(k));
            if (g.overflow) return fail("a G word is beyond the range of a number");
            if (g.value == 0) {
                plungePending_ = true;
                motionMode_ = 0;
            } else if (g.value == 1 || g.value == 2 || g.value == 3) {
                if (!plunge()) return false;
                motionMode_ = static_cast<int>(g.value);
            } else if (g.value == 20) {
                units_ = Units::Inch;
            } else if (g.value == 21) {
                units_ = Units::Millimetre;
            }
        }
        return true;
    }

    bool emitCut(float i, float j) {
        const MoveKind kind = motionMode_ == 1   ? MoveKind::Line
                              : motionMode_ == 2 ? MoveKind::ArcClockwise
                                                 : MoveKind::ArcCounterClockwise;
        if (kind == MoveKind::Line) return emit(kind, 0, 0);
        // The centre as the translator sums it: start plus offset in 32-bit floats.
        const float cx = last_.x + i;
        const float cy = last_.y + j;
        if (!std::isfinite(cx) || !std::isfinite(cy)) return fail("the arc centre is beyond the range of a 32-bit float");
        return emit(kind, cx, cy);
    }

    bool emit(MoveKind kind, double cx, double cy) {
        Move move;
        move.kind = kind;
        move.start = {last_.x, last_.y, last_.z};
        move.end = {pos_.x, pos_.y, pos_.z};
        move.centreX = cx;
        move.centreY = cy;
        move.tool = segTool_;
        move.depth = segMin_[static_cast<std::size_t>(segCount_)] - thickness_;
        move.sourceLine = scanner_.lineNumber();
        return sink_.move(move);
    }

    LineScanner& scanner_;
    const ConversionOptions& options_;
    ToolLookup tools_;
    double thickness_;
    MoveSink& sink_;

    bool measuring_ = true;
    bool failed_ = false;
    bool stoppedBySink_ = false;
    ReplayError error_;

    Position pos_;   // the last X, Y and Z words, in the source's own signs
    Position last_;  // the position at the end of the previous accepted line
    std::int16_t tWord_ = 0;
    std::int16_t curTool_ = 0;
    int motionMode_ = 0;
    bool plungePending_ = false;
    Units units_ = Units::Unknown;  // the last units word of the whole program

    std::vector<double> segMin_{0.0};  // the measured level of every segment
    std::int32_t segCount_ = 0;
    double segMinZ_ = kNoZ;
    std::int16_t segTool_ = 0;  // the translated tool of the current segment's plunge
};

bool replayScanned(LineScanner& scanner, const ConversionOptions& options, MoveSink& sink, ReplayError& error) {
    error = {};
    const std::optional<double> thickness = thicknessValue(options.thickness);
    if (!thickness) {
        error.reason = thicknessRefusal(options.thickness);
        return false;
    }
    TarvoReplay replay(scanner, options, *thickness, sink);
    return replay.run(error);
}

}  // namespace

bool replayTarvo(TextSource& source, const ConversionOptions& options, MoveSink& sink, ReplayError& error) {
    LineScanner scanner(source);
    return replayScanned(scanner, options, sink, error);
}

bool replayTarvo(std::string_view text, const ConversionOptions& options, MoveSink& sink, ReplayError& error) {
    LineScanner scanner(text);
    return replayScanned(scanner, options, sink, error);
}

}  // namespace pathshift
