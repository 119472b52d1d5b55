#pragma once
// The plan view of a converted program: the source is converted into a temporary file, which is
// read back twice as the target machine reads it, first for the extents, then to draw. Memory stays
// small whatever the program's size.

#include <cstddef>
#include <string>

#include "engine/translation/conversion.h"
#include "engine/toolpath/converted_program.h"
#include "engine/plan/plan_canvas.h"
#include "engine/io/text_source.h"

namespace pathshift {

// Default page width of a picture, in pixels.
constexpr double kPlanWidth = 1200;

// Draws onto `canvas` at the given page width. `report` receives the conversion's report, `summary`
// what the picture shows, its machining time at the rates it was made with.
bool drawConvertedPlan(TextSource& source, const ConversionOptions& options, double width, PlanCanvas& canvas,
                       ConversionReport& report, PlanSummary& summary, PreviewError& error);

}  // namespace pathshift
