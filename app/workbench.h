// The program's windows, created once in the start-up order and living until the end, and
// the services they are built with: the registry by name, the histories, the live settings
// (the options window's controls).
#pragma once

#include <QList>
#include <memory>

#include "settings/settings_store.h"
#include "ui/runner.h"
#include "ui/services.h"

class Platform;
class TMainForm;
class TIntroForm;
class TOptionsForm;
class TInfoForm;
class TCalcForm;
class TCertifForm;
class TSearchForm;
class TDivForm;
class TAnalyserForm;
class TModForm;
class TConvertForm;

class Workbench : public WindowRegistry, public Histories {
public:
    explicit Workbench(Platform& platform);
    ~Workbench() override;

    Platform& platform;
    SettingsStore store;
    Runner runner;
    // Built first, since every tool window reads its controls; it reads its stored values at
    // its own place in the start-up order.
    std::unique_ptr<TOptionsForm> options;
    Services services;
    // In the start-up order.
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TIntroForm> intro;
    std::unique_ptr<TSearchForm> search;
    std::unique_ptr<TDivForm> divisors;
    std::unique_ptr<TAnalyserForm> splitter;
    std::unique_ptr<TInfoForm> info;
    std::unique_ptr<TCalcForm> calc;
    std::unique_ptr<TModForm> modulo;
    std::unique_ptr<TCertifForm> certif;
    std::unique_ptr<TConvertForm> convert;

    // WindowRegistry: every program-wide window by its object name.
    QWidget* window(const QString& name) const override;
    // Histories: the options window's lists and notebook, the generic tester's history.
    void addPrime(const QString& text) override;
    void addComposite(const QString& text) override;
    void appendNotebook(const QStringList& lines) override;
    QStringList testerHistory() const override;

private:
    void add(QWidget* window);
    QList<QWidget*> windows_;
};
