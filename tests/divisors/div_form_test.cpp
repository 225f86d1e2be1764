// The divisor finder driven through its controls: searches, texts, histories, list files,
// the stored size.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "tests/fake_services.h"
#include "tools/divisors/div_form.h"
#include "ui/number_box.h"

// Lets failure messages name texts (found by argument-dependent lookup: QString is global).
inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << text.toStdString(); }

namespace {

const QString kBlack = QStringLiteral("#000000"), kRed = QStringLiteral("#ff0000");

class DivFormTest : public ToolWindowTest<TDivForm> {
protected:

    QComboBox* box() { return form.findChild<QComboBox*>("ComboBox1"); }
    QTreeView* tree() { return form.findChild<QTreeView*>("DividersTree"); }
    QAbstractItemModel* model() { return tree()->model(); }
    QModelIndex top(int row) { return model()->index(row, 0); }
    QModelIndex child(int row) { return model()->index(0, 0, top(row)); }
    static QString text(const QModelIndex& i) { return i.data().toString(); }
    static QIcon icon(const QModelIndex& i) { return i.data(Qt::DecorationRole).value<QIcon>(); }
    QLabel* label() { return form.findChild<QLabel*>("Label2"); }
    QPushButton* button(const char* name) { return form.findChild<QPushButton*>(name); }
    QString labelColor() { return label()->palette().color(QPalette::WindowText).name(); }
    QString path(const QString& name) { return fake.dir.filePath(name); }

