#pragma once
// A plan view drawn with a QPainter: the same segments, colours, dashes, markers and legend as
// the SVG picture.

#include <QPainter>
#include <QPainterPath>
#include <vector>

#include "engine/plan/plan_canvas.h"

namespace pathshift {

class PlanPainter final : public PlanCanvas {
public:
    explicit PlanPainter(QPainter& painter) : painter_(painter) {}
    bool begin(const PlanPage& page, const PlanSummary& summary) override;
    bool segment(const PlanSegment& segment) override;
    bool end() override;

private:
    // Segments stroked at once: a stroke per segment makes a long program's picture crawl.
    static constexpr int kSegmentsPerStroke = 400;

    void strokeRun();

    struct Marker {
        PagePoint at;
        int tool = 0;
    };
    QPainter& painter_;
    PlanPage page_;
    const PlanSummary* summary_ = nullptr;
    std::vector<Marker> markers_;
    QPainterPath run_;
    int runSegments_ = 0;
    Rgb runColour_;
    bool runRapid_ = false;
};

}  // namespace pathshift
