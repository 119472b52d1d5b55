#pragma once
// A Selvix program read move by move on the caller's demand, so that it can be laid over its source
// while both are streamed. The reading is the machine's: a word left out keeps the axis where it
// is, a tool call (G306) names the tool and the depth its Z values are relative to, G79 lines move
// in machine coordinates and are no part of the toolpath. The lines come from the reader's own
// text, or one by one from a caller that has them already (a program being written).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/reading/line_reader.h"
#include "engine/toolpath/toolpath.h"
#include "engine/translation/selvix_words.h"

namespace pathshift {

class SelvixReader {
public:
    // `toolCalls`, when given, is told of every tool call as it is read.
    explicit SelvixReader(std::string_view text, MoveSink* toolCalls = nullptr)
        : lines_(text), toolCalls_(toolCalls) {
        startMachine();
    }
    explicit SelvixReader(TextSource& source, MoveSink* toolCalls = nullptr)
        : lines_(source), toolCalls_(toolCalls) {
        startMachine();
    }

    // Reads the header up to its "START" label; false with error() set when it is not there or
    // names no thickness.
    bool begin();
    const ToolpathInfo& info() const { return info_; }
    // The next move; false at the end of the program, or on a line that cannot be read (error()
    // then holds the reason).
    bool next(Move& move);
    const ReplayError& error() const { return error_; }

    // What one line meant, for a caller that hands the lines in itself (then begin() and next()
    // are not called). After Step::Move the line's move is move().
    enum class Step : std::uint8_t { Nothing, Started, Move, Failed };
    Step readLine(std::string_view line, std::size_t lineNumber);
    // The same for a line of the program body given as its words.
    Step readLine(const SelvixWords& words, std::size_t lineNumber) {
        if (!started_) [[unlikely]] {
            lineNumber_ = lineNumber;
            return wordsBeforeStart();
        }
        return readBodyLine(words, lineNumber);
    }
    // The same for a caller that has seen Step::Started already.
    Step readBodyLine(const SelvixWords& words, std::size_t lineNumber) {
        lineNumber_ = lineNumber;
        return bodyWords(words, std::string_view());
    }
    const Move& move() const { return move_; }
    bool started() const { return started_; }

    // The G codes of motion, numbered as the move kinds.
    static constexpr int kRapid = 0, kLine = 1, kClockwise = 2, kCounterClockwise = 3;

private:
    void startMachine();
    bool readWords(std::string_view line, SelvixWords& words);
    bool fail(std::string reason);
    Step stepFailed(std::string reason);
    [[gnu::cold]] Step wordsBeforeStart();
    // "`what` <the line> `why`"
    [[gnu::cold]] Step lineFailed(std::string_view what, std::string_view line, std::string_view why);
    Step headerLine(std::string_view line);
    Step bodyLine(std::string_view line);
    // `line` is the words' text, for messages; empty when they were given as words.
    Step bodyWords(const SelvixWords& words, std::string_view line);
    // The common line in few instructions, the others in their own.
    Step otherWords(const SelvixWords& words, std::string_view line);
    // With kHeld other than kAnyLetters the line holds exactly the letters kHeld: the same reading
    // compiled for the common lines, where no letter needs looking up.
    static constexpr std::uint32_t kAnyLetters = ~std::uint32_t{0};
    template <std::uint32_t kHeld = kAnyLetters>
    Step motionWords(const SelvixWords& words, std::string_view line, int motion, bool namesMotion);
    Step toolCallLine(const SelvixWords& words, std::string_view line);

    LineReader lines_;
    MoveSink* toolCalls_;
    ToolpathInfo info_;
    ReplayError error_;
    std::size_t lineNumber_ = 0;
    bool thicknessSeen_ = false;
    bool started_ = false;  // past the "START" label
    // The machine's state. The last move's end is where the machine stands, in the source's frame
    // ({-X, -Y, Z + level}); its tool, depth and feed are those in effect. Each line writes only
    // what it changes.
    Move move_;
    double z_ = 0;      // the Z word in effect, relative to the level
    double level_ = 0;  // where Z 0 lies: the depth plus the thickness once a tool call named it
    int motion_ = -1;   // the modal G0 to G3; -1 before the first
};

// The words of a line that is no tool call and part of the toolpath, in the motion mode `motion`.
// Inline, as is bodyWords: a program being written hands in nearly every line as words.
template <std::uint32_t kHeld>
inline SelvixReader::Step SelvixReader::motionWords(const SelvixWords& words, std::string_view line, int motion,
                                                    bool namesMotion) {
    const auto has = [&words](char letter) {
        return kHeld == kAnyLetters ? words.has(letter) : ((kHeld >> (letter - 'A')) & 1u) != 0;
    };
    if (has('F')) move_.feed = words['F'];
    motion_ = motion;
    // Every line naming a cut is a move, also one that goes nowhere: the engine writes one per block.
    const bool axes = has('X') || has('Y') || has('Z');
    if (motion < kRapid || !(axes || (namesMotion && motion != kRapid))) return Step::Nothing;

    // The last move's end is where the machine stands; the new end is the same mirrored frame.
    move_.start = move_.end;
    if (has('X')) move_.end.x = -words['X'];
    if (has('Y')) move_.end.y = -words['Y'];
    if (has('Z')) {
        z_ = words['Z'];
        move_.end.z = z_ + level_;
    }
    const Point3& start = move_.start;
    const Point3& end = move_.end;
    if (motion == kRapid && start.x == end.x && start.y == end.y && start.z == end.z) return Step::Nothing;
    double centreX = 0, centreY = 0;
    if (motion >= kClockwise) {
        if (!has('I') || !has('J')) return lineFailed("the arc ", line, " lacks its centre (I and J)");
        centreX = -words['I'];
        centreY = -words['J'];
    }
    // The kinds are numbered as their G codes.
    static_assert(static_cast<int>(MoveKind::Rapid) == kRapid && static_cast<int>(MoveKind::Line) == kLine &&
                  static_cast<int>(MoveKind::ArcClockwise) == kClockwise &&
                  static_cast<int>(MoveKind::ArcCounterClockwise) == kCounterClockwise);
    move_.kind = static_cast<MoveKind>(motion);
    move_.centreX = centreX;
    move_.centreY = centreY;
    move_.targetLine = lineNumber_;
    return Step::Move;
}

inline SelvixReader::Step SelvixReader::bodyWords(const SelvixWords& words, std::string_view line) {
    // Most lines name one motion code and nothing else: the look at the codes would find just that.
    if (words.gCount != 1 || static_cast<unsigned>(words.g[0]) > kCounterClockwise) {
        // An empty line or a message, given as no words, changes nothing.
        if (words.gCount == 0 && words.letters == 0) return Step::Nothing;
        return otherWords(words, line);
    }
    // The letters of the lines the engine writes most.
    constexpr auto held = [](std::string_view letters) {
        std::uint32_t bits = 0;
        for (char letter : letters) bits |= 1u << (letter - 'A');
        return bits;
    };
    const int motion = words.g[0];
    switch (words.letters) {
        case held("XY"): return motionWords<held("XY")>(words, line, motion, true);
        case held("XYZ"): return motionWords<held("XYZ")>(words, line, motion, true);
        case held("XYIJ"): return motionWords<held("XYIJ")>(words, line, motion, true);
        case held("F"): return motionWords<held("F")>(words, line, motion, true);
        case held(""): return motionWords<held("")>(words, line, motion, true);
        default: return motionWords(words, line, motion, true);
    }
}

}  // namespace pathshift
