// The program: its services, its windows in the start-up order, the testers' record and the
// certificate. The windows are built from the services; the histories and the live settings
// are the options window's and the main window's controls.
#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "app/main_form.h"
#include "app/program_windows.h"
#include "settings/settings_store.h"
#include "tools/mersenne/lucas_lehmer.h"
#include "ui/runner.h"
#include "ui/services.h"

class Platform;

class Workbench : public ProgramWindows, public Histories {
public:
    explicit Workbench(Platform& platform);
    ~Workbench();

    Platform& platform;
    SettingsStore store;
    Runner runner;
    TestRecord record;
    LucasLehmerCertificate certificate;
    std::optional<Services> services;   // set once the options window, the live settings, exists

    // Every program-wide window by its object name, or null.
    QWidget* window(const QString& name) const;
    // Histories: the options window's lists and notebook, the generic tester's history.
    void addPrime(const QString& text) override;
    void recordVerdict(const QString& text, bool prime) override;
    void appendReport(const QStringList& lines) override;
    QStringList testerHistory() const override;

private:
    template <typename Window>
    void add(std::unique_ptr<Window>& slot, std::unique_ptr<Window> window);
    QList<QWidget*> windows_;
};
