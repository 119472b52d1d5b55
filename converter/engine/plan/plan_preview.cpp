#include "engine/plan/plan_preview.h"

namespace pathshift {

bool drawConvertedPlan(TextSource& source, const ConversionOptions& options, double width, PlanCanvas& canvas,
                       ConversionReport& report, PlanSummary& summary, PreviewError& error) {
    ConvertedProgram converted;
    IndexedSource indexed(source);
    if (!converted.convert(indexed, options, report, error)) return false;
    summary = PlanSummary(withFeedsOf(summary.rates(), options));
    if (!converted.replay(summary, error)) return false;
    const PlanPage page = planPage(summary, width);
    const MoveLineTexts texts(indexed, indexed.index(), converted.text(), converted.lines());
    const bool namesLines = canvas.lineTexts(&texts);
    if (!canvas.begin(page, summary)) {
        error = {0, canvas.error()};
        return false;
    }
    PlanRenderer renderer(summary, page.transform, canvas);
    const bool drawn = namesLines ? converted.replayWithSourceLines(indexed, options, renderer, error)
                                                : converted.replay(renderer, error);
    if (!drawn && !renderer.failed()) return false;
    if (renderer.failed() || !canvas.end()) {
        error = {0, canvas.error()};
        return false;
    }
    return true;
}

}  // namespace pathshift
