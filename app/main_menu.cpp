// The main window's menu and its commands: clipboard, tool openers, counter, help, and the
// saving of the result panel.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTextEdit>
#include <QTimer>

#include "app/certif_form.h"
#include "app/info_form.h"
#include "app/main_form.h"
#include "app/program_windows.h"
#include "options/options_form.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "tools/calculator/calc_form.h"
#include "tools/converter/convert_form.h"
#include "tools/divisors/div_form.h"
#include "tools/modulo/mod_form.h"
#include "tools/search/search_form.h"
#include "tools/splitter/analyser_form.h"
#include "ui/handler.h"
#include "ui/number_box.h"
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
    auto add = [this](QMenu* menu, const QString& caption, const QKeySequence& keys, void (TMainForm::*handler)()) {
        QAction* a = menu->addAction(caption);
        if (!keys.isEmpty()) a->setShortcut(keys);
        OnTrigger(a, services_.platform, [this, handler] { (this->*handler)(); });
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

void TMainForm::Exit1Click() { close(); }

void TMainForm::Cut1Click() {
    if (Autoclear1->isChecked()) NumberEdit->lineEdit()->selectAll();
    Temp->setText(NumberEdit->currentText());
    NumberEdit->setEditText(QString());
    Temp->selectAll();
    services_.platform.setClipboardText(Temp->selectedText());
    Temp->clear();
}

void TMainForm::Copy1Click() {
    if (Autoclear1->isChecked()) NumberEdit->lineEdit()->selectAll();
    Temp->setText(NumberEdit->currentText());
    Temp->selectAll();
    services_.platform.setClipboardText(Temp->selectedText());
}

void TMainForm::Paste1Click() {
    // A paste that would make the box's text longer than it takes changes nothing and says why:
    // a number cut to fit would be another number.
    const QString clip = services_.platform.clipboardText();
    const int limit = TypedLimit(NumberEdit->lineEdit());
    const qsizetype length = clip.size() + (Autoclear1->isChecked() ? 0 : NumberEdit->currentText().size());
    if (length > limit) {
        services_.platform.showMessage(TooLongPasteMessage(limit));
        return;
    }
    Temp->clear();
    if (!Autoclear1->isChecked()) Temp->setText(NumberEdit->currentText());
    Temp->setCursorPosition(0);
    Temp->insert(clip);
    NumberEdit->setEditText(Temp->text());
}

void TMainForm::Autoclear1Click() {}   // the action toggles its own check mark

// The tool openers place the windows relative to this one (outer frames, screen pixels).
void TMainForm::Splitter1Click() {
    TAnalyserForm& splitter = *windows_.splitter;
    if (!splitter.prepareToOpen()) return;
    splitter.show();   // where it last was
    splitter.raise();
}

void TMainForm::Convertor1Click() {
    TConvertForm& convert = *windows_.convert;
    // Outer frames: the converter's frame starts under the main window's frame, as wide. A window
    // never shown before has no frame yet, so it is placed again once shown, with its frame.
    const QPoint at(x(), y() + frameGeometry().height());
    convert.move(at);
    convert.show();
    convert.move(at);
    QTimer::singleShot(0, &convert, [&convert, at] { convert.move(at); });   // once the frame is known
    convert.resize(frameGeometry().width() - (convert.frameGeometry().width() - convert.width()), convert.height());
    convert.raise();
}

void TMainForm::SuperModulo1Click() {
    const int right = x() + frameGeometry().width();
    const bool divisorsShown = windows_.divisors->isVisible();
    const bool below = windows_.splitter->isVisible() || divisorsShown;
    windows_.certif->move(right, y() + (below ? 135 : 0));   // moved, not shown
    TModForm& modulo = *windows_.modulo;
    modulo.move(right, y() + (divisorsShown ? 100 : 0));
    modulo.show();
    modulo.raise();
}

void TMainForm::Searchengine1Click() { windows_.search->exec(); }

void TMainForm::Finddivisors1Click() {
    TDivForm& divisors = *windows_.divisors;
    if (!divisors.prepareToOpen()) return;
    divisors.move(x() + frameGeometry().width(), y());
    divisors.show();
    divisors.raise();
}

void TMainForm::SCalc1Click() {
    TCalcForm& calc = *windows_.calc;
    const int left = x() + (windows_.convert->isVisible() ? 150 : 0);
    calc.move(left, y() + frameGeometry().height());
    calc.show();
    calc.raise();
}

void TMainForm::Calculator1Click() {
    // No "calc.exe" here: the message names the desktop calculators that were looked for.
    if (!services_.platform.startCalculator())
        services_.platform.showMessage(QStringLiteral("Unfortunately, no calculator has been found (looked for: ") +
                              services_.platform.calculatorNames().join(QStringLiteral(", ")) + QStringLiteral(")."));
}

void TMainForm::Certificate1Click() { windows_.certif->setVisible(!windows_.certif->isVisible()); }

void TMainForm::History1Click() { windows_.options->showPage(0); }
void TMainForm::Notebook1Click() { windows_.options->showPage(1); }
void TMainForm::Options2Click() { windows_.options->showPage(2); }

void TMainForm::incremen1Click() {
    if (record_.count >= 30000) services_.platform.beep();
    else ++record_.count;
    ShowTestCounter();
}

void TMainForm::Decrease1Click() {
    if (record_.count <= 0) services_.platform.beep();
    else --record_.count;
    ShowTestCounter();
}

void TMainForm::Resetcounter1Click() {
    record_.count = 0;
    ShowTestCounter();
}

void TMainForm::index1Click() {
    const QString path = services_.platform.programDir() + QStringLiteral("help.html");
    if (!services_.platform.openHelp(path))
        services_.platform.showMessage(QStringLiteral("No program to show the help was found. The help file is ") +
                              QDir::toNativeSeparators(path) + QStringLiteral(" ; open it in a web browser."));
}

void TMainForm::About1Click() { windows_.info->exec(); }

void TMainForm::BitBtn4Click() {
    // The date-time text holds separators that file names cannot: they become dashes.
    QString name = Platform::dateTimeText(services_.platform.now());
    for (QChar& c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('-');
    // The current directory when it can be written (a desktop launcher may start the program
    // in / ), otherwise the user's documents folder; the status bar says which file it became.
    const QFileInfo current(QDir::currentPath());
    QString dir = current.isDir() && current.isWritable() ? QDir::currentPath() : services_.platform.documentsDir();
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    const QString path = dir + name + QStringLiteral(".txt");
    try {
        QDir().mkpath(dir);
        WriteFileAtomically(path, rtfOf(RichEdit1->toPlainText().split(QLatin1Char('\n'))));
    } catch (const std::exception& e) {
        panel1->setText(QStringLiteral("The panel was not saved: ") + QString::fromUtf8(e.what()));
        throw;
    }
    panel1->setText(QStringLiteral("Panel saved in ") + QDir::toNativeSeparators(path));
}
