// A value of the wrong type as the user meets it: the program's general error box at start,
// and the value still in the file after the main window has written its own values.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include "app/main_form.h"
#include "app/workbench.h"
#include "options/options_form.h"
#include "tests/fake_platform.h"

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(SettingsAtStart, ANumberInMessage1IsReportedAndKeptThroughTheMainWindowsSave) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Setup.reg"));
    const QByteArray before = "Windows Registry Editor Version 5.00\n\n"
                              "[HKEY_CURRENT_USER\\Software\\Velorin\\Quendra 4\\Setup]\n"
                              "\"PrimeList\"=dword:00000000\n"
                              "\"Message1\"=dword:00000005\n"
                              "\"Message2\"=\"Not prime\"\n"
                              "\"Warn\"=hex:01,02\n";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    FakePlatform platform{path};
    Workbench wb(platform);
    wb.main->ShowIntroFormTimer->stop();

    EXPECT_EQ(platform.errors, QStringList{"Invalid data type for 'Message1'"});
    EXPECT_FALSE(wb.options->PremiersCheckBox->isChecked());                 // read before it
    EXPECT_EQ(wb.options->LabeledEdit1->text(), "This is a prime number");   // left as it was
    EXPECT_EQ(wb.options->LabeledEdit2->text(), "This is composite");        // not read after it

    platform.errors.clear();
    wb.main->close();   // writes the main window's five values
    EXPECT_TRUE(platform.errors.isEmpty());
    const QByteArray after = readFile(path);
    EXPECT_TRUE(after.startsWith(before)) << after.constData();
    EXPECT_TRUE(after.contains("\"MainPositionLeft\"=dword:")) << after.constData();
}

}  // namespace
