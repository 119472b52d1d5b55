// The program's settings class over the profile module: key table, fallbacks, bad files.

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "app_settings.h"
#include "test_folder.h"

using namespace pathshift;
using namespace pathshift::app;

class TstSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString folder() const { return test::withSlash(dir_.path()); }
    QString ini() const { return folder() + "Tarvo2Selvix.INI"; }

private slots:
    void init() { QFile::remove(ini()); }

    void keyTableNamesEveryKeyOnce() {
        QSet<QString> names;
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
            const SettingKeyInfo& info = kSettingKeys[i];
            QCOMPARE(static_cast<std::size_t>(info.id), i);
            names.insert(QString::fromUtf8(info.section.data(), info.section.size()) + "/" +
                         QString::fromUtf8(info.key.data(), info.key.size()));
        }
        QCOMPARE(names.size(), static_cast<qsizetype>(kSettingKeys.size()));
        QVERIFY(names.contains("Settings/Z-Dimension"));
        QVERIFY(names.contains("DirDialogBox/LastDir"));
        QVERIFY(names.contains("Window/Top"));
    }

    void emptyFolderGivesTheFallbacks() {
        AppSettings settings(folder());
        QCOMPARE(settings.filePath(), ini());
        QCOMPARE(settings.read(SettingKey::SourcePath), QString());
        QCOMPARE(settings.readNumber(SettingKey::Skin), 0.0);
        QCOMPARE(settings.readNumber(SettingKey::WindowTop), 0.0);
        QCOMPARE(settings.readBoolean(SettingKey::Head1), std::optional<bool>(true));
        QCOMPARE(settings.readInteger(SettingKey::Dfs), std::optional<int>(0));
        QVERIFY(!QFile::exists(ini()));  // reading creates nothing
    }

    void writesLandInTheirSections() {
        AppSettings settings(folder());
        QVERIFY(settings.write(SettingKey::WindowTop, "1440"));
        QVERIFY(settings.write(SettingKey::DirLastDir, "/cnc/in"));
        QVERIFY(settings.write(SettingKey::Thickness, "abc"));
        const QByteArray text = test::readFile(ini());
        QVERIFY(text.contains("[Window]\r\nTop=1440\r\n"));
        QVERIFY(text.contains("[DirDialogBox]\r\nLastDir=/cnc/in\r\n"));
        QVERIFY(text.contains("[Settings]\r\nZ-Dimension=abc\r\n"));
        QCOMPARE(AppSettings(folder()).read(SettingKey::Thickness), QString("abc"));
    }

    void nonAsciiTextRoundTrips() {
        AppSettings settings(folder());
        QVERIFY(settings.write(SettingKey::SourcePath, QString::fromUtf8("/Teile/Türen/")));
        QCOMPARE(AppSettings(folder()).read(SettingKey::SourcePath), QString::fromUtf8("/Teile/Türen/"));
    }

    void unconvertibleValuesAreEmpty() {
        test::writeFile(ini(), "[Settings]\nHead1=perhaps\nDFS=1.5.2\nSkin=two\n");
        AppSettings settings(folder());
        QCOMPARE(settings.readBoolean(SettingKey::Head1), std::nullopt);
        QCOMPARE(settings.readInteger(SettingKey::Dfs), std::nullopt);
        QCOMPARE(settings.readNumber(SettingKey::Skin), 0.0);
    }

    void hugeAndBinaryFilesAreRead() {
        QByteArray text("[Settings]\nSourcePath=");
        text.append(QByteArray(2 * 1024 * 1024, 'a'));
        text.append("\n\x00\x01\x02\n[Window]\nTop=30\n", 21);
        test::writeFile(ini(), text);
        AppSettings settings(folder());
        QCOMPARE(settings.read(SettingKey::SourcePath).size(), 2 * 1024 * 1024);
        QCOMPARE(settings.readNumber(SettingKey::WindowTop), 30.0);
        QVERIFY(settings.write(SettingKey::WindowLeft, "15"));
        QCOMPARE(AppSettings(folder()).readNumber(SettingKey::WindowLeft), 15.0);
    }

    void readOnlyFolderReportsTheFailure() {
        AppSettings settings(test::unwritableFolder());
        QVERIFY(!settings.write(SettingKey::Skin, " 1"));
        QVERIFY(!settings.lastError().isEmpty());
        QCOMPARE(settings.readNumber(SettingKey::Skin), 0.0);
    }

    void readOnlyFileIsNotReplaced() {
        test::writeFile(ini(), "[Settings]\nSkin= 1\n");
        QFile::setPermissions(ini(), QFile::ReadOwner);
        AppSettings settings(folder());
        QVERIFY(!settings.write(SettingKey::Skin, " 2"));
        QCOMPARE(test::readFile(ini()), QByteArray("[Settings]\nSkin= 1\n"));
    }
};

QTEST_GUILESS_MAIN(TstSettings)
#include "tst_settings.moc"
