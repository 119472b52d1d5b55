#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "about_dialog.h"
#include "dir_browser.h"
#include "engine/plan/plan_geometry.h"
#include "engine/runs/file_run.h"
#include "engine/translation/tool_table_file.h"
#include "form_font.h"
#include "machining_time_dialog.h"
#include "modal.h"
#include "preview_window.h"
#include "run_report.h"
#include "screen_place.h"
#include "run_summary.h"
#include "settings/setting_values.h"
#include "skins.h"
#include "trace_log.h"
#include "twips.h"

namespace pathshift::app {
namespace {

const QString kTitle = QStringLiteral("Tarvo to Selvix");

// The hourglass for as long as a run lasts, however it ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};


}  // namespace

MainWindow::MainWindow(const QString& appFolder, const QString& programFolder, QWidget* parent)
    : QWidget(parent), settings_(appFolder), programFolder_(programFolder) {
    setObjectName("Main");
    setWindowTitle(kTitle);
    setFixedSize(pixels(10605), pixels(6810));
    useFormFont(*this);
    createControls();
    connectHandlers();
    startUp();
}

QString MainWindow::toolTablePath() const { return settings_.folder() + kToolTableFileName; }

MachiningRates MainWindow::machiningRates() const {
    return machiningRatesOf(settings_.read(SettingKey::RapidRate).toStdString(),
                            settings_.read(SettingKey::ToolChangeTime).toStdString());
}

void MainWindow::editMachiningRates() {
    MachiningTimeDialog dialog(machiningRates(), this);
    if (Modal::exec(dialog) != QDialog::Accepted) return;
    const MachiningRates rates = dialog.rates();
    writeSetting(SettingKey::RapidRate, QString::fromStdString(planNumber(rates.rapidRate, 6)));
    writeSetting(SettingKey::ToolChangeTime, QString::fromStdString(planNumber(rates.toolChangeTime, 6)));
}

void MainWindow::connectHandlers() {
    auto* machiningTime = new QAction("Machining time estimate...", this);
    machiningTime->setObjectName("ActMachiningTime");
    connect(machiningTime, &QAction::triggered, this, &MainWindow::editMachiningRates);
    addAction(machiningTime);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(skin_, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked) onSkinClicked(index);
    });
    connect(sDir_, &QPushButton::clicked, this, &MainWindow::onSourceDirClicked);
    connect(dDir_, &QPushButton::clicked, this, &MainWindow::onDestinationDirClicked);
    connect(file1_, &QListWidget::itemSelectionChanged, this, &MainWindow::onFile1Click);
    connect(file1_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { openPreview(QDir(file1_->folder()).filePath(item->text())); });
    connect(dimZ_, &FocusLineEdit::focusLost, this, &MainWindow::onThicknessLeft);
    connect(head1_, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) writeSetting(SettingKey::Head1, "1");
    });
    connect(head2_, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) writeSetting(SettingKey::Head1, "0");
    });
    connect(dfs_, &QCheckBox::toggled, this, &MainWindow::onDfsClicked);
    connect(btnProc_, &QPushButton::clicked, this, [this] { process(false); });
    connect(btnProcMfr_, &QPushButton::clicked, this, [this] { process(true); });
    connect(&tools_, &ToolTableModel::edited, this, &MainWindow::saveToolTable);
    connect(file1_, &FileList::folderMissingChanged, this, [this] {
        showFolder(sPath_, file1_);
        updateProcess();
    });
    connect(file2_, &FileList::folderMissingChanged, this, [this] {
        showFolder(dPath_, file2_);
        updateProcess();
    });
    connect(btnCancel_, &QPushButton::clicked, this, &MainWindow::cancelRun);
    connect(file1_, &FileList::dropped, this, &MainWindow::onSourceDropped);
    connect(&run_, &RunController::fileStarted, this, &MainWindow::runFileStarted);
    connect(&run_, &RunController::fileDone, this, &MainWindow::runFileDone);
    connect(&run_, &RunController::finished, this, &MainWindow::runEnded);
}

