#include "engine/plan/plan_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "engine/toolpath/arc_angles.h"

namespace pathshift {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Drawing-area proportions allowed, height over width: thinner parts are drawn at these limits.
constexpr double kFlattest = 0.25;
constexpr double kTallest = 2.0;

// Whether the direction `angle` lies on the arc.
bool onArc(const ArcAngles& a, double angle) {
    double from = a.sweep >= 0 ? a.start : a.start + a.sweep;
    double offset = angle - from;
    while (offset < 0) offset += kTwoPi;
    while (offset >= kTwoPi) offset -= kTwoPi;
    return offset <= std::abs(a.sweep);
}

Rgb mix(Rgb a, Rgb b, double t) {
    auto channel = [t](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

}  // namespace

void PlanSummary::include(double x, double y) {
    if (moves_ == 0) {
        minX_ = maxX_ = x;
        minY_ = maxY_ = y;
        return;
    }
    minX_ = std::min(minX_, x);
    maxX_ = std::max(maxX_, x);
    minY_ = std::min(minY_, y);
    maxY_ = std::max(maxY_, y);
}

bool PlanSummary::move(const Move& move) {
    timer_.move(move);
    include(move.start.x, move.start.y);
    ++moves_;
    include(move.end.x, move.end.y);
    if (move.arc()) {
        ++arcs_;
        const ArcAngles a = arcAngles(move);
        for (int quarter = 0; quarter < 4; ++quarter) {
            const double angle = quarter * std::numbers::pi / 2;
            if (onArc(a, angle))
                include(move.centreX + a.radius * std::cos(angle), move.centreY + a.radius * std::sin(angle));
        }
    }
    if (move.cutting()) {
        highZ_ = cuts_ == 0 ? move.end.z : std::max(highZ_, move.end.z);
        lowZ_ = cuts_ == 0 ? move.end.z : std::min(lowZ_, move.end.z);
        ++cuts_;
    }
    if (move.tool != tool_) ++toolChanges_;
    tool_ = move.tool;
    return true;
}

PlanTransform fitPlan(const PlanSummary& summary, double left, double top, double width, double height,
                      double margin) {
    double spanX = summary.maxX() - summary.minX();
    double spanY = summary.maxY() - summary.minY();
    if (spanX <= 0 && spanY <= 0) spanX = spanY = 1;
    const double freeWidth = std::max(1.0, width - 2 * margin);
    const double freeHeight = std::max(1.0, height - 2 * margin);
    double scale = std::min(spanX > 0 ? freeWidth / spanX : HUGE_VAL, spanY > 0 ? freeHeight / spanY : HUGE_VAL);
    PlanTransform t;
    t.scale = scale;
    t.originX = left + width / 2 - (summary.minX() + summary.maxX()) / 2 * scale;
    t.originY = top + height / 2 + (summary.minY() + summary.maxY()) / 2 * scale;
    return t;
}

Rgb depthColour(double z, const PlanSummary& summary) {
    static constexpr Rgb kStops[] = {{240, 190, 0}, {230, 70, 30}, {140, 20, 130}, {20, 40, 160}};
    constexpr int kSteps = std::size(kStops) - 1;
    const double range = summary.highestCutZ() - summary.lowestCutZ();
    double t = range > 0 ? (summary.highestCutZ() - z) / range : 1.0;
    t = std::clamp(t, 0.0, 1.0) * kSteps;
    const int step = std::min(kSteps - 1, static_cast<int>(t));
    return mix(kStops[step], kStops[step + 1], t - step);
}

PlanSegment planSegment(const Move& move, const PlanTransform& transform, const PlanSummary& summary) {
    PlanSegment s;
    s.from = transform.map(move.start.x, move.start.y);
    s.to = transform.map(move.end.x, move.end.y);
    s.rapid = !move.cutting();
    s.colour = s.rapid ? kRapidColour : depthColour(move.end.z, summary);
    s.tool = move.tool;
    if (move.arc()) {
        const ArcAngles a = arcAngles(move);
        s.shape = PlanSegment::Shape::Arc;
        s.centre = transform.map(move.centreX, move.centreY);
        s.radius = a.radius * transform.scale;
        s.startAngle = a.start * 180 / std::numbers::pi;
        s.sweep = a.sweep * 180 / std::numbers::pi;
    }
    return s;
}

PlanPage planPage(const PlanSummary& summary, double width) {
    PlanPage page;
    page.width = width;
    const double spanX = summary.maxX() - summary.minX();
    const double spanY = summary.maxY() - summary.minY();
    const double aspect = spanX > 0 ? std::clamp(spanY / spanX, kFlattest, kTallest) : kTallest;
    page.drawingHeight = std::round((width - 2 * PlanPage::kMargin) * aspect + 2 * PlanPage::kMargin);
    page.height = page.drawingHeight + PlanPage::kLegendHeight;
    page.transform = fitPlan(summary, 0, 0, width, page.drawingHeight, PlanPage::kMargin);
    return page;
}

std::string planNumber(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

std::vector<std::string> legendLines(const PlanSummary& summary) {
    auto plural = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    std::vector<std::string> lines;
    std::string first = "Units: " + std::string(unitsName(summary.info().units));
    if (!summary.empty())
        first += "   X " + planNumber(summary.minX(), 4) + " to " + planNumber(summary.maxX(), 4) + "   Y " +
                 planNumber(summary.minY(), 4) + " to " + planNumber(summary.maxY(), 4);
    lines.push_back(first + "   (plan view, program coordinates)");
    lines.push_back(plural(summary.moves(), "move", "moves") + ": " +
                    plural(summary.rapids(), "rapid (dashed)", "rapids (dashed)") + ", " +
                    plural(summary.cuts(), "cut", "cuts") + " (" + plural(summary.arcs(), "arc", "arcs") + "), " +
                    plural(summary.toolChanges(), "tool change (red mark)", "tool changes (red marks)"));
    if (summary.hasCuts())
        lines.push_back("Cut depth: Z " + planNumber(summary.highestCutZ(), 4) + " (yellow) to Z " +
                        planNumber(summary.lowestCutZ(), 4) + " (blue)");
    else
        lines.push_back("No cutting moves");
    lines.push_back(machiningTimeText(summary.time()));
    return lines;
}

}  // namespace pathshift