    void type(const QString& text) {
        box()->lineEdit()->selectAll();
        QTest::keyClick(box()->lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(box()->lineEdit(), text);
    }
    void find(const QString& text) {
        type(text);
        QTest::mouseClick(button("FindButton"), Qt::LeftButton);
    }
    // The tree in order, each child after its parent and indented by a tab per level.
    QStringList entries() {
        QStringList out;
        std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& parent, int depth) {
            for (int i = 0; i < model()->rowCount(parent); ++i) {
                const QModelIndex item = model()->index(i, 0, parent);
                EXPECT_EQ(item.parent(), parent);
                out << QString(depth, QLatin1Char('\t')) + text(item);
                walk(item, depth + 1);
            }
        };
        walk(QModelIndex(), 0);
        return out;
    }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const QString& name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void save(const QString& name) {
        fake.platform.saveAnswers.push_back(path(name));
        button("BitBtn2")->click();
    }
    void load(const QString& name) {
        fake.platform.saveAnswers.push_back(path(name));   // the fake answers both dialogs from one script
        button("BitBtn6")->click();
    }
    QString incompatible(const QString& name) {
        return "Sorry, the file: " + QFileInfo(path(name)).absoluteFilePath() + " is not compatible format !";
    }
};

TEST_F(DivFormTest, SmallNumbersGiveTheirDivisorPairs) {
    struct Row { const char* typed; QStringList tree; const char* line; };
    const Row rows[] = {
        {"100", {"2", "\t50", "4", "\t25", "5", "\t20", "10 (Square root)"}, "We\"ve found 7 dividers"},
        {"12", {"2", "\t6", "3", "\t4"}, "We\"ve found 4 dividers"},
        {"6", {"2", "\t3"}, "We\"ve found 2 dividers"},
        {"10", {"2", "\t5"}, "We\"ve found 2 dividers"},
        {"4", {"2 (Square root)"}, "We\"ve found 1 dividers"},
        {"49", {"7 (Square root)"}, "We\"ve found 1 dividers"},
        {"999999943999999559", {"999999937", "\t1000000007"}, "We\"ve found 2 dividers"},
    };
    for (const Row& r : rows) {
        find(r.typed);
        EXPECT_EQ(entries(), r.tree) << r.typed;
        EXPECT_EQ(label()->text(), r.line) << r.typed;
        EXPECT_EQ(labelColor(), kBlack) << r.typed;
        EXPECT_EQ(box()->currentText(), r.typed);
    }
    EXPECT_EQ(fake.platform.beeps, 0);
    EXPECT_TRUE(fake.platform.messages.isEmpty());
    EXPECT_TRUE(fake.histories.primes.isEmpty());
    EXPECT_TRUE(fake.platform.errors.isEmpty());
    // The pictures: none on a divisor, the co-divisor's on a child, the root's on a square root.
    find("100");
    EXPECT_TRUE(icon(top(0)).isNull());
    EXPECT_FALSE(icon(child(0)).isNull());
    EXPECT_FALSE(icon(top(3)).isNull());
    EXPECT_NE(icon(child(0)).cacheKey(), icon(top(3)).cacheKey());
}

TEST_F(DivFormTest, APrimeIsAnnouncedAndAddedToThePrimeHistoryOnce) {
    find("97");
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(label()->text(), "We\"ve found a prime number !");
    EXPECT_EQ(labelColor(), kRed);
    EXPECT_EQ(fake.platform.beeps, 1);
    EXPECT_EQ(fake.platform.messages, QStringList{"The number: \"97\" is Prime !"});
    EXPECT_EQ(fake.histories.primes, QStringList{"97"});
    find("97");
    EXPECT_EQ(fake.platform.beeps, 2);
    EXPECT_EQ(fake.platform.messages.size(), 2);
    EXPECT_EQ(fake.histories.primes, QStringList{"97"});

    fake.settings.messages = false;
    fake.settings.addPrime = false;
    find("999999999999999989");
    EXPECT_EQ(label()->text(), "We\"ve found a prime number !");
    EXPECT_EQ(fake.platform.beeps, 3);
    EXPECT_EQ(fake.platform.messages.size(), 2);
    EXPECT_EQ(fake.histories.primes, QStringList{"97"});
    find("12");   // black again after red
    EXPECT_EQ(labelColor(), kBlack);
}

TEST_F(DivFormTest, HighlyCompositeNumbersFillTheWholeTree) {
    struct Row { const char* typed; int entries; };
    for (const Row& r : {Row{"720720", 238}, Row{"897612484786617600", 103678}}) {
        find(r.typed);
        const QStringList all = entries();
        EXPECT_EQ(all.size(), r.entries) << r.typed;
        EXPECT_EQ(label()->text(), QString("We\"ve found %1 dividers").arg(r.entries));
        // Increasing divisors, each with its co-divisor, their product the number.
        const qulonglong w = QString(r.typed).toULongLong();
        qulonglong previous = 1;
        for (int i = 0; i < model()->rowCount(); ++i) {
            const qulonglong e = text(top(i)).toULongLong();
            ASSERT_GT(e, previous) << text(top(i));
            ASSERT_EQ(model()->rowCount(top(i)), 1);
            ASSERT_EQ(e * text(child(i)).toULongLong(), w) << text(top(i));
            previous = e;
        }
    }
}

TEST_F(DivFormTest, FieldShowsTheNumberSearched) {
    struct Row { const char* typed; const char* shown; QStringList tree; };
    const Row rows[] = {
        {"10.5", "10.5", {"2", "\t5"}},
        {"1e2", "100", {"2", "\t50", "4", "\t25", "5", "\t20", "10 (Square root)"}},
        {" 0012 ", "12", {"2", "\t6", "3", "\t4"}},
        {"12.0", "12", {"2", "\t6", "3", "\t4"}},
    };
    for (const Row& r : rows) {
        find(r.typed);
        EXPECT_EQ(box()->currentText(), r.shown) << r.typed;
        EXPECT_EQ(entries(), r.tree) << r.typed;
    }
    EXPECT_EQ(HistoryItems(box()), (QStringList{"10.5", "100", "12", "12"}));
}

TEST_F(DivFormTest, NumbersBeyondTenToTheEighteenAreSearchedAsTenToTheEighteen) {
    find("1e19");
    EXPECT_EQ(box()->currentText(), "1000000000000000000");
    EXPECT_EQ(label()->text(), "We\"ve found 359 dividers");
    EXPECT_EQ(text(child(0)), "500000000000000000");
    // Longer than the 18 characters one may type: pasted.
    box()->setEditText("5000000000000000000");
    button("FindButton")->click();
    EXPECT_EQ(box()->currentText(), "1000000000000000000");
    EXPECT_EQ(entries().size(), 359);
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(DivFormTest, TextThatIsNoNumberChangesNothing) {
    find("12");
    const QStringList before = entries();
    for (const char* bad : {"abc", "   ", "12a", "1e", "--5"}) {
        type(bad);
        button("FindButton")->click();
        EXPECT_EQ(fake.platform.errors.last(), QString("'%1' is not a valid floating point value").arg(bad));
        EXPECT_EQ(entries(), before) << bad;
        EXPECT_EQ(label()->text(), "We\"ve found 4 dividers");
        EXPECT_EQ(box()->currentText(), bad);
    }
    EXPECT_EQ(HistoryItems(box()), QStringList{"12"});
    EXPECT_EQ(fake.platform.errors.size(), 5);
}

TEST_F(DivFormTest, TheEmptyFieldGivesTheConversionErrorBeforeAnyTyping) {
    ASSERT_TRUE(button("FindButton")->isEnabled());
    button("FindButton")->click();
    EXPECT_EQ(fake.platform.errors, QStringList{"'' is not a valid floating point value"});
    EXPECT_TRUE(label()->text().isEmpty());
}

TEST_F(DivFormTest, NumbersBelowTwoAreNeitherPrimeNorDivided) {
    for (const char* typed : {"1", "0", "-12", "1.5", "-1e30"}) {
        find(typed);
        EXPECT_TRUE(entries().isEmpty()) << typed;
        EXPECT_EQ(label()->text(), "We\"ve found 0 dividers") << typed;
        EXPECT_EQ(labelColor(), kBlack);
    }
    EXPECT_EQ(box()->currentText(), "-1000000000000000000000000000000");
    EXPECT_EQ(fake.platform.beeps, 0);
    EXPECT_TRUE(fake.platform.messages.isEmpty());
    EXPECT_TRUE(fake.histories.primes.isEmpty());
}

TEST_F(DivFormTest, HistoryCollectsSearchesOnlyWhenEnabled) {
    find("12");
    find("12");
    EXPECT_EQ(HistoryItems(box()), (QStringList{"12", "12"}));
    fake.settings.history = false;
    find("30");
    EXPECT_EQ(HistoryItems(box()), (QStringList{"12", "12"}));
    EXPECT_EQ(box()->currentText(), "30");
}

TEST_F(DivFormTest, ExpandAndCollapse) {
    find("100");
    EXPECT_FALSE(tree()->isExpanded(top(0)));
    button("ExpandButton")->click();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(tree()->isExpanded(top(i)));
    button("BitBtn5")->click();
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(tree()->isExpanded(top(i)));
    fake.settings.expand = true;
    find("12");
    EXPECT_TRUE(tree()->isExpanded(top(0)));
    EXPECT_TRUE(tree()->isExpanded(top(1)));
}

TEST_F(DivFormTest, CopiesTheSelectedEntryAsShown) {
    form.show();
    find("100");
    auto* copy = form.findChild<QAction*>("Copyfactor1");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->text(), "&Copy the selected factor");
    fake.platform.clipboard = "before";
    copy->trigger();   // nothing selected
    EXPECT_EQ(fake.platform.clipboard, "before");
    const QModelIndex root = top(3);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualRect(root).center());
    ASSERT_TRUE(tree()->selectionModel()->isSelected(root));
    copy->trigger();
    EXPECT_EQ(fake.platform.clipboard, "10 (Square root)");
    button("ExpandButton")->click();
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualRect(child(1)).center());
    copy->trigger();
    EXPECT_EQ(fake.platform.clipboard, "25");
}

