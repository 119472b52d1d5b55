#include "engine/toolpath/arc_angles.h"

#include <cmath>
#include <numbers>

namespace pathshift {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kSamePoint = 1e-9;

}  // namespace

ArcAngles arcAngles(const Move& move) {
    ArcAngles a;
    const double sx = move.start.x - move.centreX, sy = move.start.y - move.centreY;
    const double ex = move.end.x - move.centreX, ey = move.end.y - move.centreY;
    a.radius = std::hypot(sx, sy);
    a.start = std::atan2(sy, sx);
    const bool full = std::abs(move.end.x - move.start.x) < kSamePoint &&
                      std::abs(move.end.y - move.start.y) < kSamePoint;
    double ccw = full ? kTwoPi : std::atan2(ey, ex) - a.start;
    if (!full) {
        while (ccw <= 0) ccw += kTwoPi;
        while (ccw > kTwoPi) ccw -= kTwoPi;
    }
    a.sweep = move.kind == MoveKind::ArcClockwise ? (full ? -kTwoPi : ccw - kTwoPi) : ccw;
    return a;
}

}  // namespace pathshift
