// The search engine window driven through its controls, as a user drives it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QStringListModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QContextMenuEvent>
#include <QMenu>
#include <QApplication>
#include <QTest>

#include "tests/fake_services.h"
#include "tools/search/search_form.h"
#include "ui/number_box.h"

namespace {

const char* const ReportNames[] = {"Report", "Report2", "Report3", "Report4", "Report5"};
const char* const PartChecks[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"};

class SearchFormTest : public ToolWindowTest<TSearchForm> {
protected:
    QComboBox* low() { return get<QComboBox>("LowInterval"); }
    QComboBox* high() { return get<QComboBox>("HighInterval"); }
    QTabWidget* pages() { return get<QTabWidget>("PageControl1"); }
    QStringList part(int k) {
        return static_cast<QStringListModel*>(get<QListView>(ReportNames[k])->model())->stringList();
    }
    QStringList summary() {
        QStringList lines;
        auto* list = get<QListWidget>("ResumeListBox");
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }
    bool checked(const char* name) { return get<QCheckBox>(name)->isChecked(); }
    // Types a text into a field as the keyboard would.
    void type(QComboBox* box, const QString& text) {
        box->lineEdit()->selectAll();
        QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(box->lineEdit(), text);
    }
    void search(const QString& from, const QString& to) {
        type(low(), from);
        type(high(), to);
        get<QPushButton>("GO")->click();
    }
    // Everything a search changes, to compare before and after.
    QStringList state() {
        QStringList s{form.windowTitle(), low()->currentText(), high()->currentText(),
                      QString::number(low()->count()), QString::number(high()->count())};
        for (int k = 0; k < 5; ++k) {
            s << part(k).join(',') << pages()->tabText(k) << QString::number(pages()->isTabVisible(k));
        }
        s << summary().join('|');
        for (const char* c : {"IntroCheck", "part1Check", "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"})
            s << QString::number(checked(c));
        s << get<QLabel>("SelLabel")->text() << get<QLineEdit>("ValEdit")->text();
        return s;
    }
    void clickRow(int k, int row) {
        auto* view = get<QListView>(ReportNames[k]);
        pages()->setCurrentIndex(k);
        view->resize(200, 300);
        view->scrollTo(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 0)).center());
    }
};

