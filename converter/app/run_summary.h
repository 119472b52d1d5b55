#pragma once
// The end-of-run report: the files that need attention (failed, or with nothing to convert) with
// their reason, and the warnings of the engine's reports with file and line. Empty when there is
// nothing to report.

#include <QList>
#include <QString>

#include "engine/runs/file_run.h"

namespace pathshift::app {

struct AttentionEntry {
    QString path;     // the source file
    QString result;   // "not converted" or the nothing-to-convert text
    QString message;  // the first thing the operator should read about it
};

struct RunSummary {
    QString headline;  // how many files converted, how many need attention
    QString text;      // the headline and the files that need attention, for a message box
    QString details;   // every failure and warning, one a line
    QList<AttentionEntry> attention;
    bool empty() const { return text.isEmpty(); }
};

// `sourceCount` is the number of files the run was given (a stopped run reaches fewer); 0 for all
// of the run's files.
RunSummary summarizeRun(const RunResult& run, std::size_t sourceCount = 0);

// The one-line account of a run for the window's run display.
QString runHeadline(const RunResult& run, std::size_t sourceCount);

}  // namespace pathshift::app
