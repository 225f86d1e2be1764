// The main window's menu and its commands: clipboard, tool openers, counter, help, and the
// saving of the result panel.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextEdit>

#include "app/main_form.h"
#include "app/shared.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "options/options_form.h"
#include "tools/divisors/div_form.h"
#include "tools/splitter/analyser_form.h"
#include "ui/handler.h"
#include "ui/services.h"

namespace {

// Minimal RTF of plain lines: the panel holds one plain line per verdict or notice.
QByteArray rtfOf(const QStringList& lines) {
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs18\\b ";
    for (const QString& line : lines) {
        for (QChar c : line) {
            const ushort u = c.unicode();
            if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) out += '\\' + QByteArray(1, char(u));
            else if (u < 128) out += char(u);
            else out += "\\u" + QByteArray::number((short)u) + '?';
        }
        out += "\\par\r\n";
    }
    return out + "}\r\n";
}

}  // namespace

void TMainForm::buildMenu() {
    auto guarded = [this](void (TMainForm::*handler)()) {
        return [this, handler] { Guarded(platform_, [this, handler] { (this->*handler)(); }); };
    };
    auto add = [&](QMenu* menu, const QString& caption, const QKeySequence& keys, void (TMainForm::*handler)()) {
        QAction* a = menu->addAction(caption);
        if (!keys.isEmpty()) a->setShortcut(keys);
        connect(a, &QAction::triggered, this, guarded(handler));
        return a;
    };
    QMenu* program = menuBar()->addMenu(QStringLiteral("&Program"));
    add(program, QStringLiteral("E&xit"), {}, &TMainForm::Exit1Click);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    add(edit, QStringLiteral("Cu&t"), QKeySequence(QStringLiteral("Ctrl+X")), &TMainForm::Cut1Click);
    add(edit, QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")), &TMainForm::Copy1Click);
    add(edit, QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V")), &TMainForm::Paste1Click);
    edit->addSeparator();
    Autoclear1 = add(edit, QStringLiteral("&Auto-clear"), {}, &TMainForm::Autoclear1Click);
    Autoclear1->setObjectName(QStringLiteral("Autoclear1"));
    Autoclear1->setCheckable(true);
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("ToolsMenu"));
    add(tools, QStringLiteral("&Splitter..."), QKeySequence(QStringLiteral("Ctrl+S")), &TMainForm::Splitter1Click);
    add(tools, QStringLiteral("Conve&rtor..."), QKeySequence(QStringLiteral("Ctrl+R")), &TMainForm::Convertor1Click);
    add(tools, QStringLiteral("Super Calcula&tor..."), QKeySequence(QStringLiteral("Ctrl+T")), &TMainForm::SCalc1Click);
    add(tools, QStringLiteral("Super &Modulo..."), QKeySequence(QStringLiteral("Ctrl+M")), &TMainForm::SuperModulo1Click);
    add(tools, QStringLiteral("Search &Engine..."), QKeySequence(QStringLiteral("Ctrl+E")), &TMainForm::Searchengine1Click);
    add(tools, QStringLiteral("All &dividers..."), QKeySequence(QStringLiteral("Ctrl+D")), &TMainForm::Finddivisors1Click);
    tools->addSeparator();
    add(tools, QStringLiteral("Ca&lculator"), QKeySequence(QStringLiteral("Ctrl+L")), &TMainForm::Calculator1Click);
    tools->addSeparator();
    add(tools, QStringLiteral("View/Hide certi&ficate..."), QKeySequence(QStringLiteral("Ctrl+F")), &TMainForm::Certificate1Click);
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    add(options, QStringLiteral("&History..."), QKeySequence(QStringLiteral("Ctrl+H")), &TMainForm::History1Click);
    add(options, QStringLiteral("&Notebook..."), QKeySequence(QStringLiteral("Ctrl+N")), &TMainForm::Notebook1Click);
    add(options, QStringLiteral("&Options..."), QKeySequence(QStringLiteral("Ctrl+O")), &TMainForm::Options2Click);
    QMenu* counter = menuBar()->addMenu(QStringLiteral("&Counter"));
    add(counter, QStringLiteral("&Increase (+1)"), QKeySequence(QStringLiteral("Ctrl+Alt+I")), &TMainForm::incremen1Click);
    add(counter, QStringLiteral("&Decrease (-1)"), QKeySequence(QStringLiteral("Ctrl+Alt+D")), &TMainForm::Decrease1Click);
    counter->addSeparator();
    add(counter, QStringLiteral("&Reset counter"), {}, &TMainForm::Resetcounter1Click);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, QStringLiteral("&Help..."), QKeySequence(Qt::Key_F1), &TMainForm::index1Click);
    help->addSeparator();
    add(help, QStringLiteral("&About..."), {}, &TMainForm::About1Click);
}

// The five stored values of the window, in their order.

void TMainForm::Exit1Click() { close(); }

void TMainForm::Cut1Click() {
    if (Autoclear1->isChecked()) NumberEdit->lineEdit()->selectAll();
    Temp->setText(NumberEdit->currentText());
    NumberEdit->setEditText(QString());
    Temp->selectAll();
    platform_.setClipboardText(Temp->selectedText());
    Temp->clear();
}

