// The main window: controls, start-up order, the settings each handler writes and when, runs
// through the window's own controls, the end-of-run report, closing, and bad files around it.

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <memory>

#include "dir_browser.h"
#include "engine/conversion.h"
#include "file_list.h"
#include "main_window.h"
#include "modal.h"
#include "preview_window.h"
#include "run_summary.h"
#include "skins.h"
#include "test_folder.h"
#include "trace_log.h"

using namespace pathshift;
using namespace pathshift::app;

namespace {

const QByteArray kCleanProgram = "%\r\nN10G20G90\r\nN20M6T1005\r\nN30G0X1.0Y1.0\r\nN40Z0.2\r\nN50G1Z-0.5F80\r\n"
                                 "N60X2.0Y1.0\r\nN70G0Z0.2\r\n%\r\n";
const QByteArray kBadProgram = "N10G20G90\r\nN20M6T99999\r\nN30G0X1.0Y1.0\r\n";
const QByteArray kWarningProgram = "N10G20G90\r\nN20M6T1007\r\nN30G0X1.0Y1.0\r\nN40Z0.2\r\nN50G1Z-0.5F80\r\n";

struct Place {
    const char* name;
    const char* container;
    QRect geometry;  // in pixels
    const char* caption;
};

// The documented table, in twips divided by 15.
const Place kPlaces[] = {
    {"SourceFrame", "Main", {8, 8, 233, 409}, "G-code Source"},
    {"SPath", "SourceFrame", {8, 16, 185, 33}, ""},
    {"SDir", "SourceFrame", {200, 16, 25, 30}, "..."},
    {"File1", "SourceFrame", {8, 56, 201, 344}, nullptr},
    {"Frame1", "Main", {248, 8, 209, 409}, ""},
    {"BtnProc", "Frame1", {64, 16, 81, 25}, "Process"},
    {"Frame3", "Frame1", {16, 48, 177, 313}, "Tool Translation"},
    {"Head1", "Frame3", {24, 16, 57, 17}, "Head 1"},
    {"Head2", "Frame3", {96, 16, 57, 17}, "Head 2"},
    {"ToolTab", "Frame3", {16, 40, 145, 241}, nullptr},
    {"DFS", "Frame3", {16, 288, 81, 17}, "DFS"},
    {"BtnProcMFR", "Frame1", {24, 128, 169, 25}, "Process W/IPS Feed Rate"},
    {"Frame2", "Frame1", {16, 360, 177, 41}, "Part Thickness assigned to E3"},
    {"Label3", "Frame2", {8, 16, 57, 17}, "Thick (Z)"},
    {"DimZ", "Frame2", {72, 16, 89, 19}, ""},
    {"DestFrame", "Main", {464, 8, 233, 409}, "G-code Destination"},
    {"DPath", "DestFrame", {8, 16, 185, 33}, ""},
    {"DDir", "DestFrame", {200, 16, 25, 30}, "..."},
    {"File2", "DestFrame", {8, 56, 201, 344}, nullptr},
};

QString captionOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    return {};
}

}  // namespace

class TstMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString home() const { return test::withSlash(dir_->filePath("home")); }
    QString ini() const { return home() + "Tarvo2Selvix.INI"; }
    QString folder(const QString& name) const {
        QDir(dir_->path()).mkpath(name);
        return dir_->filePath(name);
    }
    QString stored(const char* section, const char* key) const {
        return QString::fromStdString(SettingsFile(ini().toStdString()).ReadSetting(section, key));
    }
    void storeSettings(const QByteArray& text) { test::writeFile(ini(), text); }

    std::unique_ptr<MainWindow> start(const QString& programFolder = PATHSHIFT_PROGRAM_DIR) {
        return std::make_unique<MainWindow>(home(), programFolder);
    }
    template <typename W>
    static W* child(MainWindow& w, const char* name) {
        W* found = w.findChild<W*>(name);
        if (!found) qFatal("no control %s", name);
        return found;
    }
    static QRadioButton* skinOption(MainWindow& w, int index) {
        for (QRadioButton* option : w.findChildren<QRadioButton*>("Skin"))
            if (option->property("index").toInt() == index) return option;
        qFatal("no skin option %d", index);
    }
    static void select(FileList* list, const QStringList& names) {
        for (int i = 0; i < list->count(); ++i) list->item(i)->setSelected(names.contains(list->item(i)->text()));
    }

