// The whole workbench on a fake desktop, with its settings file in a fresh folder: the base of
// the tests that drive the main window and the windows it opens.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/main_form.h"
#include "app/workbench.h"
#include "tests/fake_platform.h"

class WorkbenchFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString settings = dir.filePath(QStringLiteral("Setup.reg"));
    FakePlatform platform{settings};
    std::unique_ptr<Workbench> wb;

    void SetUp() override { start(); }
    // (Re)starts the program: every window created anew, the start-up window held back.
    void start() {
        wb.reset();
        wb = std::make_unique<Workbench>(platform);
        wb->main->ShowIntroFormTimer->stop();
    }
    TMainForm& main() { return *wb->main; }
    // The main window's menu command with this caption, or null.
    QAction* command(const QString& caption) {
        for (QAction* a : main().findChildren<QAction*>())
            if (a->text() == caption) return a;
        return nullptr;
    }
    // Ends the running program and leaves the settings key holding just these value lines.
    void storeValues(const QByteArray& lines) {
        wb.reset();
        QFile f(settings);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Windows Registry Editor Version 5.00\r\n\r\n"
                "[HKEY_CURRENT_USER\\Software\\Velorin\\Quendra 4\\Setup]\r\n" + lines);
    }
    // Runs a menu command as the menu does.
    void menu(const QString& caption) {
        QAction* a = command(caption);
        ASSERT_NE(a, nullptr) << "no menu command " << caption.toStdString();
        a->trigger();
    }
};
