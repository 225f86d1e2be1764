// The Tools menu: its commands, and where the tool windows open beside the main window.
#include <gtest/gtest.h>

#include <QTest>

#include <QComboBox>

#include <QLineEdit>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include "app/main_form.h"
#include "app/workbench.h"
#include "tests/workbench_fixture.h"

namespace {

class OpenersTest : public WorkbenchFixture {
protected:
    void SetUp() override { open(); }
    void open() {
        start();
        wb->main->show();
        QApplication::processEvents();
    }
    void run(const QString& caption) {
        menu(caption);
        QApplication::processEvents();
    }
    QWidget* window(const char* name) { return wb->window(QString::fromLatin1(name)); }
    int mainRight() { return main().x() + main().frameGeometry().width(); }
    int mainBottom() { return main().y() + main().frameGeometry().height(); }
};

TEST_F(OpenersTest, ToolsMenuHoldsEveryToolWithItsShortCut) {
    QMenu* tools = main().findChild<QMenu*>(QStringLiteral("ToolsMenu"));
    ASSERT_NE(tools, nullptr);
    QStringList items;
    for (QAction* a : tools->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('|') + a->shortcut().toString());
    EXPECT_EQ(items, (QStringList{"&Splitter...|Ctrl+S", "Conve&rtor...|Ctrl+R", "Super Calcula&tor...|Ctrl+T",
                                  "Super &Modulo...|Ctrl+M", "Search &Engine...|Ctrl+E", "All &dividers...|Ctrl+D", "-",
                                  "Ca&lculator|Ctrl+L", "-", "View/Hide certi&ficate...|Ctrl+F"}));
    // Every program-wide window is registered under its object name.
    for (const char* name : {"MainForm", "IntroForm", "SearchForm", "OptionsForm", "DivForm", "AnalyserForm", "InfoForm",
                             "CalcForm", "ModForm", "CertifForm", "ConvertForm"})
        EXPECT_NE(window(name), nullptr) << name;
}

TEST_F(OpenersTest, ModeLessToolsOpenBesideTheMainWindow) {
    run(QStringLiteral("Conve&rtor..."));
    QWidget* convert = window("ConvertForm");
    EXPECT_TRUE(convert->isVisible());
    EXPECT_EQ(convert->pos(), QPoint(main().x(), mainBottom()));
    EXPECT_EQ(convert->frameGeometry().width(), main().frameGeometry().width());

    run(QStringLiteral("Super Calcula&tor..."));   // 150 further right while the converter shows
    EXPECT_EQ(window("CalcForm")->pos(), QPoint(main().x() + 150, mainBottom()));

    run(QStringLiteral("All &dividers..."));
    QWidget* divisors = window("DivForm");
    EXPECT_TRUE(divisors->isVisible());
    EXPECT_EQ(divisors->pos(), QPoint(mainRight(), main().y()));

    // With the divisor finder shown, Super Modulo opens 100 lower and the certificate window
    // moves 135 lower, both at the main window's right edge; the certificate stays hidden.
    run(QStringLiteral("Super &Modulo..."));
    EXPECT_TRUE(window("ModForm")->isVisible());
    EXPECT_EQ(window("ModForm")->pos(), QPoint(mainRight(), main().y() + 100));
    EXPECT_EQ(window("CertifForm")->pos(), QPoint(mainRight(), main().y() + 135));
    EXPECT_FALSE(window("CertifForm")->isVisible());

    run(QStringLiteral("&Splitter..."));
    EXPECT_TRUE(window("AnalyserForm")->isVisible());
}

TEST_F(OpenersTest, DivisorFinderTakesItsStoredSize) {
    storeValues("\"WHeight\"=dword:00000190\r\n");
    open();
    run(QStringLiteral("All &dividers..."));
    EXPECT_EQ(window("DivForm")->size(), QSize(218, 400));
}

TEST_F(OpenersTest, SearchEngineOpensModal) {
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* search = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        modal = search && search->objectName() == QStringLiteral("SearchForm");
        if (search) search->reject();
    });
    run(QStringLiteral("Search &Engine..."));
    EXPECT_TRUE(modal);
}

}  // namespace

namespace {

TEST_F(OpenersTest, MainWindowOpensAtItsDefaultPlace) {
    EXPECT_EQ(main().pos(), QPoint(59, 107));
}

TEST_F(OpenersTest, AStoredPlaceOffEveryScreenComesBackOnScreen) {
    storeValues("\"MainPositionTop\"=dword:00002710\r\n\"MainPositionLeft\"=dword:ffffd8f0\r\n");   // 10000 and -10000
    open();
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(main().frameGeometry().topLeft())) << main().x() << "," << main().y();
    // A stored place on the screen is kept as it is.
    storeValues("\"MainPositionTop\"=dword:00000014\r\n\"MainPositionLeft\"=dword:0000001e\r\n");   // 20 and 30
    open();
    EXPECT_EQ(main().pos(), QPoint(30, 20));
}

// Each tool window opened by its short-cut takes the keyboard: what is typed next lands in its
// first field, not in the main window's number box.
TEST_F(OpenersTest, ToolWindowsTakeTheKeyboardOnTheirFirstField) {
    main().show();
    main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    struct Case { Qt::Key key; const char* window; const char* field; };
    for (const Case& c : {Case{Qt::Key_R, "ConvertForm", "IEdit"}, Case{Qt::Key_M, "ModForm", "Ex"},
                          Case{Qt::Key_T, "CalcForm", "EditA"}, Case{Qt::Key_S, "AnalyserForm", "ComboBox1"},
                          Case{Qt::Key_D, "DivForm", "ComboBox1"}}) {
        SCOPED_TRACE(c.window);
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
        QTest::keyClick(QApplication::focusWidget(), c.key, Qt::ControlModifier);
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(c.window)) window = w;
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QWidget* field = window->findChild<QWidget*>(QLatin1String(c.field));
        ASSERT_NE(field, nullptr);
        QTest::keyClicks(QApplication::focusWidget(), "12");
        QString text;
        if (auto* e = qobject_cast<QLineEdit*>(field)) text = e->text();
        if (auto* b = qobject_cast<QComboBox*>(field)) text = b->currentText();
        EXPECT_EQ(text, "12");
        EXPECT_EQ(main().NumberEdit->currentText(), "");
        window->hide();
    }
}

// The converter's first opening already stands under the main window's outer frame, as wide.
TEST_F(OpenersTest, TheConverterOpensUnderTheMainWindowTheFirstTime) {
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    menu(QStringLiteral("Conve&rtor..."));
    QWidget* convert = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("ConvertForm")) convert = w;
    ASSERT_NE(convert, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(convert));
    QTest::qWait(50);
    EXPECT_EQ(convert->frameGeometry().top(), main().frameGeometry().bottom() + 1);
    EXPECT_EQ(convert->frameGeometry().left(), main().frameGeometry().left());
    EXPECT_EQ(convert->frameGeometry().width(), main().frameGeometry().width());
}

}  // namespace
