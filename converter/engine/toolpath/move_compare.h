#pragma once
// One cutting move of a source against one of its target, within the verifier's tolerance.

#include <string>

#include "engine/toolpath/toolpath.h"

namespace pathshift {

// Half the last of the target's four decimals, and the relative precision of a 32-bit float as the
// engine writes it.
constexpr double kTargetRounding = 0.00005;
constexpr double kFloatPrecision = 1e-6;

// A cutting move and whether a rapid (or nothing) came before it: only then is its start its own,
// otherwise it is the previous cut's end, which has been compared already.
struct Cut {
    Move move;
    bool afterRapid = false;
};

bool sameCut(const Cut& source, const Cut& target);
// What differs, in words ("end X 1.5 in the source, -1.5 in the target; tool ..."); empty when
// they are the same.
std::string cutDifference(const Cut& source, const Cut& target);
// A number as a difference shows it: up to five decimals, no trailing zeros.
std::string shownNumber(double value);

}  // namespace pathshift