void TMainForm::Copy1Click() {
    if (Autoclear1->isChecked()) NumberEdit->lineEdit()->selectAll();
    Temp->setText(NumberEdit->currentText());
    Temp->selectAll();
    platform_.setClipboardText(Temp->selectedText());
}

void TMainForm::Paste1Click() {
    Temp->clear();
    if (!Autoclear1->isChecked()) Temp->setText(NumberEdit->currentText());
    Temp->setCursorPosition(0);
    Temp->insert(platform_.clipboardText());
    NumberEdit->setEditText(Temp->text());
}

void TMainForm::Autoclear1Click() {}   // the action toggles its own check mark

// The tool openers place the windows relative to this one (outer frames, screen pixels).
void TMainForm::Splitter1Click() {
    auto* splitter = static_cast<TAnalyserForm*>(windows_.window(QStringLiteral("AnalyserForm")));
    if (!splitter || !splitter->readSettings()) return;
    splitter->show();   // where it last was
    splitter->raise();
}

void TMainForm::Convertor1Click() {
    QWidget* convert = windows_.window(QStringLiteral("ConvertForm"));
    if (!convert) return;
    convert->move(x(), y() + frameGeometry().height());
    convert->show();   // its frame is known once shown: the outer width follows the main window's
    convert->resize(frameGeometry().width() - (convert->frameGeometry().width() - convert->width()), convert->height());
    convert->raise();
}

void TMainForm::SuperModulo1Click() {
    QWidget* modulo = windows_.window(QStringLiteral("ModForm"));
    QWidget* certif = windows_.window(QStringLiteral("CertifForm"));
    if (!modulo) return;
    const int right = x() + frameGeometry().width();
    const bool divisorsShown = windows_.isVisible(QStringLiteral("DivForm"));
    if (certif) {   // moved, not shown
        const bool below = windows_.isVisible(QStringLiteral("AnalyserForm")) || divisorsShown;
        certif->move(right, y() + (below ? 135 : 0));
    }
    modulo->move(right, y() + (divisorsShown ? 100 : 0));
    modulo->show();
    modulo->raise();
}

void TMainForm::Searchengine1Click() {
    if (auto* search = qobject_cast<QDialog*>(windows_.window(QStringLiteral("SearchForm")))) search->exec();
}

void TMainForm::Finddivisors1Click() {
    auto* divisors = static_cast<TDivForm*>(windows_.window(QStringLiteral("DivForm")));
    if (!divisors || !divisors->prepareToOpen()) return;
    divisors->move(x() + frameGeometry().width(), y());
    divisors->show();
    divisors->raise();
}

void TMainForm::SCalc1Click() {
    QWidget* calc = windows_.window(QStringLiteral("CalcForm"));
    if (!calc) return;
    const int left = x() + (windows_.isVisible(QStringLiteral("ConvertForm")) ? 150 : 0);
    calc->move(left, y() + frameGeometry().height());
    calc->show();
    calc->raise();
}

void TMainForm::Calculator1Click() {
    // No "calc.exe" here: the message names the desktop calculators that were looked for.
    if (!platform_.startCalculator())
        platform_.showMessage(QStringLiteral("Unfortunately, no calculator has been found (looked for: ") +
                              platform_.calculatorNames().join(QStringLiteral(", ")) + QStringLiteral(")."));
}

void TMainForm::Certificate1Click() {
    if (QWidget* certif = windows_.window(QStringLiteral("CertifForm"))) certif->setVisible(!certif->isVisible());
}

void TMainForm::History1Click() { options().showPage(0); }
void TMainForm::Notebook1Click() { options().showPage(1); }
void TMainForm::Options2Click() { options().showPage(2); }

void TMainForm::incremen1Click() {
    if (TestCounter >= 30000) platform_.beep();
    else ++TestCounter;
    ShowTestCounter();
}

void TMainForm::Decrease1Click() {
    if (TestCounter <= 0) platform_.beep();
    else --TestCounter;
    ShowTestCounter();
}

void TMainForm::Resetcounter1Click() {
    TestCounter = 0;
    ShowTestCounter();
}

void TMainForm::index1Click() {
    const QString path = platform_.programDir() + QStringLiteral("help.html");
    if (!platform_.openHelp(path))
        platform_.showMessage(QStringLiteral("No program to show the help was found. The help file is ") +
                              QDir::toNativeSeparators(path) + QStringLiteral(" ; open it in a web browser."));
}

void TMainForm::About1Click() {
    auto* info = qobject_cast<QDialog*>(windows_.window(QStringLiteral("InfoForm")));
    if (!info) return;
    if (auto* pages = info->findChild<QTabWidget*>()) pages->setCurrentIndex(0);
    info->exec();
}

void TMainForm::BitBtn4Click() {
    // The date-time text holds separators that file names cannot: they become dashes.
    QString name = Platform::dateTimeText(platform_.now());
    for (QChar& c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('-');
    const QString path = QDir::current().filePath(name + QStringLiteral(".txt"));
    WriteFileAtomically(path, rtfOf(RichEdit1->toPlainText().split(QLatin1Char('\n'))));
}
