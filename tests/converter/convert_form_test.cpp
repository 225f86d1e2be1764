// The converter window driven through its controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/fake_services.h"
#include "tools/converter/convert_form.h"

namespace {

class ConvertFormTest : public ToolWindowTest<TConvertForm> {
protected:

    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QLineEdit* edit(const char* name) {
        auto* e = form.findChild<QLineEdit*>(name);
        EXPECT_NE(e, nullptr) << name;
        return e;
    }
    QPushButton* button(const char* name) { return form.findChild<QPushButton*>(name); }
    QCheckBox* check(const char* name) { return form.findChild<QCheckBox*>(name); }
    // Clicks into the field, clears it and types; long texts are pasted as a user would.
    void type(const char* name, const QString& text) {
        QLineEdit* e = edit(name);
        QTest::mouseClick(e, Qt::LeftButton);
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(e, Qt::Key_Delete);
        if (text.size() <= 300) {
            QTest::keyClicks(e, text);
        } else {
            fake.platform.clipboard = text;
            e->insert(text);   // the paste of a long text
        }
    }
    QStringList fields() { return {edit("IEdit")->text(), edit("MEdit")->text(), edit("FEdit")->text()}; }
    void setFields(const QString& i, const QString& m, const QString& f) {
        type("IEdit", i);
        type("MEdit", m);
        type("FEdit", f);
    }
};

TEST_F(ConvertFormTest, StartsAsDesigned) {
    EXPECT_EQ(form.windowTitle(), "Convertor");
    EXPECT_EQ(form.height(), 103);
    EXPECT_TRUE(check("CheckBox1")->isChecked());
    EXPECT_TRUE(check("CheckBox2")->isChecked());
    EXPECT_FALSE(check("CheckBox3")->isChecked());
    EXPECT_EQ(edit("IEdit")->toolTip(), " < E2500");
    EXPECT_EQ(edit("MEdit")->toolTip(), "'M'a  +/- b     ( < 200 characters )");
    EXPECT_EQ(edit("FEdit")->toolTip(), "'F'a  +/- b     ( < 50 characters )");
    for (const char* name : {"BitBtn4", "BitBtn1", "BitBtn2"}) EXPECT_NE(button(name), nullptr) << name;
}

TEST_F(ConvertFormTest, IntegerToItsMersenneFormWithTheFermatRowEmptied) {
    setFields("127", "", "something");
    button("BitBtn4")->click();
    EXPECT_EQ(fields(), (QStringList{"127", "M7", ""}));
    check("CheckBox3")->click();
    button("BitBtn4")->click();
    EXPECT_EQ(fields(), (QStringList{"127", "M7", "F2+110"}));
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(ConvertFormTest, FromTheExpressionsAndTheUncheckedRows) {
    setFields("55", "M7+1", "F9");
    button("BitBtn1")->click();
    EXPECT_EQ(fields(), (QStringList{"128", "M7+1", ""}));
    check("CheckBox1")->click();
    button("BitBtn1")->click();
    EXPECT_EQ(fields(), (QStringList{"", "M7+1", ""}));
    check("CheckBox1")->click();
    type("FEdit", "F5");
    button("BitBtn2")->click();
    EXPECT_EQ(fields(), (QStringList{"4294967297", "M32+2", "F5"}));
}

TEST_F(ConvertFormTest, LengthLimitsRefuseAndChangeNothing) {
    struct Row { const char* button; const char* field; QString accepted, refused; const char* message; };
    const Row rows[] = {
        {"BitBtn4", "IEdit", QString(2500, '7'), QString(2501, '7'),
         "Please, note that integers with  more than 2500 digits are not supported yet."},
        {"BitBtn1", "MEdit", "M7+" + QString(196, '0') + "1", "M7+" + QString(197, '0') + "1",
         "Please, the Mersenne expression may not exceed 200 characters."},
        {"BitBtn2", "FEdit", "F2+" + QString(46, '0') + "3", "F2+" + QString(47, '0') + "3",
         "Please, the Fermat expression may not exceed 50 characters."},
    };
    check("CheckBox3")->click();
    for (const Row& r : rows) {
        setFields("1", "M1", "F1");
        type(r.field, r.refused);
        const QStringList before = fields();
        fake.platform.messages.clear();
        button(r.button)->click();
        EXPECT_EQ(fake.platform.messages, QStringList{r.message}) << r.field;
        EXPECT_EQ(fields(), before) << r.field;

        type(r.field, r.accepted);
        button(r.button)->click();
        EXPECT_EQ(fake.platform.messages, QStringList{r.message}) << r.field;   // no further message
        EXPECT_NE(fields(), before) << r.field;
        EXPECT_EQ(edit(r.field)->text(), r.accepted) << "the source field is never rewritten";
    }
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(ConvertFormTest, ConversionFailuresReachTheErrorBoxAndChangeNothing) {
    struct Row { const char* button; const char* field; const char* text; const char* error; };
    const Row rows[] = {{"BitBtn4", "IEdit", "", "'' is not a valid integer value"},
                        {"BitBtn4", "IEdit", "12a", "'12a' is not a valid integer value"},
                        {"BitBtn1", "MEdit", "M7+", "'' is not a valid integer value"},
                        {"BitBtn2", "FEdit", "F", "'' is not a valid integer value"}};
    for (const Row& r : rows) {
        setFields("5", "M2+2", "F1");
        type(r.field, r.text);
        const QStringList before = fields();
        fake.platform.errors.clear();
        button(r.button)->click();
        EXPECT_EQ(fake.platform.errors, QStringList{r.error}) << r.text;
        EXPECT_EQ(fields(), before) << r.text;
    }
}

TEST_F(ConvertFormTest, EnterConvertsFromTheFieldLastClicked) {
    setFields("127", "M5", "F1");
    QTest::mouseClick(edit("MEdit"), Qt::LeftButton);
    QTest::keyClick(edit("MEdit"), Qt::Key_Return);
    EXPECT_EQ(fields(), (QStringList{"31", "M5", ""}));
    EXPECT_TRUE(button("BitBtn1")->isDefault());
    EXPECT_FALSE(button("BitBtn4")->isDefault());

    QTest::mouseClick(edit("IEdit"), Qt::LeftButton);
    QTest::keyClick(edit("IEdit"), Qt::Key_Return);
    EXPECT_EQ(fields(), (QStringList{"31", "M5", ""}));
    EXPECT_TRUE(button("BitBtn4")->isDefault());

    type("FEdit", "F2");
    QTest::keyClick(edit("IEdit"), Qt::Key_Enter);   // Enter in another field still presses the default
    EXPECT_EQ(fields(), (QStringList{"17", "M4+2", "F2"}));
    EXPECT_TRUE(button("BitBtn2")->isDefault());
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(ConvertFormTest, ResizingKeepsTheHeight) {
    form.resize(420, 300);
    EXPECT_EQ(form.height(), 103);
    EXPECT_EQ(form.width(), 420);
}

TEST_F(ConvertFormTest, TheLargestFermatNumberFillsTheIntegerField) {
    type("FEdit", "F20");
    button("BitBtn2")->click();
    EXPECT_EQ(edit("IEdit")->text().size(), 315653);
    EXPECT_TRUE(edit("IEdit")->text().endsWith("9137"));   // 2^1048576 + 1 ends in ...9137
    EXPECT_EQ(edit("MEdit")->text(), "M1048576+2");
    EXPECT_TRUE(fake.platform.errors.isEmpty());

    // A cancelled conversion leaves every field as it was.
    setFields("5", "M2+2", "F20-1");
    fake.platform.cancelProgress = true;
    button("BitBtn2")->click();
    EXPECT_EQ(fields(), (QStringList{"5", "M2+2", "F20-1"}));
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

// Enter converts from the field that has the focus, however it got there: a click, or Tab.
TEST_F(ConvertFormTest, EnterConvertsFromTheFieldReachedByTab) {
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::mouseClick(edit("IEdit"), Qt::LeftButton);
    QTest::keyClicks(edit("IEdit"), "100");
    QTest::keyClick(edit("IEdit"), Qt::Key_Return);
    const QString mersenneOf100 = edit("MEdit")->text();
    ASSERT_FALSE(mersenneOf100.isEmpty());
    for (int i = 0; i < 6 && !edit("MEdit")->hasFocus(); ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(edit("MEdit")->hasFocus());
    QTest::keyClick(edit("MEdit"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit("MEdit"), "M5");
    QTest::keyClick(edit("MEdit"), Qt::Key_Return);
    EXPECT_EQ(edit("MEdit")->text(), "M5");   // kept: the conversion came from it
    EXPECT_EQ(edit("IEdit")->text(), "31");
    // Back with Shift+Tab to the integer row: Enter converts from it again.
    for (int i = 0; i < 6 && !edit("IEdit")->hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(edit("IEdit")->hasFocus());
    QTest::keyClick(edit("IEdit"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit("IEdit"), "100");
    QTest::keyClick(edit("IEdit"), Qt::Key_Return);
    EXPECT_EQ(edit("IEdit")->text(), "100");
    EXPECT_EQ(edit("MEdit")->text(), mersenneOf100);
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

}  // namespace
