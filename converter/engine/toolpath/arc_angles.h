#pragma once
// Where an arc of a toolpath runs: its radius, where it starts and how far it turns. Shared by the
// picture, which draws arcs, and the time estimate, which measures them.

#include "engine/toolpath/toolpath.h"

namespace pathshift {

struct ArcAngles {
    double start = 0;  // radians, counter-clockwise from +X
    double sweep = 0;  // signed; negative is clockwise; a full circle is 2 pi in size
    double radius = 0;
};

// An arc whose end is its start (within a billionth) is a full circle.
ArcAngles arcAngles(const Move& move);

}  // namespace pathshift
