#pragma once
// A plan view of a converted program as a PNG picture, written atomically: the entry points of the
// module pathshift-cli loads when a PNG is asked for. Both sides are built from the same sources;
// the version tells a module of another build apart before anything is passed to it.

#include <string>

#include "engine/plan/plan_preview.h"

namespace pathshift {

constexpr char kPlanPngModule[] = "pathshift-png.so";

extern "C" {

// The version of the build the module belongs to.
const char* pathshift_png_version();

// Works without a display: a command-line program gets an offscreen Qt application for the fonts.
bool pathshift_write_plan_png(const std::string& source, const ConversionOptions& options, double width,
                              const std::string& picture, ConversionReport& report, PlanSummary& summary,
                              PreviewError& error);
}

}  // namespace pathshift
