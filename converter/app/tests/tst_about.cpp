// The about dialog, and the registry rules behind its system-information button.

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <map>

#include "about_dialog.h"
#include "modal.h"
#include "system_info.h"

using namespace pathshift::app;

namespace {

// A registry holding exactly the values a test puts in it.
class FakeRegistry final : public Registry {
public:
    std::map<std::pair<std::string, std::string>, RegistryValue> values;
    std::optional<RegistryValue> value(RegistryRoot root, const std::string& key, const std::string& name) override {
        if (root != kLocalMachine) return std::nullopt;
        auto found = values.find({key, name});
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
};

const std::string kInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

}  // namespace

class TstAbout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Modal::setTestMode(true); }
    void init() { Modal::clearShown(); }

    void showsTitleVersionAndDescription() {
        FrmAbout about;
        QCOMPARE(about.objectName(), QString("frmAbout"));
        QCOMPARE(about.windowTitle(), QString("About Tarvo to Selvix"));
        QCOMPARE(about.size(), QSize(382, 244));
        QCOMPARE(about.findChild<QLabel*>("lblTitle")->text(), QString("Tarvo to Selvix"));
        QVERIFY(about.findChild<QLabel*>("lblTitle")->font().bold());
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(), QString("Version 1.0.15"));
        QCOMPARE(about.findChild<QLabel*>("lblDescription")->text(),
                 QString("Program for generating Selvix G-code from Tarvo G-code."));
        QVERIFY(!about.findChild<QLabel*>("lblDisclaimer")->text().isEmpty());
        QCOMPARE(about.findChildren<QFrame*>("Line1").size(), 2);
        QVERIFY(about.findChild<QLabel*>("picIcon"));
        auto* ok = about.findChild<QPushButton*>("cmdOk");
        QCOMPARE(ok->text(), QString("OK"));
        QVERIFY(ok->isDefault());
        QCOMPARE(about.findChild<QPushButton*>("cmdSysInfo")->text(), QString("&System Info..."));
    }

    void okAndEscCloseTheDialog() {
        FrmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
        about.show();
        about.findChild<QPushButton*>("cmdOk")->click();
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void stringWithItsNulLosesIt() {
        FakeRegistry registry;
        registry.values[{"K", "V"}] = {kStringValue, std::string("C:\\Tools\0", 9)};
        std::string value = "old";
        QVERIFY(GetKeyValue(registry, kLocalMachine, "K", "V", value));
        QCOMPARE(value, std::string("C:\\Tools"));
    }

    void stringWithoutNulIsKeptWhole() {
        FakeRegistry registry;
        registry.values[{"K", "V"}] = {kStringValue, "C:\\Tools"};
        std::string value;
        QVERIFY(GetKeyValue(registry, kLocalMachine, "K", "V", value));
        QCOMPARE(value, std::string("C:\\Tools"));
    }

    void numberBecomesItsDecimalText() {
        FakeRegistry registry;
        registry.values[{"K", "V"}] = {kNumberValue, std::string("\x00\x01\x00\x00", 4)};
        std::string value;
        QVERIFY(GetKeyValue(registry, kLocalMachine, "K", "V", value));
        QCOMPARE(value, std::string("256"));
        registry.values[{"K", "V"}] = {kNumberValue, std::string("\xff\xff\xff\xff", 4)};
        QVERIFY(GetKeyValue(registry, kLocalMachine, "K", "V", value));
        QCOMPARE(value, std::string("4294967295"));
    }

    void otherTypesLeaveTheValue() {
        FakeRegistry registry;
        registry.values[{"K", "V"}] = {3, "\x01\x02"};
        std::string value = "kept";
        QVERIFY(GetKeyValue(registry, kLocalMachine, "K", "V", value));
        QCOMPARE(value, std::string("kept"));
    }

    void missingValueClearsAndFails() {
        FakeRegistry registry;
        std::string value = "old";
        QVERIFY(!GetKeyValue(registry, kLocalMachine, "K", "V", value));
        QCOMPARE(value, std::string());
    }

    void firstEntryIsStartedUnchecked() {
        FakeRegistry registry;
        registry.values[{kInfoKey, "PATH"}] = {kStringValue, std::string("C:\\Info\\msinfo.exe\0", 19)};
        registry.values[{kLocationKey, "MSINFO"}] = {kStringValue, "C:\\Other"};
        std::vector<std::string> started;
        bool checked = false;
        SystemInfoPlaces places{[&](const std::string& p) { started.push_back(p); return true; },
                                [&](const std::string&) { checked = true; return false; }};
        QVERIFY(StartSysInfo(registry, places));
        QCOMPARE(started, std::vector<std::string>{"C:\\Info\\msinfo.exe"});
        QVERIFY(!checked);
    }

    void secondEntryNamesTheFolder() {
        FakeRegistry registry;
        registry.values[{kLocationKey, "MSINFO"}] = {kStringValue, "C:\\Shared\\MSINFO"};
        std::vector<std::string> started;
        std::string asked;
        SystemInfoPlaces places{[&](const std::string& p) { started.push_back(p); return true; },
                                [&](const std::string& f) { asked = f; return true; }};
        QVERIFY(StartSysInfo(registry, places));
        QCOMPARE(asked, std::string("C:\\Shared\\MSINFO\\MSINFO32.EXE"));
        QCOMPARE(started, std::vector<std::string>{asked});
        places.fileExists = [](const std::string&) { return false; };
        QVERIFY(!StartSysInfo(registry, places));
        places.fileExists = [](const std::string&) { return true; };
        places.start = [](const std::string&) { return false; };
        QVERIFY(!StartSysInfo(registry, places));
    }

    void withoutRegistryTheButtonSaysUnavailable() {
        NoRegistry none;
        FrmAbout about(nullptr, none);
        about.findChild<QPushButton*>("cmdSysInfo")->click();
        QCOMPARE(Modal::shown().size(), 1);
        QCOMPARE(Modal::shown().front().title, QString("Tarvo to Selvix"));
        QCOMPARE(Modal::shown().front().text, QString("System Information Is Unavailable At This Time"));
    }
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
