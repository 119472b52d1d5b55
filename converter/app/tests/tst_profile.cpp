// The profile file: Windows private-profile behaviour, the settings file's rules, AppFolder.

#include <QTemporaryDir>
#include <QtTest>

#include "settings/app_folder.h"
#include "settings/profile_text.h"
#include "settings/setting_values.h"
#include "settings/settings_file.h"
#include "test_folder.h"

using namespace pathshift;

class TstProfile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString ini() const { return dir_.filePath("Tarvo2Selvix.INI"); }
    SettingsFile file() const { return SettingsFile(ini().toStdString()); }

private slots:
    void init() { QFile::remove(ini()); }

    void sectionsAndKeysIgnoreCase() {
        test::writeFile(ini(), "[SETTINGS]\r\nhead1=0\r\n");
        QCOMPARE(file().ReadSetting("Settings", "Head1"), std::string("0"));
        QCOMPARE(file().ReadSetting("settings", "HEAD1"), std::string("0"));
    }

    void blanksAroundValueAreNotPartOfIt() {
        test::writeFile(ini(), "  [ Settings ]  \n  Z-Dimension  =  \t0.75 \t \n");
        QCOMPARE(file().ReadSetting("Settings", "Z-Dimension"), std::string("0.75"));
    }

    void quotesAroundValueAreDropped() {
        test::writeFile(ini(), "[Settings]\nSourcePath=\"/cnc/in/\"\nDestinationPath='x'\n");
        QCOMPARE(file().ReadSetting("Settings", "SourcePath"), std::string("/cnc/in/"));
        QCOMPARE(file().ReadSetting("Settings", "DestinationPath"), std::string("x"));
    }

    void missingFileSectionOrKeyReadsEmpty() {
        QCOMPARE(file().ReadSetting("Settings", "Skin"), std::string());
        test::writeFile(ini(), "[Window]\nTop=15\n");
        QCOMPARE(file().ReadSetting("Settings", "Top"), std::string());
        QCOMPARE(file().ReadSetting("Window", "Left"), std::string());
    }

    void emptyValueAndEndMarkReadEmpty() {
        test::writeFile(ini(), "[Settings]\nSkin=\nHead1=END.-\nDFS=  END.-  \n");
        QCOMPARE(file().ReadSetting("Settings", "Skin"), std::string());
        QCOMPARE(file().ReadSetting("Settings", "Head1"), std::string());
        QCOMPARE(file().ReadSetting("Settings", "DFS"), std::string());
    }

    void firstMatchingSectionAndKeyWin() {
        test::writeFile(ini(), "[Settings]\nSkin=1\nskin=2\n[settings]\nSkin=3\nHead1=0\n");
        QCOMPARE(file().ReadSetting("Settings", "Skin"), std::string("1"));
        QCOMPARE(file().ReadSetting("Settings", "Head1"), std::string());
    }

    void firstWriteCreatesFileSectionAndKey() {
        QVERIFY(file().WriteSetting("Settings", "Skin", " 2"));
        QCOMPARE(test::readFile(ini()), QByteArray("[Settings]\r\nSkin= 2\r\n"));
        QCOMPARE(file().ReadSetting("Settings", "Skin"), std::string("2"));
    }

    void existingKeyReplacedInPlaceOtherLinesKept() {
        test::writeFile(ini(), "; kept comment\n[Other]\nA=1\n[settings]\nskin=1\nHead1=1\n\n[Window]\nTop=0\n");
        QVERIFY(file().WriteSetting("Settings", "Skin", " 2"));
        QCOMPARE(test::readFile(ini()),
                 QByteArray("; kept comment\r\n[Other]\r\nA=1\r\n[settings]\r\nSkin= 2\r\nHead1=1\r\n\r\n[Window]\r\nTop=0\r\n"));
    }

    void newKeyGoesAfterTheSectionsLastEntry() {
        test::writeFile(ini(), "[Settings]\r\nSkin= 1\r\n\r\n[Window]\r\nTop=0\r\n");
        QVERIFY(file().WriteSetting("settings", "DFS", "1"));
        QCOMPARE(test::readFile(ini()), QByteArray("[Settings]\r\nSkin= 1\r\nDFS=1\r\n\r\n[Window]\r\nTop=0\r\n"));
        QVERIFY(file().WriteSetting("DirDialogBox", "LastDir", "/cnc"));
        QVERIFY(test::readFile(ini()).endsWith("Top=0\r\n[DirDialogBox]\r\nLastDir=/cnc\r\n"));
    }

    void windowsFileWithCrLfAndUtf8MarkIsRead() {
        test::writeFile(ini(), "\xEF\xBB\xBF[Settings]\r\nSourcePath=C:\\CNC\\In\\\r\nZ-Dimension=.75\r\n");
        QCOMPARE(file().ReadSetting("Settings", "SourcePath"), std::string("C:\\CNC\\In\\"));
        QCOMPARE(file().ReadSetting("Settings", "Z-Dimension"), std::string(".75"));
    }

    void longValuesAreReadWhole() {
        const std::string value(5000, 'x');
        QVERIFY(file().WriteSetting("Settings", "SourcePath", value));
        QCOMPARE(file().ReadSetting("Settings", "SourcePath"), value);
    }

    void garbageAndBinaryLinesAreKeptAndDoNotConfuse() {
        QByteArray garbage("\x01\x02\xff\xfe garbage\n=no key\n[unclosed\n[Settings]\nnot a line\nHead1=0\n");
        garbage.append('\0');
        garbage.append("\nDFS=1\n");
        test::writeFile(ini(), garbage);
        QCOMPARE(file().ReadSetting("Settings", "Head1"), std::string("0"));
        QCOMPARE(file().ReadSetting("Settings", "DFS"), std::string("1"));
        QVERIFY(file().WriteSetting("Settings", "Skin", " 1"));
        const QByteArray after = test::readFile(ini());
        QVERIFY(after.startsWith("\x01\x02\xff\xfe garbage\r\n=no key\r\n[unclosed\r\n"));
        QVERIFY(after.contains(QByteArray("\0\r\nDFS=1\r\nSkin= 1\r\n", 19)));
    }

    void writeReplacesTheFileAtomically() {
        test::writeFile(ini(), "[Settings]\nSkin= 1\n");
        QFile old(ini());
        QVERIFY(old.open(QIODevice::ReadOnly));  // still the old file after the rename
        QVERIFY(file().WriteSetting("Settings", "Skin", " 2"));
        QCOMPARE(old.readAll(), QByteArray("[Settings]\nSkin= 1\n"));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Tarvo2Selvix.INI"});
    }

    void failedWriteSaysWhyAndChangesNothing() {
        SettingsFile unwritable((test::unwritableFolder() + "Tarvo2Selvix.INI").toStdString());
        std::string error;
        QVERIFY(!unwritable.WriteSetting("Settings", "Skin", " 1", &error));
        QVERIFY(!error.empty());
        QCOMPARE(unwritable.ReadSetting("Settings", "Skin"), std::string());
    }

    void valueWithLineBreakIsRefused() {
        std::string error;
        QVERIFY(!file().WriteSetting("Settings", "LastDir", "a\nB=1", &error));
        QVERIFY(!QFile::exists(ini()));
    }

    void folderOfKeepsTheLastSeparator() {
        QCOMPARE(FolderOf("/opt/pathshift/bin/pathshift"), std::string("/opt/pathshift/bin/"));
        QCOMPARE(FolderOf("/pathshift"), std::string("/"));
        QCOMPARE(FolderOf("pathshift"), std::string());
    }

    void appFolderPrefersHome() {
        AppFolderPlaces places{dir_.filePath("home").toStdString(), "/usr/bin/pathshift", "", ""};
        QCOMPARE(AppFolder(places), dir_.filePath("home").toStdString() + "/");
        QVERIFY(QFileInfo(dir_.filePath("home")).isDir());
    }

    void appFolderIsTheProgramsFolder() {
        const std::string program = dir_.filePath("pathshift").toStdString();
        AppFolderPlaces places{std::nullopt, program, "/no/such/fixed/", "/no/config"};
        QCOMPARE(AppFolder(places), test::withSlash(dir_.path()).toStdString());
    }

    void vbRuleOnlyWhenTheFixedFolderExists() {
        QDir(dir_.path()).mkpath("Vbtools");
        QDir(dir_.path()).mkpath("fixed");
        const std::string program = dir_.filePath("Vbtools/pathshift").toStdString();
        const std::string fixed = dir_.filePath("fixed").toStdString();
        QCOMPARE(AppFolder({std::nullopt, program, fixed, ""}), fixed + "/");
        QCOMPARE(AppFolder({std::nullopt, program, fixed + "-gone", ""}), dir_.filePath("Vbtools/").toStdString());
        const std::string plain = dir_.filePath("pathshift").toStdString();
        QCOMPARE(AppFolder({std::nullopt, plain, fixed, ""}), test::withSlash(dir_.path()).toStdString());
    }

    void unwritableProgramFolderUsesTheUserConfigFolder() {
        const std::string config = dir_.filePath("config/pathshift").toStdString();
        AppFolderPlaces places{std::nullopt, "/proc/pathshift", "", config};
        QCOMPARE(AppFolder(places), config + "/");
        QVERIFY(QFileInfo(QString::fromStdString(config)).isDir());
    }

    void installedProgramUsesTheUserConfigFolderEvenWhenItsFolderIsWritable() {
        QDir(dir_.path()).mkpath("usr/bin");
        const std::string config = dir_.filePath("config/pathshift").toStdString();
        const std::string program = dir_.filePath("usr/bin/pathshift").toStdString();
        QCOMPARE(AppFolder({std::nullopt, program, "", config}), dir_.filePath("usr/bin/").toStdString());
        QDir(dir_.path()).mkpath("usr/share/pathshift");
        QCOMPARE(AppFolder({std::nullopt, program, "", config}), config + "/");
    }

    void settingValuesConvert() {
        QCOMPARE(settingAsNumber(" 2"), 2.0);
        QCOMPARE(settingAsNumber("2"), 2.0);
        QCOMPARE(settingAsNumber("1440.4abc"), 1440.4);
        QCOMPARE(settingAsNumber("abc"), 0.0);
        QCOMPARE(settingAsNumber("1e999"), 0.0);
        QCOMPARE(settingAsBoolean("1"), std::optional<bool>(true));
        QCOMPARE(settingAsBoolean("-1"), std::optional<bool>(true));
        QCOMPARE(settingAsBoolean("0"), std::optional<bool>(false));
        QCOMPARE(settingAsBoolean("TRUE"), std::optional<bool>(true));
        QCOMPARE(settingAsBoolean("yes"), std::nullopt);
        QCOMPARE(settingAsBoolean(""), std::nullopt);
        QCOMPARE(settingAsInteger("1"), std::optional<int>(1));
        QCOMPARE(settingAsInteger("2.5"), std::optional<int>(2));
        QCOMPARE(settingAsInteger("1x"), std::nullopt);
        QCOMPARE(settingAsInteger("1e20"), std::nullopt);
        QCOMPARE(skinText(2), std::string(" 2"));
        QCOMPARE(twipsText(1440), std::string("1440"));
    }

    void runSettingsAsTheWindowRestoresThem() {
        test::writeFile(ini(), "[Settings]\nZ-Dimension= 18 \nHead1=0\nDFS=1\n");
        StoredRunSettings run = readRunSettings(file());
        QCOMPARE(run.thickness, std::string("18"));
        QVERIFY(run.head == Head::Two);
        QVERIFY(run.dfs);
        test::writeFile(ini(), "[Settings]\nHead1=maybe\nDFS=x\n");
        run = readRunSettings(file());
        QVERIFY(run.head == Head::One);
        QVERIFY(!run.dfs);
    }
};

QTEST_GUILESS_MAIN(TstProfile)
#include "tst_profile.moc"
