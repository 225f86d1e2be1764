// The main window: layout, menu, start-up, shutdown, clipboard and counter commands.
#include "app/main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "app/shared.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/placement.h"
#include "platform/widgets.h"
#include "settings/options_form.h"
#include "settings/settings_store.h"
#include "tools/divisors/div_form.h"
#include "tools/splitter/analyser_form.h"

TMainForm* MainForm = nullptr;

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

TMainForm::TMainForm(Platform& platform, SettingsStore& store, Runner& runner, WindowRegistry& windows, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint),
      platform_(platform), store_(store), runner_(runner), windows_(windows) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Quendra 5"));
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    setFont(f);
    buildBands();
    buildMenu();
    Temp = named(new QLineEdit(this), "Temp");
    Temp->hide();
    ShowIntroFormTimer = named(new QTimer(this), "ShowIntroFormTimer");
    ShowIntroFormTimer->setInterval(500);
    ShowIntroFormTimer->setSingleShot(true);
    connect(ShowIntroFormTimer, &QTimer::timeout, this, &TMainForm::showIntro);
    setFixedSize(463, 282 + menuBar()->sizeHint().height());
    move(59, 107);   // the stored position, when there is one, replaces this at creation
}

void TMainForm::buildBands() {
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(6, 4, 6, 2);
    v->setSpacing(3);

    auto* generic = new QGridLayout;
    generic->addWidget(named(new QLabel(QStringLiteral("Generic Primality Tester"), central), "Label3"), 0, 0, 1, 3);
    NumberEdit = MakeNumberBox("NumberEdit", 200, QStringLiteral(" < E200"), central);
    Verifier = named(new QPushButton(QStringLiteral("Test"), central), "Verifier");
    Verifier->setToolTip(QStringLiteral("Click here to test the number's primality"));
    Verifier->setCursor(Qt::PointingHandCursor);
    Verifier->setDefault(true);
    auto* bitBtn1 = glyphButton("BitBtn1", QStyle::SP_TrashIcon, QStringLiteral("<<< Erase the Tester's History"), central);
    Digital = named(new QLabel(QStringLiteral("0 digits"), central), "Digital");
    Digital->setAlignment(Qt::AlignCenter);
    generic->addWidget(NumberEdit, 1, 0);
    generic->addWidget(bitBtn1, 1, 1);
    generic->addWidget(Verifier, 1, 2);
    generic->addWidget(Digital, 2, 0);
    generic->setColumnStretch(0, 1);
    v->addLayout(generic);

    auto* mersenne = new QHBoxLayout;
    mersenne->addWidget(named(new QLabel(QStringLiteral("Mersenne Tester  (2^p)-1"), central), "Label1"));
    mersenne->addWidget(named(new QLabel(QStringLiteral("p ="), central), "Label2"));
    ComboBox1 = MakeNumberBox("ComboBox1", 5, QStringLiteral(" < 99 999"), central);
    ComboBox1->setMinimumWidth(90);
    auto* bitBtn2 = glyphButton("BitBtn2", QStyle::SP_TrashIcon, QStringLiteral("<<< Erase the Tester's History"), central);
    Button1 = named(new QPushButton(QStringLiteral("Test"), central), "Button1");
    Button1->setToolTip(QStringLiteral("Click here to perform a Lucas-Lehmer's test"));
    Button1->setCursor(Qt::PointingHandCursor);
    mersenne->addWidget(ComboBox1, 1);
    mersenne->addWidget(bitBtn2);
    mersenne->addWidget(Button1);
    v->addLayout(mersenne);

    RichEdit1 = named(new QTextEdit(central), "RichEdit1");
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    v->addWidget(RichEdit1, 1);

    auto* row = new QHBoxLayout;
    RefBox = named(new QCheckBox(QStringLiteral("Auto-refresh"), central), "RefBox");
    certifgen = named(new QCheckBox(QStringLiteral("Generate a certificate"), central), "certifgen");
    certifgen->setChecked(true);
    auto* bitBtn4 = glyphButton("BitBtn4", QStyle::SP_DialogSaveButton, QStringLiteral("Save the panel above on the hard drive"), central);
    auto* bitBtn3 = glyphButton("BitBtn3", QStyle::SP_DialogResetButton, QStringLiteral("Clear the panel above"), central);
    row->addWidget(RefBox);
    row->addWidget(certifgen);
    row->addStretch();
    row->addWidget(bitBtn4);
    row->addWidget(bitBtn3);
    v->addLayout(row);
    setCentralWidget(central);

    auto* bar = named(new QStatusBar(this), "StatusBar1");
    panel0 = named(new QLabel(QStringLiteral("No # have been tested yet"), bar), "Panel0");
    // Wide enough for its longest text, "#s Tested today: 30000", at any font size.
    panel0->setFixedWidth(std::max(panel0->fontMetrics().horizontalAdvance(panel0->text()),
                                   panel0->fontMetrics().horizontalAdvance(QStringLiteral("#s Tested today: 30000"))) + 12);
    bar->setSizeGripEnabled(false);   // the window is not resizable
    panel1 = named(new QLabel(QStringLiteral("QDR is ready."), bar), "Panel1");
    bar->addWidget(panel0);
    bar->addWidget(panel1, 1);
    setStatusBar(bar);

    auto guarded = [this](void (TMainForm::*handler)()) {
        return [this, handler] { Guarded(platform_, [this, handler] { (this->*handler)(); }); };
    };
    connect(Verifier, &QPushButton::clicked, this, &TMainForm::VerifierClick);
    connect(bitBtn1, &QPushButton::clicked, this, &TMainForm::BitBtn1Click);
    connect(bitBtn2, &QPushButton::clicked, this, &TMainForm::BitBtn2Click);
    connect(bitBtn3, &QPushButton::clicked, this, &TMainForm::BitBtn3Click);
    connect(bitBtn4, &QPushButton::clicked, this, guarded(&TMainForm::BitBtn4Click));
    connect(NumberEdit, &QComboBox::editTextChanged, this, &TMainForm::ComboBox1Change);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &TMainForm::ComboBox1Change);
    // Enter runs the Test of the box's own band: the default button follows the focus.
    connect(NumberEdit->lineEdit(), &QLineEdit::returnPressed, this, &TMainForm::VerifierClick);
    connect(ComboBox1->lineEdit(), &QLineEdit::returnPressed, Button1, &QPushButton::click);
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    for (QComboBox* box : {NumberEdit, ComboBox1}) {
        InstallDigitFilter(box, [this] { return options().digitFilter(); });
        box->lineEdit()->installEventFilter(this);
        box->installEventFilter(this);
    }
    LeaveClipboardKeysToMenu(NumberEdit);
}

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
std::vector<TMainForm::StoredValue> TMainForm::storedValues() {
    return {
        {"AutoClear", false, [this] { return (int)Autoclear1->isChecked(); }, [this](int v) { Autoclear1->setChecked(v); }},
        {"MainPositionTop", true, [this] { return y(); }, [this](int v) { move(x(), v); }},
        {"MainPositionLeft", true, [this] { return x(); }, [this](int v) { move(v, y()); }},
        {"Certif", false, [this] { return (int)certifgen->isChecked(); }, [this](int v) { certifgen->setChecked(v); }},
        {"MainRef", false, [this] { return (int)RefBox->isChecked(); }, [this](int v) { RefBox->setChecked(v); }},
    };
}

