#pragma once
// The "drives" of the directory browser: on this system, the mounted volumes an operator keeps
// programs on (the root, removable media, other disks), by their mount folder.

#include <QList>
#include <QString>
#include <functional>

namespace pathshift::app {

using DriveLister = std::function<QStringList()>;

// The root folder first, then the mount folders under /media, /mnt, /run/media and /home.
QStringList mountedDrives();

// The drive of `path`: the longest drive whose folder holds it; empty when none does.
QString driveOf(const QStringList& drives, const QString& path);

}  // namespace pathshift::app