void MainWindow::startUp() {
    // Skin first, so the about dialog already sees it. A value outside the table chooses the plain
    // option; the second read still applies only the skins that exist.
    int skin = static_cast<int>(std::nearbyint(settings_.readNumber(SettingKey::Skin)));
    if (skin < 0 || skin >= kSkinCount) skin = 0;
    skin_->button(skin)->setChecked(true);
    const double stored = settings_.readNumber(SettingKey::Skin);
    applySkin(*this, programFolder_, static_cast<int>(std::nearbyint(stored)));

    FrmAbout about;
    Modal::exec(about);

    // From here on a step that fails is skipped and the next one runs.
    const int top = pixelsFromStored(settings_.readNumber(SettingKey::WindowTop));
    const int left = pixelsFromStored(settings_.readNumber(SettingKey::WindowLeft));
    move(placedOnScreen(QPoint(left, top), size()));
    restoreToolTable();
    dPath_->setProperty("folder", settings_.read(SettingKey::DestinationPath));
    sPath_->setProperty("folder", settings_.read(SettingKey::SourcePath));
    restoreFolder(file1_, sPath_, "source");
    restoreFolder(file2_, dPath_, "destination");
    file1_->setPattern("*.*");
    file2_->setPattern("*.*");
    dimZ_->setText(settings_.read(SettingKey::Thickness));
    if (std::optional<bool> head1 = settings_.readBoolean(SettingKey::Head1)) {
        head1_->setChecked(*head1);
        head2_->setChecked(!*head1);
    }
    if (std::optional<int> dfs = settings_.readInteger(SettingKey::Dfs); dfs && (*dfs == 0 || *dfs == 1))
        dfs_->setChecked(*dfs == 1);
    btnProc_->setEnabled(false);
    btnProcMfr_->setEnabled(false);
    updateProcess();
    tellStartUpProblems();
}

// A damaged table is moved aside under a name no earlier one holds, so the next save cannot
// overwrite it, and the operator is told where it is.
void MainWindow::restoreToolTable() {
    trace("load " + toolTablePath());
    QString reason;
    const ToolTableModel::LoadResult loaded = tools_.load(toolTablePath(), reason);
    if (loaded == ToolTableModel::LoadResult::Repaired)
        startUpProblems_.append(QString("The tool table %1: %2.").arg(toolTablePath(), reason));
    if (loaded != ToolTableModel::LoadResult::Damaged) return;
    QString kept = toolTablePath() + ".unreadable";
    for (int n = 2; QFileInfo::exists(kept) || QFileInfo(kept).isSymLink(); ++n)
        kept = toolTablePath() + ".unreadable-" + QString::number(n);
    const bool moved = QFile::rename(toolTablePath(), kept);
    startUpProblems_.append(QString("The tool table %1 could not be read (%2). %3")
                                .arg(toolTablePath(), reason,
                                     moved ? "It was kept as " + kept + "; the table starts empty."
                                           : "It could not be moved aside, so it will be replaced when the table "
                                             "is next saved; the table starts empty."));
}

// A stored folder that is gone (a drive pulled out) stays the list's folder, shown missing: runs
// never read from or write to a folder the operator did not choose.
void MainWindow::restoreFolder(FileList* list, QLabel* label, const char* what) {
    const QString stored = label->property("folder").toString();
    if (!stored.isEmpty() && !list->setFolder(stored)) {
        list->setMissingFolder(stored);
        startUpProblems_.append(QString("The %1 folder %2 is missing. Nothing can be converted %3 it until it is "
                                        "back or another folder is chosen.")
                                    .arg(what, stored, list == file1_ ? "from" : "into"));
    }
    showFolder(label, list);
}

void MainWindow::showFolder(QLabel* label, const FileList* list) {
    const QString stored = label->property("folder").toString();
    label->setText(list->folderMissing() && !stored.isEmpty() ? stored + " (missing)" : stored);
    label->setToolTip(list->folderMissing() ? tr("This folder does not exist now.") : QString());
}

