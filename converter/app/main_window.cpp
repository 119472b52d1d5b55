#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <cmath>

#include "about_dialog.h"
#include "dir_browser.h"
#include "engine/file_run.h"
#include "engine/tool_table_file.h"
#include "form_font.h"
#include "modal.h"
#include "preview_window.h"
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

void MainWindow::connectHandlers() {
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
    move(left, top);
    restoreToolTable();
    dPath_->setText(settings_.read(SettingKey::DestinationPath));
    sPath_->setText(settings_.read(SettingKey::SourcePath));
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
    tellStartUpProblems();
}

// A damaged table is moved aside, not overwritten by the next save, and the operator is told.
void MainWindow::restoreToolTable() {
    trace("load " + toolTablePath());
    QString reason;
    if (tools_.load(toolTablePath(), reason) != ToolTableModel::LoadResult::Damaged) return;
    const QString kept = toolTablePath() + ".unreadable";
    QFile::remove(kept);
    const bool moved = QFile::rename(toolTablePath(), kept);
    startUpProblems_.append(QString("The tool table %1 could not be read (%2). %3")
                                .arg(toolTablePath(), reason,
                                     moved ? "It was kept as " + kept + "; the table starts empty."
                                           : "The table starts empty."));
}

// The label shows the folder the list really shows, so a run never writes where the label does not say.
void MainWindow::restoreFolder(FileList* list, QLabel* label, const char* what) {
    const QString stored = label->text();
    if (stored.isEmpty() || list->setFolder(stored)) return;
    label->setText(list->folder());
    startUpProblems_.append(QString("The %1 folder %2 no longer exists; the list shows %3.")
                                .arg(what, stored, list->folder()));
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
    if (chosen.isEmpty()) return;
    if (!list->setFolder(chosen)) {
        Modal::message(this, kTitle, "The folder " + chosen + " cannot be opened.", QMessageBox::Warning);
        return;
    }
    label->setText(chosen);
    writeSetting(key, chosen);
    list->refresh();
    if (list == file1_) onFile1Click();  // the old selection is gone with the old folder
}

void MainWindow::onFile1Click() {
    const bool any = !file1_->selectedItems().isEmpty();
    btnProc_->setEnabled(any);
    btnProcMfr_->setEnabled(any);
}

void MainWindow::onThicknessLeft() { writeSetting(SettingKey::Thickness, dimZ_->text()); }

void MainWindow::onDfsClicked() { writeSetting(SettingKey::Dfs, dfs_->isChecked() ? "1" : "0"); }

void MainWindow::process(bool ipsFeed) {
    const QStringList selected = file1_->selectedPaths();
    if (selected.isEmpty()) return;
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
    std::vector<std::filesystem::path> sources;
    for (const QString& path : selected) sources.emplace_back(path.toStdString());
    RunResult run;
    {
        WaitCursor hourglass;
        run = convertFiles(sources, file2_->folder().toStdString(), options, {},
                           [this](const FileResult&) { file2_->refresh(); });
    }
    const RunSummary summary = summarizeRun(run);
    if (!summary.empty())
        Modal::message(this, kTitle, summary.text,
                       run.allConverted() ? QMessageBox::Information : QMessageBox::Warning, summary.details);
}

void MainWindow::openPreview(const QString& sourcePath) {
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
    auto* preview = new PreviewWindow(sourcePath, options, this);
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
    if (event->spontaneous()) operatorClose();
    event->accept();
}

}  // namespace pathshift::app
