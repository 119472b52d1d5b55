#pragma once
// Small helpers shared by the tests: files written and read whole, and a folder no one can
// write to, whoever runs the tests.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace test {

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Files cannot be created under /proc, not even by root.
inline QString unwritableFolder() { return QStringLiteral("/proc/self/"); }

inline QString withSlash(const QString& folder) { return folder.endsWith('/') ? folder : folder + '/'; }

}  // namespace test