void TMainForm::FormCreate() {
    TestCounter = 0;
    LastTested = QStringLiteral("0");
    RichEdit1->clear();
    ShowIntroFormTimer->start();
    const StoreSession session(store_, false);
    if (!session.isOpen()) return;
    for (const StoredValue& v : storedValues()) {
        const QString name = QString::fromLatin1(v.name);
        if (store_.valueExists(name)) v.set(v.integer ? store_.readInteger(name) : (int)store_.readBool(name));
    }
}

void TMainForm::showIntro() {
    ShowIntroFormTimer->stop();
    if (auto* intro = qobject_cast<QDialog*>(windows_.window(QStringLiteral("IntroForm")))) intro->exec();
    show();
}

void TMainForm::FormActivate() {
    NumberEdit->setFocus();
    ProgramDir = platform_.programDir();
    const bool sorted = options().sortHistory();
    if (sorted && !numberEditSorted_) SortHistory(NumberEdit);
    numberEditSorted_ = sorted;
}

bool TMainForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    if (e->type() == QEvent::Show) KeepOnScreen(this);
    return QMainWindow::event(e);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
    for (QComboBox* box : {NumberEdit, ComboBox1}) {
        if (watched != box->lineEdit() && watched != box) continue;
        if (e->type() == QEvent::FocusIn) {   // the default button follows the focused band
            Verifier->setDefault(box == NumberEdit);
            Button1->setDefault(box == ComboBox1);
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TMainForm::closeEvent(QCloseEvent* e) {
    bool close = false;
    Guarded(platform_, [&] { close = FormCloseQuery(); });
    if (!close) {
        e->ignore();
        return;
    }
    Guarded(platform_, [this] { FormClose(); });
    e->accept();
    QApplication::quit();
}

bool TMainForm::FormCloseQuery() {
    if (options().warnOnExit())
        return platform_.askYesNo(QStringLiteral("Exit ?"), QStringLiteral("Are you sure you want to close this application ?"));
    return true;
}

void TMainForm::FormClose() {
    const StoreSession session(store_, true);
    for (const StoredValue& v : storedValues()) {
        const QString name = QString::fromLatin1(v.name);
        if (v.integer) store_.writeInteger(name, v.get());
        else store_.writeBool(name, v.get() != 0);
    }
}

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

TOptionsForm& TMainForm::options() const {
    return *static_cast<TOptionsForm*>(windows_.window(QStringLiteral("OptionsForm")));
}
