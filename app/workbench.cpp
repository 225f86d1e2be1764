// Start-up: the windows in their order, each reading its settings as it is created.
#include "app/workbench.h"

#include "app/certif_form.h"
#include "app/info_form.h"
#include "app/intro_form.h"
#include "app/main_form.h"
#include "platform/platform.h"
#include "ui/handler.h"
#include "settings/options_form.h"
#include "tools/calculator/calc_form.h"

Workbench::Workbench(Platform& p) : platform(p), store(p.settingsPath()), runner(p) {
    main = std::make_unique<TMainForm>(platform, store, runner);
    MainForm = main.get();
    Guarded(platform, [this] { main->FormCreate(); });
    intro = std::make_unique<TIntroForm>();
    IntroForm = intro.get();
    options = std::make_unique<TOptionsForm>(platform, store);
    OptionsForm = options.get();
    Guarded(platform, [this] { options->FormCreate(); });
    info = std::make_unique<TInfoForm>();
    InfoForm = info.get();
    calc = std::make_unique<TCalcForm>(platform);
    CalcForm = calc.get();
    certif = std::make_unique<TCertifForm>(platform, runner);
    CertifForm = certif.get();
    main->setTools({options.get(), intro.get(), info.get(), calc.get(), certif.get(), nullptr});
}

Workbench::~Workbench() {
    MainForm = nullptr;
    IntroForm = nullptr;
    OptionsForm = nullptr;
    InfoForm = nullptr;
    CalcForm = nullptr;
    CertifForm = nullptr;
}