QString MainWindow::processBlocker() const {
    const auto missing = [](const FileList* list) { return list->folderMissing() || !QFileInfo(list->folder()).isDir(); };
    if (missing(file1_))
        return "The source folder " + sPath_->property("folder").toString() + " is missing.";
    if (dPath_->property("folder").toString().isEmpty())
        return tr("Choose a destination folder with its \"...\" button.");
    if (missing(file2_))
        return "The destination folder " + dPath_->property("folder").toString() +
               " is missing: plug its drive back in or choose another folder.";
    return {};
}

void MainWindow::updateProcess() {
    const QString blocker = processBlocker();
    const bool can = !run_.running() && blocker.isEmpty() && !file1_->selectedItems().isEmpty();
    btnProc_->setEnabled(can);
    btnProcMfr_->setEnabled(can);
    btnProc_->setToolTip(blocker);
    if (!run_.running()) runStatus_->setText(blocker.isEmpty() ? lastRun_ : blocker);
}

void MainWindow::tellStartUpProblems() {
    if (startUpProblems_.isEmpty()) return;
    Modal::message(this, kTitle, startUpProblems_.join("\n\n"), QMessageBox::Warning);
    startUpProblems_.clear();
}

void MainWindow::writeSetting(SettingKey key, const QString& value) {
    if (settings_.write(key, value) || settingsFailureShown_) return;
    settingsFailureShown_ = true;  // once: every later write would fail for the same reason
    Modal::message(this, kTitle,
                   "Your settings cannot be saved, so the program will not remember them at the next start.\n\n" +
                       settings_.lastError(),
                   QMessageBox::Warning);
}

void MainWindow::saveToolTable() {
    QString error;
    if (tools_.save(toolTablePath(), error) || tableFailureShown_) return;
    tableFailureShown_ = true;
    Modal::message(this, kTitle, "The tool table cannot be saved to " + toolTablePath() + ".\n\n" + error,
                   QMessageBox::Warning);
}

void MainWindow::onSkinClicked(int index) {
    applySkin(*this, programFolder_, index);
    writeSetting(SettingKey::Skin, QString::fromStdString(skinText(index)));
}

void MainWindow::onSourceDirClicked() { chooseFolder(file1_, sPath_, SettingKey::SourcePath); }

void MainWindow::onDestinationDirClicked() { chooseFolder(file2_, dPath_, SettingKey::DestinationPath); }

void MainWindow::chooseFolder(FileList* list, QLabel* label, SettingKey key) {
    DirBrws browser(settings_, list->folder(), this);
    Modal::exec(browser);
    const QString chosen = browser.chosenDir();
    if (!chosen.isEmpty()) useFolder(list, label, key, chosen);
}

bool MainWindow::useFolder(FileList* list, QLabel* label, SettingKey key, const QString& chosen) {
    if (!list->setFolder(chosen)) {
        Modal::message(this, kTitle, "The folder " + chosen + " cannot be opened.", QMessageBox::Warning);
        return false;
    }
    label->setProperty("folder", chosen);
    showFolder(label, list);
    writeSetting(key, chosen);
    updateProcess();  // the old selection is gone with the old folder
    return true;
}

// Files dropped from a file manager are selected for conversion, in their own folder, which becomes
// the source folder if it was not; a folder dropped becomes the source folder.
void MainWindow::onSourceDropped(const QStringList& paths) {
    if (run_.running()) return;
    const QFileInfo first(paths.front());
    const QString folder = QDir::cleanPath(first.isDir() ? first.absoluteFilePath() : first.absolutePath());
    if ((folder != file1_->folder() || file1_->folderMissing()) &&
        !useFolder(file1_, sPath_, SettingKey::SourcePath, folder.endsWith('/') ? folder : folder + '/'))
        return;
    QStringList names;
    for (const QString& path : paths) {
        const QFileInfo file(path);
        if (file.isFile() && QDir::cleanPath(file.absolutePath()) == folder) names.append(file.fileName());
    }
    if (!names.isEmpty()) file1_->select(names);
}

void MainWindow::onFile1Click() { updateProcess(); }

void MainWindow::onThicknessLeft() { writeSetting(SettingKey::Thickness, dimZ_->text()); }

void MainWindow::onDfsClicked() { writeSetting(SettingKey::Dfs, dfs_->isChecked() ? "1" : "0"); }

