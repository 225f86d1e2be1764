// Start-up: the windows in their order, each reading its settings as it is created.
#include "app/workbench.h"

#include <QLabel>

#include "app/certif_form.h"
#include "app/info_form.h"
#include "app/intro_form.h"
#include "options/options_form.h"
#include "platform/platform.h"
#include "tools/calculator/calc_form.h"
#include "tools/converter/convert_form.h"
#include "tools/divisors/div_form.h"
#include "tools/modulo/mod_form.h"
#include "tools/search/search_form.h"
#include "tools/splitter/analyser_form.h"
#include "ui/handler.h"

ProgramWindows::ProgramWindows() = default;
ProgramWindows::~ProgramWindows() = default;

template <typename Window>
void Workbench::add(std::unique_ptr<Window>& slot, std::unique_ptr<Window> window) {
    slot = std::move(window);
    windows_ << slot.get();
}

Workbench::Workbench(Platform& p) : platform(p), store(p.settingsPath()), runner(p) {
    add(options, std::make_unique<TOptionsForm>(platform, store));
    services.emplace(Services{platform, runner, store, *options, *this});
    Services& s = *services;
    // The start-up order: each window reads its stored values as it is created.
    add(main, std::make_unique<TMainForm>(s, *this, record, certificate));
    Guarded(platform, [this] { main->FormCreate(); });
    add(intro, std::make_unique<TIntroForm>());
    add(search, std::make_unique<TSearchForm>(s));
    QObject::connect(options.get(), &TOptionsForm::pageStyleChanged, search.get(), &TSearchForm::setPageStyle);
    Guarded(platform, [this] { options->FormCreate(); });
    add(divisors, std::make_unique<TDivForm>(s));
    add(splitter, std::make_unique<TAnalyserForm>(s));
    add(info, std::make_unique<TInfoForm>());
    add(calc, std::make_unique<TCalcForm>(s));
    add(modulo, std::make_unique<TModForm>(s));
    add(certif, std::make_unique<TCertifForm>(s, certificate));
    add(convert, std::make_unique<TConvertForm>(s));
    QObject::connect(certif.get(), &TCertifForm::saved, main->panel1, &QLabel::setText);
}

// The windows go before the services and the certificate they hold references to.
Workbench::~Workbench() {
    convert.reset();
    certif.reset();
    modulo.reset();
    calc.reset();
    info.reset();
    splitter.reset();
    divisors.reset();
    search.reset();
    intro.reset();
    main.reset();
    options.reset();
}

QWidget* Workbench::window(const QString& name) const {
    for (QWidget* w : windows_)
        if (w->objectName() == name) return w;
    return nullptr;
}

void Workbench::addPrime(const QString& text) { options->addPrime(text); }
void Workbench::recordVerdict(const QString& text, bool prime) { options->recordVerdict(text, prime); }
void Workbench::appendReport(const QStringList& lines) { options->appendReport(lines); }
QStringList Workbench::testerHistory() const { return main->testerHistory(); }
