// The Super Calculator driven through its controls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/fake_services.h"
#include "tools/calculator/calc_form.h"

namespace {

class CalcFormTest : public ::testing::Test {
protected:
    FakeServices fake;
    FakePlatform& platform = fake.platform;
    TCalcForm form{fake.services};

    QComboBox* box(const char* name) { return form.findChild<QComboBox*>(name); }
    QLineEdit* result() { return form.findChild<QLineEdit*>("ResEdit"); }
    void setOperands(const QString& a, const QString& b) {
        box("EditA")->setEditText(a);
        box("EditB")->setEditText(b);
    }
    QString press(const char* button) {
        form.findChild<QPushButton*>(button)->click();
        return result()->text();
    }
};

TEST_F(CalcFormTest, FourOperationsOnSmallNumbers) {
    setOperands("123", "456");
    EXPECT_EQ(press("BitBtn3"), "3");
    EXPECT_EQ(press("BitBtn4"), "579");
    EXPECT_EQ(press("BitBtn5"), "-333");
    EXPECT_EQ(press("BitBtn6"), "56088");
    EXPECT_EQ(press("BitBtn6"), "56088");   // pressing again shows the same, nothing accumulates
    EXPECT_TRUE(platform.errors.isEmpty());
}

TEST_F(CalcFormTest, SignsLeadingZerosAndZeroResults) {
    struct Row { const char* a; const char* b; const char* button; const char* shown; };
    const Row rows[] = {
        {"-7", "3", "BitBtn4", "-4"}, {"-7", "3", "BitBtn6", "-21"},
        {"000123", "456", "BitBtn4", "579"}, {"5", "5", "BitBtn5", "0"},
        {"-5", "-5", "BitBtn5", "-0"}, {"12", "-4", "BitBtn3", "-4"}, {"7", "0", "BitBtn3", "7"},
    };
    for (const Row& r : rows) {
        setOperands(r.a, r.b);
        EXPECT_EQ(press(r.button), r.shown) << r.a << " " << r.button << " " << r.b;
    }
}

TEST_F(CalcFormTest, TwoHundredNinesGiveWholeResults) {
    const QString nines(200, '9');
    setOperands(nines, nines);
    EXPECT_EQ(press("BitBtn4"), "1" + QString(199, '9') + "8");
    const QString product = press("BitBtn6");
    EXPECT_EQ(product.size(), 400);
    EXPECT_EQ(product, QString(199, '9') + "8" + QString(199, '0') + "1");
}

TEST_F(CalcFormTest, BadOperandKeepsResultAndReportsTheConversion) {
    setOperands("10", "20");
    press("BitBtn4");
    setOperands("10", "");
    EXPECT_EQ(press("BitBtn6"), "30");
    ASSERT_EQ(platform.errors.size(), 1);
    EXPECT_EQ(platform.errors[0], "'' is not a valid integer value");
    setOperands("12a", "-");   // A is converted first, so A names the error
    press("BitBtn3");
    EXPECT_EQ(platform.errors.last(), "'12a' is not a valid integer value");
    EXPECT_EQ(result()->text(), "30");
}

TEST_F(CalcFormTest, FieldsRefuseThe201stCharacter) {
    form.show();
    for (const char* name : {"EditA", "EditB"}) {
        QLineEdit* edit = box(name)->lineEdit();
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QString(200, '7'));
        QTest::keyClick(edit, Qt::Key_8);
        EXPECT_EQ(edit->text(), QString(200, '7')) << name;
    }
}

TEST_F(CalcFormTest, ControlsCarryTheirNamesCaptionsAndHints) {
    EXPECT_EQ(form.windowTitle(), "Super Calculator");
    EXPECT_EQ(form.findChild<QPushButton*>("BitBtn5")->toolTip(), "Perform a substraction");
    EXPECT_EQ(form.findChild<QPushButton*>("BitBtn6")->text(), "A x B =");
    EXPECT_EQ(box("EditA")->toolTip(), " < E200");
    EXPECT_EQ(result()->toolTip(), "The results are here");
    EXPECT_TRUE(result()->isReadOnly());
}

}  // namespace