private slots:
    void initTestCase() { Modal::setTestMode(true); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QDir().mkpath(home());
        Modal::clearShown();
    }
    void cleanup() { setTraceLog(nullptr); }

    void controlsAsDesigned() {
        auto w = start();
        QCOMPARE(w->objectName(), QString("Main"));
        QCOMPARE(w->windowTitle(), QString("Tarvo to Selvix"));
        QCOMPARE(w->minimumSize(), QSize(707, 454));
        QCOMPARE(w->maximumSize(), QSize(707, 454));
        for (const Place& place : kPlaces) {
            QWidget* control = child<QWidget>(*w, place.name);
            QCOMPARE(control->parentWidget()->objectName(), QString(place.container));
            QCOMPARE(control->geometry(), place.geometry);
            if (place.caption) QCOMPARE(captionOf(control), QString(place.caption));
        }
        for (int i = 0; i < 3; ++i) {
            QRadioButton* option = skinOption(*w, i);
            QCOMPARE(option->parentWidget(), w.get());
            QCOMPARE(option->geometry(), QRect(24 + 16 * i, 424, 17, 13));
            QCOMPARE(option->text(), QString());
        }
        QCOMPARE(child<QPushButton>(*w, "SDir")->font().pointSize(), 12);
        QCOMPARE(child<QWidget>(*w, "File1")->palette().color(QPalette::Base), QColor(128, 255, 255));
        QCOMPARE(child<QWidget>(*w, "File2")->palette().color(QPalette::Base), QColor(128, 255, 255));
        auto* mfr = child<QPushButton>(*w, "BtnProcMFR");
        QVERIFY(mfr->isHidden());
        QVERIFY(!mfr->isEnabled());
        auto* grid = child<QAbstractItemView>(*w, "ToolTab");
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString("Tarvo"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QString("Selvix"));
    }

    void tabOrderAsDesigned() {
        auto w = start();
        // The documented order without the frames and labels, which take no focus.
        QStringList expected{"SDir", "File1", "DDir", "File2", "BtnProc", "DimZ", "Head1", "Head2",
                             "BtnProcMFR", "ToolTab", "DFS", "Skin0", "Skin1", "Skin2"};
        for (const char* name : {"SourceFrame", "SPath", "DestFrame", "DPath", "Frame1", "Frame2", "Label3", "Frame3"})
            QCOMPARE(child<QWidget>(*w, name)->focusPolicy(), Qt::NoFocus);
        QStringList seen;
        QWidget* at = child<QWidget>(*w, "SDir");
        for (int step = 0; step < 200 && seen.size() < expected.size(); ++step, at = at->nextInFocusChain()) {
            QString name = at->objectName();
            if (name == "Skin") name += at->property("index").toString();
            if (expected.contains(name) && !seen.contains(name)) seen.append(name);
        }
        QCOMPARE(seen, expected);
    }

    void firstStartInAnEmptyFolder() {
        auto w = start();
        QCOMPARE(Modal::shown().size(), 1);
        QCOMPARE(Modal::shown().front().kind, QString("frmAbout"));
        QCOMPARE(w->pos(), QPoint(0, 0));
        QVERIFY(skinOption(*w, 0)->isChecked());
        QCOMPARE(w->styleSheet(), QString());
        QCOMPARE(child<QLabel>(*w, "SPath")->text(), QString());
        QCOMPARE(child<QLabel>(*w, "DPath")->text(), QString());
        QCOMPARE(child<FileList>(*w, "File1")->folder(), QDir::currentPath());
        QCOMPARE(child<FileList>(*w, "File2")->folder(), QDir::currentPath());
        QCOMPARE(child<QLineEdit>(*w, "DimZ")->text(), QString());
        QVERIFY(child<QRadioButton>(*w, "Head1")->isChecked());
        QVERIFY(!child<QRadioButton>(*w, "Head2")->isChecked());
        QVERIFY(!child<QCheckBox>(*w, "DFS")->isChecked());
        QVERIFY(!child<QPushButton>(*w, "BtnProc")->isEnabled());
        QCOMPARE(w->toolTable().rowCount(), ToolTableModel::kEmptyTableRows);
        QVERIFY(!QFile::exists(ini()));  // nothing changed, so nothing was written
    }

    void startUpReadsAndWritesInOrder() {
        storeSettings("[Settings]\r\nSkin=2\r\nHead1=0\r\nDFS=1\r\n");
        QStringList log;
        setTraceLog(&log);
        auto w = start();
        setTraceLog(nullptr);
        const QStringList expected{
            "read Settings/Skin", "skin 2", "write Settings/Skin= 2", "read Settings/Skin", "skin 2",
            "dialog frmAbout", "read Window/Top", "read Window/Left", "load " + home() + "ToolTbl.Dat",
            "read Settings/DestinationPath", "read Settings/SourcePath", "read Settings/Z-Dimension",
            "read Settings/Head1", "write Settings/Head1=0", "read Settings/DFS", "write Settings/DFS=1"};
        QCOMPARE(log, expected);
    }

    void storedChoicesAreRestored() {
        const QString source = folder("in");
        const QString target = folder("out");
        test::writeFile(source + "/a.nc", kCleanProgram);
        storeSettings(("[Window]\r\nTop=1500\r\nLeft=3000\r\n[Settings]\r\nSourcePath=" + source + "/\r\nDestinationPath=" +
                       target + "/\r\nZ-Dimension=abc\r\nHead1=0\r\nDFS=1\r\nSkin= 1\r\n")
                          .toUtf8());
        auto w = start();
        QCOMPARE(w->pos(), QPoint(200, 100));
        QCOMPARE(child<QLabel>(*w, "SPath")->text(), source + "/");
        QCOMPARE(child<QLabel>(*w, "DPath")->text(), target + "/");
        QCOMPARE(child<FileList>(*w, "File1")->folder(), source);
        QCOMPARE(child<FileList>(*w, "File2")->folder(), target);
        QCOMPARE(child<FileList>(*w, "File1")->count(), 1);
        QCOMPARE(child<QLineEdit>(*w, "DimZ")->text(), QString("abc"));
        QVERIFY(child<QRadioButton>(*w, "Head2")->isChecked());
        QVERIFY(child<QCheckBox>(*w, "DFS")->isChecked());
        QVERIFY(skinOption(*w, 1)->isChecked());
        QVERIFY(w->styleSheet().contains("QWidget#Main"));
        QVERIFY(!child<QPushButton>(*w, "BtnProc")->isEnabled());
        QVERIFY(Modal::shown().size() == 1);  // the about dialog only
    }

    void skinOptionsApplyAndStoreTheSkin() {
        auto w = start();
        skinOption(*w, 2)->click();
        QCOMPARE(stored("Settings", "Skin"), QString("2"));
        QVERIFY(test::readFile(ini()).contains("Skin= 2\r\n"));
        QVERIFY(!w->styleSheet().isEmpty());
        skinOption(*w, 0)->click();
        QCOMPARE(w->styleSheet(), QString());
        QVERIFY(test::readFile(ini()).contains("Skin= 0\r\n"));
    }

    void missingOrBrokenSkinLeavesThePlainLook() {
        storeSettings("[Settings]\r\nSkin= 2\r\n");
        QTemporaryDir program;
        auto w = start(program.path());  // no Styles folder at all
        QVERIFY(skinOption(*w, 2)->isChecked());
        QCOMPARE(w->styleSheet(), QString());
        QDir(program.path()).mkpath("Styles/Le5");
        test::writeFile(program.filePath("Styles/Le5/Normalblue.ini"), QByteArray("\0\1\2{", 4));
        skinOption(*w, 1)->click();
        QCOMPARE(w->styleSheet(), QString());
        QVERIFY(w->isEnabled());
    }

    void installedSkinsAreFoundUnderShare() {
        const QString bin = folder("prefix/bin");
        QCOMPARE(skinFilePath(bin, 1), bin + "/Styles/Le5/Normalblue.ini");  // beside the program by default
        QDir(dir_->path()).mkpath("prefix/share/pathshift/Styles/iTunes");
        const QString installed = dir_->filePath("prefix/share/pathshift/Styles/iTunes/Normalitunes.ini");
        QFile::copy(QString(PATHSHIFT_PROGRAM_DIR) + "/Styles/iTunes/Normalitunes.ini", installed);
        QCOMPARE(skinFilePath(bin, 2), installed);
        QCOMPARE(skinFilePath(bin, 0), QString());
        QCOMPARE(skinFilePath(bin, 3), QString());
        QVERIFY(readSkinSheet(installed).reason.isEmpty());
        QVERIFY(!readSkinSheet(installed).sheet.isEmpty());
        QVERIFY(!readSkinSheet(bin + "/none.ini").reason.isEmpty());
    }

    void skinOutsideTheTableIsThePlainLook() {
        storeSettings("[Settings]\r\nSkin=7\r\n");
        auto w = start();
        QVERIFY(skinOption(*w, 0)->isChecked());
        QCOMPARE(w->styleSheet(), QString());
    }

    void headAndDfsAreWrittenWhenClicked() {
        auto w = start();
        QVERIFY(!QFile::exists(ini()));
        child<QRadioButton>(*w, "Head2")->click();
        QCOMPARE(stored("Settings", "Head1"), QString("0"));
        child<QRadioButton>(*w, "Head1")->click();
        QCOMPARE(stored("Settings", "Head1"), QString("1"));
        child<QCheckBox>(*w, "DFS")->click();
        QCOMPARE(stored("Settings", "DFS"), QString("1"));
        child<QCheckBox>(*w, "DFS")->click();
        QCOMPARE(stored("Settings", "DFS"), QString("0"));
    }

    void thicknessIsWrittenWhenTheBoxLosesTheFocus() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto* dimZ = child<QLineEdit>(*w, "DimZ");
        dimZ->setFocus();
        QTest::keyClicks(dimZ, "3/4 in");
        QCOMPARE(stored("Settings", "Z-Dimension"), QString());  // not while typing
        child<QWidget>(*w, "File1")->setFocus();
        QCOMPARE(stored("Settings", "Z-Dimension"), QString("3/4 in"));
        w->hide();
    }

    void sourceFolderFromTheBrowser() {
        const QString start1 = folder("first");
        const QString chosen = folder("chosen");
        test::writeFile(chosen + "/part.nc", kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + start1 + "/\r\n").toUtf8());
        auto w = start();
        QString handedIn;
        Modal::setNextAnswer([&](QDialog& dialog) {
            auto& browser = dynamic_cast<DirBrws&>(dialog);
            handedIn = browser.findChild<QLabel*>("LabDir")->text();
            browser.openFolder(chosen);
            browser.accept();
            return browser.result();
        });
        child<QPushButton>(*w, "SDir")->click();
        QCOMPARE(handedIn, start1);
        QCOMPARE(child<QLabel>(*w, "SPath")->text(), chosen + "/");
        QCOMPARE(child<FileList>(*w, "File1")->folder(), chosen);
        QCOMPARE(child<FileList>(*w, "File1")->count(), 1);
        QCOMPARE(stored("Settings", "SourcePath"), chosen + "/");
        QCOMPARE(stored("DirDialogBox", "LastDir"), chosen);
    }

    void cancelledBrowserChangesNothing() {
        auto w = start();
        const QByteArray before = test::readFile(ini());
        Modal::setNextAnswer([](QDialog& dialog) {
            dialog.reject();
            return dialog.result();
        });
        child<QPushButton>(*w, "DDir")->click();
        QCOMPARE(child<QLabel>(*w, "DPath")->text(), QString());
        QCOMPARE(stored("Settings", "DestinationPath"), QString());
        QVERIFY(before.isEmpty());
        QVERIFY(!test::readFile(ini()).contains("[Settings]"));  // only the browser's own keys
        QCOMPARE(child<FileList>(*w, "File2")->folder(), QDir::currentPath());
    }

    void selectionEnablesProcess() {
        const QString source = folder("in");
        test::writeFile(source + "/a.nc", kCleanProgram);
        test::writeFile(source + "/b.nc", kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\n").toUtf8());
        auto w = start();
        auto* list = child<FileList>(*w, "File1");
        auto* process = child<QPushButton>(*w, "BtnProc");
        select(list, {"b.nc"});
        QVERIFY(process->isEnabled());
        QVERIFY(child<QPushButton>(*w, "BtnProcMFR")->isEnabled());
        QVERIFY(child<QPushButton>(*w, "BtnProcMFR")->isHidden());
        select(list, {});
        QVERIFY(!process->isEnabled());
    }

    void wholeRunThroughTheWindow() {
        const QString source = folder("in");
        const QString target = folder("out");
        for (const char* name : {"a.nc", "b.nc", "c.nc"}) test::writeFile(source + "/" + name, kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "/\r\nDestinationPath=" + target + "/\r\n").toUtf8());
        auto w = start();
        Modal::clearShown();
        child<QLineEdit>(*w, "DimZ")->setText("0.75");
        child<QCheckBox>(*w, "DFS")->click();
        ToolTableModel& tools = w->toolTable();
        tools.setData(tools.index(0, 0), "1005", Qt::EditRole);
        tools.setData(tools.index(0, 1), "3", Qt::EditRole);
        QList<int> cursors;
        QStringList listed;
        auto* file2 = child<FileList>(*w, "File2");
        connect(file2, &FileList::refreshed, this, [&] {
            cursors.append(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1);
            listed.append(QString::number(file2->count()));
        });
        select(child<FileList>(*w, "File1"), {"a.nc", "c.nc"});
        child<QPushButton>(*w, "BtnProc")->click();

        QCOMPARE(cursors, (QList<int>{Qt::WaitCursor, Qt::WaitCursor}));
        QCOMPARE(listed, (QStringList{"1", "2"}));  // refreshed after each file
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(Modal::shown().isEmpty());  // no failures, no warnings: no dialog
        QVERIFY(!QFile::exists(target + "/b.nc"));
        ConversionOptions options;
        options.thickness = "0.75";
        options.dfs = true;
        options.tools.appendRow({"1005", "3"});
        const ConversionResult expected = convertProgram(kCleanProgram.toStdString(), options);
        QVERIFY(expected.converted);
        QCOMPARE(test::readFile(target + "/a.nc").toStdString(), expected.text);
        QCOMPARE(test::readFile(target + "/c.nc").toStdString(), expected.text);
    }

    void doubleClickPreviewsWithTheWindowsChoices() {
        const QString source = folder("in");
        test::writeFile(source + "/a.nc", kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "/\r\n").toUtf8());
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QRect before = child<FileList>(*w, "File1")->geometry();
        child<QLineEdit>(*w, "DimZ")->setText("0.75");
        ToolTableModel& tools = w->toolTable();
        tools.setData(tools.index(0, 0), "1005", Qt::EditRole);
        tools.setData(tools.index(0, 1), "3", Qt::EditRole);
        auto* file1 = child<FileList>(*w, "File1");
        QCOMPARE(file1->count(), 1);
        // What the list reports for a double-click on its entry.
        emit file1->itemDoubleClicked(file1->item(0));

        auto* preview = w->findChild<PreviewWindow*>("Preview");
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QVERIFY2(preview->verified(), qPrintable(preview->status()));
        QVERIFY2(preview->status().contains("2 moves checked, 0 differences"), qPrintable(preview->status()));
        const PlanView* view = preview->view();
        QVERIFY(view->moveCount() > 0);
        QCOMPARE(view->moveAt(view->moveCount() - 1).tool, std::int16_t(3));  // through the window's tool table
        QCOMPARE(view->info().thickness, 0.75);
        QCOMPARE(child<FileList>(*w, "File1")->geometry(), before);
        preview->close();
    }

    void feedRateButtonConvertsInchFeedsPerSecond() {
        const QString source = folder("in");
        const QString target = folder("out");
        test::writeFile(source + "/a.nc", kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\nDestinationPath=" + target + "\r\nZ-Dimension=1\r\n").toUtf8());
        auto w = start();
        select(child<FileList>(*w, "File1"), {"a.nc"});
        child<QPushButton>(*w, "BtnProcMFR")->click();  // hidden from the operator, kept for the engine
        ConversionOptions options;
        options.thickness = "1";
        options.ipsFeed = true;
        const ConversionResult perSecond = convertProgram(kCleanProgram.toStdString(), options);
        options.ipsFeed = false;
        QVERIFY(perSecond.text != convertProgram(kCleanProgram.toStdString(), options).text);
        QCOMPARE(test::readFile(target + "/a.nc").toStdString(), perSecond.text);
        child<QPushButton>(*w, "BtnProc")->click();  // and "Process" converts per minute again
        QCOMPARE(test::readFile(target + "/a.nc").toStdString(), convertProgram(kCleanProgram.toStdString(), options).text);
    }

    void failedFilesAndWarningsAreReportedOnce() {
        const QString source = folder("in");
        const QString target = folder("out");
        test::writeFile(source + "/bad.nc", kBadProgram);
        test::writeFile(source + "/good.nc", kCleanProgram);
        test::writeFile(source + "/warn.nc", kWarningProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\nDestinationPath=" + target + "\r\nZ-Dimension=18\r\n").toUtf8());
        auto w = start();
        Modal::clearShown();
        select(child<FileList>(*w, "File1"), {"bad.nc", "good.nc", "warn.nc"});
        child<QPushButton>(*w, "BtnProc")->click();
        QVERIFY(QFile::exists(target + "/good.nc"));
        QVERIFY(QFile::exists(target + "/warn.nc"));
        QVERIFY(!QFile::exists(target + "/bad.nc"));
        QCOMPARE(Modal::shown().size(), 1);
        const Modal::Shown report = Modal::shown().front();
        QVERIFY2(report.text.contains("2 of 3 files converted"), qPrintable(report.text));
        QVERIFY2(report.text.contains("bad.nc, line 2: the tool number T99999"), qPrintable(report.text));
        QVERIFY2(report.details.contains("warn.nc, line 5: tool 1007 is not in the tool table"), qPrintable(report.details));
    }

    void summaryOfManyFailuresStaysShort() {
        RunResult run;
        for (int i = 0; i < 25; ++i) {
            FileResult file;
            file.source = "/cnc/part" + std::to_string(i) + ".nc";
            file.error.reason = "cannot open: No such file or directory";
            run.files.push_back(file);
        }
        const RunSummary summary = summarizeRun(run);
        QVERIFY(summary.text.startsWith("0 of 25 files converted."));
        QVERIFY(summary.text.contains("part19.nc: cannot open"));
        QVERIFY(!summary.text.contains("part20.nc"));
        QVERIFY(summary.text.contains("and 5 more"));
        QVERIFY(summary.details.contains("part24.nc: cannot open"));
        QVERIFY(summarizeRun(RunResult{}).empty());
        RunResult warned;
        FileResult file;
        file.source = "/cnc/a.nc";
        file.converted = true;
        file.report.warn(0, WarningKind::CutBeforeRapid, "whole-file note");
        file.report.warn(7, WarningKind::ArcWithoutCentre, "arc without I or J");
        warned.files.push_back(file);
        const RunSummary notes = summarizeRun(warned);
        QVERIFY(notes.text.startsWith("1 of 1 files converted."));
        QVERIFY(notes.details.contains("a.nc: whole-file note"));
        QVERIFY(notes.details.contains("a.nc, line 7: arc without I or J"));
    }

    void unusableThicknessRefusesTheRun() {
        const QString source = folder("in");
        const QString target = folder("out");
        test::writeFile(source + "/a.nc", kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\nDestinationPath=" + target + "\r\nZ-Dimension=3/4\r\n").toUtf8());
        auto w = start();
        Modal::clearShown();
        select(child<FileList>(*w, "File1"), {"a.nc"});
        child<QPushButton>(*w, "BtnProc")->click();
        QCOMPARE(Modal::shown().size(), 1);
        QVERIFY(Modal::shown().front().text.contains("\"3/4\""));
        QVERIFY(QDir(target).isEmpty());
        QVERIFY(!QApplication::overrideCursor());
    }

    void tableEditsAreSavedAsTheyAreMade() {
        auto w = start();
        ToolTableModel& tools = w->toolTable();
        tools.setData(tools.index(1, 0), "2005", Qt::EditRole);
        QVERIFY(test::readFile(w->toolTablePath()).contains("\r\n\t\r\n2005\t\r\n"));
        tools.removeRows(0, 1);
        QVERIFY(test::readFile(w->toolTablePath()).contains("rows 19\r\n2005\t\r\n"));
    }

    void operatorsCloseWritesPositionAndTable() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->move(60, 90);
        ToolTableModel& tools = w->toolTable();
        tools.setData(tools.index(0, 0), "1001", Qt::EditRole);
        QFile::remove(w->toolTablePath());
        QCloseEvent closeBox;  // what the window system sends for the title bar's close box
        QApplication::sendEvent(w->windowHandle(), &closeBox);
        QVERIFY(!w->isVisible());
        QCOMPARE(stored("Window", "Top"), QString::number(w->pos().y() * 15));
        QCOMPARE(stored("Window", "Left"), QString::number(w->pos().x() * 15));
        QVERIFY(test::readFile(w->toolTablePath()).contains("1001\t"));
    }

    void otherEndsWriteNothing() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w->close());  // asked for by the program (as when the session ends)
        QVERIFY(!QFile::exists(ini()));
        QVERIFY(!QFile::exists(w->toolTablePath()));
    }

    void readOnlySettingsFolderStillGivesAWorkingWindow() {
        auto w = std::make_unique<MainWindow>(test::unwritableFolder(), PATHSHIFT_PROGRAM_DIR);
        Modal::clearShown();
        child<QRadioButton>(*w, "Head2")->click();
        child<QRadioButton>(*w, "Head1")->click();
        QCOMPARE(Modal::shown().size(), 1);  // told once
        QVERIFY(Modal::shown().front().text.contains("cannot be saved"));
        ToolTableModel& tools = w->toolTable();
        tools.setData(tools.index(0, 0), "1001", Qt::EditRole);
        tools.setData(tools.index(0, 1), "1", Qt::EditRole);
        QCOMPARE(Modal::shown().size(), 2);
        QVERIFY(Modal::shown().back().text.contains("tool table cannot be saved"));
        QVERIFY(child<QRadioButton>(*w, "Head1")->isChecked());
    }

    void garbageSettingsGiveTheDefaults() {
        QByteArray text("\xff\xfe\x00\x01garbage\r\n[Settings\r\n[Window]\r\nTop=1e300\r\nLeft=-nan\r\n", 56);
        text.append("[Settings]\r\nHead1=\x01\x02\r\nDFS=7\r\nSkin=");
        text.append(QByteArray(100000, '9'));
        text.append("\r\nZ-Dimension=");
        text.append(QByteArray(100000, 'z'));
        text.append("\r\n");
        storeSettings(text);
        auto w = start();
        QCOMPARE(w->pos(), QPoint(0, 0));
        QVERIFY(child<QRadioButton>(*w, "Head1")->isChecked());
        QVERIFY(!child<QCheckBox>(*w, "DFS")->isChecked());
        QVERIFY(skinOption(*w, 0)->isChecked());
        QCOMPARE(stored("Settings", "DFS"), QString("7"));  // read, not converted, not rewritten
        QVERIFY(child<QLineEdit>(*w, "DimZ")->text().startsWith("zzzz"));  // as much as the box holds
    }

    void storedFolderThatIsGoneIsReported() {
        const QString gone = dir_->filePath("gone") + "/";
        storeSettings(("[Settings]\r\nSourcePath=" + gone + "\r\n").toUtf8());
        auto w = start();
        QCOMPARE(Modal::shown().size(), 2);
        QVERIFY(Modal::shown().back().text.contains("source folder " + gone + " no longer exists"));
        QCOMPARE(child<QLabel>(*w, "SPath")->text(), child<FileList>(*w, "File1")->folder());
        QCOMPARE(stored("Settings", "SourcePath"), gone);  // kept for when the drive is back
    }

    void damagedToolTableIsKeptAsideAndReported() {
        test::writeFile(home() + "ToolTbl.Dat", "Pathshift tool table 1\r\nrows 4\r\n1001\t1\r\n");
        auto w = start();
        QCOMPARE(Modal::shown().size(), 2);
        QVERIFY(Modal::shown().back().text.contains("could not be read"));
        QCOMPARE(w->toolTable().rowCount(), ToolTableModel::kEmptyTableRows);
        QVERIFY(test::readFile(home() + "ToolTbl.Dat.unreadable").contains("rows 4"));
        QVERIFY(!QFile::exists(home() + "ToolTbl.Dat"));
    }

    void foreignToolTableIsKeptAside() {
        test::writeFile(home() + "ToolTbl.Dat", QByteArray("\x00\x01\x02\x03 grid state!", 16));
        auto w = start();
        QVERIFY(Modal::shown().back().text.contains("not a Pathshift tool table"));
        QVERIFY(QFile::exists(home() + "ToolTbl.Dat.unreadable"));
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
