// pathshift: the operator's window for converting Tarvo programs into Selvix programs.

#include <QApplication>
#include <QIcon>

#include "main_window.h"
#include "settings/app_folder.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarvo to Selvix");
    QApplication::setApplicationVersion(PATHSHIFT_VERSION);
    QApplication::setWindowIcon(QIcon(":/icons/pathshift.png"));

    const QString appFolder = QString::fromStdString(pathshift::AppFolder(pathshift::systemAppFolderPlaces()));
    pathshift::app::MainWindow window(appFolder, QApplication::applicationDirPath());
    window.show();
    return QApplication::exec();
}
