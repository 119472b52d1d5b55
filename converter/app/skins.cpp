#include "skins.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QWidget>

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
        return true;
    }
    const QString path = skinFilePath(programFolder, index);
    if (path.isEmpty()) return false;  // an index from a hand-edited file: nothing is loaded
    const SkinSheet skin = readSkinSheet(path);
    window.setStyleSheet(skin.sheet);
    return skin.reason.isEmpty();
}

}  // namespace pathshift::app
