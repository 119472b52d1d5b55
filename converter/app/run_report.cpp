#include "run_report.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace pathshift::app {
namespace {

// The report never grows past this share of the screen; longer lists scroll.
constexpr double kScreenShare = 0.8;
constexpr int kPreferredWidth = 760;
constexpr int kPreferredHeight = 420;

}  // namespace

RunReport::RunReport(const RunSummary& summary, QWidget* parent) : QDialog(parent) {
    setObjectName("RunReport");
    setWindowTitle(tr("Tarvo to Selvix"));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    auto* headline = new QLabel(summary.headline, this);
    headline->setObjectName("Headline");
    headline->setWordWrap(true);
    layout->addWidget(headline);

    table_ = new QTableWidget(static_cast<int>(summary.attention.size()), 3, this);
    table_->setObjectName("Attention");
    table_->setHorizontalHeaderLabels({tr("File"), tr("Result"), tr("Message")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < table_->rowCount(); ++row) {
        const AttentionEntry& entry = summary.attention[row];
        auto* file = new QTableWidgetItem(QFileInfo(entry.path).fileName());
        file->setData(Qt::UserRole, entry.path);
        file->setToolTip(entry.path);
        table_->setItem(row, 0, file);
        table_->setItem(row, 1, new QTableWidgetItem(entry.result));
        auto* message = new QTableWidgetItem(entry.message);
        message->setToolTip(entry.message);
        table_->setItem(row, 2, message);
    }
    table_->resizeColumnsToContents();
    table_->setVisible(table_->rowCount() > 0);
    layout->addWidget(table_, 2);
    connect(table_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { emit previewRequested(table_->item(row, 0)->data(Qt::UserRole).toString()); });

    auto* details = new QPlainTextEdit(summary.details, this);
    details->setObjectName("Details");
    details->setReadOnly(true);
    details->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(details, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setDefault(true);  // Enter closes the report wherever the focus is
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    close->setFocus();

    const QRect screen = (parent ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    resize(std::min(kPreferredWidth, static_cast<int>(screen.width() * kScreenShare)),
           std::min(kPreferredHeight, static_cast<int>(screen.height() * kScreenShare)));
}

}  // namespace pathshift::app
