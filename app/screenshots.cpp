// quendra_screenshots DIR: renders every window, with a little sample work done through its
// controls, to PNG files. Run it with QT_SCALE_FACTOR set to see the windows at that scale.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>

#include "app/certif_form.h"
#include "app/info_form.h"
#include "app/intro_form.h"
#include "app/main_form.h"
#include "app/workbench.h"
#include "platform/qt_platform.h"
#include "options/options_form.h"
#include "tools/calculator/calc_form.h"
#include "tools/converter/convert_form.h"
#include "tools/divisors/div_form.h"
#include "tools/modulo/mod_form.h"
#include "tools/search/search_form.h"
#include "tools/splitter/analyser_form.h"

namespace {

void type(QWidget* window, const char* name, const QString& text) {
    if (auto* box = window->findChild<QComboBox*>(QString::fromLatin1(name))) box->setEditText(text);
    else if (auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name))) edit->setText(text);
}

void press(QWidget* window, const char* name) {
    if (auto* b = window->findChild<QAbstractButton*>(QString::fromLatin1(name))) b->click();
}

}  // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);   // never the user's settings
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(dir);
    QtPlatform platform;
    Workbench wb(platform);
    wb.main->ShowIntroFormTimer->stop();
    for (const char* n : {"97", "2147483647", "1000000000000000000000000000057", "561"}) {
        type(wb.main.get(), "NumberEdit", QString::fromLatin1(n));
        press(wb.main.get(), "Verifier");
    }
    type(wb.main.get(), "ComboBox1", QStringLiteral("127"));
    press(wb.main.get(), "Button1");
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
    type(wb.calc.get(), "EditA", QStringLiteral("123456789012345678901234567890"));
    type(wb.calc.get(), "EditB", QStringLiteral("-987654321"));
    press(wb.calc.get(), "BitBtn6");
    shoot(wb.calc.get(), "calculator");

    type(wb.search.get(), "LowInterval", QStringLiteral("1000000"));
    type(wb.search.get(), "HighInterval", QStringLiteral("1001000"));
    press(wb.search.get(), "GO");
    shoot(wb.search.get(), "search");
    type(wb.divisors.get(), "ComboBox1", QStringLiteral("720720"));
    press(wb.divisors.get(), "FindButton");
    shoot(wb.divisors.get(), "divisors");
    type(wb.splitter.get(), "ComboBox1", QStringLiteral("600851475143"));
    press(wb.splitter.get(), "analBtn");
    shoot(wb.splitter.get(), "splitter");
    type(wb.modulo.get(), "Ex", QStringLiteral("3*2^5-1"));
    type(wb.modulo.get(), "Fac", QStringLiteral("10"));
    press(wb.modulo.get(), "BitBtn1");
    shoot(wb.modulo.get(), "modulo");
    type(wb.convert.get(), "IEdit", QStringLiteral("127"));
    press(wb.convert.get(), "BitBtn4");
    shoot(wb.convert.get(), "converter");
    return 0;
}
