// pathshift-screenshot OUTPUT.png EXAMPLES_FOLDER: the main window as an operator first sees it
// with the example programs during a run, drawn by the real program (run it on the offscreen
// platform).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QListWidget>
#include <QStringList>
#include <QPixmap>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>

#include "main_window.h"
#include "modal.h"

using namespace pathshift::app;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: pathshift-screenshot OUTPUT.png EXAMPLES_FOLDER\n");
        return 2;
    }
    QApplication::setWindowIcon(QIcon(":/icons/pathshift.png"));
    const QString output = QString::fromLocal8Bit(argv[1]);
    const QString examples = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();

    // Folders with short names, so the picture shows no build machine's paths.
    QTemporaryDir home(QDir::tempPath() + "/cnc-XXXXXX");
    const QString source = home.filePath("Tarvo");
    const QString target = home.filePath("Selvix");
    QDir(home.path()).mkpath("Tarvo");
    QDir(home.path()).mkpath("Selvix");
    for (const QString& name : QDir(examples).entryList({"*.nc"}, QDir::Files))
        QFile::copy(examples + "/" + name, source + "/" + name);
    const QString settings = QString("[Settings]\r\nSourcePath=%1/\r\nDestinationPath=%2/\r\nZ-Dimension=0.75\r\n")
                                 .arg(source, target);
    QFile ini(home.filePath("Tarvo2Selvix.INI"));
    if (!ini.open(QIODevice::WriteOnly) || ini.write(settings.toUtf8()) < 0) return 1;
    ini.close();
    QFile::copy(examples + "/ToolTbl.Dat", home.filePath("ToolTbl.Dat"));

    Modal::setTestMode(true);  // the about dialog and the run report are not part of the picture
    MainWindow window(home.path() + "/", QApplication::applicationDirPath());
    window.move(0, 0);
    window.show();
    // One run first, so the destination list shows its results; the picture is taken during a
    // second run, when its first file is done, so it shows the run display at work.
    auto* sources = window.findChild<QListWidget*>("File1");
    sources->selectAll();
    QSignalSpy finished(&window, &MainWindow::runFinished);
    window.process(false);
    if (!finished.wait(60000)) return 1;
    bool saved = false;
    QObject::connect(window.findChild<QProgressBar*>("RunProgress"), &QProgressBar::valueChanged, &window, [&](int done) {
        if (done == 1) saved = window.grab().save(output, "PNG");
    });
    window.process(false);
    if (!finished.wait(60000)) return 1;
    if (!saved) {
        std::fprintf(stderr, "pathshift-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
