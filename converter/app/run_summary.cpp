#include "run_summary.h"

#include <QStringList>

#include "engine/quoted_name.h"

namespace pathshift::app {
namespace {

// Failures named in the message itself; all of them are in the details.
constexpr qsizetype kFailuresShown = 20;

QString nameOf(const std::filesystem::path& path) { return QString::fromStdString(quotedName(path.filename())); }

QString failureLine(const FileResult& file) {
    const QString reason = QString::fromStdString(file.error.reason);
    if (file.error.line > 0) return QString("%1, line %2: %3").arg(nameOf(file.source)).arg(file.error.line).arg(reason);
    return QString("%1: %2").arg(nameOf(file.source), reason);
}

}  // namespace

RunSummary summarizeRun(const RunResult& run) {
    QStringList failures;
    QStringList warnings;
    std::size_t converted = 0;
    for (const FileResult& file : run.files) {
        if (file.converted) ++converted;
        else failures.append(failureLine(file));
        for (const ConversionWarning& warning : file.report.warnings) {
            const QString text = QString::fromStdString(warning.text);
            if (warning.line > 0)
                warnings.append(QString("%1, line %2: %3").arg(nameOf(file.source)).arg(warning.line).arg(text));
            else
                warnings.append(QString("%1: %2").arg(nameOf(file.source), text));
        }
        if (file.report.unlistedWarnings > 0)
            warnings.append(QString("%1: %2 more warnings of the kinds above")
                                .arg(nameOf(file.source))
                                .arg(file.report.unlistedWarnings));
    }
    if (failures.isEmpty() && warnings.isEmpty()) return {};

    RunSummary summary;
    summary.text = QString("%1 of %2 files converted.").arg(converted).arg(run.files.size());
    if (!failures.isEmpty()) {
        summary.text += "\n\nNot converted:\n" + failures.mid(0, kFailuresShown).join('\n');
        if (failures.size() > kFailuresShown)
            summary.text += QString("\nand %1 more; see the details.").arg(failures.size() - kFailuresShown);
    }
    if (!warnings.isEmpty()) summary.text += QString("\n\n%1 warnings; see the details.").arg(warnings.size());
    QStringList details;
    if (!failures.isEmpty()) details << "Not converted:" << failures << QString();
    if (!warnings.isEmpty()) details << "Warnings:" << warnings;
    summary.details = details.join('\n').trimmed();
    return summary;
}

}  // namespace pathshift::app
