#include "engine/reading/tarvo_machine.h"

namespace pathshift {

void TarvoMachine::takeWords(const TarvoBlock& b) {
    if (b.has(TarvoLetter::X)) pos.x = b.word(TarvoLetter::X).held;
    if (b.has(TarvoLetter::Y)) pos.y = b.word(TarvoLetter::Y).held;
    zSeen = b.has(TarvoLetter::Z);
    if (zSeen) pos.z = b.word(TarvoLetter::Z).held;
    centre = b.present & (letterBit(TarvoLetter::I) | letterBit(TarvoLetter::J));
    i = b.has(TarvoLetter::I) ? b.word(TarvoLetter::I).held : 0.0f;
    j = b.has(TarvoLetter::J) ? b.word(TarvoLetter::J).held : 0.0f;
    toolWord = b.has(TarvoLetter::T);
    if (toolWord) tWord = b.word(TarvoLetter::T).tool;
    if (headKnowsTool(head_, tWord)) tool = tWord;
}

void SegmentLevels::begin() {
    levels_.clear();
    entries_ = 1;
    lowest_ = kNoZ;
}

void SegmentLevels::plunge() {
    levels_.append(lowest_);
    lowest_ = kNoZ;
    entries_ = levels_.size() + 1;
}

void SegmentLevels::end() {
    levels_.append(lowest_);
    entries_ = levels_.size() + 1;
}

}  // namespace pathshift
