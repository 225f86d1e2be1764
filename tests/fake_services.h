// Scripted stand-ins for the services a tool window is built with: live settings with
// plain fields and recorded histories. With FakePlatform.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "settings/settings_store.h"
#include "tests/fake_platform.h"
#include "ui/runner.h"
#include "ui/services.h"

class FakeSettings : public LiveSettings {
public:
    bool digitFilter() const override { return filter; }
    bool sortHistory() const override { return sort; }
    bool autoImport() const override { return import; }
    bool historyEnabled() const override { return history; }
    bool addFoundPrime() const override { return addPrime; }
    bool autoExpand() const override { return expand; }
    bool showMessages() const override { return messages; }
    bool estimations() const override { return estimate; }
    bool countTwins() const override { return twins; }
    bool tabPages() const override { return tabs; }
    bool separateResults() const override { return separate; }
    bool warnOnExit() const override { return warn; }
    QString primeText() const override { return prime; }
    QString compositeText() const override { return composite; }

    bool filter = false, sort = false, import = false, history = true, addPrime = true, expand = false,
         messages = true, estimate = true, twins = true, tabs = true, separate = false, warn = true;
    QString prime = QStringLiteral("This is a prime number"), composite = QStringLiteral("This is composite");
};

class FakeHistories : public Histories {
public:
    void addPrime(const QString& text) override { if (!primes.contains(text)) primes << text; }
    void recordVerdict(const QString& text, bool prime) override {
        QStringList& list = prime ? primes : composites;
        if (!list.contains(text)) list << text;
    }
    void appendReport(const QStringList& lines) override { notebook << lines; }
    QStringList testerHistory() const override { return tester; }

    QStringList primes, composites, notebook, tester;
};

// One bundle per test: a fake desktop, a real runner, a settings file in a fresh folder.
struct FakeServices {
    QTemporaryDir dir;
    FakePlatform platform{dir.path() + QStringLiteral("/Setup.reg")};
    Runner runner{platform};
    SettingsStore store{platform.settingsPath()};
    FakeSettings settings;
    FakeHistories histories;
    Services services{platform, runner, store, settings, histories};
};

// The base of a tool window's tests: the window built from fake services, and its controls
// found by their object names.
template <typename Form>
class ToolWindowTest : public ::testing::Test {
protected:
    FakeServices fake;
    Form form{fake.services};

    template <typename T>
    T* get(const char* name) {
        T* w = form.template findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};
