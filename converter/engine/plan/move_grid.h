#pragma once
// Finding the move under a point among millions: the moves' bounding boxes (in program
// coordinates, so zoom and pan leave the index as it is) sorted into a uniform grid of cells, so
// that a look-up only measures the moves of the few cells around the point.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/plan/plan_geometry.h"

namespace pathshift {

struct PlanBox {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// The box a move may reach: an arc's whole circle, which is never too small.
PlanBox moveBox(const Move& move);

// Distance in program coordinates from (x, y) to the move's path in plan; infinity when it is
// plainly farther than `limit`: cheap enough for every move of a long program when the grid cannot narrow them
// down (long moves crossing the part everywhere).
double moveDistance(const Move& move, double x, double y, double limit);

class MoveGrid {
public:
    // Indexes moves 0 to count - 1; `boxOf` is asked twice for each.
    void build(std::size_t count, const std::function<PlanBox(std::size_t)>& boxOf);
    // Calls `visit` for every move whose box comes within `radius` of (x, y), some more than once.
    void near(double x, double y, double radius, const std::function<void(std::size_t)>& visit) const;

private:
    // A move spanning more cells than this (a long rapid across the part) is kept aside and visited
    // at every look-up instead of filling a row of cells.
    static constexpr std::size_t kMostCellsPerMove = 64;

    bool cellsOf(const PlanBox& box, std::size_t& x0, std::size_t& y0, std::size_t& x1, std::size_t& y1) const;

    PlanBox extents_;
    std::size_t columns_ = 0, rows_ = 0;
    double cellWidth_ = 1, cellHeight_ = 1;
    std::vector<std::size_t> starts_;  // per cell, where its moves begin in moves_; one more at the end
    std::vector<std::uint32_t> moves_;
    std::vector<std::uint32_t> wide_;
};

}  // namespace pathshift
