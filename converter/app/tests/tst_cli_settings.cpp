// pathshift-cli convert --settings: a run with the thickness, head, DFS and tool table that the
// desktop program keeps, and the command line's own options over them.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/translation/conversion.h"
#include "test_folder.h"

using namespace pathshift;

namespace {

const QByteArray kProgram = "%\r\nN10G20G90\r\nN20M6T2005\r\nN30G0X1.0Y1.0\r\nN40Z0.2\r\nN50G1Z-0.5F80\r\n"
                            "N60X2.0Y1.0\r\nN70G0Z0.2\r\n%\r\n";

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

}  // namespace

class TstCliSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString settings() const { return dir_.filePath("settings"); }
    QString source() const { return dir_.filePath("part.nc"); }

    Run cli(const QStringList& arguments, const QString& home = {}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!home.isEmpty()) environment.insert("PATHSHIFT_HOME", home);
        process.setProcessEnvironment(environment);
        process.start(PATHSHIFT_CLI, QStringList{"convert"} + arguments);
        if (!process.waitForFinished(20000)) return {};
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
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
        const Run run = cli({"--settings=" + settings(), "--stdout", source()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.toStdString(), expected("18", Head::Two, true, ToolTable(std::vector<ToolRow>{{"2005", "7"}})));
    }

    void defaultFolderIsTheProgramsSettingsFolder() {
        const Run run = cli({"--settings", "--stdout", source()}, settings());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.toStdString(), expected("18", Head::Two, true, ToolTable(std::vector<ToolRow>{{"2005", "7"}})));
    }

    void commandLineOptionsOverrideTheSettings() {
        const Run run = cli({"--settings=" + settings(), "--thickness", "0.75", "--tool", "2005=9", "--stdout", source()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.toStdString(), expected("0.75", Head::Two, true, ToolTable(std::vector<ToolRow>{{"2005", "9"}, {"2005", "7"}})));
    }

    void withoutSettingsTheThicknessIsRequired() {
        const Run run = cli({"--stdout", source()});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("--thickness is required"));
    }

    void missingSettingsFolderIsAUsageError() {
        const Run run = cli({"--settings=" + dir_.filePath("nowhere"), "--stdout", source()});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("no such settings folder"));
    }

    void damagedToolTableIsReported() {
        QDir(dir_.path()).mkpath("damaged");
        test::writeFile(dir_.filePath("damaged/Tarvo2Selvix.INI"), "[Settings]\r\nZ-Dimension=1\r\n");
        test::writeFile(dir_.filePath("damaged/ToolTbl.Dat"), "Pathshift tool table 1\r\nrows 3\r\n2005 7 x\r\n");
        const Run run = cli({"--settings=" + dir_.filePath("damaged"), "--stdout", source()});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("ToolTbl.Dat"));
    }

    void storedThicknessThatIsNotANumberRefusesTheRun() {
        QDir(dir_.path()).mkpath("wordy");
        test::writeFile(dir_.filePath("wordy/Tarvo2Selvix.INI"), "[Settings]\r\nZ-Dimension=3/4\r\n");
        const Run run = cli({"--settings=" + dir_.filePath("wordy"), "--stdout", source()});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("3/4"));
        QVERIFY(run.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstCliSettings)
#include "tst_cli_settings.moc"
