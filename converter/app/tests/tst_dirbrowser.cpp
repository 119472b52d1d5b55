// The directory browser: start folder, OK, Cancel, Esc, the close box, drives, its settings.

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include "app_settings.h"
#include "dir_browser.h"
#include "dir_list.h"
#include "modal.h"
#include "test_folder.h"

using namespace pathshift;
using namespace pathshift::app;

class TstDirBrowser : public QObject {
    Q_OBJECT

    QTemporaryDir home_;  // the settings folder
    QTemporaryDir tree_;  // folders to browse
    QString folder() const { return test::withSlash(home_.path()); }
    QString ini() const { return folder() + "Tarvo2Selvix.INI"; }
    QString dir(const QString& name) const { return tree_.filePath(name); }
    static QStringList rootOnly() { return {"/"}; }

    static QString label(const DirBrws& browser) { return browser.findChild<QLabel*>("LabDir")->text(); }
    static QString stored(AppSettings& settings, SettingKey key) { return settings.read(key); }

private slots:
    void initTestCase() {
        Modal::setTestMode(true);
        QDir(tree_.path()).mkpath("parts/doors");
    }
    void init() {
        QFile::remove(ini());
        Modal::clearShown();
    }

    void controlsAsDesigned() {
        AppSettings settings(folder());
        DirBrws browser(settings, dir("parts"), nullptr, rootOnly);
        QCOMPARE(browser.windowTitle(), QString("Directory Selection"));
        QCOMPARE(browser.size(), QSize(330, 250));
        QCOMPARE(browser.findChild<QWidget*>("Dir1")->geometry(), QRect(24, 16, 281, 96));
        QCOMPARE(browser.findChild<QWidget*>("Drive1")->geometry(), QRect(24, 128, 281, 21));
        QCOMPARE(browser.findChild<QWidget*>("LabDir")->geometry(), QRect(24, 168, 281, 25));
        QCOMPARE(browser.findChild<QPushButton*>("BtnOK")->text(), QString("OK"));
        QCOMPARE(browser.findChild<QPushButton*>("BtnCan")->text(), QString("Cancel"));
        QCOMPARE(browser.findChild<QWidget*>("Drive1")->nextInFocusChain()->objectName(), QString("Dir1"));
        QCOMPARE(browser.findChild<QWidget*>("LabDir")->nextInFocusChain()->objectName(), QString("BtnOK"));
    }

    void okWithoutOpeningReturnsTheStartFolder() {
        AppSettings settings(folder());
        DirBrws browser(settings, dir("parts"), nullptr, rootOnly);
        QCOMPARE(label(browser), dir("parts"));
        browser.findChild<QPushButton*>("BtnOK")->click();
        QCOMPARE(browser.result(), int(QDialog::Accepted));
        QCOMPARE(browser.chosenDir(), dir("parts") + "/");
        QCOMPARE(stored(settings, SettingKey::DirLastDir), dir("parts"));
    }

    void openedFolderIsReturned() {
        AppSettings settings(folder());
        DirBrws browser(settings, dir("parts/"), nullptr, rootOnly);
        QCOMPARE(label(browser), dir("parts/"));  // the start text, unchanged
        auto* dir1 = browser.findChild<DirList*>("Dir1");
        int doors = -1;
        for (int i = 0; i < dir1->count(); ++i)
            if (dir1->item(i)->text().trimmed() == "doors") doors = i;
        QVERIFY(doors >= 0);
        QVERIFY(dir1->openRow(doors));
        QCOMPARE(label(browser), dir("parts/doors"));
        browser.accept();
        QCOMPARE(browser.chosenDir(), dir("parts/doors") + "/");
    }

    void rootFolderGetsOneSeparator() {
        AppSettings settings(folder());
        DirBrws browser(settings, "/", nullptr, rootOnly);
        browser.accept();
        QCOMPARE(browser.chosenDir(), QString("/"));
    }

    void cancelReturnsNothingAndKeepsTheShownFolder() {
        AppSettings settings(folder());
        DirBrws browser(settings, dir("parts"), nullptr, rootOnly);
        browser.findChild<QPushButton*>("BtnCan")->click();
        QCOMPARE(browser.result(), int(QDialog::Rejected));
        QCOMPARE(browser.chosenDir(), QString());
        QCOMPARE(stored(settings, SettingKey::DirLastDir), dir("parts"));
    }

    void escIsCancel() {
        AppSettings settings(folder());
        DirBrws browser(settings, dir("parts"), nullptr, rootOnly);
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        QTest::keyClick(&browser, Qt::Key_Escape);
        QVERIFY(!browser.isVisible());
        QCOMPARE(browser.chosenDir(), QString());
        QCOMPARE(stored(settings, SettingKey::DirLastDir), dir("parts"));
    }

