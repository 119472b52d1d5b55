#pragma once
// A plan view of a converted program as a PNG picture, written atomically.

#include <string>

#include "engine/plan/plan_preview.h"

namespace pathshift {

// Works without a display: a command-line program gets an offscreen Qt application for the fonts.
bool writePlanPng(const std::string& source, const ConversionOptions& options, double width,
                  const std::string& picture, ConversionReport& report, PlanSummary& summary, PreviewError& error);

}  // namespace pathshift
