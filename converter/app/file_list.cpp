#include "file_list.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

namespace pathshift::app {
namespace {

// Changes in a folder are read this long after the last one, so a copy of many files is one read.
constexpr int kSettleMs = 200;
// How often a missing folder is looked for: a drive plugged back in is noticed within this time.
constexpr int kLookAgainMs = 1000;

QStringList localPaths(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    return paths;
}

bool nameBefore(const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; }

}  // namespace

FileList::FileList(QWidget* parent) : QListWidget(parent), folder_(QDir::cleanPath(QDir::currentPath())) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    lookAgain_.setInterval(kLookAgainMs);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
    connect(&settle_, &QTimer::timeout, this, &FileList::followChange);
    connect(&lookAgain_, &QTimer::timeout, this, &FileList::followChange);
    refresh();
    watch();
}

bool FileList::setFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) return false;
    folder_ = QDir::cleanPath(info.absoluteFilePath());
    const bool wasMissing = missing_;
    missing_ = false;
    clear();
    refresh();
    watch();
    if (wasMissing) emit folderMissingChanged(false);
    return true;
}

void FileList::setMissingFolder(const QString& folder) {
    folder_ = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    missing_ = true;
    clear();
    watch();
    emit folderMissingChanged(true);
}

void FileList::setPattern(const QString& pattern) {
    pattern_ = pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
    refresh();
}

void FileList::refresh() {
    QStringList selected;
    for (const QListWidgetItem* item : selectedItems()) selected.append(item->text());
    const QStringList names =
        missing_ ? QStringList() : QDir(folder_).entryList({pattern_}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    {
        const QSignalBlocker quiet(this);  // one selection change below, not one per entry
        clear();
        addItems(names);
        for (int i = 0; i < count(); ++i)
            if (selected.contains(item(i)->text())) item(i)->setSelected(true);
    }
    if (!selected.isEmpty()) emit itemSelectionChanged();
}

void FileList::setFollowing(bool on) {
    following_ = on;
    watch();  // a paused list does not even hear of the changes: a run's writes cost it nothing
    if (on) followChange();
}

void FileList::addFile(const QString& name) {
    int at = 0;
    int end = count();
    while (at < end) {  // the entries are in name order
        const int mid = (at + end) / 2;
        if (nameBefore(item(mid)->text(), name)) at = mid + 1;
        else end = mid;
    }
    if (at < count() && item(at)->text() == name) return;
    insertItem(at, name);
}

QStringList FileList::selectedPaths() const {
    QStringList paths;
    const QDir dir(folder_);
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected()) paths.append(dir.filePath(item(i)->text()));
    return paths;
}

void FileList::setTakesDrops(bool on) {
    setAcceptDrops(on);
    viewport()->setAcceptDrops(on);
    setDropIndicatorShown(false);
}

void FileList::dragEnterEvent(QDragEnterEvent* event) {
    if (localPaths(event->mimeData()).isEmpty()) return event->ignore();
    event->acceptProposedAction();
}

void FileList::dragMoveEvent(QDragMoveEvent* event) {
    if (localPaths(event->mimeData()).isEmpty()) return event->ignore();
    event->acceptProposedAction();
}

void FileList::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty()) return event->ignore();
    event->acceptProposedAction();
    emit dropped(paths);
}

void FileList::select(const QStringList& names) {
    {
        const QSignalBlocker quiet(this);
        for (int i = 0; i < count(); ++i) item(i)->setSelected(names.contains(item(i)->text()));
    }
    emit itemSelectionChanged();
}

void FileList::watch() {
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    settle_.stop();
    if (!following_) {
        lookAgain_.stop();
        return;
    }
    if (missing_) {
        lookAgain_.start();
        return;
    }
    lookAgain_.stop();
    watcher_.addPath(folder_);
}

void FileList::followChange() {
    if (!following_) return;
    const bool there = QFileInfo(folder_).isDir();
    if (there == !missing_) {
        if (there) refresh();
        return;
    }
    missing_ = !there;
    refresh();
    watch();
    emit folderMissingChanged(missing_);
}

}  // namespace pathshift::app
