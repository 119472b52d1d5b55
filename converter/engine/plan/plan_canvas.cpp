#include "engine/plan/plan_canvas.h"

namespace pathshift {

bool PlanRenderer::move(const Move& move) {
    PlanSegment segment = planSegment(move, transform_, summary_);
    segment.toolChange = move.tool != tool_;
    segment.sourceLine = move.sourceLine;
    segment.targetLine = move.targetLine;
    tool_ = move.tool;
    if (!canvas_.segment(segment)) {
        failed_ = true;
        return false;
    }
    return true;
}

std::vector<Rgb> depthScale(const PlanSummary& summary, int samples) {
    std::vector<Rgb> scale;
    const double high = summary.highestCutZ(), low = summary.lowestCutZ();
    for (int i = 0; i < samples; ++i) {
        const double t = samples > 1 ? static_cast<double>(i) / (samples - 1) : 0;
        scale.push_back(depthColour(high + (low - high) * t, summary));
    }
    return scale;
}

}  // namespace pathshift
