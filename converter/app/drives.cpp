#include "drives.h"

#include <QDir>
#include <QStorageInfo>

namespace pathshift::app {

QStringList mountedDrives() {
    QStringList drives{QDir::rootPath()};
    static const QStringList kPlaces{"/media/", "/mnt/", "/run/media/", "/home"};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (drives.contains(root)) continue;
        for (const QString& place : kPlaces)
            if (root.startsWith(place)) {
                drives.append(root);
                break;
            }
    }
    return drives;
}

QString driveOf(const QStringList& drives, const QString& path) {
    const QString clean = QDir::cleanPath(path);
    QString best;
    for (const QString& drive : drives) {
        const QString root = QDir::cleanPath(drive);
        const bool holds = root == "/" ? clean.startsWith('/')
                                       : clean == root || clean.startsWith(root + "/");
        if (holds && root.size() > QDir::cleanPath(best).size()) best = drive;
    }
    return best;
}

}  // namespace pathshift::app