TEST_F(SearchFormTest, CreationState) {
    EXPECT_EQ(form.objectName(), "SearchForm");
    EXPECT_EQ(form.windowTitle(), "Prime numbers Search Engine");
    EXPECT_EQ(low()->currentText(), "2");
    EXPECT_EQ(high()->currentText(), "100");
    EXPECT_EQ(low()->toolTip(), " < E18-1");
    const QStringList captions{"Part 1", "Part 2", "Part 3", "Part 4", "Part 5  "};
    for (int k = 0; k < 5; ++k) {
        EXPECT_FALSE(pages()->isTabVisible(k));
        EXPECT_EQ(pages()->tabText(k), captions[k]);
        EXPECT_EQ(pages()->widget(k)->objectName(), QStringLiteral("TabSheet%1").arg(k + 1));
    }
    EXPECT_EQ(get<QLabel>("SelLabel")->text(), "No Selection");
    EXPECT_TRUE(checked("IntroCheck"));
    EXPECT_EQ(get<QPushButton>("GO")->toolTip(), "Click here in order to start searching...");
    EXPECT_TRUE(get<QPushButton>("GO")->isDefault());
    for (const char* b : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5", "BitBtn6"}) get<QPushButton>(b);
}

TEST_F(SearchFormTest, DefaultSearchFillsPartOneAndTheSummary) {
    get<QPushButton>("GO")->click();
    const QStringList p1 = part(0);
    ASSERT_EQ(p1.size(), 26);
    EXPECT_EQ(p1.first(), "2");
    EXPECT_EQ(p1[24], "97");
    EXPECT_EQ(p1.last(), "Created by Q.D.R");
    EXPECT_TRUE(pages()->isTabVisible(0));
    for (int k = 1; k < 5; ++k) EXPECT_FALSE(pages()->isTabVisible(k));
    for (int k = 0; k < 5; ++k) EXPECT_EQ(pages()->tabText(k), QStringLiteral("Part %1/1").arg(k + 1));
    EXPECT_EQ(pages()->currentIndex(), 0);
    EXPECT_EQ(form.windowTitle(), "Search Engine:  2 < Prime < 100");
    const QString date = QLocale().toString(fake.platform.clock.date(), QLocale::ShortFormat);
    const QStringList want{"Search date: " + date, "Start: 14:30:05", "End: 14:30:05", "Duration: 00:00:00", "",
                           "From: 2", "To:    100", "", "The results are:", " Part 1:   2 - 97", "",
                           " ==> 25 prime number(s) were found.", "", "The estimation was: ", "Legendre-Hadamard: ",
                           " 19 prime number(s) to be found.", "", "There are 8 Twin Prime #s."};
    EXPECT_EQ(summary(), want);
    EXPECT_TRUE(checked("IntroCheck"));
    EXPECT_TRUE(checked("part1Check"));
    for (const char* c : PartChecks) EXPECT_FALSE(checked(c));
    EXPECT_EQ(HistoryItems(low()), QStringList{"2"});
    EXPECT_EQ(HistoryItems(high()), QStringList{"100"});
    get<QPushButton>("GO")->click();   // every search appends, duplicates included
    EXPECT_EQ(HistoryItems(low()), (QStringList{"2", "2"}));
    EXPECT_TRUE(fake.platform.errors.isEmpty());
    EXPECT_TRUE(fake.platform.messages.isEmpty());
}

TEST_F(SearchFormTest, BoundsAreClampedAndWrittenBack) {
    struct Row { const char* from; const char* to; const char* low; const char* high; };
    const Row rows[] = {
        {"0", "100", "2", "100"}, {"1", "100", "2", "100"}, {"50", "10", "50", "51"}, {"2", "-5", "2", "3"},
        {"", "100", "2", "100"}, {"", "", "2", "3"}, {"+5", "20", "5", "20"}, {"-7", "30", "2", "30"},
        {"999999999999999999", "5", "999999999999999999", "1000000000000000000"},
    };
    for (const Row& r : rows) {
        search(r.from, r.to);
        EXPECT_EQ(low()->currentText(), r.low) << r.from << " " << r.to;
        EXPECT_EQ(high()->currentText(), r.high) << r.from << " " << r.to;
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Search Engine:  %1 < Prime < %2").arg(r.low, r.high));
    }
    EXPECT_TRUE(fake.platform.errors.isEmpty());
}

TEST_F(SearchFormTest, NineteenDigitsFromTheTesterHistory) {
    fake.histories.tester = {"5000000000000000000", "9999999999999999999"};
    get<QPushButton>("BitBtn6")->click();
    EXPECT_EQ(high()->currentText(), "100");   // importing keeps the text
    type(low(), "999999999999999980");
    high()->setCurrentIndex(0);                 // chosen from the drop-down
    get<QPushButton>("GO")->click();
    EXPECT_EQ(high()->currentText(), "1000000000000000000");
    EXPECT_EQ(part(0), (QStringList{"999999999999999989", "Created by Q.D.R"}));

    // Out of the 64-bit range: the conversion error, the lists emptied, the rest kept.
    high()->setCurrentIndex(1);   // the estimation preview replaces the summary here
    const QStringList before = summary();
    const QString title = form.windowTitle();
    get<QPushButton>("GO")->click();
    EXPECT_EQ(fake.platform.errors, QStringList{"'9999999999999999999' is not a valid integer value"});
    EXPECT_TRUE(part(0).isEmpty());
    EXPECT_EQ(summary(), before);
    EXPECT_EQ(form.windowTitle(), title);
    EXPECT_TRUE(pages()->isTabVisible(0));
}

TEST_F(SearchFormTest, TextsThatAreNoIntegers) {
    get<QPushButton>("GO")->click();
    get<QCheckBox>("CheckBox1")->setChecked(true);
    for (const char* bad : {"abc", "12 3", "1e5", " ", "--4", "$10", "0x1F", "5 "}) {
        fake.platform.errors.clear();
        type(low(), bad);
        const QStringList before = summary();
        get<QPushButton>("GO")->click();
        EXPECT_EQ(fake.platform.errors, QStringList{QStringLiteral("'%1' is not a valid integer value").arg(bad)}) << bad;
        EXPECT_TRUE(part(0).isEmpty()) << bad;
        EXPECT_FALSE(checked("CheckBox1"));
        EXPECT_EQ(get<QLabel>("SelLabel")->text(), "No item selected");
        EXPECT_EQ(summary(), before) << bad;
        EXPECT_EQ(low()->currentText(), bad);
    }
}

// A failed search empties the lists and the figures that describe them: the tabs' counts.
TEST_F(SearchFormTest, AFailedSearchLeavesNoPartCountsBesideEmptyLists) {
    search("2", "2160553");   // five full parts
    ASSERT_EQ(pages()->tabText(4), "Part 5/5");
    type(low(), "abc");
    get<QPushButton>("GO")->click();
    ASSERT_EQ(fake.platform.errors.size(), 1);
    for (int k = 0; k < 5; ++k) {
        EXPECT_TRUE(part(k).isEmpty()) << k;
        EXPECT_EQ(pages()->tabText(k), QStringLiteral("Part %1/0").arg(k + 1));
        if (k > 0) {
            EXPECT_FALSE(pages()->isTabVisible(k)) << k;
        }
    }
}

TEST_F(SearchFormTest, PartBorders) {
    search("2", "376127");
    EXPECT_EQ(part(0).size(), 32001);
    EXPECT_EQ(part(0)[31999], "376127");
    EXPECT_FALSE(pages()->isTabVisible(1));
    EXPECT_EQ(pages()->tabText(0), "Part 1/1");
    EXPECT_FALSE(checked("CheckBox1"));

    search("2", "376133");
    EXPECT_EQ(part(1), (QStringList{"376133", "Created by Q.D.R"}));
    EXPECT_TRUE(pages()->isTabVisible(1));
    EXPECT_EQ(pages()->tabText(1), "Part 2/2");
    EXPECT_TRUE(checked("CheckBox1"));
    EXPECT_FALSE(checked("CheckBox2"));
    EXPECT_TRUE(summary().contains(" Part 2:   376133 - 376133"));
}

TEST_F(SearchFormTest, TheLimitOfFiveParts) {
    search("2", "2160553");
    EXPECT_TRUE(fake.platform.messages.isEmpty());
    QList<QStringList> exact;
    for (int k = 0; k < 5; ++k) {
        exact << part(k);
        EXPECT_EQ(exact[k].size(), 32001) << k;
        EXPECT_TRUE(pages()->isTabVisible(k));
        EXPECT_EQ(pages()->tabText(k), QStringLiteral("Part %1/5").arg(k + 1));
    }
    for (const char* c : PartChecks) EXPECT_TRUE(checked(c));

    search("2", "2160563");
    EXPECT_EQ(fake.platform.messages, QStringList{"Sorry, you reached the highest limit of Quendra !"});
    for (int k = 0; k < 5; ++k) EXPECT_EQ(part(k), exact[k]) << k;
    const QStringList s = summary();
    EXPECT_TRUE(s.contains("To:    2160563"));
    EXPECT_TRUE(s.contains(" Part 5:   1698089 - 2160553")) << s.join('\n').toStdString();
    EXPECT_TRUE(s.contains(" ==> 160000 prime number(s) were found."));
}

TEST_F(SearchFormTest, AnIntervalWithoutPrimes) {
    get<QPushButton>("GO")->click();
    search("24", "28");
    for (int k = 0; k < 5; ++k) {
        EXPECT_TRUE(part(k).isEmpty());
        EXPECT_EQ(pages()->tabText(k), QStringLiteral("Part %1/0").arg(k + 1));
    }
    EXPECT_TRUE(pages()->isTabVisible(0));   // page 1 stays as it was
    for (int k = 1; k < 5; ++k) EXPECT_FALSE(pages()->isTabVisible(k));
    const QStringList s = summary();
    EXPECT_EQ(s[8], "The results are:");
    EXPECT_EQ(s[9], "");
    EXPECT_EQ(s[10], " ==> 0 prime number(s) were found.");
    EXPECT_EQ(s.last(), "There are 0 Twin Prime #s.");
    EXPECT_TRUE(fake.platform.messages.isEmpty());
}

TEST_F(SearchFormTest, SelectedEntryShowsItsPositionWithinThePart) {
    search("2", "376133");
    clickRow(1, 0);
    EXPECT_EQ(get<QLabel>("SelLabel")->text(), "Item #: 1");
    EXPECT_EQ(get<QLineEdit>("ValEdit")->text(), "376133");
    clickRow(1, 1);   // the credit line
    EXPECT_EQ(get<QLabel>("SelLabel")->text(), "No item selected");
    EXPECT_EQ(get<QLineEdit>("ValEdit")->text(), "");
    clickRow(0, 9);
    EXPECT_EQ(get<QLabel>("SelLabel")->text(), "Item #: 10");
    EXPECT_EQ(get<QLineEdit>("ValEdit")->text(), "29");
}

TEST_F(SearchFormTest, EstimationPreview) {
    struct Row { const char* from; const char* to; QStringList lines; };
    const QStringList head{"", "The estimation is :"};
    const auto est = [&](const char* n) { return head + QStringList{QStringLiteral("=>Legendre-Hadamard: ") + n, " ...prime #s will be found."}; };
    const Row rows[] = {
        {"2", "100", est("19")}, {"2", "1000", est("142")}, {"1", "100", est("0")}, {"100", "2", est("0")},
        {"1e3", "1e4", est("941")}, {"", "100", head + QStringList{"The estimations cannot be done."}},
        {"2", "x", head + QStringList{"The estimations cannot be done."}},
    };
    for (const Row& r : rows) {
        type(low(), r.from);
        type(high(), r.to);
        EXPECT_EQ(summary(), r.lines) << r.from << " " << r.to;
    }
    // With the option off, typing leaves the summary as it is.
    search("2", "100");
    const QStringList after = summary();
    fake.settings.estimate = false;
    type(low(), "7");
    EXPECT_EQ(summary(), after);
    fake.settings.estimate = true;
    type(low(), "3");
    EXPECT_EQ(summary(), est("19"));   // 100 / ln 100 - 3 / ln 3 = 18.98
}

TEST_F(SearchFormTest, TwinCountSwitchedOff) {
    fake.settings.twins = false;
    get<QPushButton>("GO")->click();
    const QStringList s = summary();
    EXPECT_EQ(s.size(), 17);
    EXPECT_EQ(s[15], " 19 prime number(s) to be found.");
    EXPECT_EQ(s.last(), "");
}

TEST_F(SearchFormTest, SaveWritesTheChosenFiles) {
    QTemporaryDir dir;
    const QString base = dir.filePath("Prime numbers list from 2 To 100.txt");
    get<QPushButton>("GO")->click();
    fake.platform.saveAnswers.push_back(base);
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(fake.platform.dialogs, QStringList{"Save the list of prime numbers into...|Prime numbers list from 2 To 100"});
    EXPECT_EQ(fake.platform.messages, QStringList{"OK, the file(s) was/were successfully saved."});
    QDir d(dir.path());
    EXPECT_EQ(d.entryList(QDir::Files, QDir::Name),
              (QStringList{"Prime numbers list from 2 To 100.txt [Part 1].txt",
                           "Prime numbers list from 2 To 100.txt [Summary].txt"}));
    QFile p1(base + " [Part 1].txt");
    ASSERT_TRUE(p1.open(QIODevice::ReadOnly));
    const QByteArray bytes = p1.readAll();
    EXPECT_TRUE(bytes.startsWith("2\r\n3\r\n5\r\n"));
    EXPECT_TRUE(bytes.endsWith("97\r\nCreated by Q.D.R\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 26);
    QFile sum(base + " [Summary].txt");
    ASSERT_TRUE(sum.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(sum.readAll()), summary().join("\r\n") + "\r\n");

    // Without the summary box only the part file, replaced in place; boxes beyond the
    // filled parts count for nothing.
    QFile::remove(base + " [Summary].txt");
    get<QCheckBox>("IntroCheck")->setChecked(false);
    get<QCheckBox>("CheckBox4")->setChecked(true);
    fake.platform.saveAnswers.push_back(base);
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(d.entryList(QDir::Files), QStringList{"Prime numbers list from 2 To 100.txt [Part 1].txt"});
    // Cancelling the dialog writes nothing and says nothing.
    fake.platform.messages.clear();
    get<QPushButton>("BitBtn1")->click();
    EXPECT_TRUE(fake.platform.messages.isEmpty());
}

TEST_F(SearchFormTest, SaveBeforeAnySearchWritesNothingButConfirms) {
    QTemporaryDir dir;
    fake.platform.saveAnswers.push_back(dir.filePath("x.txt"));
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(fake.platform.dialogs, QStringList{"Save the list of prime numbers into...|Prime numbers list from 0 To 0"});
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(fake.platform.messages, QStringList{"OK, the file(s) was/were successfully saved."});
    fake.settings.messages = false;
    fake.platform.messages.clear();
    fake.platform.saveAnswers.push_back(dir.filePath("x.txt"));
    get<QPushButton>("BitBtn1")->click();
    EXPECT_TRUE(fake.platform.messages.isEmpty());
}

TEST_F(SearchFormTest, SaveThatCannotWriteStopsAtThatFile) {
    QTemporaryDir dir;
    get<QPushButton>("GO")->click();
    // A folder that cannot be created (its parent is a file): nothing written at all.
    QFile blocker(dir.filePath("afile"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    fake.platform.saveAnswers.push_back(dir.filePath("afile/list.txt"));
    get<QPushButton>("BitBtn1")->click();
    ASSERT_EQ(fake.platform.errors.size(), 1);
    EXPECT_TRUE(fake.platform.errors[0].startsWith("Cannot create file ")) << fake.platform.errors[0].toStdString();
    EXPECT_TRUE(fake.platform.errors[0].contains("list.txt [Summary].txt"));
    EXPECT_TRUE(fake.platform.messages.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"afile"});

    // The second file fails (a folder holds its name): the summary stays written, no
    // half-written part file, no message.
    const QString base = dir.filePath("list.txt");
    ASSERT_TRUE(QDir(dir.path()).mkdir("list.txt [Part 1].txt"));
    fake.platform.errors.clear();
    fake.platform.saveAnswers.push_back(base);
    get<QPushButton>("BitBtn1")->click();
    ASSERT_EQ(fake.platform.errors.size(), 1);
    EXPECT_TRUE(fake.platform.errors[0].contains("list.txt [Part 1].txt"));
    EXPECT_TRUE(QFileInfo(base + " [Summary].txt").isFile());
    EXPECT_TRUE(QFileInfo(base + " [Part 1].txt").isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 3);
    EXPECT_TRUE(fake.platform.messages.isEmpty());
}

TEST_F(SearchFormTest, HistoryButtonsKeepTheText) {
    fake.histories.tester = {"17", "19"};
    get<QPushButton>("BitBtn4")->click();
    get<QPushButton>("BitBtn4")->click();
    EXPECT_EQ(HistoryItems(low()), (QStringList{"17", "19", "17", "19"}));
    EXPECT_EQ(low()->currentText(), "2");
    EXPECT_TRUE(HistoryItems(high()).isEmpty());
    get<QPushButton>("BitBtn3")->click();
    EXPECT_TRUE(HistoryItems(low()).isEmpty());
    EXPECT_EQ(low()->currentText(), "2");
    get<QPushButton>("BitBtn6")->click();
    EXPECT_EQ(HistoryItems(high()), (QStringList{"17", "19"}));
    get<QPushButton>("BitBtn5")->click();
    EXPECT_TRUE(HistoryItems(high()).isEmpty());
    EXPECT_EQ(high()->currentText(), "100");
}

TEST_F(SearchFormTest, HintOfTheSearchButton) {
    form.show();
    auto* go = get<QPushButton>("GO");
    QTest::mouseMove(go, go->rect().center());
    QMouseEvent move(QEvent::MouseMove, QPointF(go->rect().center()), go->mapToGlobal(QPointF(go->rect().center())),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(go, &move);
    EXPECT_EQ(go->toolTip(), "Start searching all prime numbers \r\nbetween 2 and 100");
    type(high(), "");
    QApplication::sendEvent(go, &move);
    EXPECT_EQ(go->toolTip(), "The both fields are empty, so the search is not possible...");
}

TEST_F(SearchFormTest, DigitFilterClearsOnlyTheFieldTypedIn) {
    get<QPushButton>("GO")->click();
    fake.settings.filter = true;
    QTest::keyClick(low()->lineEdit(), Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(low()->currentText(), "25");
    QTest::keyClick(low()->lineEdit(), Qt::Key_A);
    EXPECT_EQ(low()->currentText(), "");
    EXPECT_EQ(low()->count(), 0);
    EXPECT_EQ(high()->currentText(), "100");
    EXPECT_EQ(high()->count(), 1);
    fake.settings.filter = false;
    QTest::keyClick(high()->lineEdit(), Qt::Key_A);
    EXPECT_EQ(high()->currentText(), "100a");
}

TEST_F(SearchFormTest, CancelLeavesEverythingAsItWas) {
    search("2", "376133");
    clickRow(1, 0);
    fake.settings.estimate = false;   // no preview while typing: the summary stays the search's
    type(low(), "1000000000000");
    type(high(), "1000000100000");
    const QStringList before = state();
    fake.platform.cancelProgress = true;
    get<QPushButton>("GO")->click();
    EXPECT_EQ(fake.platform.progressShown.size(), 2);   // the search ran and was cancelled
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(fake.platform.errors.isEmpty());
    EXPECT_EQ(get<QLabel>("SelLabel")->text(), "Item #: 1");
}

TEST_F(SearchFormTest, PageStyleFollowsTheOptions) {
    EXPECT_FALSE(pages()->documentMode());
    form.setPageStyle(false);
    EXPECT_TRUE(pages()->documentMode());
    EXPECT_FALSE(pages()->tabBar()->styleSheet().isEmpty());
    form.setPageStyle(true);
    EXPECT_FALSE(pages()->documentMode());
    EXPECT_TRUE(pages()->tabBar()->styleSheet().isEmpty());
    fake.settings.tabs = false;
    TSearchForm flat(fake.services);
    EXPECT_TRUE(flat.findChild<QTabWidget*>("PageControl1")->documentMode());
}

TEST_F(SearchFormTest, ActivationSortsTheHistoriesAndEnterSearches) {
    fake.histories.tester = {"9", "10", "100"};
    get<QPushButton>("BitBtn4")->click();
    fake.settings.sort = true;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(HistoryItems(low()), (QStringList{"10", "100", "9"}));
    EXPECT_EQ(low()->currentText(), "2");
    EXPECT_TRUE(low()->lineEdit()->hasFocus());
    type(high(), "30");
    QTest::keyClick(high()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(part(0).size(), 11);   // ten primes up to 29 and the credit line
    EXPECT_EQ(HistoryItems(low()), (QStringList{"10", "100", "2", "9"}));   // sorted insertion
}

// A paste too long for a bound (10^18 has 19 digits) leaves the field as it was and says why,
// by Ctrl+V and by the field's context menu; a paste that fits goes in.
TEST_F(SearchFormTest, ATooLongPasteChangesNothingAndSaysWhy) {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QLineEdit* to = high()->lineEdit();
    to->setFocus();
    to->selectAll();
    fake.platform.clipboard = QStringLiteral("1000000000000000000");
    QTest::keyClick(to, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(high()->currentText(), "100");
    ASSERT_EQ(fake.platform.messages.size(), 1);
    EXPECT_TRUE(fake.platform.messages[0].contains("at most 18 characters")) << fake.platform.messages[0].toStdString();

    // The context menu's Paste.
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, to->rect().center(), to->mapToGlobal(to->rect().center()));
    QApplication::sendEvent(to, &menuEvent);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* paste = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().startsWith("&Paste")) paste = a;
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    menu->close();
    EXPECT_EQ(high()->currentText(), "100");
    EXPECT_EQ(fake.platform.messages.size(), 2);

    fake.platform.clipboard = QStringLiteral("999999999999999999");   // 18 digits fit
    to->selectAll();
    QTest::keyClick(to, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(high()->currentText(), "999999999999999999");
    EXPECT_EQ(fake.platform.messages.size(), 2);
}

// Measured on the shown window: each bound field shows 18 digits whole, and so does the
// caption's number when the search ran up to 10^18.
TEST_F(SearchFormTest, TheBoundFieldsShowTheirLongestTextWhole) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    for (QComboBox* box : {low(), high()}) {
        QLineEdit* e = box->lineEdit();
        const QMargins m = e->textMargins();
        const int room = e->contentsRect().width() - m.left() - m.right() - 4;   // the line edit's own inner margin
        EXPECT_GE(room, e->fontMetrics().horizontalAdvance(QString(18, QLatin1Char('9')))) << box->objectName().toStdString();
    }
    EXPECT_EQ(form.size(), QSize(566, 372));
}

}  // namespace
