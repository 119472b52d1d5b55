#include "run_summary.h"

#include <QStringList>

#include "engine/io/quoted_name.h"

namespace pathshift::app {
namespace {

// Files named in the message itself; all of them are in the details.
constexpr qsizetype kFailuresShown = 20;
// Warnings listed in the details; a run of many files can have tens of thousands, which no one
// reads and which would take the report longer to build than the run took.
constexpr qsizetype kWarningsListed = 1000;

QString nameOf(const std::filesystem::path& path) { return QString::fromStdString(quotedName(path.filename())); }

QString located(const std::filesystem::path& file, std::size_t line, const std::string& text) {
    const QString what = QString::fromStdString(text);
    if (line > 0) return QString("%1, line %2: %3").arg(nameOf(file)).arg(line).arg(what);
    return QString("%1: %2").arg(nameOf(file), what);
}

struct Counts {
    std::size_t converted = 0;
    std::size_t empty = 0;
};

Counts countOf(const RunResult& run) {
    Counts counts;
    for (const FileResult& file : run.files) {
        if (!file.converted) continue;
        if (file.report.nothingToConvert()) ++counts.empty;
        else ++counts.converted;
    }
    return counts;
}

}  // namespace

QString runHeadline(const RunResult& run, std::size_t sourceCount) {
    if (sourceCount == 0) sourceCount = run.files.size();
    const Counts counts = countOf(run);
    QString line = QString("%1 of %2 files converted.").arg(counts.converted).arg(sourceCount);
    if (counts.empty > 0)
        line += QString(" %1 with %2.").arg(counts.empty).arg(kNothingToConvert);
    if (run.stopped)
        line += QString(" Stopped: %1 not started.").arg(sourceCount - run.files.size());
    MachiningTime total;
    bool timed = false;
    for (const FileResult& file : run.files) {
        if (!file.time) continue;
        total += *file.time;
        timed = true;
    }
    if (timed) line += QString(" All written programs: %1.").arg(QString::fromStdString(machiningTimeText(total)));
    return line;
}

RunSummary summarizeRun(const RunResult& run, std::size_t sourceCount) {
    RunSummary summary;
    QStringList attention;
    QStringList warnings;
    std::size_t unlisted = 0;
    for (const FileResult& file : run.files) {
        const QString path = QString::fromStdString(file.source.string());
        if (!file.converted) {
            attention.append(located(file.source, file.error.line, file.error.reason));
            const QString reason = QString::fromStdString(file.error.reason);
            summary.attention.append(
                {path, "not converted", file.error.line > 0 ? QString("line %1: %2").arg(file.error.line).arg(reason) : reason});
        } else if (file.report.nothingToConvert()) {
            attention.append(QString("%1: %2 (written as header and trailer alone)").arg(nameOf(file.source), kNothingToConvert));
            summary.attention.append({path, kNothingToConvert, "written as header and trailer alone"});
        }
        for (const ConversionWarning& warning : file.report.warnings) {
            if (warning.kind == WarningKind::NoBlocks) continue;
            if (warnings.size() < kWarningsListed) warnings.append(located(file.source, warning.line, warning.text));
            else ++unlisted;
        }
        unlisted += file.report.unlistedWarnings;
    }
    if (attention.isEmpty() && warnings.isEmpty()) return summary;
    const std::size_t warningCount = static_cast<std::size_t>(warnings.size()) + unlisted;
    if (unlisted > 0) warnings.append(QString("and %1 more warnings, not listed").arg(unlisted));

    summary.headline = runHeadline(run, sourceCount);
    summary.text = summary.headline;
    if (!attention.isEmpty()) {
        summary.text += "\n\nNeed attention:\n" + attention.mid(0, kFailuresShown).join('\n');
        if (attention.size() > kFailuresShown)
            summary.text += QString("\nand %1 more; see the details.").arg(attention.size() - kFailuresShown);
    }
    if (warningCount > 0) summary.text += QString("\n\n%1 warnings; see the details.").arg(warningCount);
    QStringList details;
    if (!attention.isEmpty()) details << "Need attention:" << attention << QString();
    if (!warnings.isEmpty()) details << "Warnings:" << warnings;
    summary.details = details.join('\n').trimmed();
    return summary;
}

}  // namespace pathshift::app
