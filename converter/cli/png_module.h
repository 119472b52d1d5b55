#pragma once
// The PNG writer, a module loaded on the first PNG of a run and kept for the rest of the process.

#include <string>

#include "plan_qt/plan_png.h"

namespace pathshift::cli {

using PlanPngWriter = decltype(&pathshift_write_plan_png);

// Looked up beside the running program, then in the library folder of its installation. Null when
// it cannot be loaded, with `why` naming the module and what is missing.
PlanPngWriter planPngWriter(std::string& why);

}  // namespace pathshift::cli
