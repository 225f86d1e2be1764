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

#include "app/intro_form.h"
#include "app/program_windows.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/widgets.h"
#include "settings/settings_store.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/placement.h"
#include "ui/services.h"

TMainForm::TMainForm(Services& services, ProgramWindows& windows, TestRecord& record, LucasLehmerCertificate& certificate,
                     QWidget* parent)
    // Only the hints named are shown (no maximise box): the window has a fixed size.
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint),
      services_(services), windows_(windows), record_(record), certificate_(certificate) {
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
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(6, 4, 6, 2);
    column->setSpacing(3);
    setCentralWidget(central);
    buildGenericBand(column);
    buildMersenneBand(column);
    buildPanel(column);
    buildStatusBar();
    connectBands();
}

void TMainForm::buildGenericBand(QBoxLayout* column) {
    QWidget* central = centralWidget();
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
    column->addLayout(generic);
}

void TMainForm::buildMersenneBand(QBoxLayout* column) {
    QWidget* central = centralWidget();
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
    column->addLayout(mersenne);
}

// The result panel and the row of its check boxes and buttons.
void TMainForm::buildPanel(QBoxLayout* column) {
    QWidget* central = centralWidget();
    RichEdit1 = named(new QTextEdit(central), "RichEdit1");
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    column->addWidget(RichEdit1, 1);

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
    column->addLayout(row);
}

void TMainForm::buildStatusBar() {
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
}

void TMainForm::connectBands() {
    Platform& platform = services_.platform;
    const auto button = [this](const char* name) { return findChild<QPushButton*>(QString::fromLatin1(name)); };
    OnClick(Verifier, platform, [this](Closing& closing) { VerifierClick(closing); });
    OnClick(button("BitBtn1"), platform, [this] { BitBtn1Click(); });
    OnClick(button("BitBtn2"), platform, [this] { BitBtn2Click(); });
    OnClick(button("BitBtn3"), platform, [this] { BitBtn3Click(); });
    OnClick(button("BitBtn4"), platform, [this] { BitBtn4Click(); });
    OnClick(Button1, platform, [this](Closing& closing) { Button1Click(closing); });
    for (QComboBox* box : {NumberEdit, ComboBox1})
        OnSignal(box, &QComboBox::editTextChanged, platform, [this] { ComboBox1Change(); });
    // Enter runs the Test of the box's own band (eventFilter): the default button follows the
    // focus. Not through returnPressed, which this toolkit emits twice for one Enter.
    for (QComboBox* box : {NumberEdit, ComboBox1}) {
        InstallDigitFilter(box, [this] { return services_.settings.digitFilter(); });
        GuardPaste(box, services_.platform);
        box->lineEdit()->installEventFilter(this);
        box->installEventFilter(this);
        LeaveMenuKeysToMenu(box);
    }
}

// The five values the window keeps in the settings key, in their order.
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
    record_ = TestRecord{};
    RichEdit1->clear();
    ShowIntroFormTimer->start();
    SettingsStore& store = services_.store;
    const StoreSession session(store, false);
    if (!session.isOpen()) return;
    for (const StoredValue& v : storedValues()) {
        const QString name = QString::fromLatin1(v.name);
        if (store.valueExists(name)) v.set(v.integer ? store.readInteger(name) : (int)store.readBool(name));
    }
}

QStringList TMainForm::testerHistory() const { return HistoryItems(NumberEdit); }

void TMainForm::showIntro() {
    ShowIntroFormTimer->stop();
    windows_.intro->exec();
    show();
}

void TMainForm::FormActivate() {
    NumberEdit->setFocus();
    const bool sorted = services_.settings.sortHistory();
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
        if (watched == box->lineEdit() && IsEnterPress(e)) {
            if (box == NumberEdit) Verifier->click();
            else Button1->click();
            return true;
        }
        if (e->type() == QEvent::FocusIn) {   // the default button follows the focused band
            Verifier->setDefault(box == NumberEdit);
            Button1->setDefault(box == ComboBox1);
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TMainForm::closeEvent(QCloseEvent* e) {
    bool close = false;
    Guarded(services_.platform, [&] { close = FormCloseQuery(); });
    if (!close) {
        e->ignore();
        return;
    }
    Guarded(services_.platform, [this] { FormClose(); });
    e->accept();
    QApplication::quit();
}

bool TMainForm::FormCloseQuery() {
    if (services_.settings.warnOnExit())
        return services_.platform.askYesNo(QStringLiteral("Exit ?"), QStringLiteral("Are you sure you want to close this application ?"));
    return true;
}

void TMainForm::FormClose() {
    SettingsStore& store = services_.store;
    const StoreSession session(store, true);
    for (const StoredValue& v : storedValues()) {
        const QString name = QString::fromLatin1(v.name);
        if (v.integer) store.writeInteger(name, v.get());
        else store.writeBool(name, v.get() != 0);
    }
}
