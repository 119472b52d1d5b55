#pragma once
// What draws a plan view (an SVG file, a Qt painter), and the second reading of a toolpath that
// turns its moves into segments on it.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/plan/move_lines.h"
#include "engine/plan/plan_geometry.h"

namespace pathshift {

class PlanCanvas {
public:
    // The page, before the first segment. The legend goes into the band below the drawing area.
    virtual bool begin(const PlanPage& page, const PlanSummary& summary) = 0;
    virtual bool segment(const PlanSegment& segment) = 0;
    // After the last segment; false with error() set when the picture could not be finished.
    virtual bool end() = 0;
    virtual std::string error() const { return {}; }
    // Where the texts of the segments' lines can be read, from before begin() to end(); true when
    // the canvas names them (segments then carry their lines).
    virtual bool lineTexts(const MoveLineTexts*) { return false; }

protected:
    ~PlanCanvas() = default;
};

// Moves to segments, the first move of every new tool marked.
class PlanRenderer final : public MoveSink {
public:
    PlanRenderer(const PlanSummary& summary, const PlanTransform& transform, PlanCanvas& canvas)
        : summary_(summary), transform_(transform), canvas_(canvas) {}
    bool move(const Move& move) override;
    bool failed() const { return failed_; }

private:
    const PlanSummary& summary_;
    PlanTransform transform_;
    PlanCanvas& canvas_;
    std::int16_t tool_ = 0;
    bool failed_ = false;
};

// Samples of the depth scale, shallowest first, for the legend's colour bar.
std::vector<Rgb> depthScale(const PlanSummary& summary, int samples);

}  // namespace pathshift
