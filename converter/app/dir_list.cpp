#include "dir_list.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace pathshift::app {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kIndentBlanks = 2;

}  // namespace

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { openRow(row(item)); });
    setFolder(QDir::currentPath());
}

bool DirList::setFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable()) return false;
    QDir dir(info.absoluteFilePath());
    if (!dir.isReadable()) return false;
    folder_ = QDir::cleanPath(dir.absolutePath());

    QStringList chain;  // from the current folder up to the root
    for (QDir up(folder_);; ) {
        chain.prepend(QDir::cleanPath(up.absolutePath()));
        if (up.isRoot() || !up.cdUp()) break;
    }
    clear();
    int depth = 0;
    for (const QString& path : chain) {
        const QString name = QDir(path).isRoot() ? path : QFileInfo(path).fileName();
        auto* item = new QListWidgetItem(QString(depth * kIndentBlanks, ' ') + name, this);
        item->setData(kPathRole, path);
        ++depth;
    }
    setCurrentRow(count() - 1);
    const QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(QString(depth * kIndentBlanks, ' ') + child, this);
        item->setData(kPathRole, dir.filePath(child));
    }
    emit folderChanged(folder_);
    return true;
}

void DirList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        openRow(currentRow());
        event->accept();  // kept from the dialog's default button
        return;
    }
    QListWidget::keyPressEvent(event);
}

bool DirList::openRow(int row) {
    const QListWidgetItem* entry = item(row);
    return entry && setFolder(entry->data(kPathRole).toString());
}

}  // namespace pathshift::app
