// The main window: controls, start-up order, the settings each handler writes and when, runs
// through the window's own controls, the end-of-run report, closing, and bad files around it.

#include <QApplication>
#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <memory>

#include "dir_browser.h"
#include "engine/translation/conversion.h"
#include "file_list.h"
#include "main_window.h"
#include "modal.h"
#include "preview_window.h"
#include "run_report.h"
#include "run_summary.h"
#include "settings/setting_values.h"
#include "skins.h"
#include "tool_grid.h"
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
    // Presses a process button and waits for the run, which goes on off the window's thread.
    static void runWith(MainWindow& w, const char* button) {
        QSignalSpy finished(&w, &MainWindow::runFinished);
        child<QPushButton>(w, button)->click();
        QVERIFY(w.runInProgress());
        QVERIFY(finished.wait(20000));
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
            QRect expected = place.geometry;  // options may be wider, so that their caption fits the look
            if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control))
                expected.setWidth(std::max(expected.width(), control->width()));
            QCOMPARE(control->geometry(), expected);
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

    void positionOffEveryScreenComesBackOnTheNearest() {
        storeSettings("[Window]\r\nTop=-99999\r\nLeft=-99999\r\n");
        auto w = start();
        QVERIFY(w->screen()->availableGeometry().contains(QRect(w->pos(), w->size())));
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

    // Captions that do not fit the room their control's style gives to text.
    static QStringList cutCaptions(QWidget& window) {
        QStringList cut;
        for (QWidget* w : window.findChildren<QWidget*>()) {
            QString text;
            int room = 0;
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                QStyleOptionButton option;
                option.initFrom(button);
                option.text = text = button->text();
                room = w->style()->subElementRect(qobject_cast<QRadioButton*>(w)  ? QStyle::SE_RadioButtonContents
                                                  : qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents
                                                                                : QStyle::SE_PushButtonContents,
                                                  &option, w).width();
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                QStyleOptionGroupBox option;
                option.initFrom(group);
                option.text = text = group->title();
                option.subControls = QStyle::SC_GroupBoxLabel;
                room = w->width() - w->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, w).left();
            } else if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) {
                text = label->text();
                room = label->contentsRect().width();
            }
            if (w->isVisibleTo(&window) && !text.isEmpty() && w->fontMetrics().horizontalAdvance(text) > room)
                cut.append(QString("%1 \"%2\" has %3 pixels").arg(w->objectName(), text).arg(room));
        }
        return cut;
    }

    void everyCaptionFitsInEverySkin() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (int skin = 0; skin < kSkinCount; ++skin) {
            skinOption(*w, skin)->click();
            QApplication::processEvents();
            const QStringList cut = cutCaptions(*w);
            QVERIFY2(cut.isEmpty(), qPrintable(QString("skin %1: ").arg(skin) + cut.join("; ")));
        }
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
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\nDestinationPath=" + folder("out") + "\r\n").toUtf8());
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
        // The estimate's rates, kept where pathshift-cli --settings finds them.
        Modal::setNextAnswer([](QDialog& dialog) {
            dialog.findChild<QDoubleSpinBox*>("RapidRate")->setValue(2540);
            dialog.findChild<QDoubleSpinBox*>("ToolChangeTime")->setValue(5);
            return int(QDialog::Accepted);
        });
        w->findChild<QAction*>("ActMachiningTime")->trigger();
        const MachiningRates kept = readRunSettings(SettingsFile(ini().toStdString())).rates;
        QCOMPARE(kept.rapidRate, 2540.0);
        QCOMPARE(kept.toolChangeTime, 5.0);
        Modal::clearShown();
        QStringList listed;
        auto* file2 = child<FileList>(*w, "File2");
        connect(file2->model(), &QAbstractItemModel::rowsInserted, this, [&] {
            if (w->runInProgress()) listed.append(QString("%1 %2").arg(file2->count()).arg(child<QLabel>(*w, "RunStatus")->text()));
        });
        select(child<FileList>(*w, "File1"), {"a.nc", "c.nc"});
        runWith(*w, "BtnProc");

        QCOMPARE(listed, (QStringList{"1 File 1 of 2: a.nc", "2 File 2 of 2: c.nc"}));  // listed as each file lands
        QVERIFY(Modal::shown().isEmpty());  // no failures, no warnings: no dialog
        const QString status = child<QLabel>(*w, "RunStatus")->text();
        QVERIFY2(status.startsWith("2 of 2 files converted. All written programs: estimated machining time ") &&
                     status.endsWith(", tool changes 0:00:10)."),
                 qPrintable(status));
        QCOMPARE(child<QProgressBar>(*w, "RunProgress")->value(), 2);
        QVERIFY(child<QPushButton>(*w, "BtnProc")->isEnabled());
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

    void cancelStopsAfterTheFileInHand() {
        const QString source = folder("in");
        const QString target = folder("out");
        QByteArray program = "N1G20G90\r\nN2M6T1005\r\n";  // long enough that a run of them takes a while
        for (int n = 3; n < 2000; n += 2) program += QString("N%1G0X1.5Y%2\r\nN%3G1Z-0.5F80\r\n").arg(n).arg(n).arg(n + 1).toUtf8();
        for (int i = 0; i < 100; ++i) test::writeFile(source + QString("/p%1.nc").arg(i, 2, 10, QChar('0')), program);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\nDestinationPath=" + target + "\r\nZ-Dimension=1\r\n").toUtf8());
        auto w = start();
        child<FileList>(*w, "File1")->selectAll();
        QSignalSpy finished(w.get(), &MainWindow::runFinished);
        child<QPushButton>(*w, "BtnProc")->click();
        QVERIFY(!child<QPushButton>(*w, "BtnProc")->isEnabled());
        child<QPushButton>(*w, "BtnCancel")->click();
        QVERIFY(finished.wait(20000));
        const QStringList written = QDir(target).entryList(QDir::Files);
        QVERIFY2(written.size() < 100, qPrintable(written.join(' ')));
        ConversionOptions options;
        options.thickness = "1";
        const std::string whole = convertProgram(program.toStdString(), options).text;  // nothing half-written
        for (const QString& name : written) QCOMPARE(test::readFile(target + "/" + name).toStdString(), whole);
        QVERIFY2(child<QLabel>(*w, "RunStatus")->text().contains("Stopped"), qPrintable(child<QLabel>(*w, "RunStatus")->text()));
        QVERIFY(!child<QPushButton>(*w, "BtnCancel")->isEnabled());
    }

    void fileListsFollowTheirFoldersKeepingTheSelection() {
        const QString source = folder("in");
        test::writeFile(source + "/b.nc", kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\n").toUtf8());
        auto w = start();
        auto* file1 = child<FileList>(*w, "File1");
        select(file1, {"b.nc"});
        test::writeFile(source + "/a.nc", kCleanProgram);
        QTRY_COMPARE(file1->count(), 2);
        QCOMPARE(file1->selectedPaths(), QStringList{source + "/b.nc"});
        QFile::remove(source + "/a.nc");
        QTRY_COMPARE(file1->count(), 1);
        QVERIFY(file1->item(0)->isSelected());
    }

    void droppedFilesAreSelectedAndADroppedFolderIsChosen() {
        const QString first = folder("first");
        const QString other = folder("other");
        for (const char* name : {"a.nc", "b.nc", "c.nc"}) test::writeFile(other + "/" + name, kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + first + "/\r\n").toUtf8());
        auto w = start();
        auto* file1 = child<FileList>(*w, "File1");
        const auto drop = [&](const QStringList& paths) {
            QMimeData mime;
            QList<QUrl> urls;
            for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
            mime.setUrls(urls);
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(file1->viewport(), &enter);
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(file1->viewport(), &event);
        };
        drop({other + "/a.nc", other + "/c.nc"});
        QCOMPARE(file1->folder(), other);
        QCOMPARE(stored("Settings", "SourcePath"), other + "/");
        QCOMPARE(file1->selectedPaths(), (QStringList{other + "/a.nc", other + "/c.nc"}));
        drop({first});
        QCOMPARE(file1->folder(), first);
        QCOMPARE(child<QLabel>(*w, "SPath")->text(), first + "/");
    }

    void programsWithNothingToConvertNeedAttention() {
        const QString source = folder("in");
        const QString target = folder("out");
        test::writeFile(source + "/empty.nc", "%\r\nO100 (PANEL)\r\n%\r\n");
        test::writeFile(source + "/good.nc", kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\nDestinationPath=" + target + "\r\nZ-Dimension=1\r\n").toUtf8());
        auto w = start();
        Modal::clearShown();
        child<FileList>(*w, "File1")->selectAll();
        runWith(*w, "BtnProc");
        QVERIFY(QFile::exists(target + "/empty.nc"));  // written, as before
        QCOMPARE(Modal::shown().size(), 1);
        const QString text = Modal::shown().front().text;
        QVERIFY2(text.startsWith("1 of 2 files converted. 1 with nothing to convert: no numbered block."), qPrintable(text));
        QVERIFY2(text.contains("Need attention:\nempty.nc: nothing to convert"), qPrintable(text));
    }

    void gridUndoAndRedoAreSavedAsEdits() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        ToolTableModel& tools = w->toolTable();
        tools.setData(tools.index(0, 0), "1005", Qt::EditRole);
        auto* grid = child<ToolGrid>(*w, "ToolTab");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(tools.rowCount(), 0);
        QVERIFY(test::readFile(w->toolTablePath()).contains("rows 0\r\n"));
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);  // the whole wipe, in one step
        QCOMPARE(tools.rowCount(), ToolTableModel::kEmptyTableRows);
        QVERIFY(test::readFile(w->toolTablePath()).contains("rows 20\r\n1005\t\r\n"));
        QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(tools.rowCount(), 0);
        QVERIFY(test::readFile(w->toolTablePath()).contains("rows 0\r\n"));
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
        runWith(*w, "BtnProcMFR");  // hidden from the operator, kept for the engine
        ConversionOptions options;
        options.thickness = "1";
        options.ipsFeed = true;
        const ConversionResult perSecond = convertProgram(kCleanProgram.toStdString(), options);
        options.ipsFeed = false;
        QVERIFY(perSecond.text != convertProgram(kCleanProgram.toStdString(), options).text);
        QCOMPARE(test::readFile(target + "/a.nc").toStdString(), perSecond.text);
        runWith(*w, "BtnProc");  // and "Process" converts per minute again
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
        runWith(*w, "BtnProc");
        QVERIFY(QFile::exists(target + "/good.nc"));
        QVERIFY(QFile::exists(target + "/warn.nc"));
        QVERIFY(!QFile::exists(target + "/bad.nc"));
        QCOMPARE(Modal::shown().size(), 1);
        const Modal::Shown report = Modal::shown().front();
        QVERIFY2(report.text.contains("2 of 3 files converted"), qPrintable(report.text));
        QVERIFY2(report.text.contains("bad.nc, line 2: the tool number T99999"), qPrintable(report.text));
        QVERIFY2(report.details.contains("warn.nc, line 5: tool 1007 is not in the tool table"), qPrintable(report.details));
    }

    // What the report shows for 40 failed files, and how it closes.
    static void checkReport(RunReport& report) {
        report.show();
        QVERIFY(QTest::qWaitForWindowExposed(&report));
        QVERIFY(report.minimumSize() != report.maximumSize());
        QVERIFY(report.frameGeometry().height() <= report.screen()->availableGeometry().height());
        QCOMPARE(report.table()->rowCount(), 40);
        QCOMPARE(report.table()->item(0, 1)->text(), QString("not converted"));
        QVERIFY(report.table()->item(0, 2)->text().startsWith("line 2: the tool number T99999"));
        emit report.table()->cellDoubleClicked(0, 0);
        QVERIFY(report.findChild<PreviewWindow*>());
        report.table()->setFocus();
        QTest::keyClick(report.table(), Qt::Key_Return);
        QVERIFY(!report.isVisible());
    }

    void runReportListsWhatNeedsAttentionAndClosesOnEnter() {
        const QString source = folder("in");
        const QString target = folder("out");
        for (int i = 0; i < 40; ++i) test::writeFile(source + QString("/bad%1.nc").arg(i), kBadProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\nDestinationPath=" + target + "\r\nZ-Dimension=18\r\n").toUtf8());
        auto w = start();
        child<FileList>(*w, "File1")->selectAll();
        bool checked = false;
        Modal::setNextAnswer([&](QDialog& dialog) {
            checkReport(dynamic_cast<RunReport&>(dialog));
            checked = true;
            return dialog.result();
        });
        runWith(*w, "BtnProc");
        QVERIFY(checked);
        auto* preview = w->findChild<PreviewWindow*>("Preview");
        QVERIFY(preview && preview->isVisible());  // kept when the report closed
        preview->close();
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
        file.report.blocksTranslated = 3;
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
        QVERIFY(!w->runInProgress());
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

    void missingFolderBlocksProcessUntilItIsBack() {
        for (const char* which : {"source", "destination"}) {
            init();
            const QString gone = dir_->filePath("gone") + "/";
            const QString kept = folder("kept");
            test::writeFile(kept + "/a.nc", kCleanProgram);
            const bool sourceGone = QString(which) == "source";
            storeSettings(("[Settings]\r\nZ-Dimension=1\r\nSourcePath=" + (sourceGone ? gone : kept) +
                           "\r\nDestinationPath=" + (sourceGone ? kept : gone) + "\r\n").toUtf8());
            auto w = start();
            QCOMPARE(Modal::shown().size(), 2);
            QVERIFY(Modal::shown().back().text.contains(QString("%1 folder %2 is missing").arg(which, gone)));
            auto* label = child<QLabel>(*w, sourceGone ? "SPath" : "DPath");
            auto* list = child<FileList>(*w, sourceGone ? "File1" : "File2");
            QCOMPARE(label->text(), gone + " (missing)");
            QCOMPARE(list->folder(), QDir::cleanPath(gone));
            QCOMPARE(list->count(), 0);
            select(child<FileList>(*w, "File1"), {"a.nc"});
            QVERIFY(!child<QPushButton>(*w, "BtnProc")->isEnabled());
            QVERIFY(child<QLabel>(*w, "RunStatus")->text().contains(gone + " is missing"));
            w->process(false);
            QVERIFY(!w->runInProgress());
            QVERIFY(!QFile::exists(QDir::current().filePath("a.nc")));

            QDir().mkpath(gone);  // the drive is back
            if (sourceGone) test::writeFile(gone + "a.nc", kCleanProgram);
            QTRY_COMPARE_WITH_TIMEOUT(label->text(), gone, 5000);
            select(child<FileList>(*w, "File1"), {"a.nc"});
            QVERIFY(child<QPushButton>(*w, "BtnProc")->isEnabled());
            QCOMPARE(stored("Settings", sourceGone ? "SourcePath" : "DestinationPath"), gone);
        }
    }

    void noDestinationChosenBlocksProcess() {
        const QString source = folder("in");
        test::writeFile(source + "/a.nc", kCleanProgram);
        storeSettings(("[Settings]\r\nSourcePath=" + source + "\r\n").toUtf8());
        auto w = start();
        select(child<FileList>(*w, "File1"), {"a.nc"});
        QVERIFY(!child<QPushButton>(*w, "BtnProc")->isEnabled());
        QVERIFY(child<QLabel>(*w, "RunStatus")->text().contains("Choose a destination folder"));
    }

    void damagedToolTablesAreKeptAsideAndNeverReplaced() {
        for (const char* kept : {"ToolTbl.Dat.unreadable", "ToolTbl.Dat.unreadable-2"}) {
            test::writeFile(home() + "ToolTbl.Dat", QByteArray("Pathshift tool table 1\r\nrows 4\r\n1001 1 x\r\n") + kept);
            Modal::clearShown();
            auto w = start();
            QCOMPARE(Modal::shown().size(), 2);
            QVERIFY(Modal::shown().back().text.contains("could not be read"));
            QVERIFY(Modal::shown().back().text.contains(home() + kept));
            QCOMPARE(w->toolTable().rowCount(), ToolTableModel::kEmptyTableRows);
            QVERIFY(test::readFile(home() + kept).endsWith(kept));
            QVERIFY(!QFile::exists(home() + "ToolTbl.Dat"));
        }
    }

    void handEditedToolTableLoads() {
        test::writeFile(home() + "ToolTbl.Dat", "\xEF\xBB\xBFPathshift tool table 1\nrows 1\n1001  7\n\n1002\t8\n");
        auto w = start();
        QCOMPARE(Modal::shown().size(), 1);  // the about dialog only
        QCOMPARE(w->toolTable().table().rows(), (std::vector<ToolRow>{{"1001", "7"}, {}, {"1002", "8"}}));
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
