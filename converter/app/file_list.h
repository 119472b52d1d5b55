#pragma once
// A file list (File1, File2): the files of one folder that match a pattern, sorted by name, read
// when the folder is set or refreshed. Subfolders are not listed.

#include <QListWidget>
#include <QString>

namespace pathshift::app {

class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    // False, with the list left where it was, when the folder does not exist.
    bool setFolder(const QString& folder);
    QString folder() const { return folder_; }
    // "*.*" stands for every file, as it does on Windows.
    void setPattern(const QString& pattern);
    void refresh();

    // The full paths of the selected entries, in list order.
    QStringList selectedPaths() const;

signals:
    void refreshed();

private:
    QString folder_;
    QString pattern_ = QStringLiteral("*");
};

}  // namespace pathshift::app
