#include "skins.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QCheckBox>
#include <QRadioButton>
#include <QWidget>
#include <algorithm>

#include "trace_log.h"

namespace pathshift::app {
namespace {

struct SkinFile {
    const char* folder;
    const char* file;
};
constexpr SkinFile kSkinFiles[kSkinCount] = {
    {nullptr, nullptr},
    {"Styles/Le5", "Normalblue.ini"},
    {"Styles/iTunes", "Normalitunes.ini"},
};
// Larger files are not skins of ours.
constexpr qint64 kMaxSkinBytes = 1 << 20;

bool bracesBalance(const QString& sheet) {
    int depth = 0;
    for (QChar c : sheet) {
        if (c == '{') ++depth;
        if (c == '}' && --depth < 0) return false;
    }
    return depth == 0 && sheet.contains('{');
}

}  // namespace

QString skinFilePath(const QString& programFolder, int index) {
    if (index < 1 || index >= kSkinCount) return {};
    const QString relative = QString(kSkinFiles[index].folder) + "/" + kSkinFiles[index].file;
    const QString beside = QDir(programFolder).filePath(relative);
    if (QFileInfo::exists(beside)) return beside;
    const QString installed = QDir(programFolder).filePath("../share/pathshift/" + relative);
    return QFileInfo::exists(installed) ? QDir::cleanPath(installed) : beside;
}

SkinSheet readSkinSheet(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {{}, file.errorString()};
    if (file.size() > kMaxSkinBytes) return {{}, "the file is too large for a skin"};
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\0')) return {{}, "the file holds binary data"};
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString sheet = decoder(bytes);
    if (decoder.hasError()) return {{}, "the file is not UTF-8 text"};
    if (!bracesBalance(sheet)) return {{}, "the file is not a style sheet"};
    return {sheet, {}};
}

bool applySkin(QWidget& window, const QString& programFolder, int index) {
    trace(QString("skin %1").arg(index));
    if (index == 0) {
        window.setStyleSheet({});
        fitCaptions(window);
        return true;
    }
    const QString path = skinFilePath(programFolder, index);
    if (path.isEmpty()) return false;  // an index from a hand-edited file: nothing is loaded
    const SkinSheet skin = readSkinSheet(path);
    window.setStyleSheet(skin.sheet);
    // Under some style sheets the controls take the application's font instead of the window's,
    // which is larger than the one the fixed layout was made for: each control gets it outright.
    for (QWidget* control : window.findChildren<QWidget*>())
        if (!control->testAttribute(Qt::WA_SetFont)) control->setFont(window.font());
    fitCaptions(window);
    return skin.reason.isEmpty();
}

// A skin's indicators and spacing can leave an option's caption less room than the laid-out width:
// the option then takes the width its caption needs, as far as the next control or its frame's edge.
void fitCaptions(QWidget& window) {
    constexpr int kGap = 2;  // kept free before the next control
    for (QAbstractButton* option : window.findChildren<QAbstractButton*>()) {
        if (option->text().isEmpty() || !(qobject_cast<QRadioButton*>(option) || qobject_cast<QCheckBox*>(option)))
            continue;
        QVariant designed = option->property("designedWidth");
        if (!designed.isValid()) option->setProperty("designedWidth", designed = option->width());
        option->ensurePolished();
        int limit = option->parentWidget()->width() - kGap;
        const QRect at(option->x(), option->y(), designed.toInt(), option->height());
        for (const QWidget* sibling : option->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (sibling != option && sibling->x() >= at.right() && sibling->y() < at.bottom() && sibling->geometry().bottom() > at.top())
                limit = std::min(limit, sibling->x() - kGap);
        const int width = std::clamp(option->sizeHint().width(), designed.toInt(), std::max(designed.toInt(), limit - at.x()));
        option->resize(width, option->height());
    }
}

}  // namespace pathshift::app
