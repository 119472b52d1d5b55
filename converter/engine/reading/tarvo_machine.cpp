#include "engine/reading/tarvo_machine.h"

namespace pathshift {

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
