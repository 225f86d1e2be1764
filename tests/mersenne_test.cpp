// The Mersenne tester band and the certificate window, driven through their controls.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "app/certif_form.h"
#include "app/main_form.h"
#include "app/workbench.h"
#include "options/options_form.h"
#include "tests/workbench_fixture.h"

namespace {

QStringList lines(const QTextEdit* e) {
    QString t = e->toPlainText();
    return t.isEmpty() ? QStringList() : t.split(QLatin1Char('\n'));
}

class MersenneTest : public WorkbenchFixture {
protected:
    void SetUp() override {
        platform.programFolder = dir.path() + QLatin1Char('/');
        start();
    }
    void test(const QString& p) {
        main().ComboBox1->setEditText(p);
        main().Button1->click();
    }
    QStringList rows() {
        QStringList r;
        CertificateModel* m = wb->certif->model();
        for (int i = 0; i < m->rowCount(); ++i)
            r << m->data(m->index(i, 0), Qt::DisplayRole).toString() + "," + m->data(m->index(i, 1), Qt::DisplayRole).toString();
        return r;
    }
    QString certificateFile(int label) {
        return dir.filePath(QStringLiteral("Certificates/Mersenne%1 certificate.txt").arg(label));
    }
    QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(MersenneTest, SevenIsPrimeWithItsCertificateAndReport) {
    test(QStringLiteral("7"));
    EXPECT_EQ(lines(main().RichEdit1), QStringList{"7th Mersenne number is Prime"});
    EXPECT_EQ(rows(), (QStringList{"3,14", "4,67", "5,42", "6,111", "7,0"}));
    const QStringList note = lines(wb->options->NoteEdit);
    ASSERT_EQ(note.size(), 7);
    EXPECT_EQ(note[1], "Tested Number: The 7th number of Mersenne");
    EXPECT_EQ(note[3], "Results: Prime");
    EXPECT_EQ(note[4], "The Certificate was created.");
    EXPECT_EQ(note[5], "Comments: ");
    EXPECT_EQ(wb->record.last, "7th Mersenne number");
    EXPECT_EQ(main().panel0->text(), "#s Tested today: 1");
    EXPECT_TRUE(main().panel1->text().startsWith("Completed in "));
    EXPECT_TRUE(wb->certif->isVisible());
    EXPECT_FALSE(wb->options->Memo1->count());   // the history lists are not touched
}

TEST_F(MersenneTest, SmallExponentsAndHistory) {
    struct Row { const char* p; const char* line; QStringList rows; };
    const Row table[] = {
        {"5", "5th Mersenne number is Prime", {"3,14", "4,8", "5,0"}},
        {"3", "3th Mersenne number is Prime", {"3,0"}},
        {"2", "2th Mersenne number is Prime", {}},
        {"1", "1th Mersenne number is Composite", {}},
        {"0", "0th Mersenne number is Composite", {}},
    };
    for (const Row& r : table) {
        test(QString::fromLatin1(r.p));
        EXPECT_EQ(lines(main().RichEdit1).last(), r.line);
        EXPECT_EQ(rows(), r.rows) << r.p;
    }
    test(QStringLiteral("11"));
    EXPECT_EQ(lines(main().RichEdit1).last(), "11th Mersenne number is Composite");
    EXPECT_EQ(rows().last(), "11,1736");
    test(QStringLiteral("11"));
    EXPECT_EQ(main().ComboBox1->count(), 6);   // 5 3 2 1 0 11, each once
    main().certifgen->setChecked(false);
    test(QStringLiteral("13"));
    EXPECT_EQ(rows().last(), "11,1736");      // without a certificate the old one stays
    EXPECT_EQ(lines(wb->options->NoteEdit)[4], "Certificate was not created.");
}

TEST_F(MersenneTest, BadTextAndTooLargeExponent) {
    test(QString());
    EXPECT_EQ(platform.errors, QStringList{"'' is not a valid integer value"});
    test(QStringLiteral("12x"));
    EXPECT_EQ(platform.errors.last(), "'12x' is not a valid integer value");
    test(QStringLiteral("100000"));
    EXPECT_EQ(platform.messages, QStringList{"Please, note that exponents above 99999 are not supported."});
    EXPECT_EQ(wb->record.count, 0);
    EXPECT_TRUE(main().RichEdit1->toPlainText().isEmpty());
    test(QStringLiteral("  007"));
    EXPECT_EQ(lines(main().RichEdit1).last(), "  007th Mersenne number is Prime");
}

TEST_F(MersenneTest, CertificateWindowTogglesAfterEachTest) {
    EXPECT_FALSE(wb->certif->isVisible());
    test(QStringLiteral("7"));
    EXPECT_TRUE(wb->certif->isVisible());
    test(QStringLiteral("7"));
    EXPECT_FALSE(wb->certif->isVisible());
}

TEST_F(MersenneTest, SavingCertificates) {
    wb->certif->findChild<QPushButton*>("BitBtn1")->click();   // before any test: an empty certificate
    EXPECT_TRUE(QFile::exists(certificateFile(2)));
    EXPECT_EQ(read(certificateFile(2)), "");
    test(QStringLiteral("7"));
    CertificateModel* m = wb->certif->model();
    ASSERT_TRUE(m->setData(m->index(4, 1), QStringLiteral("edited"), Qt::EditRole));
    EXPECT_FALSE(m->flags(m->index(4, 0)) & Qt::ItemIsEditable);
    wb->certif->findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_EQ(read(certificateFile(7)), "3=14\r\n4=67\r\n5=42\r\n6=111\r\n7=edited\r\n");
    EXPECT_EQ(main().panel1->text(), "Certificate saved in " + QDir::toNativeSeparators(certificateFile(7)));
    wb->certif->findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_EQ(platform.messages, QStringList{"The " + certificateFile(7) + " already exists !"});
    EXPECT_EQ(read(certificateFile(7)), "3=14\r\n4=67\r\n5=42\r\n6=111\r\n7=edited\r\n");

    platform.programFolder = dir.filePath(QStringLiteral("missing/"));   // its parent does not exist
    wb->certif->findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_EQ(platform.messages.last(), "Unable to create that directory !");
}

TEST_F(MersenneTest, LargeCertificateRowsMatchAndSaveStreams) {
    test(QStringLiteral("2203"));
    EXPECT_EQ(lines(main().RichEdit1).last(), "2203th Mersenne number is Prime");
    CertificateModel* m = wb->certif->model();
    ASSERT_EQ(m->rowCount(), 2201);
    EXPECT_EQ(m->data(m->index(2200, 1), Qt::DisplayRole).toString(), "0");
    const QString row = m->data(m->index(100, 1), Qt::DisplayRole).toString();
    wb->certif->findChild<QPushButton*>("BitBtn1")->click();
    const QList<QByteArray> saved = read(certificateFile(2203)).split('\n');
    ASSERT_EQ(saved.size(), 2202);   // 2201 lines and the empty tail after the last line end
    EXPECT_EQ(saved[100], "103=" + row.toLatin1() + "\r");
    EXPECT_EQ(saved[2200], "2203=0\r");
}

TEST_F(MersenneTest, CancelLeavesEverythingAsItWas) {
    test(QStringLiteral("7"));
    const QString panel = main().RichEdit1->toPlainText(), note = wb->options->NoteEdit->toPlainText();
    platform.cancelProgress = true;
    main().ComboBox1->setEditText(QStringLiteral("99991"));
    const QString statusAfterEdit = main().panel1->text();
    const qsizetype shown = platform.progressShown.size();
    main().Button1->click();
    EXPECT_EQ(platform.progressShown.size(), shown + 1);
    EXPECT_EQ(wb->record.count, 1);
    EXPECT_EQ(main().RichEdit1->toPlainText(), panel);
    EXPECT_EQ(wb->options->NoteEdit->toPlainText(), note);
    EXPECT_EQ(main().ComboBox1->count(), 1);
    EXPECT_EQ(main().panel1->text(), statusAfterEdit);
    EXPECT_EQ(rows(), (QStringList{"3,14", "4,67", "5,42", "6,111", "7,0"}));
    EXPECT_EQ(wb->record.last, "7th Mersenne number");

    // A cancelled save leaves no file.
    platform.cancelProgress = true;
    test(QStringLiteral("7"));   // (cancelled too: the certificate stays the one of 7)
    wb->certif->findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_FALSE(QFile::exists(certificateFile(7)));
    platform.cancelProgress = false;
    wb->certif->findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_TRUE(QFile::exists(certificateFile(7)));
}

// Esc pressed 0.2 s into a long test, before the progress dialog shows (the real dialog, after
// the real delay), cancels it at once: no verdict, nothing recorded, and the dialog never shows.
TEST_F(MersenneTest, EscBeforeTheProgressShowsCancelsTheTest) {
    platform.realProgress = true;
    platform.progressDelay = 500;
    main().show();
    main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    main().ComboBox1->setFocus();
    QTest::keyClicks(main().ComboBox1->lineEdit(), QStringLiteral("99991"));
    const QString panel = main().RichEdit1->toPlainText();
    QElapsedTimer clock;
    qint64 escAt = -1;
    QTimer::singleShot(200, [&] {
        escAt = clock.elapsed();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &main(), Qt::Key_Escape);
    });
    clock.start();
    QTest::keyClick(main().ComboBox1->lineEdit(), Qt::Key_Return);
    const qint64 ended = clock.elapsed();
    ASSERT_GE(escAt, 0) << "the test ended before Esc";
    EXPECT_LT(ended - escAt, 1000);
    EXPECT_EQ(main().RichEdit1->toPlainText(), panel);   // no verdict
    EXPECT_EQ(wb->record.count, 0);
    EXPECT_EQ(main().ComboBox1->count(), 0);
    EXPECT_TRUE(platform.progressShown.isEmpty());
    EXPECT_TRUE(platform.errors.isEmpty());
}

// One Enter in a tester's box runs its test once.
TEST_F(MersenneTest, EnterInEitherBoxTestsOnce) {
    main().show();
    main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    main().ComboBox1->setFocus();
    QTest::keyClicks(main().ComboBox1->lineEdit(), QStringLiteral("7"));
    QTest::keyClick(main().ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(wb->record.count, 1);
    EXPECT_EQ(lines(main().RichEdit1), QStringList{"7th Mersenne number is Prime"});
    main().NumberEdit->setFocus();
    QTest::keyClicks(main().NumberEdit->lineEdit(), QStringLiteral("97"));
    QTest::keyClick(main().NumberEdit->lineEdit(), Qt::Key_Enter);
    EXPECT_EQ(wb->record.count, 2);
    EXPECT_EQ(lines(main().RichEdit1).size(), 2);
}

TEST_F(MersenneTest, CertificateWindowFitsItsKeysAndCopiesWholeResidues) {
    test(QStringLiteral("11213"));
    QTableView* grid = wb->certif->findChild<QTableView*>(QStringLiteral("ValueList"));
    ASSERT_NE(grid, nullptr);
    // The key column holds five-digit step numbers.
    EXPECT_GE(grid->columnWidth(0), grid->fontMetrics().horizontalAdvance(QStringLiteral("11213")));
    // Ctrl+C on a cell copies its whole residue, however long; its hint says how long it is.
    wb->certif->show();
    wb->certif->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wb->certif.get()));
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(100, 1));
    QTest::keyClick(wb->certif->windowHandle(), Qt::Key_C, Qt::ControlModifier);
    const QString row = grid->model()->data(grid->model()->index(100, 1), Qt::DisplayRole).toString();
    EXPECT_GT(row.size(), 3000);
    EXPECT_EQ(platform.clipboard, row);
    const QString hint = grid->model()->data(grid->model()->index(100, 1), Qt::ToolTipRole).toString();
    EXPECT_TRUE(hint.contains(QStringLiteral("(%1 digits in all)").arg(row.size()))) << hint.right(80).toStdString();
    // The window can be resized: the value column follows it.
    wb->certif->resize(400, 300);
    EXPECT_EQ(wb->certif->size(), QSize(400, 300));
}

}  // namespace
