// pathshift-cli convert --settings: a run with the thickness, head, DFS and tool table that the
// desktop program keeps, and the command line's own options over them; the command called in-process.

#include <QTemporaryDir>
#include <QtTest>

#include "engine/translation/conversion.h"
#include "support/cli_run.h"
#include "test_folder.h"

using namespace pathshift;

namespace {

const QByteArray kProgram = "%\r\nN10G20G90\r\nN20M6T2005\r\nN30G0X1.0Y1.0\r\nN40Z0.2\r\nN50G1Z-0.5F80\r\n"
                            "N60X2.0Y1.0\r\nN70G0Z0.2\r\n%\r\n";

}  // namespace

class TstCliSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString settings() const { return dir_.filePath("settings"); }
    QString source() const { return dir_.filePath("part.nc"); }

    // `home`: the settings folder the desktop program would use, for this run alone.
    testing::CliOutcome cli(const QStringList& arguments, const QString& home = {}) {
        std::vector<std::string> all{"convert"};
        for (const QString& argument : arguments) all.push_back(argument.toStdString());
        if (!home.isEmpty()) qputenv("PATHSHIFT_HOME", home.toLocal8Bit());
        testing::CliOutcome run = testing::runCli(all);
        if (!home.isEmpty()) qunsetenv("PATHSHIFT_HOME");
        return run;
    }

    static std::string expected(const char* thickness, Head head, bool dfs, ToolTable tools) {
        ConversionOptions options;
        options.thickness = thickness;
        options.head = head;
        options.dfs = dfs;
        options.tools = std::move(tools);
        ConversionResult result = convertProgram(kProgram.toStdString(), options);
        return result.converted ? result.text : std::string("not converted");
    }

private slots:
    void initTestCase() {
        QDir(dir_.path()).mkpath("settings");
        test::writeFile(source(), kProgram);
        test::writeFile(settings() + "/Tarvo2Selvix.INI", "[settings]\r\nZ-Dimension= 18 \r\nHead1=0\r\nDFS=1\r\n");
        test::writeFile(settings() + "/ToolTbl.Dat", "Pathshift tool table 1\r\nrows 1\r\n2005\t7\r\n");
    }

    void takesEverythingFromTheSettingsFolder() {
        const testing::CliOutcome run = cli({"--settings=" + settings(), "--stdout", source()});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, expected("18", Head::Two, true, ToolTable(std::vector<ToolRow>{{"2005", "7"}})));
    }

    void defaultFolderIsTheProgramsSettingsFolder() {
        const testing::CliOutcome run = cli({"--settings", "--stdout", source()}, settings());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, expected("18", Head::Two, true, ToolTable(std::vector<ToolRow>{{"2005", "7"}})));
    }

    void commandLineOptionsOverrideTheSettings() {
        const testing::CliOutcome run = cli({"--settings=" + settings(), "--thickness", "0.75", "--tool", "2005=9", "--stdout", source()});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, expected("0.75", Head::Two, true, ToolTable(std::vector<ToolRow>{{"2005", "9"}, {"2005", "7"}})));
    }

    void withoutSettingsTheThicknessIsRequired() {
        const testing::CliOutcome run = cli({"--stdout", source()});
        QCOMPARE(run.status, 2);
        QVERIFY(QByteArray::fromStdString(run.err).contains("--thickness is required"));
    }

    void missingSettingsFolderIsAUsageError() {
        const testing::CliOutcome run = cli({"--settings=" + dir_.filePath("nowhere"), "--stdout", source()});
        QCOMPARE(run.status, 2);
        QVERIFY(QByteArray::fromStdString(run.err).contains("no such settings folder"));
    }

    void damagedToolTableIsReported() {
        QDir(dir_.path()).mkpath("damaged");
        test::writeFile(dir_.filePath("damaged/Tarvo2Selvix.INI"), "[Settings]\r\nZ-Dimension=1\r\n");
        test::writeFile(dir_.filePath("damaged/ToolTbl.Dat"), "Pathshift tool table 1\r\nrows 3\r\n2005 7 x\r\n");
        const testing::CliOutcome run = cli({"--settings=" + dir_.filePath("damaged"), "--stdout", source()});
        QCOMPARE(run.status, 2);
        QVERIFY(QByteArray::fromStdString(run.err).contains("ToolTbl.Dat"));
    }

    void storedThicknessThatIsNotANumberRefusesTheRun() {
        QDir(dir_.path()).mkpath("wordy");
        test::writeFile(dir_.filePath("wordy/Tarvo2Selvix.INI"), "[Settings]\r\nZ-Dimension=3/4\r\n");
        const testing::CliOutcome run = cli({"--settings=" + dir_.filePath("wordy"), "--stdout", source()});
        QCOMPARE(run.status, 2);
        QVERIFY(QByteArray::fromStdString(run.err).contains("3/4"));
        QVERIFY(run.out.empty());
    }
};

QTEST_GUILESS_MAIN(TstCliSettings)
#include "tst_cli_settings.moc"
