#include "engine/plan/plan_preview.h"

namespace pathshift {

bool drawConvertedPlan(TextSource& source, const ConversionOptions& options, double width, PlanCanvas& canvas,
                       ConversionReport& report, PlanSummary& summary, PreviewError& error) {
    ConvertedProgram converted;
    if (!converted.convert(source, options, report, error)) return false;
    summary = PlanSummary(withFeedsOf(summary.rates(), options));
    if (!converted.replay(summary, error)) return false;
    const PlanPage page = planPage(summary, width);
    if (!canvas.begin(page, summary)) {
        error = {0, canvas.error()};
        return false;
    }
    PlanRenderer renderer(summary, page.transform, canvas);
    if (!converted.replay(renderer, error) && !renderer.failed()) return false;
    if (renderer.failed() || !canvas.end()) {
        error = {0, canvas.error()};
        return false;
    }
    return true;
}

}  // namespace pathshift