TEST_F(DivFormTest, ImportAppendsTheTestersHistoryAndEraseKeepsTheText) {
    find("12");
    fake.histories.tester = {"12", "97", "5"};
    button("ImportButton")->click();
    EXPECT_EQ(HistoryItems(box()), (QStringList{"12", "12", "97", "5"}));
    EXPECT_EQ(box()->currentText(), "12");
    button("BitBtn1")->click();
    EXPECT_EQ(box()->count(), 0);
    EXPECT_EQ(box()->currentText(), "12");
    button("ImportButton")->click();   // into an empty list: the field still keeps its text
    EXPECT_EQ(HistoryItems(box()), (QStringList{"12", "97", "5"}));
    EXPECT_EQ(box()->currentText(), "12");
}

TEST_F(DivFormTest, FindButtonFollowsTheFieldAndExplainsItself) {
    QPushButton* findButton = button("FindButton");
    EXPECT_EQ(findButton->toolTip(), "Find all dividers");
    EXPECT_TRUE(findButton->isDefault());
    form.show();
    type("42");
    EXPECT_TRUE(findButton->isEnabled());
    QTest::mouseMove(findButton);
    EXPECT_EQ(findButton->toolTip(), "Find all divisors for 42");
    type("");
    EXPECT_FALSE(findButton->isEnabled());
    QTest::mouseMove(findButton, QPoint(3, 3));
    EXPECT_EQ(findButton->toolTip(), "Type a number above, then click here to get all its divisors");
    type("1");
    EXPECT_TRUE(findButton->isEnabled());
}

