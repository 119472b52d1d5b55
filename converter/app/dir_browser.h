#pragma once
// DirBrws, "Directory Selection": a drive chooser and a folder tree. It starts in the folder
// handed in (or the last one shown) and hands back the folder confirmed with OK, ending in the
// separator, or the empty text when the operator cancels or closes it. Its position and the
// last folder shown are kept in the settings.

#include <QDialog>
#include <QString>

#include "drives.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace pathshift::app {

class AppSettings;
class DirList;

class DirBrws : public QDialog {
    Q_OBJECT
public:
    DirBrws(AppSettings& settings, const QString& chosenDir, QWidget* parent = nullptr,
            const DriveLister& drives = mountedDrives);

    // After the dialog has closed: the chosen folder, or empty.
    QString chosenDir() const { return chosenDir_; }

    // Chooses the drive as the operator would in the drive list.
    void chooseDrive(const QString& drive);
    // Opens a folder as a double click in the folder tree would.
    bool openFolder(const QString& folder);

    void accept() override;  // OK
    void reject() override;  // Cancel and Esc

protected:
    void closeEvent(QCloseEvent* event) override;  // the title bar's close box

private:
    void createControls(const QStringList& drives);
    void load();
    void onDriveChanged(int index);
    void finish(int result, bool byButton);

    AppSettings& settings_;
    QString chosenDir_;
    QString savedDrive_;
    bool finished_ = false;
    bool revertingDrive_ = false;
    DirList* dir1_ = nullptr;
    QComboBox* drive1_ = nullptr;
    QLabel* labDir_ = nullptr;
    QPushButton* btnOk_ = nullptr;
    QPushButton* btnCan_ = nullptr;
};

}  // namespace pathshift::app
