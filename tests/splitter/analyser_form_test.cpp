// The Splitter window as a user drives it: typed numbers, the three methods, the history
// buttons, the digit filter, the stored "Math expression" state and a cancelled analysis.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include "tests/fake_services.h"
#include "tools/splitter/analyser_form.h"

namespace {

class AnalyserFormTest : public ToolWindowTest<TAnalyserForm> {
protected:
    QComboBox* box() { return get<QComboBox>("ComboBox1"); }
    QTableWidget* grid() { return get<QTableWidget>("ValueListEditor1"); }
    QString expression() { return get<QTextEdit>("RichEdit1")->toPlainText(); }

    void type(const QString& text) {
        box()->setEditText(QString());
        QTest::keyClicks(box()->lineEdit(), text);
    }
    void analyse(const QString& text) {
        type(text);
        get<QPushButton>("analBtn")->click();
    }
    void choose(const QString& method) {
        for (QRadioButton* b : get<QWidget>("MethodGroup")->findChildren<QRadioButton*>())
            if (b->text() == method) b->click();
    }
    QStringList rows() {
        QStringList out;
        for (int r = 0; r < grid()->rowCount(); ++r)
            out << grid()->item(r, 0)->text() + "=" + grid()->item(r, 1)->text();
        return out;
    }
    QStringList history() {
        QStringList out;
        for (int i = 0; i < box()->count(); ++i) out << box()->itemText(i);
        return out;
    }
};

TEST_F(AnalyserFormTest, FactorizationFillsGridExpressionAndHistory) {
    EXPECT_EQ(form.windowTitle(), "Splitter: Factorization");
    analyse("000015");
    EXPECT_EQ(history(), QStringList{"15"});
    EXPECT_EQ(box()->currentText(), "000015");
    EXPECT_EQ(rows(), (QStringList{"factor1 is Prime=5", "factor2 is Prime=3"}));
    EXPECT_EQ(expression(), "5*3");
    analyse("600851475143");
    EXPECT_EQ(rows(), (QStringList{"factor1 is Prime=71", "factor2 is Prime=839", "factor3 is Prime=1471",
                                   "factor4 is Prime=6857"}));
    EXPECT_EQ(expression(), "71*839*1471*6857");
    analyse("15");
    EXPECT_EQ(history(), (QStringList{"15", "600851475143", "15"}));
    analyse("1000000007");
    EXPECT_EQ(rows(), QStringList{"factor1 is Prime=1000000007"});
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(AnalyserFormTest, LargeSemiprimeIsSplitBeyondRho) {
    // 39 digits as two 20-digit primes: far beyond one rho run.
    analyse("300000000000000001940000000000000002091");
    EXPECT_EQ(rows(), (QStringList{"factor1 is Prime=10000000000000000051", "factor2 is Prime=30000000000000000041"}))
        << rows().join(" ").toStdString();
}

TEST_F(AnalyserFormTest, UnitsAndBadTextChangeNothing) {
    analyse("8051");
    const QStringList before = rows();
    for (const char* t : {"1", "0", "-1"}) analyse(t);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(expression(), "97*83");
    EXPECT_EQ(history(), QStringList{"8051"});
    EXPECT_TRUE(fake.platform.errors.isEmpty());

    analyse("12a");
    box()->setEditText(QString());
    get<QPushButton>("analBtn")->click();
    ASSERT_EQ(fake.platform.errors.size(), 2);
    EXPECT_TRUE(fake.platform.errors[0].endsWith("is not a valid integer value"));
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(history(), QStringList{"8051"});
}

TEST_F(AnalyserFormTest, NegativeNumberIsMinusOneTimesItsMagnitude) {
    analyse("-15");
    EXPECT_EQ(rows(), (QStringList{"Sign=-1", "factor1 is Prime=5", "factor2 is Prime=3"}));
    EXPECT_EQ(expression(), "-1*5*3");
    EXPECT_EQ(history(), QStringList{"-15"});
}

TEST_F(AnalyserFormTest, SampleFactorAndPrimeGenerator) {
    choose("Sample Factor");
    EXPECT_EQ(form.windowTitle(), "Splitter: Sample divisor");
    EXPECT_EQ(box()->toolTip(), " < e50");
    analyse("15");
    EXPECT_EQ(rows(), QStringList{"Factor is Prime=5"});
    EXPECT_EQ(expression(), "5 * Other factor");
    analyse("1000000007");
    EXPECT_EQ(rows(), QStringList{"Factor is Prime=1000000007"});

    choose("Prime generator");
    EXPECT_EQ(form.windowTitle(), "Splitter: Prime Generator");
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(expression().isEmpty());
    EXPECT_FALSE(grid()->horizontalHeader()->isVisible() && !grid()->horizontalHeader()->isHidden());
    EXPECT_EQ(grid()->columnWidth(0), 65);
    const struct { const char* n; QStringList want; } cases[] = {
        {"100", {"Next prime is=101", "Difference=1"}},
        {"13", {"Next prime is=17", "Difference=4"}},
        {"2", {"Next prime is=3", "Difference=1"}},
        {"-7", {"Next prime is=2", "Difference=9"}},
    };
    for (const auto& c : cases) {
        analyse(c.n);
        EXPECT_EQ(rows(), c.want) << c.n;
    }
    EXPECT_EQ(expression(), "2");
}

TEST_F(AnalyserFormTest, MethodSwitchSetsLimitHintAndLayout) {
    analyse("15");
    choose("Sample Factor");
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(grid()->columnWidth(0), 110);
    type(QString(55, '7'));
    EXPECT_EQ(box()->currentText().size(), 50);
    choose("Complete Factorization");
    // A longer text stays; only typing is limited.
    EXPECT_EQ(box()->currentText().size(), 50);
    EXPECT_EQ(box()->toolTip(), " < e40");
    EXPECT_EQ(grid()->columnWidth(0), 100);
    type(QString(45, '7'));
    EXPECT_EQ(box()->currentText().size(), 40);
}

TEST_F(AnalyserFormTest, HintFollowsFieldAndMethod) {
    auto* btn = get<QPushButton>("analBtn");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    box()->setEditText(QString());
    QTest::mouseMove(btn);
    EXPECT_EQ(btn->toolTip(), "Type a number, select a method then click here");
    type("91");
    QTest::mouseMove(btn, QPoint(5, 5));
    EXPECT_EQ(btn->toolTip(), "Get the complete factorization of\n\r91");
    choose("Prime generator");
    QTest::mouseMove(btn, QPoint(6, 6));
    EXPECT_EQ(btn->toolTip(), "Reach for the next prime after\n\r91");
}

TEST_F(AnalyserFormTest, HistoryButtonsAndDigitFilter) {
    fake.histories.tester = {"77", "15"};
    analyse("15");
    get<QPushButton>("BitBtn2")->click();
    EXPECT_EQ(history(), (QStringList{"15", "77", "15"}));
    get<QPushButton>("BitBtn3")->click();
    EXPECT_TRUE(history().isEmpty());
    EXPECT_EQ(box()->currentText(), "15");

    get<QPushButton>("BitBtn2")->click();
    fake.settings.filter = true;
    QTest::keyClick(box()->lineEdit(), Qt::Key_A);
    EXPECT_TRUE(history().isEmpty());
    EXPECT_TRUE(box()->currentText().isEmpty());
}

TEST_F(AnalyserFormTest, EnterInTheFieldAnalyses) {
    type("8051");
    QTest::keyClick(box()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(rows(), (QStringList{"factor1 is Prime=97", "factor2 is Prime=83"}));
    EXPECT_EQ(history(), QStringList{"8051"});
}

TEST_F(AnalyserFormTest, ActivationSortsTheHistoryWhenTheOptionIsOn) {
    analyse("9");
    analyse("15");
    analyse("100");
    fake.settings.sort = true;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    EXPECT_EQ(history(), (QStringList{"100", "15", "9"}));
    analyse("12");
    EXPECT_EQ(history(), (QStringList{"100", "12", "15", "9"}));
    fake.settings.sort = false;
    QApplication::sendEvent(&form, &activate);
    analyse("10");
    EXPECT_EQ(history(), (QStringList{"100", "12", "15", "9", "10"}));
}

TEST_F(AnalyserFormTest, MathExpressionOffLeavesPanelEmpty) {
    get<QCheckBox>("MathCheckBox")->click();
    analyse("8051");
    EXPECT_EQ(rows(), (QStringList{"factor1 is Prime=97", "factor2 is Prime=83"}));
    EXPECT_TRUE(expression().isEmpty());
}

TEST_F(AnalyserFormTest, EditionModeMakesOutputsEditable) {
    auto* rich = get<QTextEdit>("RichEdit1");
    EXPECT_TRUE(rich->isReadOnly());
    get<QCheckBox>("EditionCheck")->click();
    EXPECT_FALSE(rich->isReadOnly());
    EXPECT_NE(grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    get<QCheckBox>("EditionCheck")->click();
    EXPECT_TRUE(rich->isReadOnly());
    EXPECT_EQ(grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(AnalyserFormTest, MathExpressionStateIsStoredOnHideAndReadOnOpen) {
    EXPECT_TRUE(form.prepareToOpen());   // no key yet: the default stays
    EXPECT_TRUE(get<QCheckBox>("MathCheckBox")->isChecked());
    EXPECT_FALSE(fake.store.keyExists());
    form.show();
    get<QCheckBox>("MathCheckBox")->click();
    form.hide();
    ASSERT_TRUE(fake.store.open(false));
    EXPECT_FALSE(fake.store.readBool("ME"));
    fake.store.writeBool("ME", true);
    fake.store.close();
    EXPECT_TRUE(form.prepareToOpen());
    EXPECT_TRUE(get<QCheckBox>("MathCheckBox")->isChecked());

    fake.store.open(true);
    fake.store.writeText("ME", "yes");
    fake.store.close();
    EXPECT_FALSE(form.prepareToOpen());
    EXPECT_EQ(fake.platform.errors, QStringList{"Invalid data type for 'ME'"});
    EXPECT_TRUE(get<QCheckBox>("MathCheckBox")->isChecked());
}

TEST_F(AnalyserFormTest, CancelledAnalysisLeavesWindowAsBefore) {
    analyse("8051");
    fake.platform.cancelProgress = true;
    analyse("300000000000000001940000000000000002091");
    EXPECT_EQ(rows(), (QStringList{"factor1 is Prime=97", "factor2 is Prime=83"}));
    EXPECT_EQ(expression(), "97*83");
    EXPECT_EQ(history(), QStringList{"8051"});
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

}  // namespace

namespace {

// Measured on the shown window: every caption whole, nothing overlapping the method group.
TEST_F(AnalyserFormTest, CaptionsAndRowLabelsAreShownWhole) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect group = get<QWidget>("MethodGroup")->geometry();
    for (const char* name : {"MathCheckBox", "EditionCheck"}) {
        auto* check = get<QCheckBox>(name);
        EXPECT_GE(check->width(), check->sizeHint().width()) << name;
        EXPECT_LE(check->geometry().right(), group.left()) << name;
    }
    for (QRadioButton* b : get<QWidget>("MethodGroup")->findChildren<QRadioButton*>())
        EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
    choose("Prime generator");
    analyse("100");
    ASSERT_EQ(grid()->item(0, 0)->text(), "Next prime is");
    const int label = grid()->fontMetrics().horizontalAdvance("Next prime is");
    EXPECT_GE(grid()->columnWidth(0), label);
}

}  // namespace
