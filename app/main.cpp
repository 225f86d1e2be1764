// Program start: the application object, the windows, the message loop.
#include <QApplication>

#include "platform/qt_platform.h"
#include "tools/calculator/calc_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendra"));
    QApplication::setApplicationDisplayName(ApplicationTitle);
    QtPlatform platform;
    TCalcForm calc(platform);
    CalcForm = &calc;
    calc.setWindowFlag(Qt::Tool, false);  // the only window for now: quit when it closes
    calc.show();
    return QApplication::exec();
}
