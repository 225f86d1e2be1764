// The generic primality tester band of the main window, and the recording of a verdict that
// both testers share.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextEdit>

#include "app/main_form.h"
#include "bigint/bigint.h"
#include "platform/platform.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/runner.h"
#include "ui/services.h"

void TMainForm::appendPanelLine(const QString& line) { RichEdit1->append(line); }

QString TMainForm::durationSince(const QDateTime& start) const {
    const qint64 seconds = std::max<qint64>(0, start.secsTo(services_.platform.now()));
    return Platform::longTimeText(QTime(0, 0).addSecs((int)(seconds % 86400)));
}

void TMainForm::ShowTestCounter() {
    panel0->setText(QStringLiteral("#s Tested today: ") + QString::number(record_.count));
}

void TMainForm::ScrollPanelToEnd() {
    RichEdit1->setFocus();
    RichEdit1->moveCursor(QTextCursor::End);
    RichEdit1->ensureCursorVisible();
}

void TMainForm::AddResultSeparator() {
    if (services_.settings.separateResults()) appendPanelLine(QString(39, QLatin1Char('~')));
}

// Where both testers put a verdict: the panel, the box's history, the history lists, the
// counter and the notebook, in this order.
void TMainForm::recordVerdict(const Verdict& v) {
    if (RefBox->isChecked()) BitBtn3Click();
    appendPanelLine(v.panelLine);
    if (!IsInList(v.entry, v.box)) AddToHistory(v.box, v.entry, v.sortedHistory);
    if (v.toHistoryLists) services_.histories.recordVerdict(v.entry, v.prime);
    if (Autoclear1->isChecked()) v.box->lineEdit()->selectAll();
    else v.box->lineEdit()->deselect();
    ++record_.count;
    services_.histories.appendReport(QStringList{
                                   QStringLiteral("Date & time: ") + Platform::dateTimeText(services_.platform.now()),
                                   QStringLiteral("Tested Number: ") + v.testedNumber,
                                   QStringLiteral("Duration of test: ") + durationSince(v.start),
                                   v.prime ? QStringLiteral("Results: Prime") : QStringLiteral("Results: Composite"),
                               }
                           << v.notes << QStringLiteral("Comments: ") << QString());
    ScrollPanelToEnd();
}

// The closing steps of a completed test: last subject, status bar, counter, separator.
void TMainForm::finishTest(const QString& subject, const QDateTime& start) {
    record_.last = subject;
    panel1->setText(QStringLiteral("Completed in ") + durationSince(start));
    ShowTestCounter();
    AddResultSeparator();
}

void TMainForm::ComboBox1Change() {
    if (record_.last != QStringLiteral("0")) panel1->setText(QStringLiteral("Last test on ") + record_.last);
    Digital->setText(QString::number(NumberEdit->currentText().size()) + QStringLiteral(" digits"));
}

void TMainForm::BitBtn1Click() { EraseHistory(NumberEdit); }
void TMainForm::BitBtn2Click() { EraseHistory(ComboBox1); }
void TMainForm::BitBtn3Click() { RichEdit1->clear(); }

void TMainForm::VerifierClick(Closing& closing) {
    const QString text = NumberEdit->currentText();
    if (text.isEmpty()) {
        appendPanelLine(QStringLiteral("Please type a valid number."));
        return;
    }
    if (text.size() > 200) {
        services_.platform.showMessage(QStringLiteral("Please, note that numbers with more than 200 digits are not supported yet."));
        return;
    }
    const QString statusBefore = panel1->text();
    const QDateTime start = services_.platform.now();
    // Closing steps: they run after a failed conversion too, but not after a cancel.
    closing = [this, text, start] {
        NumberEdit->setFocus();
        finishTest(text, start);
    };
    panel1->setText(QStringLiteral("Test in progress...Please wait"));
    statusBar()->repaint();
    // The verdict is computed off the user-interface thread; nothing is changed before it is
    // in, so a cancelled test leaves the window as it was.
    bool prime = false;
    const std::string digits = text.toStdString();
    if (!services_.runner.run(this, QStringLiteral("Testing the primality of the number..."), [&](Progress&) {
            TBigInt n;
            BigFromDecimal(digits, n);
            prime = BigIsPrime(n);
        })) {
        panel1->setText(statusBefore);
        closing.clear();
        return;
    }
    Verdict v;
    v.box = NumberEdit;
    v.sortedHistory = numberEditSorted_;
    v.entry = text;
    v.prime = prime;
    v.panelLine = prime ? services_.settings.primeText() : services_.settings.compositeText();
    v.start = start;
    v.testedNumber = text;
    v.toHistoryLists = true;
    recordVerdict(v);
}
