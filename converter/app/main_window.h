#pragma once
// Main, "Tarvo to Selvix": the operator's window. Its constructor loads it in the documented
// order (skin, about dialog, position, tool table, folders, thickness, head, DFS); every choice is
// written to the settings the moment it changes; the position and the tool table are also written
// when the operator closes the window.

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>

#include "app_settings.h"
#include "file_list.h"
#include "focus_line_edit.h"
#include "run_controller.h"
#include "tool_grid.h"
#include "tool_table_model.h"

namespace pathshift::app {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // `appFolder` holds the settings and the tool table; `programFolder` holds the skins.
    MainWindow(const QString& appFolder, const QString& programFolder, QWidget* parent = nullptr);

    AppSettings& settings() { return settings_; }
    ToolTableModel& toolTable() { return tools_; }
    QString toolTablePath() const;
    // The machining-time estimate's rates as stored (defaults for what is missing or unusable).
    MachiningRates machiningRates() const;
    // The context menu's "Machining time estimate...": the rates in a dialog, stored when confirmed.
    void editMachiningRates();

    // What a close from the title bar or system menu does; other ends of the program write nothing.
    void operatorClose();

    // The handlers of the window's controls, run by their signals.
    void onSkinClicked(int index);
    void onSourceDirClicked();
    void onDestinationDirClicked();
    void onFile1Click();
    void onThicknessLeft();
    void onDfsClicked();
    // Starts a run of the selected files; it goes on off the window's thread.
    void process(bool ipsFeed);
    bool runInProgress() const { return run_.running(); }
    // Stops the run after the file in hand (the run display's Cancel).
    void cancelRun() { run_.cancel(); }
    // Why Process cannot run now (a folder missing or not chosen); empty when it can.
    QString processBlocker() const;
    // A double-click in the source list: the file's converted toolpath in a window of its own,
    // owned by `owner` (a modal window open at the time) or else by this window.
    void openPreview(const QString& sourcePath, QWidget* owner = nullptr);

signals:
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void setTabOrder();
    void connectHandlers();
    void startUp();
    void restoreToolTable();
    void restoreFolder(FileList* list, QLabel* label, const char* what);
    void chooseFolder(FileList* list, QLabel* label, SettingKey key);
    bool useFolder(FileList* list, QLabel* label, SettingKey key, const QString& chosen);
    void onSourceDropped(const QStringList& paths);
    void showFolder(QLabel* label, const FileList* list);
    void updateProcess();
    void runFileStarted(int index, int count, const QString& name);
    void runFileDone(int done, int count, const QString& written);
    void runEnded();
    void writeSetting(SettingKey key, const QString& value);
    void saveToolTable();
    void tellStartUpProblems();

    AppSettings settings_;
    QString programFolder_;
    ToolTableModel tools_;
    QStringList startUpProblems_;
    RunController run_;
    QString lastRun_;  // the run display's account of the last run
    bool settingsFailureShown_ = false;
    bool tableFailureShown_ = false;

    QGroupBox* sourceFrame_ = nullptr;
    QLabel* sPath_ = nullptr;
    QPushButton* sDir_ = nullptr;
    FileList* file1_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QPushButton* btnProc_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    QRadioButton* head1_ = nullptr;
    QRadioButton* head2_ = nullptr;
    ToolGrid* toolTab_ = nullptr;
    QCheckBox* dfs_ = nullptr;
    QPushButton* btnProcMfr_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QLabel* label3_ = nullptr;
    FocusLineEdit* dimZ_ = nullptr;
    QGroupBox* destFrame_ = nullptr;
    QLabel* dPath_ = nullptr;
    QPushButton* dDir_ = nullptr;
    FileList* file2_ = nullptr;
    QButtonGroup* skin_ = nullptr;
    QLabel* runStatus_ = nullptr;
    QProgressBar* runProgress_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

}  // namespace pathshift::app
