// quendra_screenshots DIR: renders every window, with a little sample work, to PNG files.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>

#include "app/certif_form.h"
#include "app/info_form.h"
#include "app/intro_form.h"
#include "app/main_form.h"
#include "app/workbench.h"
#include "platform/qt_platform.h"
#include "settings/options_form.h"
#include "tools/calculator/calc_form.h"

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);   // never the user's settings
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(dir);
    QtPlatform platform;
    Workbench wb(platform);
    wb.main->ShowIntroFormTimer->stop();
    for (const char* n : {"97", "2147483647", "1000000000000000000000000000057", "561"}) {
        wb.main->NumberEdit->setEditText(QString::fromLatin1(n));
        wb.main->VerifierClick();
    }
    wb.main->ComboBox1->setEditText(QStringLiteral("127"));
    wb.main->Button1Click();
    auto shoot = [&](QWidget* w, const char* name) {
        w->show();
        QApplication::processEvents();
        w->grab().save(dir + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".png"));
        w->hide();
    };
    shoot(wb.main.get(), "main");
    shoot(wb.intro.get(), "intro");
    for (int page = 0; page < 3; ++page) {
        wb.options->findChild<QTabWidget*>()->setCurrentIndex(page);
        shoot(wb.options.get(), page == 0 ? "options-history" : page == 1 ? "options-notebook" : "options-settings");
    }
    shoot(wb.info.get(), "about");
    shoot(wb.certif.get(), "certificate");
    wb.calc->findChild<QComboBox*>(QStringLiteral("EditA"))->setEditText(QStringLiteral("123456789012345678901234567890"));
    wb.calc->findChild<QComboBox*>(QStringLiteral("EditB"))->setEditText(QStringLiteral("-987654321"));
    wb.calc->BitBtn6Click();
    shoot(wb.calc.get(), "calculator");
    return 0;
}
