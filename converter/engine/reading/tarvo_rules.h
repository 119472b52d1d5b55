#pragma once
// The Tarvo dialect's rules, in the one place that translation and toolpath replay both read them
// from: which tools a head knows, the level of a segment without Z, what each G word does, and
// the faults of a word that stop a program.

#include <cstdint>
#include <string>

namespace pathshift {

enum class Head : std::uint8_t { One = 1, Two = 2 };

// The tool numbers each head knows: head 1 tools 1001 to 1009, head 2 tools 2001 to 2019.
inline bool headKnowsTool(Head head, std::int16_t tool) {
    return head == Head::One ? tool > 1000 && tool < 1010 : tool > 2000 && tool < 2020;
}
inline const char* headToolRange(Head head) { return head == Head::One ? "1001 to 1009" : "2001 to 2019"; }

// The level of a cutting segment without any Z word.
inline constexpr double kNoZLevel = 9999.0;

enum class UnitsWord : std::uint8_t { None, G70, G71 };     // G20 gives G70, G21 gives G71
enum class CompWord : std::uint8_t { None, G40, G41, G42 };  // the last compensation word

// What a G word does; codes the dialect does not know do nothing.
enum class GEffect : std::uint8_t { None, Rapid, Line, ClockwiseArc, CounterClockwiseArc, Inch, Millimetre,
                                    CompOff, CompLeft, CompRight };
constexpr GEffect gEffect(double code) {
    if (code == 0) return GEffect::Rapid;
    if (code == 1) return GEffect::Line;
    if (code == 2) return GEffect::ClockwiseArc;
    if (code == 3) return GEffect::CounterClockwiseArc;
    if (code == 20) return GEffect::Inch;
    if (code == 21) return GEffect::Millimetre;
    if (code == 40) return GEffect::CompOff;
    if (code == 41) return GEffect::CompLeft;
    if (code == 42) return GEffect::CompRight;
    return GEffect::None;
}

// A word that stops the program: its number beyond a 64-bit float, its value beyond the 32-bit
// float it is held in, a tool number beyond a 16-bit integer, a NUL byte in the line.
struct WordFault {
    enum class Kind : std::uint8_t { None, Number, Float, Tool, GNumber, Nul };
    Kind kind = Kind::None;
    char letter = 0;
    double value = 0;  // the value as read, for Float and Tool
    explicit operator bool() const { return kind != Kind::None; }
};

// How a fault is told: the converter names the value it holds (X, Y, I and J mirrored), the
// replay only the word.
enum class FaultWording : std::uint8_t { Converter, Replay };
std::string faultText(const WordFault& fault, FaultWording wording);

}  // namespace pathshift
