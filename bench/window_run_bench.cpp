// Measures a run of many files from the desktop program's window against `pathshift-cli -j 1` on
// the same files, once into an empty destination and once into one that already holds many files.
// The window runs on Qt's offscreen platform; its run is timed from the Process click to the end.
//
//   window_run_bench PATHSHIFT_CLI SOURCE_PROGRAM WORK_FOLDER [FILES] [RUNS]

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "child_run.h"
#include "main_window.h"
#include "modal.h"

using namespace pathshift::app;

namespace {

// Files the destination holds before the second pair of runs, none of them a run's output.
constexpr int kFilesAlreadyThere = 960;

bool copyFile(const QString& from, const QString& to) { return QFile::exists(to) || QFile::copy(from, to); }

// Leaves the destination as the scenario wants it: the runs' outputs removed, `others` files kept.
void resetDestination(const QString& folder, int others) {
    QDir dir(folder);
    for (const QString& name : dir.entryList({"run*.nc"}, QDir::Files)) dir.remove(name);
    for (int i = 0; i < others; ++i) {
        QFile file(dir.filePath(QString("kept%1.nc").arg(i, 4, 10, QChar('0'))));
        if (!file.exists() && file.open(QIODevice::WriteOnly)) file.write("%\r\nN1G0X0\r\n%\r\n");
    }
}

double windowRun(const QString& home, int runs, const QString& destination, int others) {
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        resetDestination(destination, others);
        MainWindow window(home, QApplication::applicationDirPath());
        window.findChild<QListWidget*>("File1")->selectAll();
        QSignalSpy finished(&window, &MainWindow::runFinished);
        QElapsedTimer timer;
        timer.start();
        window.findChild<QPushButton*>("BtnProc")->click();
        if (!finished.wait(600000)) return -1;
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (window.findChild<QListWidget*>("File2")->count() != window.findChild<QListWidget*>("File1")->count() + others)
            return -1;
    }
    return best;
}

double cliRun(const char* cli, const std::vector<std::string>& sources, int runs, const QString& destination,
              int others) {
    RunFigures best;
    const std::string out = destination.toStdString();
    std::vector<const char*> argv{cli, "convert", "--thickness", "0.75", "--quiet", "-j", "1", "-o", out.c_str()};
    for (const std::string& source : sources) argv.push_back(source.c_str());
    for (int run = 0; run < runs; ++run) {
        resetDestination(destination, others);
        RunFigures one;
        if (!measureRuns(argv, 1, one)) return -1;
        best.seconds = std::min(best.seconds, one.seconds);
    }
    return best.seconds;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: window_run_bench PATHSHIFT_CLI SOURCE_PROGRAM WORK_FOLDER [FILES] [RUNS]\n");
        return 2;
    }
    const int files = argc > 4 ? std::atoi(argv[4]) : 1000;
    const int runs = argc > 5 ? std::atoi(argv[5]) : 3;
    const QString work = QDir(QString::fromLocal8Bit(argv[3])).absolutePath();
    const QString source = work + "/source";
    const QString destination = work + "/destination";
    const QString home = work + "/home/";
    for (const QString& folder : {source, destination, home}) QDir().mkpath(folder);

    std::vector<std::string> sources;
    for (int i = 0; i < files; ++i) {
        const QString path = source + QString("/run%1.nc").arg(i, 4, 10, QChar('0'));
        if (!copyFile(QString::fromLocal8Bit(argv[2]), path)) {
            std::fprintf(stderr, "window_run_bench: cannot write %s\n", qPrintable(path));
            return 1;
        }
        sources.push_back(path.toStdString());
    }
    QFile ini(home + "Tarvo2Selvix.INI");
    if (!ini.open(QIODevice::WriteOnly) ||
        ini.write(QString("[Settings]\r\nSourcePath=%1/\r\nDestinationPath=%2/\r\nZ-Dimension=0.75\r\n")
                      .arg(source, destination)
                      .toUtf8()) < 0)
        return 1;
    ini.close();
    Modal::setTestMode(true);  // no about dialog, no end-of-run report waiting for a click

    const double sourceKb = static_cast<double>(QFile(QString::fromLocal8Bit(argv[2])).size()) / 1024.0;
    std::printf("%d files of %.0f KB each, best of %d runs; target: the window within 1.3 x pathshift-cli -j 1\n", files,
                sourceKb, runs);
    bool withinTarget = true;
    for (int others : {0, kFilesAlreadyThere}) {
        const double cli = cliRun(argv[1], sources, runs, destination, others);
        const double window = windowRun(home, runs, destination, others);
        if (cli <= 0 || window <= 0) {
            std::fprintf(stderr, "window_run_bench: a run failed\n");
            return 1;
        }
        std::printf("destination holding %4d files: window %.3f s, pathshift-cli -j 1 %.3f s, ratio %.2f\n", others,
                    window, cli, window / cli);
        withinTarget = withinTarget && window <= 1.3 * cli;
    }
    std::printf("%s\n", withinTarget ? "within target" : "OVER TARGET");
    return 0;
}
