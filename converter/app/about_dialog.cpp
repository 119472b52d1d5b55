#include "about_dialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

#include "form_font.h"
#include "modal.h"
#include "twips.h"

namespace pathshift::app {
namespace {

const QString kTitle = QStringLiteral("Tarvo to Selvix");

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setWordWrap(true);
    return l;
}

}  // namespace

QString versionText() {
    return QString("Version %1.%2.%3").arg(PATHSHIFT_VERSION_MAJOR).arg(PATHSHIFT_VERSION_MINOR).arg(PATHSHIFT_VERSION_PATCH);
}

FrmAbout::FrmAbout(QWidget* parent, Registry& registry) : QDialog(parent), registry_(registry) {
    setObjectName("frmAbout");
    setWindowTitle("About " + kTitle);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(pixels(5730), pixels(3660));
    useFormFont(*this);
    createControls();
}

void FrmAbout::createControls() {
    auto* icon = new QLabel(this);
    icon->setObjectName("picIcon");
    icon->setGeometry(twipsRect(240, 240, 480, 480));
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));

    QLabel* title = label(this, "lblTitle", kTitle, twipsRect(1050, 240, 4440, 480));
    QFont bold("Tahoma", 12, QFont::Bold);
    title->setFont(bold);
    label(this, "lblVersion", versionText(), twipsRect(1050, 780, 4440, 225));
    label(this, "lblDescription", "Program for generating Selvix G-code from Tarvo G-code.",
          twipsRect(1050, 1125, 4440, 450));
    // An etched line: a dark line with a light one under it.
    for (int i = 0; i < 2; ++i) {
        auto* line = new QFrame(this);
        line->setObjectName("Line1");
        line->setProperty("index", i);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(i == 0 ? QFrame::Sunken : QFrame::Plain);
        line->setGeometry(twipsRect(105, 1695 + 15 * i, 5520, 15));
    }
    label(this, "lblDisclaimer",
          "Warning: this program is protected by copyright. Copying or passing it on, in whole or in "
          "part, without the owner's written permission is forbidden and may be prosecuted.",
          twipsRect(255, 1860, 3870, 1500));
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOk");
    ok->setGeometry(twipsRect(4245, 2025, 1260, 375));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    auto* sysInfo = new QPushButton("&System Info...", this);
    sysInfo->setObjectName("cmdSysInfo");
    sysInfo->setGeometry(twipsRect(4260, 2475, 1245, 375));
    sysInfo->setAutoDefault(false);
    // Esc answers reject(), which closes the dialog as OK does.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, &FrmAbout::startSysInfo);
}

void FrmAbout::startSysInfo() {
    const SystemInfoPlaces places{
        [](const std::string& program) { return QProcess::startDetached(QString::fromStdString(program), {}); },
        [](const std::string& file) { return QFileInfo(QString::fromStdString(file)).isFile(); },
    };
    if (!StartSysInfo(registry_, places))
        Modal::message(this, kTitle, "System Information Is Unavailable At This Time");
}

}  // namespace pathshift::app
