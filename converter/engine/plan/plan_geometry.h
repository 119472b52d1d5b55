#pragma once
// The plan view of a toolpath, independent of what draws it: what a first reading of the moves
// learns (extents, depth range, counts), the picture's page and its mapping from program
// coordinates, each move as a page-space segment with its colour and dash, and the legend.
// The SVG writer and the Qt painter both draw from these, so every picture agrees.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/toolpath/machining_time.h"
#include "engine/toolpath/toolpath.h"

namespace pathshift {

// Everything the picture needs to know before its first move is drawn.
class PlanSummary final : public MoveSink {
public:
    // `rates` time the program for the legend.
    explicit PlanSummary(const MachiningRates& rates = {}) : timer_(rates) {}
    void begin(const ToolpathInfo& info) override {
        info_ = info;
        timer_.begin(info);
    }
    bool move(const Move& move) override;
    void toolCall(std::int16_t tool) override { timer_.toolCall(tool); }

    const ToolpathInfo& info() const { return info_; }
    bool empty() const { return moves_ == 0; }
    double minX() const { return minX_; }
    double maxX() const { return maxX_; }
    double minY() const { return minY_; }
    double maxY() const { return maxY_; }
    bool hasCuts() const { return cuts_ > 0; }
    double highestCutZ() const { return highZ_; }
    double lowestCutZ() const { return lowZ_; }
    std::size_t moves() const { return moves_; }
    std::size_t rapids() const { return moves_ - cuts_; }
    std::size_t cuts() const { return cuts_; }
    std::size_t arcs() const { return arcs_; }
    std::size_t toolChanges() const { return toolChanges_; }
    const MachiningTime& time() const { return timer_.time(); }
    const MachiningRates& rates() const { return timer_.rates(); }

private:
    void include(double x, double y);

    ToolpathInfo info_;
    std::size_t moves_ = 0, cuts_ = 0, arcs_ = 0, toolChanges_ = 0;
    double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    double highZ_ = 0, lowZ_ = 0;
    std::int16_t tool_ = 0;
    MachiningTimeSink timer_;
};

struct PagePoint {
    double x = 0;
    double y = 0;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Program coordinates (Y up) to page coordinates (Y down, in pixels).
struct PlanTransform {
    double scale = 1;
    double originX = 0;  // page position of program X = 0
    double originY = 0;  // page position of program Y = 0

    PagePoint map(double x, double y) const { return {originX + x * scale, originY - y * scale}; }
};

// Fits the summary's extents into the rectangle, centred, with `margin` pixels left free around it.
PlanTransform fitPlan(const PlanSummary& summary, double left, double top, double width, double height, double margin);

// A move on the page.
struct PlanSegment {
    enum class Shape : std::uint8_t { Line, Arc };
    Shape shape = Shape::Line;
    PagePoint from, to;
    // Arcs: centre and radius on the page; angles in degrees as seen on the page, 0 at three o'clock,
    // counter-clockwise positive; sweep signed (negative is clockwise), 360 in size for a full circle.
    PagePoint centre;
    double radius = 0;
    double startAngle = 0;
    double sweep = 0;
    bool rapid = false;  // drawn dashed
    Rgb colour;
    bool toolChange = false;  // the first move of a new tool: a marker at `from`
    std::int16_t tool = 0;
    std::size_t sourceLine = 0;  // the move's lines, 0 where unknown
    std::size_t targetLine = 0;
};

PlanSegment planSegment(const Move& move, const PlanTransform& transform, const PlanSummary& summary);

// Colours of the depth scale: shallowest cut first, deepest last. Rapids are grey.
Rgb depthColour(double z, const PlanSummary& summary);
constexpr Rgb kRapidColour{150, 150, 150};
constexpr Rgb kMarkerColour{200, 30, 30};

// The picture's page for a given width: drawing area above a legend band.
struct PlanPage {
    static constexpr double kLegendHeight = 100;  // four lines of text and the depth scale
    static constexpr double kMargin = 16;
    double width = 0;
    double height = 0;
    double drawingHeight = 0;
    PlanTransform transform;
};

// A page `width` pixels wide whose drawing area has the toolpath's proportions, within limits so
// that a long thin part still gives a readable picture.
PlanPage planPage(const PlanSummary& summary, double width);

// The legend's lines: units and extents, counts, the depth range, the estimated machining time.
std::vector<std::string> legendLines(const PlanSummary& summary);

// A number as the legend and the SVG write it: at most `decimals` decimals, no trailing zeros.
std::string planNumber(double value, int decimals);

}  // namespace pathshift
