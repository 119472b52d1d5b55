#pragma once
// The modal state a Tarvo program builds up block by block, and the depth table its segments
// measure: one set of rules for the converter's scans and the toolpath replay.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/io/float_table.h"
#include "engine/reading/tarvo_block.h"

namespace pathshift {

struct TarvoPoint {
    float x = 0, y = 0, z = 0;
    bool operator==(const TarvoPoint&) const = default;
};

class TarvoMachine {
public:
    explicit TarvoMachine(Head head) : head_(head) {}

    // The words of a block without fault, other than G: the position, the arc centre's offsets,
    // feed, speed and tool; a T word inside the head's range selects the tool.
    void takeWords(const TarvoBlock& block);
    // The block's G words in line order. A cut after a rapid is a plunge: `plunge()` is called
    // before the motion mode changes and returns false to stop. False on a fault or a stop.
    template <class Plunge>
    bool takeGWords(const TarvoBlock& block, WordFault& fault, Plunge&& plunge);
    // One G word's effect, as takeGWords() takes each.
    template <class Plunge>
    bool takeG(GEffect effect, Plunge&& plunge);
    // The end of an accepted block: its position is where the next one starts.
    void endBlock() { last = pos; }
    bool cutting() const { return motion >= 1 && motion <= 3; }

    TarvoPoint pos;   // the last X, Y and Z words, in the source's signs
    TarvoPoint last;  // the position at the end of the previous accepted block
    float i = 0, j = 0;     // this block's arc centre offsets
    bool centre = false;    // this block holds I or J
    bool zSeen = false;     // this block holds Z
    bool toolWord = false;  // this block holds T
    std::int16_t tWord = 0;  // the last T word
    std::int16_t tool = 0;   // the last T word inside the head's range
    std::int16_t motion = 0;  // 0 after G0, 1 to 3 after G1 to G3
    bool plungePending = false;  // set by G0, taken by the next G1, G2 or G3
    UnitsWord units = UnitsWord::None;
    CompWord comp = CompWord::None;

private:
    Head head_;
};

// Inline: every block of every reading comes through here, most holding only X and Y.
inline void TarvoMachine::takeWords(const TarvoBlock& b) {
    const TarvoLetters present = b.present;
    if (present & letterBit(TarvoLetter::X)) pos.x = b.word(TarvoLetter::X).held;
    if (present & letterBit(TarvoLetter::Y)) pos.y = b.word(TarvoLetter::Y).held;
    constexpr TarvoLetters kOthers = letterBit(TarvoLetter::Z) | letterBit(TarvoLetter::I) |
                                     letterBit(TarvoLetter::J) | letterBit(TarvoLetter::T);
    if (!(present & kOthers)) [[likely]] {  // most blocks: what follows, in constant stores
        zSeen = centre = toolWord = false;
        i = j = 0.0f;
        return;
    }
    zSeen = present & letterBit(TarvoLetter::Z);
    if (zSeen) pos.z = b.word(TarvoLetter::Z).held;
    centre = present & (letterBit(TarvoLetter::I) | letterBit(TarvoLetter::J));
    i = present & letterBit(TarvoLetter::I) ? b.word(TarvoLetter::I).held : 0.0f;
    j = present & letterBit(TarvoLetter::J) ? b.word(TarvoLetter::J).held : 0.0f;
    toolWord = present & letterBit(TarvoLetter::T);
    // The tool follows the T word, so it need only be looked at when one is read.
    if (toolWord) {
        tWord = b.word(TarvoLetter::T).tool;
        if (headKnowsTool(head_, tWord)) tool = tWord;
    }
}

template <class Plunge>
[[gnu::always_inline]] inline bool TarvoMachine::takeGWords(const TarvoBlock& block, WordFault& fault, Plunge&& plunge) {
    for (std::size_t k = 0; k < block.gCount; ++k) {
        if (block.g[k].overflow) {
            fault = {WordFault::Kind::GNumber, 'G', 0};
            return false;
        }
        if (!takeG(gEffect(block.g[k].value), plunge)) return false;
    }
    return true;
}

template <class Plunge>
bool TarvoMachine::takeG(GEffect effect, Plunge&& plunge) {
    switch (effect) {
        case GEffect::Rapid:
            plungePending = true;
            motion = 0;
            break;
        case GEffect::Line:
        case GEffect::ClockwiseArc:
        case GEffect::CounterClockwiseArc:
            if (plungePending) {
                if (!plunge()) return false;
                plungePending = false;
            }
            // The motion is the word's own number: the effects follow G1, G2 and G3 in order.
            static_assert(gEffect(1) == GEffect::Line && gEffect(2) == GEffect::ClockwiseArc &&
                          gEffect(3) == GEffect::CounterClockwiseArc &&
                          static_cast<int>(GEffect::CounterClockwiseArc) == static_cast<int>(GEffect::Line) + 2 &&
                          static_cast<int>(GEffect::ClockwiseArc) == static_cast<int>(GEffect::Line) + 1);
            motion = static_cast<std::int16_t>(static_cast<int>(effect) - static_cast<int>(GEffect::Line) + 1);
            break;
        case GEffect::Inch: units = UnitsWord::G70; break;
        case GEffect::Millimetre: units = UnitsWord::G71; break;
        case GEffect::CompOff: comp = CompWord::G40; break;
        case GEffect::CompLeft: comp = CompWord::G41; break;
        case GEffect::CompRight: comp = CompWord::G42; break;
        case GEffect::None: break;
    }
    return true;
}

// The lowest cutting level of every segment (the cuts that follow one plunge), measured in a
// first reading of the program, for the depth each plunge's tool call names. A level is a Z word's
// 32-bit value or the no-Z level, so 32-bit floats hold every one exactly. Beyond a quarter of a
// million plunges the table goes on in a temporary file, so memory does not grow with the program.
class SegmentLevels {
public:
    void begin();
    // A plunge: the segment before it is complete.
    void plunge();
    // After a block's G words: the block's Z counts when it cuts.
    void measure(const TarvoMachine& machine) {
        if (machine.cutting() && machine.zSeen) cut(machine.pos.z);
    }
    // A cutting block's Z word.
    void cut(float z) {
        if (lowest_ > z) lowest_ = z;
    }
    // After the last block; the table takes no more plunges.
    void end();
    // The level of the segment after the k-th plunge (k = 0: the cuts before any); the table holds
    // one entry beyond the last segment.
    bool holds(std::size_t k) const { return k < entries_; }
    double level(std::size_t k) const { return k < levels_.size() ? levels_.at(k) : 0.0; }
    // Why a level could not be kept or read back (its level reads as 0): the reading using the
    // table must fail.
    const std::string& error() const { return levels_.error(); }

private:
    static constexpr float kNoZ = static_cast<float>(kNoZLevel);
    static_assert(kNoZ == kNoZLevel, "the no-Z level must be a 32-bit float");

    FloatTable levels_;  // the completed segments' levels; later entries are 0
    std::size_t entries_ = 1;
    float lowest_ = kNoZ;
};
}  // namespace pathshift
