#pragma once
// The toolpath of a program: its moves in the source program's coordinates (X and Y as the source
// writes them, Z absolute), whichever dialect they were read from. A Tarvo program is replayed as
// the translator reads it, a Selvix program as the engine writes it, so the two lists of one
// conversion can be laid over each other move by move.
//
// Replays stream: every move goes to a MoveSink as it is read, so a program of any size needs no
// more memory than the sink keeps. The Toolpath overloads collect the moves for small programs.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/translation/conversion.h"
#include "engine/io/text_source.h"

namespace pathshift {

enum class MoveKind : std::uint8_t {
    Rapid,                // G0
    Line,                 // G1
    ArcClockwise,         // G2
    ArcCounterClockwise,  // G3
};

enum class Units : std::uint8_t { Unknown, Inch, Millimetre };

struct Point3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

struct Move {
    MoveKind kind = MoveKind::Rapid;
    Point3 start;
    Point3 end;
    double centreX = 0;  // arcs: the absolute centre; an arc whose end is its start is a full circle
    double centreY = 0;
    std::int16_t tool = 0;   // the target's tool number (the source's translated); 0 before any tool call
    double depth = 0;        // the segment's depth as its tool call names it: its lowest level minus the thickness
    bool depthKnown = true;  // false for cuts of a Selvix program that no tool call precedes
    double feed = 0;         // Selvix programs: the F word in effect, as written; 0 before the first
    std::size_t sourceLine = 0;  // from 1; 0 when the move was not read from a source program
    std::size_t targetLine = 0;  // from 1; 0 when the move was not read from a target program

    bool cutting() const { return kind != MoveKind::Rapid; }
    bool arc() const { return kind == MoveKind::ArcClockwise || kind == MoveKind::ArcCounterClockwise; }
};

// What is known of a program before its first move.
struct ToolpathInfo {
    Units units = Units::Unknown;  // the units the program ends in (the target's header names them)
    double thickness = 0;          // the part thickness: the top of the part is at this Z
};

class MoveSink {
public:
    // Called once, before the first move.
    virtual void begin(const ToolpathInfo&) {}
    // One move, in program order; false ends the replay early (not an error).
    virtual bool move(const Move& move) = 0;
    // Every tool call (G306) of a Selvix program, also one naming the tool already in the spindle.
    virtual void toolCall(std::int16_t /*tool*/) {}

protected:
    ~MoveSink() = default;
};

struct ReplayError {
    std::size_t line = 0;  // 0 when the error is not tied to a line
    std::string reason;
};

struct Toolpath {
    ToolpathInfo info;
    std::vector<Move> moves;
};

// A Tarvo program as the translator reads it with these options (thickness, head, tool table):
// its accepted blocks only, every cutting block one move (also when it moves nowhere), a rapid for
// every rapid block that changes the position. The source is read twice: the first reading
// measures the depth of every segment. False with `error` set when the translator would refuse the
// program; the sink may then have had some of the moves.
bool replayTarvo(TextSource& source, const ConversionOptions& options, MoveSink& sink, ReplayError& error);
bool replayTarvo(std::string_view text, const ConversionOptions& options, MoveSink& sink, ReplayError& error);
std::optional<Toolpath> replayTarvo(std::string_view text, const ConversionOptions& options, ReplayError& error);

// A Selvix program as the engine writes it: the header's units and thickness, X and Y mirrored
// back, Z made absolute from the depth of the last tool call, arc centres absolute. Read once.
// False with `error` set when the text is not a program the engine writes.
bool replaySelvix(TextSource& source, MoveSink& sink, ReplayError& error);
bool replaySelvix(std::string_view text, MoveSink& sink, ReplayError& error);
std::optional<Toolpath> replaySelvix(std::string_view text, ReplayError& error);

// "rapid", "line", "clockwise arc", "counter-clockwise arc".
std::string_view moveKindName(MoveKind kind);
// "inch", "mm", or "unknown units".
std::string_view unitsName(Units units);

}  // namespace pathshift
