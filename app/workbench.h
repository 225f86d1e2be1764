// The program's windows, created once in the start-up order and living until the end.
#pragma once

#include <memory>

#include "ui/runner.h"
#include "settings/settings_store.h"

class Platform;
class TMainForm;
class TIntroForm;
class TOptionsForm;
class TInfoForm;
class TCalcForm;
class TCertifForm;

class Workbench {
public:
    explicit Workbench(Platform& platform);
    ~Workbench();

    Platform& platform;
    SettingsStore store;
    Runner runner;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TIntroForm> intro;
    std::unique_ptr<TOptionsForm> options;
    std::unique_ptr<TInfoForm> info;
    std::unique_ptr<TCalcForm> calc;
    std::unique_ptr<TCertifForm> certif;
};
