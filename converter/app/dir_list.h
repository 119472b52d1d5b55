#pragma once
// A folder tree (Dir1): the folders from the root down to the current folder, then the current
// folder's subfolders, indented. Opening an entry (double click or Enter) makes it current; Enter
// only opens, it does not also confirm the dialog the list is in.

#include <QListWidget>
#include <QString>

namespace pathshift::app {

class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);

    // False, with the list left where it was, when the folder does not exist or cannot be read.
    bool setFolder(const QString& folder);
    // The current folder, without a trailing separator except for the root.
    QString folder() const { return folder_; }
    // Makes the entry at `row` the current folder, as a double click does.
    bool openRow(int row);

signals:
    void folderChanged(const QString& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString folder_;
};

}  // namespace pathshift::app
