#pragma once
// Where an arc of a toolpath runs: its radius, where it starts and how far it turns. Shared by the
// picture, which draws arcs, and the time estimate, which measures them.

#include <cmath>
#include <numbers>

#include "engine/toolpath/toolpath.h"

namespace pathshift {

struct ArcAngles {
    double start = 0;  // radians, counter-clockwise from +X
    double sweep = 0;  // signed; negative is clockwise; a full circle is 2 pi in size
    double radius = 0;
};

// An arc whose end is its start (within a billionth) is a full circle. Inline: the time estimate
// measures every arc of a program and keeps only the radius and the sweep.
inline ArcAngles arcAngles(const Move& move) {
    constexpr double kTwoPi = 2 * std::numbers::pi;
    constexpr double kSamePoint = 1e-9;
    ArcAngles a;
    // All that the calls of the library need not wait for comes first: less is kept across them.
    const bool full = std::abs(move.end.x - move.start.x) < kSamePoint &&
                      std::abs(move.end.y - move.start.y) < kSamePoint;
    const double sx = move.start.x - move.centreX, sy = move.start.y - move.centreY;
    const double ex = move.end.x - move.centreX, ey = move.end.y - move.centreY;
    a.radius = std::hypot(sx, sy);
    a.start = std::atan2(sy, sx);
    double ccw = full ? kTwoPi : std::atan2(ey, ex) - a.start;
    if (!full) {
        while (ccw <= 0) ccw += kTwoPi;
        while (ccw > kTwoPi) ccw -= kTwoPi;
    }
    a.sweep = move.kind == MoveKind::ArcClockwise ? (full ? -kTwoPi : ccw - kTwoPi) : ccw;
    return a;
}

}  // namespace pathshift
