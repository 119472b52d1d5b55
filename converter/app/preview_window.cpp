#include "preview_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "engine/toolpath/verifier.h"

namespace pathshift::app {

PreviewWindow::PreviewWindow(const QString& sourcePath, const ConversionOptions& options, const MachiningRates& rates,
                             QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName("Preview");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Preview - " + QFileInfo(sourcePath).fileName());
    view_ = new PlanView(this);
    fit_ = new QPushButton("Fit to window", this);
    fit_->setObjectName("BtnFit");
    status_ = new QLabel(this);
    status_->setObjectName("StatusLine");
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(fit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(bottom);
    connect(fit_, &QPushButton::clicked, view_, &PlanView::fitToWindow);
    resize(900, 700);
    load(sourcePath, options, rates);
}

void PreviewWindow::load(const QString& sourcePath, const ConversionOptions& options, const MachiningRates& rates) {
    const std::string path = sourcePath.toStdString();
    source_ = std::make_unique<SourceFile>();
    std::string readError;
    if (!source_->open(path, readError)) {
        status_->setText("Cannot read " + sourcePath + ": " + QString::fromStdString(readError));
        return;
    }
    // The picture is the converted program read back, as the machine will read it.
    indexed_ = std::make_unique<IndexedSource>(*source_);
    converted_ = std::make_unique<ConvertedProgram>();
    ConversionReport report;
    PreviewError error;
    PlanView::Collector moves(withFeedsOf(rates, options));
    if (!converted_->convert(*indexed_, options, report, error) ||
        !converted_->replayWithSourceLines(*indexed_, options, moves, error)) {
        status_->setText("Not converted: " + (error.line ? QString("line %1: ").arg(error.line) : QString()) +
                         QString::fromStdString(error.reason));
        return;
    }
    lineTexts_ = std::make_unique<MoveLineTexts>(*indexed_, indexed_->index(), converted_->text(), converted_->lines());
    view_->setDescribeLines([texts = lineTexts_.get()](std::size_t sourceLine, std::size_t targetLine) {
        return QString::fromStdString(texts->tooltip(sourceLine, targetLine));
    });
    view_->showMoves(std::move(moves));
    const VerifyResult verdict = verifyFile(path, options);
    QString line = QString("%1 moves drawn, %2. ")
                       .arg(view_->moveCount())
                       .arg(QString::fromStdString(machiningTimeText(view_->summary().time())));
    if (!verdict.verified) {
        line += "Not verified: " + QString::fromStdString(verdict.error.reason);
    } else {
        const VerifyReport& r = verdict.report;
        line += QString("Verified: %1 moves checked, %2 differences").arg(r.movesChecked).arg(r.differenceCount);
        if (!r.differences.empty()) {
            const VerifyDifference& d = r.differences.front();
            line += QString(" (first: source line %1, target line %2: %3)")
                        .arg(d.sourceLine)
                        .arg(d.targetLine)
                        .arg(QString::fromStdString(d.text));
        }
        verified_ = r.same();
    }
    status_->setText(line);
}

}  // namespace pathshift::app
