// Start-up: the windows in their order, each reading its settings as it is created.
#include "app/workbench.h"

#include <QLabel>
#include <QTextEdit>

#include "app/certif_form.h"
#include "app/info_form.h"
#include "app/intro_form.h"
#include "app/main_form.h"
#include "platform/platform.h"
#include "options/options_form.h"
#include "tools/calculator/calc_form.h"
#include "tools/converter/convert_form.h"
#include "tools/divisors/div_form.h"
#include "tools/modulo/mod_form.h"
#include "tools/search/search_form.h"
#include "tools/splitter/analyser_form.h"
#include "ui/handler.h"
#include "ui/number_box.h"

Workbench::Workbench(Platform& p)
    : platform(p), store(p.settingsPath()), runner(p), options(std::make_unique<TOptionsForm>(platform, store)),
      services{platform, runner, store, *options, *this, *this} {
    main = std::make_unique<TMainForm>(platform, store, runner, *this);
    MainForm = main.get();
    add(main.get());
    Guarded(platform, [this] { main->FormCreate(); });
    intro = std::make_unique<TIntroForm>();
    IntroForm = intro.get();
    add(intro.get());
    search = std::make_unique<TSearchForm>(services);
    SearchForm = search.get();
    add(search.get());
    OptionsForm = options.get();
    add(options.get());
    QObject::connect(options.get(), &TOptionsForm::pageStyleChanged, search.get(), &TSearchForm::setPageStyle);
    Guarded(platform, [this] { options->FormCreate(); });
    divisors = std::make_unique<TDivForm>(services);
    DivForm = divisors.get();
    add(divisors.get());
    splitter = std::make_unique<TAnalyserForm>(services);
    AnalyserForm = splitter.get();
    add(splitter.get());
    info = std::make_unique<TInfoForm>();
    InfoForm = info.get();
    add(info.get());
    calc = std::make_unique<TCalcForm>(platform);
    CalcForm = calc.get();
    add(calc.get());
    modulo = std::make_unique<TModForm>(services);
    ModForm = modulo.get();
    add(modulo.get());
    certif = std::make_unique<TCertifForm>(platform, runner);
    CertifForm = certif.get();
    add(certif.get());
    convert = std::make_unique<TConvertForm>(services);
    ConvertForm = convert.get();
    add(convert.get());
    QObject::connect(certif.get(), &TCertifForm::saved, main->panel1, &QLabel::setText);
}

Workbench::~Workbench() {
    MainForm = nullptr;
    IntroForm = nullptr;
    OptionsForm = nullptr;
    InfoForm = nullptr;
    CalcForm = nullptr;
    CertifForm = nullptr;
    SearchForm = nullptr;
    DivForm = nullptr;
    AnalyserForm = nullptr;
    ModForm = nullptr;
    ConvertForm = nullptr;
}

void Workbench::add(QWidget* window) { windows_ << window; }

QWidget* Workbench::window(const QString& name) const {
    for (QWidget* w : windows_)
        if (w->objectName() == name) return w;
    return nullptr;
}

void Workbench::addPrime(const QString& text) { options->addPrime(text); }
void Workbench::addComposite(const QString& text) { options->addComposite(text); }
void Workbench::appendNotebook(const QStringList& lines) {
    for (const QString& line : lines) options->NoteEdit->append(line);
}
QStringList Workbench::testerHistory() const { return HistoryItems(main->NumberEdit); }