TEST_F(DivFormTest, EnterInTheFieldSearches) {
    form.show();
    type("12");
    QTest::keyClick(box()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(entries(), (QStringList{"2", "\t6", "3", "\t4"}));
    EXPECT_EQ(HistoryItems(box()), QStringList{"12"});   // one search, not two
    type("");
    QTest::keyClick(box()->lineEdit(), Qt::Key_Return);   // disabled: nothing happens
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(DivFormTest, DigitFilterClearsTextAndHistory) {
    find("12");
    fake.settings.filter = true;
    box()->lineEdit()->selectAll();
    QTest::keyClick(box()->lineEdit(), Qt::Key_Delete);
    QTest::keyClick(box()->lineEdit(), Qt::Key_4, Qt::KeypadModifier);
    EXPECT_EQ(box()->currentText(), "4");
    EXPECT_EQ(box()->count(), 1);
    QTest::keyClick(box()->lineEdit(), Qt::Key_A);
    EXPECT_EQ(box()->currentText(), "");
    EXPECT_EQ(box()->count(), 0);
    EXPECT_FALSE(button("FindButton")->isEnabled());
}

TEST_F(DivFormTest, ActivationSortsTheHistoryWhenAsked) {
    for (const char* n : {"9", "10", "100"}) find(n);
    fake.settings.sort = true;
    form.show();
    QApplication::setActiveWindow(&form);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    EXPECT_EQ(HistoryItems(box()), (QStringList{"10", "100", "9"}));
    find("11");   // added at its place while sorted
    EXPECT_EQ(HistoryItems(box()), (QStringList{"10", "100", "11", "9"}));
    EXPECT_EQ(box()->currentText(), "11");
}

TEST_F(DivFormTest, SaveWritesTheTreeAndLoadRestoresTheNumber) {
    find("100");
    save("list.txt");
    EXPECT_EQ(fake.platform.dialogs.last(), "Save thie current dividers' list into...|Divisors list of 100");
    EXPECT_EQ(readFile("list.txt"), QByteArray("2\r\n\t50\r\n4\r\n\t25\r\n5\r\n\t20\r\n10 (Square root)\r\n"));
    EXPECT_EQ(fake.platform.messages.last(),
              "The File: \"" + QFileInfo(path("list.txt")).absoluteFilePath() + "\" was created !");
    find("12");
    save("twelve.txt");
    EXPECT_EQ(readFile("twelve.txt"), QByteArray("2\r\n\t6\r\n3\r\n\t4\r\n"));

    type("777");
    load("list.txt");
    EXPECT_EQ(fake.platform.dialogs.last(), "Load dividers\" list from...|");
    EXPECT_EQ(entries(), (QStringList{"2", "\t50", "4", "\t25", "5", "\t20", "10 (Square root)"}));
    EXPECT_EQ(box()->currentText(), "100");
    EXPECT_EQ(label()->text(), "We\"ve found 4 dividers");   // from the search of 12, untouched
    EXPECT_EQ(HistoryItems(box()), (QStringList{"100", "12"}));
    EXPECT_FALSE(icon(child(0)).isNull());
    EXPECT_FALSE(icon(top(3)).isNull());
    EXPECT_TRUE(icon(top(0)).isNull());
    load("twelve.txt");
    EXPECT_EQ(box()->currentText(), "12");
    EXPECT_EQ(entries().size(), 4);
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(DivFormTest, LoadReadsHandWrittenLists) {
    struct Row { const char* name; QByteArray bytes; const char* number; QStringList tree; };
    const Row rows[] = {
        {"tab.txt", "3\r\n\t7\r\n", "21", {"3", "\t7"}},
        {"unended.txt", "3\n\t7", "21", {"3", "\t7"}},
        {"blanks.txt", "2\r\n 50\r\n4\r\n 25\r\n10 (Square root)\r\n", "100",
         {"2", "\t50", "4", "\t25", "10 (Square root)"}},
        {"cr.txt", "2\r 6\r3\r 4\r", "12", {"2", "\t6", "3", "\t4"}},
        {"indented.txt", "\t\t3\n\t7\n", "21", {"3", "\t7"}},   // the first line is top-level whatever its depth
        {"deep.txt", "2\n\t3\n\t\t4\n5\n", "6", {"2", "\t3", "\t\t4", "5"}},
        {"float.txt", "2.5\n\t4\n", "10", {"2.5", "\t4"}},
        {"exact.txt", "999999937\n\t1000000007\n", "999999943999999559", {"999999937", "\t1000000007"}},
        {"square.txt", "7 (Square root)\r\n", "49", {"7 (Square root)"}},
    };
    for (const Row& r : rows) {
        writeFile(r.name, r.bytes);
        type("1");
        load(r.name);
        EXPECT_EQ(box()->currentText(), r.number) << r.name;
        EXPECT_EQ(entries(), r.tree) << r.name;
    }
    EXPECT_TRUE(fake.platform.messages.isEmpty());
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(DivFormTest, SquareOfAPrimeRoundTrips) {
    find("49");
    save("49.txt");
    EXPECT_EQ(readFile("49.txt"), QByteArray("7 (Square root)\r\n"));
    find("4294967291");   // a prime: empty tree
    load("49.txt");
    EXPECT_EQ(box()->currentText(), "49");
    EXPECT_EQ(entries(), QStringList{"7 (Square root)"});
}

TEST_F(DivFormTest, IncompatibleListsLeaveTheTreeEmpty) {
    struct Row { const char* name; QByteArray bytes; };
    const Row rows[] = {
        {"depth.txt", "2\r\n\t\t50\r\n"}, {"abc.txt", "abc\r\n\t7\r\n"}, {"child.txt", "3\r\n\t7x\r\n"},
        {"alone.txt", "3\r\n5\r\n"}, {"empty.txt", ""}, {"root.txt", "seven (Square root)\r\n"},
        {"binary.txt", QByteArray("\x01\x02\x00\xff", 4)}, {"huge.txt", "1e4000\n\t1e4000\n"},
    };
    for (const Row& r : rows) {
        find("12");
        writeFile(r.name, r.bytes);
        load(r.name);
        EXPECT_TRUE(entries().isEmpty()) << r.name;
        EXPECT_EQ(box()->currentText(), "12") << r.name;
        EXPECT_EQ(fake.platform.messages.last(), incompatible(r.name));
    }
    EXPECT_EQ(fake.platform.messages.size(), 8);
    load("missing.txt");
    EXPECT_EQ(fake.platform.messages.last(), incompatible("missing.txt"));
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(DivFormTest, ThePrimesListIsEmptyAndDoesNotLoad) {
    find("97");
    const int shown = (int)fake.platform.messages.size();
    save("prime.txt");
    EXPECT_EQ(readFile("prime.txt"), QByteArray());
    load("prime.txt");
    EXPECT_EQ(fake.platform.messages.size(), shown + 2);
    EXPECT_EQ(fake.platform.messages.last(), incompatible("prime.txt"));
}

TEST_F(DivFormTest, SaveFailuresAndCancels) {
    find("12");
    const QString bad = path("no/such/folder/list.txt");
    fake.platform.saveAnswers.push_back(bad);
    button("BitBtn2")->click();
    EXPECT_EQ(fake.platform.errors, QStringList{"Cannot create file " + bad});
    EXPECT_TRUE(fake.platform.messages.isEmpty());
    button("BitBtn2")->click();   // cancelled dialog
    button("BitBtn6")->click();
    EXPECT_EQ(entries().size(), 4);
    fake.settings.messages = false;
    save("quiet.txt");
    EXPECT_EQ(readFile("quiet.txt"), QByteArray("2\r\n\t6\r\n3\r\n\t4\r\n"));
    EXPECT_TRUE(fake.platform.messages.isEmpty());
}

// Both dialogs offer "Text files (*.txt)" first and "All files", each pattern shown once.
TEST_F(DivFormTest, TheDialogsShowEachFilterOnce) {
    fake.platform.realDialogs = true;
    find("12");
    form.show();
    for (const char* button_ : {"BitBtn2", "BitBtn6"}) {
        SCOPED_TRACE(button_);
        QStringList filters;
        QString title;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            filters = dialog->nameFilters();
            title = dialog->windowTitle();
            dialog->reject();
        });
        QTest::mouseClick(button(button_), Qt::LeftButton);
        EXPECT_EQ(filters, (QStringList{"Text files (*.txt)", "All files (*.*)"}));
        EXPECT_FALSE(title.isEmpty());
    }
    EXPECT_EQ(entries().size(), 4);   // both cancelled: nothing changed
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(DivFormTest, TheTreeModelKeepsItsContract) {
    // Qt's model checker walks every index after each change and aborts on an inconsistency.
    QAbstractItemModelTester checker(model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    find("720720");
    writeFile("deep.txt", "2\n\t3\n\t\t4\n\t5\n6 (Square root)\n7\n\t8\n");
    load("deep.txt");
    EXPECT_EQ(entries(), (QStringList{"2", "\t3", "\t\t4", "\t5", "6 (Square root)", "7", "\t8"}));
    EXPECT_EQ(model()->index(1, 0, top(0)).parent(), top(0));
    EXPECT_FALSE(model()->index(2, 0, top(0)).isValid());
    EXPECT_FALSE(model()->index(0, 1).isValid());
    find("97");
    EXPECT_EQ(model()->rowCount(), 0);
}

TEST_F(DivFormTest, DeeperTreesSaveWithOneTabPerLevel) {
    writeFile("deep.txt", "2\n\t3\n\t\t4\n5\n");
    load("deep.txt");
    save("again.txt");
    EXPECT_EQ(readFile("again.txt"), QByteArray("2\r\n\t3\r\n\t\t4\r\n5\r\n"));
}

class DivFormSizeTest : public DivFormTest {
protected:
    void store(const char* name, const QVariant& value) {
        ASSERT_TRUE(fake.store.open(true));
        if (value.typeId() == QMetaType::Int) fake.store.writeInteger(name, value.toInt());
        else fake.store.writeText(name, value.toString());
        fake.store.close();
    }
};

TEST_F(DivFormSizeTest, OpeningReadsTheStoredSize) {
    EXPECT_TRUE(form.prepareToOpen());
    EXPECT_EQ(form.size(), QSize(218, 250));
    EXPECT_FALSE(fake.store.keyExists());   // reading never creates the key
    store("WHeight", 400);
    EXPECT_TRUE(form.prepareToOpen());
    EXPECT_EQ(form.size(), QSize(218, 400));
    store("WWidth", 100);   // below the minimum width: raised
    store("WHeight", 300);
    EXPECT_TRUE(form.prepareToOpen());
    EXPECT_EQ(form.size(), QSize(218, 300));
    store("WWidth", 260);
    store("WHeight", 100);
    EXPECT_TRUE(form.prepareToOpen());
    EXPECT_EQ(form.size(), QSize(260, 215));
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(DivFormSizeTest, AStoredValueOfTheWrongTypeStopsTheOpening) {
    store("WWidth", 300);
    store("WHeight", QStringLiteral("tall"));
    fake.settings.import = true;
    fake.histories.tester = {"5"};
    EXPECT_FALSE(form.prepareToOpen());
    EXPECT_EQ(fake.platform.errors, QStringList{"Invalid data type for 'WHeight'"});
    EXPECT_EQ(form.width(), 300);   // read before the failing value
    EXPECT_EQ(box()->count(), 0);   // no import
}

TEST_F(DivFormSizeTest, OpeningImportsWhenAutoImportIsOn) {
    fake.histories.tester = {"5", "6"};
    EXPECT_TRUE(form.prepareToOpen());
    EXPECT_EQ(box()->count(), 0);
    fake.settings.import = true;
    EXPECT_TRUE(form.prepareToOpen());
    EXPECT_EQ(HistoryItems(box()), (QStringList{"5", "6"}));
}

TEST_F(DivFormSizeTest, HidingStoresTheSize) {
    form.show();
    form.resize(300, 320);
    form.close();   // closing only hides
    ASSERT_TRUE(fake.store.open(false));
    EXPECT_EQ(fake.store.readInteger("WWidth"), 300);
    EXPECT_EQ(fake.store.readInteger("WHeight"), 320);
    fake.store.close();
    EXPECT_TRUE(form.prepareToOpen());
    EXPECT_EQ(form.size(), QSize(300, 320));
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(DivFormTest, WindowBasics) {
    EXPECT_EQ(form.objectName(), "DivForm");
    EXPECT_EQ(form.windowTitle(), "All dividers...");
    EXPECT_EQ(form.size(), QSize(218, 250));
    EXPECT_EQ(form.minimumSize(), QSize(218, 215));
    EXPECT_EQ(box()->toolTip(), " < e19");
    EXPECT_EQ(tree()->indentation(), 19);
    struct Row { const char* name; const char* hint; };
    for (const Row& r : {Row{"BitBtn1", "Erase current tool's History"}, Row{"ImportButton", "Import the Tester's History"},
                         Row{"BitBtn2", "Save the current list into a file"}, Row{"BitBtn6", "Load a list from a saved file"},
                         Row{"ExpandButton", "Expand the list"}, Row{"BitBtn5", "Summary"}}) {
        ASSERT_NE(button(r.name), nullptr) << r.name;
        EXPECT_EQ(button(r.name)->toolTip(), r.hint);
    }
    type("1234567890123456789012");
    EXPECT_EQ(box()->currentText(), "123456789012345678");   // 18 characters at most when typed
}

}  // namespace

namespace {

TEST_F(DivFormTest, EighteenDigitCoDivisorsAreShownWholeWithASidewaysScroll) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    find("899999999999999998");   // 2 * 449999999999999999: an 18-digit co-divisor
    tree()->expandAll();
    const QModelIndex longest = tree()->model()->index(0, 0, tree()->model()->index(0, 0));
    const QString text = longest.data().toString();
    ASSERT_EQ(text.size(), 18);
    const QRect cell = tree()->visualRect(longest);
    const int needed = cell.left() + tree()->fontMetrics().horizontalAdvance(text);
    EXPECT_GE(tree()->header()->sectionSize(0), needed - tree()->header()->sectionPosition(0));
    EXPECT_EQ(tree()->textElideMode(), Qt::ElideNone);
    EXPECT_NE(tree()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

// The drop-down list shows its entries whole, so that 999999000000000000 and 999999999000000000
// cannot look alike.
TEST_F(DivFormTest, TheDropDownListIsAsWideAsItsLongestEntry) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    for (const char* n : {"999999000000000000", "999999999000000000"}) AddToHistory(box(), n, false);
    box()->showPopup();
    QAbstractItemView* list = box()->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const int text = list->fontMetrics().horizontalAdvance("999999999000000000");
    EXPECT_GE(list->viewport()->width(), text);
    EXPECT_EQ(list->textElideMode(), Qt::ElideNone);
    box()->hidePopup();
}

}  // namespace
