// Scripted stand-ins for the services a tool window is built with: live settings with
// plain fields, recorded histories, a registry filled by the test. With FakePlatform.
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
    void setCountTwins(bool on) override { twins = on; }
    bool tabPages() const override { return tabs; }

    bool filter = false, sort = false, import = false, history = true, addPrime = true, expand = false,
         messages = true, estimate = true, twins = true, tabs = true;
};

class FakeHistories : public Histories {
public:
    void addPrime(const QString& text) override { if (!primes.contains(text)) primes << text; }
    void addComposite(const QString& text) override { if (!composites.contains(text)) composites << text; }
    void appendNotebook(const QStringList& lines) override { notebook << lines; }
    QStringList testerHistory() const override { return tester; }

    QStringList primes, composites, notebook, tester;
};

class FakeRegistry : public WindowRegistry {
public:
    QWidget* window(const QString& name) const override { return windows.value(name); }
    QMap<QString, QWidget*> windows;
};

// One bundle per test: a fake desktop, a real runner, a settings file in a fresh folder.
struct FakeServices {
    QTemporaryDir dir;
    FakePlatform platform{dir.path() + QStringLiteral("/Setup.reg")};
    Runner runner{platform};
    SettingsStore store{platform.settingsPath()};
    FakeSettings settings;
    FakeHistories histories;
    FakeRegistry registry;
    Services services{platform, runner, store, settings, histories, registry};
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
