#include "dir_browser.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <cmath>

#include "app_settings.h"
#include "dir_list.h"
#include "form_font.h"
#include "modal.h"
#include "screen_place.h"
#include "twips.h"

namespace pathshift::app {
namespace {

const QString kLightGrey = QStringLiteral("background-color: rgb(224, 224, 224);");


QString withSeparator(const QString& folder) { return folder.endsWith('/') ? folder : folder + '/'; }

}  // namespace

DirBrws::DirBrws(AppSettings& settings, const QString& chosenDir, QWidget* parent, const DriveLister& drives)
    : QDialog(parent), settings_(settings), chosenDir_(chosenDir) {
    setObjectName("DirBrws");
    setWindowTitle("Directory Selection");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(pixels(4950), pixels(3750));
    useFormFont(*this);
    createControls(drives());
    load();
    dir1_->setFocus();  // the folder list is where the operator works; the drive box has one entry
}

void DirBrws::createControls(const QStringList& drives) {
    dir1_ = new DirList(this);
    dir1_->setObjectName("Dir1");
    dir1_->setGeometry(twipsRect(360, 240, 4215, 1440));
    drive1_ = new QComboBox(this);
    drive1_->setObjectName("Drive1");
    drive1_->setGeometry(twipsRect(360, 1920, 4215, 315));
    drive1_->addItems(drives);
    labDir_ = new QLabel(this);
    labDir_->setObjectName("LabDir");
    labDir_->setGeometry(twipsRect(360, 2520, 4215, 375));
    btnOk_ = new QPushButton("OK", this);
    btnOk_->setObjectName("BtnOK");
    btnOk_->setGeometry(twipsRect(720, 3120, 975, 495));
    btnCan_ = new QPushButton("Cancel", this);
    btnCan_->setObjectName("BtnCan");
    btnCan_->setGeometry(twipsRect(3240, 3120, 975, 495));
    for (QWidget* w : std::initializer_list<QWidget*>{dir1_, drive1_, labDir_}) w->setStyleSheet(kLightGrey);
    labDir_->setAutoFillBackground(true);

    setTabOrder(drive1_, dir1_);
    setTabOrder(dir1_, labDir_);
    setTabOrder(labDir_, btnOk_);
    setTabOrder(btnOk_, btnCan_);

    connect(drive1_, &QComboBox::currentIndexChanged, this, &DirBrws::onDriveChanged);
    connect(dir1_, &DirList::folderChanged, labDir_, &QLabel::setText);
    connect(btnOk_, &QPushButton::clicked, this, &DirBrws::accept);
    connect(btnCan_, &QPushButton::clicked, this, &DirBrws::reject);
}

// Every step that fails is skipped and the next one runs.
void DirBrws::load() {
    const int top = pixelsFromStored(settings_.readNumber(SettingKey::DirTop));
    const int left = pixelsFromStored(settings_.readNumber(SettingKey::DirLeft));
    move(placedOnScreen(QPoint(left, top), size()));
    if (chosenDir_.isEmpty()) chosenDir_ = settings_.read(SettingKey::DirLastDir);
    if (chosenDir_.isEmpty()) {
        labDir_->clear();
        return;
    }
    QStringList drives;
    for (int i = 0; i < drive1_->count(); ++i) drives.append(drive1_->itemText(i));
    const QString drive = driveOf(drives, chosenDir_);
    if (!drive.isEmpty()) {
        if (drive1_->currentText() == drive)
            onDriveChanged(drive1_->currentIndex());
        else
            chooseDrive(drive);
    }
    dir1_->setFolder(chosenDir_);
    labDir_->setText(chosenDir_);
}

void DirBrws::chooseDrive(const QString& drive) { drive1_->setCurrentIndex(drive1_->findText(drive)); }

bool DirBrws::openFolder(const QString& folder) { return dir1_->setFolder(folder); }

void DirBrws::onDriveChanged(int index) {
    if (index < 0) return;
    const QString drive = drive1_->itemText(index);
    if (dir1_->setFolder(drive)) {
        savedDrive_ = drive;
        return;
    }
    Modal::message(this, "Alert", "Drive " + drive + " is unavailable.", QMessageBox::Warning);
    if (revertingDrive_) return;  // the drive to go back to has gone too: stay where the tree is
    // Before any good drive, go back to the drive of the folder the tree shows.
    QString back = savedDrive_;
    if (back.isEmpty()) {
        QStringList drives;
        for (int i = 0; i < drive1_->count(); ++i) drives.append(drive1_->itemText(i));
        back = driveOf(drives, dir1_->folder());
    }
    if (back.isEmpty() || back == drive) return;
    revertingDrive_ = true;
    chooseDrive(back);
    revertingDrive_ = false;
}

void DirBrws::accept() {
    chosenDir_ = withSeparator(labDir_->text());
    finish(Accepted, true);
}

void DirBrws::reject() {
    chosenDir_.clear();
    finish(Rejected, true);
}

void DirBrws::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        chosenDir_.clear();
        finish(Rejected, false);
    }
    event->accept();
}

void DirBrws::finish(int result, bool byButton) {
    if (finished_) return;
    finished_ = true;
    if (byButton) settings_.write(SettingKey::DirLastDir, labDir_->text());
    const QPoint position = pos();
    settings_.write(SettingKey::DirTop, QString::number(twips(position.y())));
    settings_.write(SettingKey::DirLeft, QString::number(twips(position.x())));
    done(result);
}

}  // namespace pathshift::app
