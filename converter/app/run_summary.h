#pragma once
// The end-of-run report: every file that failed with its reason, and the warnings of the engine's
// reports with file and line. Empty when there is nothing to report.

#include <QString>

#include "engine/file_run.h"

namespace pathshift::app {

struct RunSummary {
    QString text;     // the headline: how many files converted, which failed
    QString details;  // every failure and warning, one a line
    bool empty() const { return text.isEmpty(); }
};

RunSummary summarizeRun(const RunResult& run);

}  // namespace pathshift::app
