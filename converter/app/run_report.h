#pragma once
// RunReport, the end-of-run report: a resizable window that fits the screen, with the run's
// headline, a table of the files that need attention (file, result, first message) and the
// warnings. Enter and Esc close it; double-clicking a row asks for that file's preview.

#include <QDialog>
#include <QString>

#include "run_summary.h"

class QTableWidget;

namespace pathshift::app {

class RunReport : public QDialog {
    Q_OBJECT
public:
    explicit RunReport(const RunSummary& summary, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }

signals:
    void previewRequested(const QString& sourcePath);

private:
    QTableWidget* table_ = nullptr;
};

}  // namespace pathshift::app
