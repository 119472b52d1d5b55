#pragma once
// A file list (File1, File2): the files of one folder that match a pattern, sorted by name. The list
// follows its folder as files come and go, keeping the selection; a folder that is gone (a drive
// pulled out) is kept as the list's folder, shown empty and marked missing until it is back.

#include <QFileSystemWatcher>
#include <QListWidget>
#include <QString>
#include <QTimer>

namespace pathshift::app {

class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    // False, with the list left where it was, when the folder does not exist.
    bool setFolder(const QString& folder);
    // The folder stays the list's folder although it does not exist: empty and missing until it is back.
    void setMissingFolder(const QString& folder);
    QString folder() const { return folder_; }
    bool folderMissing() const { return missing_; }
    // "*.*" stands for every file, as it does on Windows.
    void setPattern(const QString& pattern);
    // Reads the folder again, keeping the selected names selected.
    void refresh();

    // While paused, changes in the folder are not followed (a run adds what it writes itself).
    void setFollowing(bool on);
    // A file written into the folder, placed in name order unless already listed.
    void addFile(const QString& name);

    // Exactly the entries of these names selected.
    void select(const QStringList& names);
    // The full paths of the selected entries, in list order.
    QStringList selectedPaths() const;

    // Whether files dropped from a file manager are taken (the source list takes them).
    void setTakesDrops(bool on);

signals:
    // Local files or folders dropped onto the list.
    void dropped(const QStringList& paths);
    // The folder went missing or came back.
    void folderMissingChanged(bool missing);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void watch();
    void followChange();

    QString folder_;
    QString pattern_ = QStringLiteral("*");
    bool missing_ = false;
    bool following_ = true;
    QFileSystemWatcher watcher_;
    QTimer settle_;      // a burst of changes is read once
    QTimer lookAgain_;   // a missing folder is looked for now and then
};

}  // namespace pathshift::app
