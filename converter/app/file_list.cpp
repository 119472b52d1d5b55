#include "file_list.h"

#include <QDir>
#include <QFileInfo>

namespace pathshift::app {

FileList::FileList(QWidget* parent) : QListWidget(parent), folder_(QDir::cleanPath(QDir::currentPath())) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    refresh();
}

bool FileList::setFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) return false;
    folder_ = QDir::cleanPath(info.absoluteFilePath());
    refresh();
    return true;
}

void FileList::setPattern(const QString& pattern) {
    pattern_ = pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
    refresh();
}

void FileList::refresh() {
    const QStringList names =
        QDir(folder_).entryList({pattern_}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    clear();
    addItems(names);
    emit refreshed();
}

QStringList FileList::selectedPaths() const {
    QStringList paths;
    const QDir dir(folder_);
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected()) paths.append(dir.filePath(item(i)->text()));
    return paths;
}

}  // namespace pathshift::app
