// Program start: the application title, the windows in their order, the message loop.
#include <QApplication>

#include "app/workbench.h"
#include "desktop/app_icon.h"
#include "platform/qt_platform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendra"));
    QApplication::setWindowIcon(QuendraIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.velorin.Quendra"));
    QApplication::setQuitOnLastWindowClosed(false);   // the main window's close ends the program
    QtPlatform platform;
    Workbench workbench(platform);   // the main window stays hidden until the start-up window closes
    return QApplication::exec();
}
