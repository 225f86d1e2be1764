// The workbench driven through its controls: generic tester, main window commands, settings
// store, options window and the runner.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <thread>

#include "app/main_form.h"
#include "ui/number_box.h"
#include "ui/runner.h"
#include "app/workbench.h"
#include "options/options_form.h"
#include "tests/workbench_fixture.h"

namespace {

QStringList lines(const QTextEdit* e) {
    QString t = e->toPlainText();
    return t.isEmpty() ? QStringList() : t.split(QLatin1Char('\n'));
}

QStringList items(const QListWidget* l) {
    QStringList r;
    for (int i = 0; i < l->count(); ++i) r << l->item(i)->text();
    return r;
}

QStringList items(const QComboBox* c) {
    QStringList r;
    for (int i = 0; i < c->count(); ++i) r << c->itemText(i);
    return r;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

class WorkbenchTest : public WorkbenchFixture {
protected:
    TOptionsForm& options() { return *wb->options; }
    void test(const QString& text) {
        main().NumberEdit->setEditText(text);
        main().Verifier->click();
    }
};

TEST_F(WorkbenchTest, TestingAPrimeReportsInEveryPlace) {
    test(QStringLiteral("97"));
    EXPECT_EQ(lines(main().RichEdit1), QStringList{"This is a prime number"});
    EXPECT_EQ(items(options().Memo1), QStringList{"97"});
    EXPECT_EQ(items(main().NumberEdit), QStringList{"97"});
    const QStringList note = lines(options().NoteEdit);
    ASSERT_EQ(note.size(), 6);
    EXPECT_TRUE(note[0].startsWith("Date & time: ")) << note[0].toStdString();
    EXPECT_EQ(note[1], "Tested Number: 97");
    EXPECT_EQ(note[2], "Duration of test: " + Platform::longTimeText(QTime(0, 0)));
    EXPECT_EQ(note[3], "Results: Prime");
    EXPECT_EQ(note[4], "Comments: ");
    EXPECT_EQ(note[5], "");
    EXPECT_EQ(main().panel0->text(), "#s Tested today: 1");
    EXPECT_EQ(main().panel1->text(), "Completed in " + Platform::longTimeText(QTime(0, 0)));
    EXPECT_EQ(wb->record.last, "97");
    EXPECT_TRUE(platform.errors.isEmpty());
}

TEST_F(WorkbenchTest, RepeatsAndTextsNotValuesFillTheHistories) {
    test(QStringLiteral("97"));
    test(QStringLiteral("97"));
    EXPECT_EQ(items(main().NumberEdit), QStringList{"97"});
    EXPECT_EQ(items(options().Memo1), QStringList{"97"});
    EXPECT_EQ(wb->record.count, 2);
    EXPECT_EQ(lines(main().RichEdit1).size(), 2);
    test(QStringLiteral("097"));
    EXPECT_EQ(items(options().Memo1), (QStringList{"97", "097"}));
    main().RefBox->setChecked(true);
    test(QStringLiteral("1"));
    test(QStringLiteral("0"));
    EXPECT_EQ(lines(main().RichEdit1), QStringList{"This is composite"});
    EXPECT_EQ(items(options().Memo2), (QStringList{"1", "0"}));
    EXPECT_EQ(lines(options().NoteEdit)[3], "Results: Composite");
    EXPECT_EQ(wb->record.last, "0");
}

TEST_F(WorkbenchTest, EmptyBoxLongPasteAndBadTextChangeNothingButTheirReport) {
    for (int i = 0; i < 3; ++i) test(QString());
    EXPECT_EQ(lines(main().RichEdit1), QStringList(3, "Please type a valid number."));
    EXPECT_EQ(wb->record.count, 0);
    EXPECT_EQ(main().panel0->text(), "No # have been tested yet");
    EXPECT_EQ(main().panel1->text(), "QDR is ready.");
    EXPECT_EQ(options().NoteEdit->toPlainText(), "");

    // A paste that would not fit the box changes nothing and says why.
    platform.clipboard = QString(201, QLatin1Char('7'));
    main().Autoclear1->setChecked(true);
    main().NumberEdit->setEditText(QStringLiteral("5"));
    menu(QStringLiteral("&Paste"));
    EXPECT_EQ(main().NumberEdit->currentText(), "5");
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains("at most 200 characters")) << platform.messages[0].toStdString();
    platform.clipboard = QString(200, QLatin1Char('7'));   // exactly the limit fits
    menu(QStringLiteral("&Paste"));
    EXPECT_EQ(main().NumberEdit->currentText(), QString(200, QLatin1Char('7')));
    main().Autoclear1->setChecked(false);
    platform.clipboard = QStringLiteral("1");   // in front of 200 characters: too long
    menu(QStringLiteral("&Paste"));
    EXPECT_EQ(main().NumberEdit->currentText(), QString(200, QLatin1Char('7')));
    EXPECT_EQ(platform.messages.size(), 2);
    platform.messages.clear();
    // A longer text set by the program is still refused by the test itself.
    main().NumberEdit->setEditText(QString(201, QLatin1Char('7')));
    main().Verifier->click();
    EXPECT_EQ(platform.messages, QStringList{"Please, note that numbers with more than 200 digits are not supported yet."});
    EXPECT_EQ(wb->record.count, 0);

    test(QStringLiteral("12a"));
    EXPECT_EQ(platform.errors, QStringList{"'12a' is not a valid integer value"});
    EXPECT_EQ(wb->record.count, 0);
    EXPECT_EQ(main().NumberEdit->count(), 0);
    EXPECT_EQ(wb->record.last, "12a");                                   // closing steps still ran
    EXPECT_TRUE(main().panel1->text().startsWith("Completed in "));
    EXPECT_EQ(main().panel0->text(), "#s Tested today: 0");
}

TEST_F(WorkbenchTest, SeparatorAndVerdictTextsComeFromTheOptions) {
    options().SepareResult->setChecked(true);
    options().LabeledEdit1->setText(QStringLiteral("P"));
    options().LabeledEdit2->setText(QStringLiteral("C"));
    test(QStringLiteral("7"));
    test(QStringLiteral("8"));
    EXPECT_EQ(lines(main().RichEdit1), (QStringList{"P", QString(39, '~'), "C", QString(39, '~')}));
    EXPECT_EQ(lines(options().NoteEdit)[3], "Results: Composite");
}

TEST_F(WorkbenchTest, DigitFilterClearsBoxAndHistoryOnRefusedKeys) {
    main().show();
    options().FilterCheckBox->setChecked(true);
    test(QStringLiteral("97"));
    QLineEdit* edit = main().NumberEdit->lineEdit();
    QTest::keyRelease(edit, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(main().NumberEdit->currentText(), "97");
    QTest::keyRelease(edit, Qt::Key_5);
    EXPECT_EQ(main().NumberEdit->currentText(), "");
    EXPECT_EQ(main().NumberEdit->count(), 0);
    main().NumberEdit->setEditText(QStringLiteral("5"));
    QTest::keyRelease(edit, Qt::Key_Tab);
    EXPECT_EQ(main().NumberEdit->currentText(), "");
    main().ComboBox1->setEditText(QStringLiteral("31"));
    main().NumberEdit->setEditText(QStringLiteral("9"));
    QTest::keyRelease(main().ComboBox1->lineEdit(), Qt::Key_A);
    EXPECT_EQ(main().ComboBox1->currentText(), "");
    EXPECT_EQ(main().NumberEdit->currentText(), "9");
    EXPECT_EQ(main().Digital->text(), "1 digits");
}

TEST_F(WorkbenchTest, EraseHistoryKeepsTheText) {
    test(QStringLiteral("97"));
    test(QStringLiteral("89"));
    main().findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_EQ(main().NumberEdit->count(), 0);
    EXPECT_EQ(main().NumberEdit->currentText(), "89");
}

TEST_F(WorkbenchTest, CounterCommandsStayWithinTheirBounds) {
    wb->record.count = 30000;
    menu(QStringLiteral("&Increase (+1)"));
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(main().panel0->text(), "#s Tested today: 30000");
    menu(QStringLiteral("&Reset counter"));
    menu(QStringLiteral("&Decrease (-1)"));
    EXPECT_EQ(platform.beeps, 2);
    EXPECT_EQ(main().panel0->text(), "#s Tested today: 0");
    menu(QStringLiteral("&Increase (+1)"));
    EXPECT_EQ(wb->record.count, 1);
}

TEST_F(WorkbenchTest, ClipboardCommands) {
    main().NumberEdit->setEditText(QStringLiteral("123"));
    platform.clipboard = QStringLiteral("45");
    menu(QStringLiteral("&Paste"));
    EXPECT_EQ(main().NumberEdit->currentText(), "45123");
    menu(QStringLiteral("&Copy"));
    EXPECT_EQ(platform.clipboard, "45123");
    menu(QStringLiteral("Cu&t"));
    EXPECT_EQ(platform.clipboard, "45123");
    EXPECT_EQ(main().NumberEdit->currentText(), "");
    EXPECT_EQ(main().Digital->text(), "0 digits");
}

TEST_F(WorkbenchTest, CalculatorHelpAndPanelSaving) {
    platform.calculatorFound = false;
    menu(QStringLiteral("Ca&lculator"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith("Unfortunately, no calculator has been found (looked for: gnome-calculator, kcalc"));
    menu(QStringLiteral("&Help..."));
    ASSERT_EQ(platform.helpOpened.size(), 1);
    EXPECT_TRUE(platform.helpOpened[0].endsWith("help.html"));
    EXPECT_EQ(platform.messages.size(), 1);
    platform.browserFound = false;   // no browser: the message says where the file is
    menu(QStringLiteral("&Help..."));
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_TRUE(platform.messages[1].contains(QDir::toNativeSeparators(platform.helpOpened[1]))) << platform.messages[1].toStdString();
}

// The save-the-panel button: the current directory when it can be written, else the documents
// folder; the status bar names the file, or says why there is none.
TEST_F(WorkbenchTest, SavingThePanelSaysWhereTheFileWent) {
    test(QStringLiteral("97"));
    auto* save = main().findChild<QPushButton*>("BitBtn4");
    auto* status = main().findChild<QLabel*>("Panel1");
    const QString cwd = QDir::currentPath();
    // The name is the date and time of the (fake) clock, made valid as a file name.
    QString name = Platform::dateTimeText(platform.clock) + QStringLiteral(".txt");
    name.replace(QLatin1Char(':'), QLatin1Char('-')).replace(QLatin1Char('/'), QLatin1Char('-'));
    // A current directory that cannot be written, even by root: one removed after entering it.
    QTemporaryDir gone;
    struct Case { QString current; QString expectedDir; };
    platform.docsDir = dir.filePath(QStringLiteral("Documents/"));   // made when missing
    for (const Case& c : {Case{dir.path(), dir.path() + "/"}, Case{gone.path(), platform.docsDir}}) {
        SCOPED_TRACE(c.current.toStdString());
        if (c.current == gone.path()) {
            QDir().mkpath(gone.path());
            QDir::setCurrent(gone.path());
            QDir(gone.path()).removeRecursively();
        } else {
            QDir::setCurrent(c.current);
        }
        QTest::mouseClick(save, Qt::LeftButton);
        QDir::setCurrent(cwd);
        const QString path = c.expectedDir + name;
        const QByteArray rtf = readFile(path);
        EXPECT_TRUE(rtf.startsWith("{\\rtf1")) << path.toStdString();
        EXPECT_TRUE(rtf.contains("This is a prime number\\par"));
        EXPECT_EQ(status->text(), "Panel saved in " + QDir::toNativeSeparators(path));
    }
    EXPECT_TRUE(platform.errors.isEmpty());
    // Neither folder can be written (the documents folder would lie under a file): the status
    // bar and the error box give the failure.
    platform.docsDir = dir.filePath(QStringLiteral("Setup.reg/Documents/"));
    QFile(dir.filePath(QStringLiteral("Setup.reg"))).open(QIODevice::Append);
    QDir().mkpath(gone.path());
    QDir::setCurrent(gone.path());
    QDir(gone.path()).removeRecursively();
    QTest::mouseClick(save, Qt::LeftButton);
    QDir::setCurrent(cwd);
    const QString failure = "Cannot create file " + platform.docsDir + name;
    EXPECT_EQ(platform.errors, QStringList{failure});
    EXPECT_EQ(status->text(), "The panel was not saved: " + failure);
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(WorkbenchTest, ExitQuestionAndMainWindowSettings) {
    platform.answerYes = false;
    EXPECT_FALSE(main().FormCloseQuery());
    EXPECT_EQ(platform.questions, QStringList{"Exit ?|Are you sure you want to close this application ?"});
    main().close();
    EXPECT_FALSE(QFile::exists(settings));   // No: nothing written

    main().Autoclear1->setChecked(true);
    main().RefBox->setChecked(true);
    main().certifgen->setChecked(false);
    main().move(321, 123);
    main().FormClose();
    const QByteArray file = readFile(settings);
    EXPECT_TRUE(file.contains("[HKEY_CURRENT_USER\\Software\\Velorin\\Quendra 4\\Setup]"));
    EXPECT_TRUE(file.contains("\"AutoClear\"=dword:00000001"));
    EXPECT_TRUE(file.contains("\"Certif\"=dword:00000000"));
    EXPECT_FALSE(file.contains("PrimeList"));   // only the five main-window values
    start();
    EXPECT_TRUE(main().Autoclear1->isChecked());
    EXPECT_TRUE(main().RefBox->isChecked());
    EXPECT_FALSE(main().certifgen->isChecked());
    EXPECT_EQ(main().x(), 321);
}

TEST_F(WorkbenchTest, SettingsFileTypesPartialKeysAndNonZeroBooleans) {
    writeFile(settings,
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Velorin\\Quendra 4\\Setup]\n"
              "\"Certif\"=dword:00000005\n\"Message2\"=\"Not prime \\\"at all\\\"\"\n\"Sort\"=dword:00000001\n");
    start();
    EXPECT_TRUE(main().certifgen->isChecked());
    EXPECT_EQ(options().LabeledEdit2->text(), "Not prime \"at all\"");
    EXPECT_EQ(options().LabeledEdit1->text(), "This is a prime number");   // absent: default
    EXPECT_TRUE(options().SortCheckBox->isChecked());
    EXPECT_TRUE(options().PremiersCheckBox->isChecked());
    main().FormClose();
    EXPECT_TRUE(readFile(settings).contains("\"Certif\"=dword:00000001"));
    EXPECT_TRUE(platform.errors.isEmpty());

    // A text where a boolean belongs: the error names it and the later reads do not happen.
    writeFile(settings,
              "[HKEY_CURRENT_USER\\Software\\Velorin\\Quendra 4\\Setup]\n"
              "\"NotPrimeList\"=dword:00000000\n\"Sep\"=\"yes\"\n\"Warn\"=dword:00000000\n");
    start();
    EXPECT_EQ(platform.errors, QStringList{"Invalid data type for 'Sep'"});
    EXPECT_FALSE(options().NonPremiersCheckBox->isChecked());
    EXPECT_TRUE(options().WarnExit->isChecked());

    // Garbage is no settings at all.
    writeFile(settings, QByteArray("\x01\x02garbage\n[unrelated]\n\"Warn\"=dword:zz\n"));
    platform.errors.clear();
    start();
    EXPECT_TRUE(platform.errors.isEmpty());
    EXPECT_TRUE(options().WarnExit->isChecked());
}

TEST_F(WorkbenchTest, OkRestoresEmptyVerdictTextsAndStoresAll) {
    options().LabeledEdit1->clear();
    options().LabeledEdit2->clear();
    options().BtnRadioButton->setChecked(true);
    options().findChild<QPushButton*>("BitBtn5")->click();
    EXPECT_EQ(options().LabeledEdit1->text(), "This is a prime number");
    EXPECT_EQ(options().LabeledEdit2->text(), "This is composite");
    const QByteArray file = readFile(settings);
    EXPECT_TRUE(file.contains("\"Message1\"=\"This is a prime number\""));
    EXPECT_TRUE(file.contains("\"SETabApp\"=dword:00000000"));
    bool tabs = true;
    start();
    QObject::connect(wb->options.get(), &TOptionsForm::pageStyleChanged, [&](bool t) { tabs = t; });
    EXPECT_TRUE(options().BtnRadioButton->isChecked());
    options().TabsRadioButton->click();
    EXPECT_TRUE(tabs);
}

TEST_F(WorkbenchTest, HistoryListsSaveClearAndPrint) {
    test(QStringLiteral("97"));
    test(QStringLiteral("89"));
    const QString path = dir.filePath(QStringLiteral("primes.txt"));
    platform.saveAnswers = {std::nullopt, path};
    options().BitBtn8Click();   // cancelled: nothing written, list unchanged
    options().BitBtn8Click();
    EXPECT_EQ(platform.dialogs[0], "Save the found prime numbers...|prime numbers");
    EXPECT_EQ(readFile(path), "97\r\n89\r\nCreated with Quendra!\r\n");
    EXPECT_EQ(items(options().Memo1), (QStringList{"97", "89"}));

    const QString bad = dir.filePath(QStringLiteral("no/such/dir/x.txt"));
    platform.saveAnswers = {bad};
    options().findChild<QPushButton*>("BitBtn3")->setEnabled(true);
    options().findChild<QPushButton*>("BitBtn3")->click();
    EXPECT_EQ(platform.errors, QStringList{"Cannot create file " + bad});
    EXPECT_FALSE(QFile::exists(bad));
    platform.errors.clear();

    options().findChild<QPushButton*>("PrintPBtn")->click();
    ASSERT_EQ(platform.printed.size(), 1);
    EXPECT_EQ(platform.printed[0], (QStringList{"97", "89"}));
    options().findChild<QPushButton*>("BitBtn2")->click();
    EXPECT_EQ(options().Memo1->count(), 0);
    options().findChild<QPushButton*>("PrintPBtn")->click();
    EXPECT_EQ(platform.messages, QStringList{"The list is empty now, so you cannot print !"});
    platform.printerError = QStringLiteral("There is no default printer currently selected");
    test(QStringLiteral("4"));
    options().findChild<QPushButton*>("PrintNPBtn")->click();
    EXPECT_EQ(platform.errors, QStringList{"There is no default printer currently selected"});

    options().PremiersCheckBox->click();
    EXPECT_FALSE(options().Memo1->isEnabled());
    EXPECT_FALSE(options().findChild<QPushButton*>("BitBtn1")->isEnabled());
    options().PremiersCheckBox->click();
    EXPECT_TRUE(options().findChild<QPushButton*>("BitBtn1")->isEnabled());
}

TEST_F(WorkbenchTest, RunnerCancelLeavesTheStateAsItWas) {
    platform.cancelProgress = true;
    bool applied = false;
    const bool completed = wb->runner.run(&main(), QStringLiteral("Waiting"), [](Progress& p) {
        for (int i = 0; i < 400 && !p.cancelled(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (p.cancelled()) throw Cancelled{};
    });
    if (completed) applied = true;
    EXPECT_FALSE(completed);
    EXPECT_FALSE(applied);
    EXPECT_EQ(platform.progressShown, QStringList{"Waiting"});

    // A cancelled test leaves panel, histories, counter, notebook and status as they were.
    platform.cancelProgress = false;
    test(QStringLiteral("97"));
    const QString panel = main().RichEdit1->toPlainText(), note = options().NoteEdit->toPlainText();
    platform.cancelProgress = true;
    platform.progressShown.clear();
    main().NumberEdit->setEditText("1" + QString(198, '0') + "7");
    const QString status = main().panel1->text();
    main().Verifier->click();
    EXPECT_EQ(platform.progressShown.size(), 1);
    EXPECT_EQ(wb->record.count, 1);
    EXPECT_EQ(main().RichEdit1->toPlainText(), panel);
    EXPECT_EQ(options().NoteEdit->toPlainText(), note);
    EXPECT_EQ(items(main().NumberEdit), QStringList{"97"});
    EXPECT_EQ(main().panel1->text(), status);
}

TEST(Helpers, IsInListAndAllowedKeys) {
    QComboBox box;
    box.addItems({"Abc", "17"});
    EXPECT_TRUE(IsInList("abc", &box));
    EXPECT_FALSE(IsInList(" 17", &box));
    EXPECT_FALSE(IsInList("017", &box));
    for (uint16_t k : {96, 105, 37, 40, 8, 13, 46}) EXPECT_TRUE(IsAllowedKey(k)) << k;
    for (uint16_t k : {48, 57, 9, 16, 17, 65, 0}) EXPECT_FALSE(IsAllowedKey(k)) << k;
    QComboBox sorted;
    for (const char* t : {"9", "10", "2"}) AddToHistory(&sorted, t, true);
    EXPECT_EQ(items(&sorted), (QStringList{"10", "2", "9"}));
}

}  // namespace
