#include "engine/plan/move_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace pathshift {
namespace {

// About this many moves to a cell: fewer cells cost look-ups, more cost memory.
constexpr double kMovesPerCell = 4;
constexpr std::size_t kMostCells = std::size_t{1} << 22;

}  // namespace

PlanBox moveBox(const Move& m) {
    if (m.arc()) {
        const double r = std::hypot(m.start.x - m.centreX, m.start.y - m.centreY);
        return {m.centreX - r, m.centreY - r, m.centreX + r, m.centreY + r};
    }
    return {std::min(m.start.x, m.end.x), std::min(m.start.y, m.end.y), std::max(m.start.x, m.end.x),
            std::max(m.start.y, m.end.y)};
}

double moveDistance(const Move& m, double x, double y, double limit) {
    const auto length = [](double dx, double dy) { return std::sqrt(dx * dx + dy * dy); };
    if (m.arc()) {
        const double r = length(m.start.x - m.centreX, m.start.y - m.centreY);
        const double radial = std::abs(length(x - m.centreX, y - m.centreY) - r);
        if (radial > limit) return HUGE_VAL;
        // Within the arc's sweep the distance is the radial one; outside it, the nearer end's.
        const auto angle = [&](double px, double py) { return std::atan2(py - m.centreY, px - m.centreX); };
        const double start = angle(m.start.x, m.start.y), end = angle(m.end.x, m.end.y), at = angle(x, y);
        const double turn = 2 * std::numbers::pi;
        const auto forward = [turn](double from, double to) {  // counter-clockwise, in [0, turn)
            const double a = std::fmod(to - from, turn);
            return a < 0 ? a + turn : a;
        };
        const bool ccw = m.kind == MoveKind::ArcCounterClockwise;
        double sweep = ccw ? forward(start, end) : forward(end, start);
        if (sweep == 0) sweep = turn;  // a full circle
        if ((ccw ? forward(start, at) : forward(at, start)) <= sweep) return radial;
        return std::min(length(x - m.start.x, y - m.start.y), length(x - m.end.x, y - m.end.y));
    }
    if (x < std::min(m.start.x, m.end.x) - limit || x > std::max(m.start.x, m.end.x) + limit ||
        y < std::min(m.start.y, m.end.y) - limit || y > std::max(m.start.y, m.end.y) + limit)
        return HUGE_VAL;
    const double dx = m.end.x - m.start.x, dy = m.end.y - m.start.y;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((x - m.start.x) * dx + (y - m.start.y) * dy) / length2, 0.0, 1.0) : 0;
    return length(x - (m.start.x + t * dx), y - (m.start.y + t * dy));
}

bool MoveGrid::cellsOf(const PlanBox& b, std::size_t& x0, std::size_t& y0, std::size_t& x1, std::size_t& y1) const {
    if (!(b.maxX >= extents_.minX && b.minX <= extents_.maxX && b.maxY >= extents_.minY && b.minY <= extents_.maxY))
        return false;  // outside the extents, or not a number
    const auto cell = [](double v, double origin, double size, std::size_t count) {
        return static_cast<std::size_t>(std::clamp((v - origin) / size, 0.0, static_cast<double>(count - 1)));
    };
    x0 = cell(b.minX, extents_.minX, cellWidth_, columns_);
    x1 = cell(b.maxX, extents_.minX, cellWidth_, columns_);
    y0 = cell(b.minY, extents_.minY, cellHeight_, rows_);
    y1 = cell(b.maxY, extents_.minY, cellHeight_, rows_);
    return true;
}

void MoveGrid::build(std::size_t count, const std::function<PlanBox(std::size_t)>& boxOf) {
    *this = MoveGrid();
    count = std::min<std::size_t>(count, UINT32_MAX);  // moves are numbered in 32 bits
    if (count == 0) return;
    extents_ = {HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (std::size_t i = 0; i < count; ++i) {
        const PlanBox b = boxOf(i);
        if (!std::isfinite(b.minX + b.minY + b.maxX + b.maxY)) continue;
        extents_ = {std::min(extents_.minX, b.minX), std::min(extents_.minY, b.minY), std::max(extents_.maxX, b.maxX),
                    std::max(extents_.maxY, b.maxY)};
    }
    if (extents_.minX > extents_.maxX) return;
    const double width = std::max(extents_.maxX - extents_.minX, 1e-9);
    const double height = std::max(extents_.maxY - extents_.minY, 1e-9);
    const double cells = std::clamp(static_cast<double>(count) / kMovesPerCell, 1.0, static_cast<double>(kMostCells));
    columns_ = std::clamp<std::size_t>(static_cast<std::size_t>(std::sqrt(cells * width / height)), 1, kMostCells);
    rows_ = std::clamp<std::size_t>(static_cast<std::size_t>(cells / static_cast<double>(columns_)), 1, kMostCells / columns_);
    cellWidth_ = width / static_cast<double>(columns_);
    cellHeight_ = height / static_cast<double>(rows_);

    // Two passes: count each cell's moves, then place them, so that every cell's list is contiguous.
    constexpr std::size_t kWide = SIZE_MAX;
    starts_.assign(columns_ * rows_ + 1, 0);
    const auto each = [&](const std::function<void(std::size_t move, std::size_t cell)>& place) {
        for (std::size_t i = 0; i < count; ++i) {
            std::size_t x0, y0, x1, y1;
            if (!cellsOf(boxOf(i), x0, y0, x1, y1)) continue;
            if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMostCellsPerMove) {
                place(i, kWide);
                continue;
            }
            for (std::size_t y = y0; y <= y1; ++y)
                for (std::size_t x = x0; x <= x1; ++x) place(i, y * columns_ + x);
        }
    };
    each([&](std::size_t, std::size_t cell) {
        if (cell != kWide) ++starts_[cell + 1];
    });
    for (std::size_t c = 1; c < starts_.size(); ++c) starts_[c] += starts_[c - 1];
    moves_.resize(starts_.back());
    std::vector<std::size_t> filled(starts_.begin(), starts_.end() - 1);
    each([&](std::size_t move, std::size_t cell) {
        if (cell == kWide)
            wide_.push_back(static_cast<std::uint32_t>(move));
        else
            moves_[filled[cell]++] = static_cast<std::uint32_t>(move);
    });
}

void MoveGrid::near(double x, double y, double radius, const std::function<void(std::size_t)>& visit) const {
    for (std::uint32_t move : wide_) visit(move);
    std::size_t x0, y0, x1, y1;
    if (columns_ == 0 || !cellsOf({x - radius, y - radius, x + radius, y + radius}, x0, y0, x1, y1)) return;
    for (std::size_t row = y0; row <= y1; ++row)
        for (std::size_t column = x0; column <= x1; ++column) {
            const std::size_t cell = row * columns_ + column;
            for (std::size_t i = starts_[cell]; i < starts_[cell + 1]; ++i) visit(moves_[i]);
        }
}

}  // namespace pathshift
