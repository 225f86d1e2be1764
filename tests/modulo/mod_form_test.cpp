// The Super Modulo window driven through its controls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "tests/fake_services.h"
#include "tools/modulo/mod_form.h"

namespace {

class ModFormTest : public ToolWindowTest<TModForm> {
protected:

    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void type(const char* box, const QString& text) {
        QLineEdit* edit = get<QComboBox>(box)->lineEdit();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    // Moves the track bar with the keyboard: Home, then `steps` presses of the right arrow.
    void slide(int steps) {
        QSlider* bar = get<QSlider>("TrackBar1");
        QTest::keyClick(bar, Qt::Key_Home);
        for (int i = 0; i < steps; ++i) QTest::keyClick(bar, Qt::Key_Right);
    }
    void compute(const QString& expression, const QString& factor, int more = 0) {
        type("Ex", expression);
        type("Fac", factor);
        slide(more);
        get<QPushButton>("BitBtn1")->click();
    }
    QStringList lines() {
        QStringList out;
        QListWidget* list = get<QListWidget>("ListBox1");
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    QString clickLine(int row) {
        QListWidget* list = get<QListWidget>("ListBox1");
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        return get<QLineEdit>("Edit1")->text();
    }
};

TEST_F(ModFormTest, StartsAsDesigned) {
    EXPECT_EQ(form.windowTitle(), "Super Modulo");
    EXPECT_EQ(form.height(), 286);
    EXPECT_GE(form.width(), 253);   // wider when the font needs it for the 50-character expression
    EXPECT_EQ(get<QComboBox>("Fac")->currentText(), "2");
    EXPECT_EQ(get<QComboBox>("Ex")->currentText(), "");
    EXPECT_EQ(get<QComboBox>("Ex")->toolTip(), "Expression form: a * b^c + d  (< 50 characters)");
    EXPECT_EQ(get<QComboBox>("Fac")->toolTip(), " < E18");
    EXPECT_EQ(get<QPushButton>("BitBtn1")->text(), "Modulo");
    EXPECT_EQ(get<QLabel>("Label1")->text(), "Expression=");
    EXPECT_EQ(get<QLabel>("Label2")->text(), "Factor =");
    EXPECT_EQ(get<QLabel>("Label3")->text(), "");
    QSlider* bar = get<QSlider>("TrackBar1");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->tickInterval(), 50);
    EXPECT_TRUE(get<QLineEdit>("Edit1")->isReadOnly());
    // Typing stops at the fields' limits.
    type("Ex", QString(60, '7'));
    EXPECT_EQ(get<QComboBox>("Ex")->currentText().size(), 50);
    type("Fac", QString(25, '9'));
    EXPECT_EQ(get<QComboBox>("Fac")->currentText().size(), 18);
}

TEST_F(ModFormTest, TrackBarDescribesTheRange) {
    QSlider* bar = get<QSlider>("TrackBar1");
    QLabel* label = get<QLabel>("Label3");
    for (int i = 0; i < 5; ++i) QTest::keyClick(bar, Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), 50);
    EXPECT_EQ(label->text(), "Include the next 50 divisors");
    QTest::keyClick(bar, Qt::Key_Home);
    EXPECT_EQ(label->text(), "Only this factor");
}

TEST_F(ModFormTest, OneFactorAndItsEquation) {
    compute("2^10+1", "7");
    EXPECT_EQ(lines(), QStringList{"3"});
    EXPECT_EQ(clickLine(0), "=3(Mod 7)");
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(ModFormTest, ARunOfFactorsNumbersItsLinesFromTheFirst) {
    compute("3*2^5-1", "10", 2);
    EXPECT_EQ(lines(), (QStringList{"5", "7", "11"}));
    EXPECT_EQ(clickLine(2), "=11(Mod 12)");
    // Editing the factor does not renumber the lines of the last computation.
    type("Fac", "500");
    EXPECT_EQ(clickLine(0), "=5(Mod 10)");
}

TEST_F(ModFormTest, SignsAndEqualPrecedenceOfPlusAndMinus) {
    struct Row { const char* expression; const char* factor; const char* line; };
    const Row rows[] = {{"-5+3", "100", "98"}, {"10-3+2", "100", "9"}, {"10-30-5", "100", "75"}};
    for (const Row& r : rows) {
        compute(r.expression, r.factor);
        EXPECT_EQ(lines(), QStringList{r.line}) << r.expression;
    }
}

TEST_F(ModFormTest, FactorOneGivesZeros) {
    for (const char* expression : {"123^45+6", "-7", "0^0", "5-9*2"}) {
        compute(expression, "1");
        EXPECT_EQ(lines(), QStringList{"0"}) << expression;
    }
    compute("123^45+6", "1", 3);
    EXPECT_EQ(lines(), (QStringList{"0", "1", "0", "1"}));   // 123^45+6 modulo 1, 2, 3 and 4
}

TEST_F(ModFormTest, ThousandAndOneLines) {
    compute("2^1000000000000", "999999999999998999");
    get<QSlider>("TrackBar1")->setFocus();
    QTest::keyClick(get<QSlider>("TrackBar1"), Qt::Key_End);
    get<QPushButton>("BitBtn1")->click();
    const QStringList got = lines();
    ASSERT_EQ(got.size(), 1001);
    EXPECT_EQ(clickLine(1000), "=" + got[1000] + "(Mod 999999999999999999)");
}

TEST_F(ModFormTest, BadExpressionsReachTheErrorBox) {
    compute("3", "5");
    ASSERT_EQ(lines(), QStringList{"3"});
    struct Row { const char* expression; const char* error; };
    const Row rows[] = {{"2 * 3^4 + 1", "'' is not a valid integer value"},
                        {"", "'' is not a valid integer value"},
                        {"7*", "'' is not a valid integer value"},
                        {"x", "'x' is not a valid integer value"}};
    for (const Row& r : rows) {
        fake.platform.errors.clear();
        compute(r.expression, "5", 4);
        EXPECT_EQ(fake.platform.errors, QStringList{r.error}) << r.expression;
        EXPECT_TRUE(lines().isEmpty()) << r.expression;
    }
}

TEST_F(ModFormTest, BadOrNonPositiveFactors) {
    struct Row { const char* factor; const char* error; };
    const Row rows[] = {{"0", nullptr}, {"-5", nullptr}, {"abc", "'abc' is not a valid integer value"},
                        {"", "'' is not a valid integer value"}};
    for (const Row& r : rows) {
        compute("2^10+1", "7");
        ASSERT_EQ(lines(), QStringList{"3"});
        ASSERT_EQ(clickLine(0), "=3(Mod 7)");
        fake.platform.errors.clear();
        type("Fac", r.factor);
        get<QPushButton>("BitBtn1")->click();
        EXPECT_TRUE(lines().isEmpty()) << r.factor;
        EXPECT_EQ(get<QLineEdit>("Edit1")->text(), "") << r.factor;   // no equation beside an empty list
        EXPECT_EQ(fake.platform.errors, r.error ? QStringList{r.error} : QStringList{}) << r.factor;
    }
}

TEST_F(ModFormTest, TheTopOfTheWordRangeEndsTheRun) {
    compute("2^64+1", "$7FFFFFFFFFFFFFFF", 5);   // the largest 64-bit factor, typed in hexadecimal
    EXPECT_EQ(lines(), QStringList{"3"});         // 2^64 = 2 (mod 2^63 - 1)
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(ModFormTest, EnterComputesOnceAndCancelKeepsTheWindow) {
    // Each computation fills the list once.
    int fills = 0;
    QObject::connect(get<QListWidget>("ListBox1")->model(), &QAbstractItemModel::rowsInserted, [&] { ++fills; });
    type("Ex", "2^10+1");
    type("Fac", "7");
    QTest::keyClick(get<QComboBox>("Ex")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(fills, 1);
    QTest::keyClick(get<QSlider>("TrackBar1"), Qt::Key_Return);
    EXPECT_EQ(fills, 2);
    EXPECT_EQ(lines(), QStringList{"3"});
    EXPECT_EQ(clickLine(0), "=3(Mod 7)");

    // Cancelled while a long run (1001 factors through the text rewriting) is under way.
    fake.platform.cancelProgress = true;
    type("Ex", " 7^" + QString(46, '9'));
    type("Fac", "100");
    QTest::keyClick(get<QSlider>("TrackBar1"), Qt::Key_End);
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(lines(), QStringList{"3"});
    EXPECT_EQ(clickLine(0), "=3(Mod 7)");
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

}  // namespace

namespace {

// Measured on the shown window: the longest expression the box takes is seen whole.
TEST_F(ModFormTest, TheExpressionBoxShowsAllFiftyCharacters) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QString longest = QStringLiteral("12345678901234567890*98765432109876543210^1234567+1");
    QLineEdit* edit = get<QComboBox>("Ex")->lineEdit();
    edit->setText(longest.left(50));
    ASSERT_EQ(edit->text().size(), 50);
    const QMargins m = edit->textMargins();
    EXPECT_GE(edit->contentsRect().width() - m.left() - m.right(), edit->fontMetrics().horizontalAdvance(edit->text()) + 4);
}

}  // namespace
