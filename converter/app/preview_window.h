#pragma once
// A converted program's toolpath in a window of its own, with the verifier's verdict in its status
// line with the estimated machining time. It converts with the options the main window holds when
// it is opened.

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <memory>

#include "engine/io/line_index.h"
#include "engine/plan/move_lines.h"
#include "engine/toolpath/converted_program.h"
#include "engine/translation/conversion.h"
#include "plan_view.h"

namespace pathshift::app {

class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    PreviewWindow(const QString& sourcePath, const ConversionOptions& options, const MachiningRates& rates = {},
                  QWidget* parent = nullptr);

    PlanView* view() const { return view_; }
    QString status() const { return status_->text(); }
    bool verified() const { return verified_; }

private:
    void load(const QString& sourcePath, const ConversionOptions& options, const MachiningRates& rates);

    PlanView* view_ = nullptr;
    QPushButton* fit_ = nullptr;
    QLabel* status_ = nullptr;
    bool verified_ = false;
    // Kept while the window is open, for the lines of the move under the pointer: the source (open,
    // so that a replaced file still reads as it was converted) and the converted program.
    std::unique_ptr<SourceFile> source_;
    std::unique_ptr<IndexedSource> indexed_;
    std::unique_ptr<ConvertedProgram> converted_;
    std::unique_ptr<MoveLineTexts> lineTexts_;
};

}  // namespace pathshift::app