    void closeBoxReturnsNothingAndKeepsNoLastDir() {
        AppSettings settings(folder());
        DirBrws browser(settings, dir("parts"), nullptr, rootOnly);
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        browser.move(150, 75);
        QCloseEvent closeBox;  // what the window system sends for the title bar's close box
        QApplication::sendEvent(browser.windowHandle(), &closeBox);
        QVERIFY(!browser.isVisible());
        QCOMPARE(browser.chosenDir(), QString());
        QCOMPARE(stored(settings, SettingKey::DirLastDir), QString());
        QCOMPARE(stored(settings, SettingKey::DirTop), QString::number(browser.pos().y() * 15));
        QCOMPARE(stored(settings, SettingKey::DirLeft), QString::number(browser.pos().x() * 15));
    }

    void positionAndLastDirAreRestored() {
        test::writeFile(ini(), ("[DirDialogBox]\r\nTop=1500\r\nLeft=3000\r\nLastDir=" + dir("parts/doors") + "\r\n").toUtf8());
        AppSettings settings(folder());
        DirBrws browser(settings, QString(), nullptr, rootOnly);
        QCOMPARE(browser.pos(), QPoint(200, 100));
        QCOMPARE(label(browser), dir("parts/doors"));
        QCOMPARE(browser.findChild<DirList*>("Dir1")->folder(), dir("parts/doors"));
    }

    void positionOffEveryScreenComesBackOnTheNearest() {
        for (const char* stored : {"Top=-99999\r\nLeft=-99999", "Top=150\r\nLeft=9000000"}) {
            test::writeFile(ini(), QByteArray("[DirDialogBox]\r\n") + stored + "\r\n");
            AppSettings settings(folder());
            DirBrws browser(settings, QString(), nullptr, rootOnly);
            const QRect screen = browser.screen()->availableGeometry();
            QVERIFY2(screen.contains(QRect(browser.pos(), browser.size())), stored);
        }
    }

    void enterOpensTheFolderOnlyAndFocusStartsInTheList() {
        AppSettings settings(folder());
        DirBrws browser(settings, dir("parts"), nullptr, rootOnly);
        browser.show();
        QVERIFY(QTest::qWaitForWindowActive(&browser));
        auto* dir1 = browser.findChild<DirList*>("Dir1");
        QCOMPARE(QApplication::focusWidget(), dir1);
        for (int i = 0; i < dir1->count(); ++i)
            if (dir1->item(i)->text().trimmed() == "doors") dir1->setCurrentRow(i);
        QTest::keyClick(dir1, Qt::Key_Return);
        QCOMPARE(dir1->folder(), dir("parts/doors"));
        QVERIFY(browser.isVisible());  // not confirmed
        QCOMPARE(browser.chosenDir(), dir("parts"));
    }

    void firstUseOpensTopLeftWithAnEmptyLabel() {
        AppSettings settings(folder());
        DirBrws browser(settings, QString(), nullptr, rootOnly);
        QCOMPARE(browser.pos(), QPoint(0, 0));
        QCOMPARE(label(browser), QString());
        QCOMPARE(browser.findChild<DirList*>("Dir1")->folder(), QDir::currentPath());
    }

    void missingStartFolderStaysInTheLabel() {
        AppSettings settings(folder());
        const QString gone = dir("gone/away");
        DirBrws browser(settings, gone, nullptr, rootOnly);
        QCOMPARE(label(browser), gone);
        QCOMPARE(browser.findChild<DirList*>("Dir1")->folder(), QString("/"));  // its drive
        browser.accept();
        QCOMPARE(browser.chosenDir(), gone + "/");
    }

    void unavailableDriveIsReportedAndLeft() {
        AppSettings settings(folder());
        const QString dead = dir("not-mounted");
        DirBrws browser(settings, dir("parts"), nullptr, [dead] { return QStringList{"/", dead}; });
        auto* drive1 = browser.findChild<QComboBox*>("Drive1");
        browser.chooseDrive(dead);
        QCOMPARE(Modal::shown().size(), 1);
        QCOMPARE(Modal::shown().front().title, QString("Alert"));
        QCOMPARE(Modal::shown().front().text, "Drive " + dead + " is unavailable.");
        QCOMPARE(drive1->currentText(), QString("/"));
        QCOMPARE(browser.findChild<DirList*>("Dir1")->folder(), QString("/"));
    }

    void driveChangeShowsTheDrive() {
        AppSettings settings(folder());
        const QString other = dir("parts");
        DirBrws browser(settings, QString(), nullptr, [other] { return QStringList{"/", other}; });
        browser.chooseDrive(other);
        QCOMPARE(label(browser), other);
        QVERIFY(Modal::shown().isEmpty());
    }
};

QTEST_MAIN(TstDirBrowser)
#include "tst_dirbrowser.moc"
