// The workbench under real input: keys and clicks sent to the windows' QWindow, the way the
// window system delivers them, not to widgets.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include "app/main_form.h"
#include "app/workbench.h"
#include "options/options_form.h"
#include "tests/workbench_fixture.h"

namespace {

class InputTest : public WorkbenchFixture {
protected:
    void SetUp() override {
        start();
        main().show();
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    }
    QComboBox* box(const char* name) { return main().findChild<QComboBox*>(name); }
    QWindow* window() { return main().windowHandle(); }
    void focus(QComboBox* b) {
        b->setFocus();
        QApplication::processEvents();
    }

    // Starts a Lucas-Lehmer test of 2^99991 - 1 with the real progress dialog and, once the
    // dialog is up, runs `interact` on it; returns the milliseconds from the interaction to
    // the end of the click, or -1 when no dialog showed.
    qint64 runAndInteract(const std::function<void(QProgressDialog*)>& interact) {
        platform.realProgress = true;
        qint64 ms = -1;
        QElapsedTimer clock;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || !QTest::qWaitForWindowExposed(dialog, 10)) return;
            poll.stop();
            QTest::qWait(300);   // let the work get well under way
            // Input for the main window is not taken while the command runs.
            main().NumberEdit->setFocus();
            QTest::keyClick(window(), Qt::Key_7);
            EXPECT_EQ(main().NumberEdit->currentText(), QString());
            clock.start();
            interact(dialog);
        });
        poll.start();
        box("ComboBox1")->setEditText(QStringLiteral("99991"));
        main().findChild<QPushButton*>("Button1")->click();
        if (clock.isValid()) ms = clock.elapsed();
        platform.realProgress = false;
        return ms;
    }

    void expectNothingChanged() {
        EXPECT_EQ(main().RichEdit1->toPlainText(), QString());
        EXPECT_EQ(wb->record.count, 0);
        EXPECT_EQ(box("ComboBox1")->count(), 0);
        EXPECT_EQ(wb->options->NoteEdit->toPlainText(), QString());
        EXPECT_EQ(main().panel0->text(), QStringLiteral("No # have been tested yet"));
    }
};

TEST_F(InputTest, EscOnTheProgressDialogCancelsALongTestWithinASecond) {
    const qint64 ms = runAndInteract([](QProgressDialog* dialog) {
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
    });
    ASSERT_GE(ms, 0) << "no progress dialog was shown";
    EXPECT_LT(ms, 1000);
    expectNothingChanged();
}

TEST_F(InputTest, CancelButtonClickedThroughTheWindowCancels) {
    const qint64 ms = runAndInteract([](QProgressDialog* dialog) {
        auto* cancel = dialog->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, cancel->mapTo(dialog, cancel->rect().center()));
    });
    ASSERT_GE(ms, 0) << "no progress dialog was shown";
    EXPECT_LT(ms, 1000);
    expectNothingChanged();
}

TEST_F(InputTest, DigitFilterActsOnRealKeyReleases) {
    wb->options->FilterCheckBox->setChecked(true);
    for (const char* name : {"NumberEdit", "ComboBox1"}) {
        QComboBox* b = box(name);
        b->addItem(QStringLiteral("11"));
        b->clearEditText();
        focus(b);
        QTest::keyClick(window(), Qt::Key_5, Qt::KeypadModifier);   // keypad digits pass
        EXPECT_EQ(b->currentText(), QStringLiteral("5")) << name;
        QTest::keyClick(window(), Qt::Key_5);                        // the main-row 5 clears
        EXPECT_EQ(b->currentText(), QString()) << name;
        EXPECT_EQ(b->count(), 0) << name;
        b->setEditText(QStringLiteral("12"));
        QTest::keyClick(window(), Qt::Key_A);                        // and so does a letter
        EXPECT_EQ(b->currentText(), QString()) << name;
    }
    // Off, nothing is filtered.
    wb->options->FilterCheckBox->setChecked(false);
    focus(box("NumberEdit"));
    QTest::keyClick(window(), Qt::Key_4);
    EXPECT_EQ(box("NumberEdit")->currentText(), QStringLiteral("4"));
}

TEST_F(InputTest, ClipboardKeysInTheNumberBoxRunTheMenuCommands) {
    QComboBox* b = box("NumberEdit");
    focus(b);
    b->setEditText(QStringLiteral("123"));
    platform.clipboard = QStringLiteral("45");
    QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b->currentText(), QStringLiteral("45123"));   // in front, as the menu's Paste does

    platform.clipboard = QString(250, QLatin1Char('9'));    // beyond the box's limit: refused, with a word
    QTest::keyClick(window(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b->currentText(), QStringLiteral("45123"));
    EXPECT_EQ(platform.messages.size(), 1);

    b->setEditText(QStringLiteral("77"));
    QTest::keyClick(window(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.clipboard, QStringLiteral("77"));
    EXPECT_EQ(b->currentText(), QStringLiteral("77"));
    QTest::keyClick(window(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(platform.clipboard, QStringLiteral("77"));
    EXPECT_EQ(b->currentText(), QString());
    EXPECT_EQ(main().Digital->text(), QStringLiteral("0 digits"));
}

TEST_F(InputTest, ToolShortCutsWorkWhileTypingInANumberBox) {
    // Ctrl+E and Ctrl+D mean "end of line" and "delete" to a line edit on X11: here they open
    // the search engine and the divisor finder.
    for (const char* name : {"NumberEdit", "ComboBox1"}) {
        focus(box(name));
        bool searchOpened = false;
        QTimer closer;   // closes the modal search engine once it shows; gives up after a second
        int ticks = 0;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (modal && modal->objectName() == QStringLiteral("SearchForm")) {
                searchOpened = true;
                modal->reject();
            }
            if (searchOpened || ++ticks > 50) closer.stop();
        });
        closer.start(20);
        QTest::keyClick(window(), Qt::Key_E, Qt::ControlModifier);
        QTest::qWait(100);
        closer.stop();
        EXPECT_TRUE(searchOpened) << name;
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
        focus(box(name));
        QTest::keyClick(window(), Qt::Key_D, Qt::ControlModifier);
        EXPECT_TRUE(wb->window(QStringLiteral("DivForm"))->isVisible()) << name;
        wb->window(QStringLiteral("DivForm"))->hide();
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    }
}

}  // namespace