void MainWindow::process(bool ipsFeed) {
    const QStringList selected = file1_->selectedPaths();
    if (selected.isEmpty() || run_.running()) return;
    ConversionOptions options;
    options.thickness = dimZ_->text().toStdString();
    options.head = head1_->isChecked() ? Head::One : Head::Two;
    options.dfs = dfs_->isChecked();
    options.ipsFeed = ipsFeed;
    options.tools = tools_.table();
    if (!thicknessValue(options.thickness)) {
        Modal::message(this, kTitle, "Nothing was converted: " + QString::fromStdString(thicknessRefusal(options.thickness)) + ".",
                       QMessageBox::Warning);
        return;
    }
    if (const QString blocker = processBlocker(); !blocker.isEmpty()) {  // a drive pulled out since
        Modal::message(this, kTitle, "Nothing was converted. " + blocker, QMessageBox::Warning);
        updateProcess();
        return;
    }
    std::vector<std::filesystem::path> sources;
    for (const QString& path : selected) sources.emplace_back(path.toStdString());
    for (QWidget* w : std::initializer_list<QWidget*>{btnProc_, btnProcMfr_, sDir_, dDir_}) w->setEnabled(false);
    btnCancel_->setEnabled(true);
    runProgress_->setRange(0, static_cast<int>(sources.size()));
    runProgress_->setValue(0);
    file2_->setFollowing(false);  // the run adds what it writes; half-written temporaries stay unseen
    run_.start(std::move(sources), file2_->folder().toStdString(), std::move(options), machiningRates());
}

void MainWindow::runFileStarted(int index, int count, const QString& name) {
    runStatus_->setText(QString("File %1 of %2: %3").arg(index + 1).arg(count).arg(name));
}

void MainWindow::runFileDone(int done, int, const QString& written) {
    runProgress_->setValue(done);
    if (!written.isEmpty()) file2_->addFile(written);
}

void MainWindow::runEnded() {
    const RunResult& run = run_.result();
    const std::size_t count = static_cast<std::size_t>(runProgress_->maximum());
    lastRun_ = runHeadline(run, count);
    btnCancel_->setEnabled(false);
    sDir_->setEnabled(true);
    dDir_->setEnabled(true);
    file2_->setFollowing(true);
    updateProcess();
    const RunSummary summary = summarizeRun(run, count);
    if (!summary.empty()) {
        RunReport report(summary, this);
        connect(&report, &RunReport::previewRequested, this,
                [this, &report](const QString& path) { openPreview(path, &report); });
        Modal::exec(report, summary.text, summary.details);
        // Previews opened from the report outlive it.
        for (PreviewWindow* preview : report.findChildren<PreviewWindow*>(Qt::FindDirectChildrenOnly)) {
            preview->setParent(this, Qt::Window);
            preview->show();
        }
    }
    emit runFinished();
}

void MainWindow::openPreview(const QString& sourcePath, QWidget* owner) {
    ConversionOptions options;
    options.thickness = dimZ_->text().toStdString();
    options.head = head1_->isChecked() ? Head::One : Head::Two;
    options.dfs = dfs_->isChecked();
    options.tools = tools_.table();
    if (!thicknessValue(options.thickness)) {
        Modal::message(this, kTitle, "Nothing to preview: " + QString::fromStdString(thicknessRefusal(options.thickness)) + ".",
                       QMessageBox::Warning);
        return;
    }
    WaitCursor hourglass;
    auto* preview = new PreviewWindow(sourcePath, options, machiningRates(), owner ? owner : this);
    preview->show();
}

void MainWindow::operatorClose() {
    const QPoint position = pos();
    writeSetting(SettingKey::WindowTop, QString::fromStdString(twipsText(twips(position.y()))));
    writeSetting(SettingKey::WindowLeft, QString::fromStdString(twipsText(twips(position.x()))));
    saveToolTable();
}

// A close from the title bar or system menu comes from the window system; a close the program asks
// for (the session ending, a test) does not, and writes nothing.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (run_.running()) {  // the file in hand is finished, so nothing is left half-written
        run_.cancel();
        run_.wait();
    }
    if (event->spontaneous()) operatorClose();
    event->accept();
}

}  // namespace pathshift::app
