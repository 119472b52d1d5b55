// The controls of the main window: names, captions, containers, positions and tab order.

#include <QFont>
#include <QHeaderView>

#include "main_window.h"
#include "twips.h"

namespace pathshift::app {
namespace {

template <typename W>
W* place(W* widget, const char* name, QRect geometry) {
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QPushButton* folderButton(QWidget* parent, const char* name) {
    auto* button = place(new QPushButton("...", parent), name, twipsRect(3000, 240, 375, 450));
    QFont font = button->font();
    font.setPointSize(12);
    button->setFont(font);
    return button;
}

FileList* fileList(QWidget* parent, const char* name) {
    auto* list = place(new FileList(parent), name, twipsRect(120, 840, 3015, 5160));
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, QColor(128, 255, 255));
    list->setPalette(palette);
    return list;
}

QLabel* pathLabel(QWidget* parent, const char* name) {
    auto* label = place(new QLabel(parent), name, twipsRect(120, 240, 2775, 495));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

void MainWindow::createControls() {
    sourceFrame_ = place(new QGroupBox("G-code Source", this), "SourceFrame", twipsRect(120, 120, 3495, 6135));
    sPath_ = pathLabel(sourceFrame_, "SPath");
    sDir_ = folderButton(sourceFrame_, "SDir");
    file1_ = fileList(sourceFrame_, "File1");
    file1_->setTakesDrops(true);

    frame1_ = place(new QGroupBox(this), "Frame1", twipsRect(3720, 120, 3135, 6135));
    btnProc_ = place(new QPushButton("Process", frame1_), "BtnProc", twipsRect(960, 240, 1215, 375));
    btnProc_->setEnabled(false);
    frame3_ = place(new QGroupBox("Tool Translation", frame1_), "Frame3", twipsRect(240, 720, 2655, 4695));
    head1_ = place(new QRadioButton("Head 1", frame3_), "Head1", twipsRect(360, 240, 855, 255));
    head1_->setChecked(true);
    head2_ = place(new QRadioButton("Head 2", frame3_), "Head2", twipsRect(1440, 240, 855, 255));
    toolTab_ = place(new ToolGrid(frame3_), "ToolTab", twipsRect(240, 600, 2175, 3615));
    toolTab_->setToolModel(&tools_);
    dfs_ = place(new QCheckBox("DFS", frame3_), "DFS", twipsRect(240, 4320, 1215, 255));
    // Feed-rate runs are kept for the engine but not offered to the operator.
    btnProcMfr_ = place(new QPushButton("Process W/IPS Feed Rate", frame1_), "BtnProcMFR", twipsRect(360, 1920, 2535, 375));
    btnProcMfr_->setEnabled(false);
    btnProcMfr_->setVisible(false);
    frame2_ = place(new QGroupBox("Part Thickness assigned to E3", frame1_), "Frame2", twipsRect(240, 5400, 2655, 615));
    label3_ = place(new QLabel("Thick (Z)", frame2_), "Label3", twipsRect(120, 240, 855, 255));
    dimZ_ = place(new FocusLineEdit(frame2_), "DimZ", twipsRect(1080, 240, 1335, 285));

    destFrame_ = place(new QGroupBox("G-code Destination", this), "DestFrame", twipsRect(6960, 120, 3495, 6135));
    dPath_ = pathLabel(destFrame_, "DPath");
    dDir_ = folderButton(destFrame_, "DDir");
    file2_ = fileList(destFrame_, "File2");

    skin_ = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        auto* option = place(new QRadioButton(this), "Skin", twipsRect(360 + 240 * i, 6360, 255, 195));
        option->setProperty("index", i);
        option->setToolTip(i == 0 ? tr("Plain look") : i == 1 ? tr("Blue skin") : tr("Light skin"));
        skin_->addButton(option, i);
    }
    skin_->button(0)->setChecked(true);

    // The run display along the bottom: what the run is doing, or why Process cannot run.
    runStatus_ = place(new QLabel(this), "RunStatus", twipsRect(1200, 6330, 5280, 330));
    runStatus_->setTextFormat(Qt::PlainText);
    runProgress_ = place(new QProgressBar(this), "RunProgress", twipsRect(6600, 6345, 2640, 300));
    runProgress_->setTextVisible(false);
    runProgress_->setValue(0);
    btnCancel_ = place(new QPushButton("Cancel", this), "BtnCancel", twipsRect(9360, 6300, 1095, 390));
    btnCancel_->setEnabled(false);
    setTabOrder();
}

// Frames and labels hold their places in the documented order but never take the focus, so the
// chain runs through the controls that do.
void MainWindow::setTabOrder() {
    const QList<QWidget*> documented{sourceFrame_, sDir_, file1_, sPath_, destFrame_, dDir_, file2_, dPath_,
                          frame1_, btnProc_, frame2_, label3_, dimZ_, frame3_, head1_, head2_,
                          btnProcMfr_, toolTab_, dfs_};
    QList<QWidget*> order;
    for (QWidget* w : documented)
        if (w->focusPolicy() != Qt::NoFocus) order.append(w);
    for (QAbstractButton* option : skin_->buttons()) order.append(option);
    order.append(btnCancel_);
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace pathshift::app
