// The options window.
#include "options/options_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <vector>

#include "platform/files.h"
#include "platform/platform.h"
#include "ui/handler.h"
#include "platform/widgets.h"
#include "settings/settings_store.h"
#include "ui/number_box.h"

namespace {

const QString DefaultPrime = QStringLiteral("This is a prime number");
const QString DefaultComposite = QStringLiteral("This is composite");
const QString Trailer = QStringLiteral("Created with Quendra!");

QCheckBox* check(const char* name, const QString& caption, bool checked, QWidget* parent) {
    auto* c = named(new QCheckBox(caption, parent), name);
    c->setChecked(checked);
    return c;
}

}  // namespace

TOptionsForm::TOptionsForm(Platform& platform, SettingsStore& store, QWidget* parent)
    : QDialog(parent), platform_(platform), store_(store) {
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    pages_ = named(new QTabWidget(this), "PageControl1");
    pages_->setDocumentMode(true);
    pages_->addTab(buildHistoryPage(), style()->standardIcon(QStyle::SP_FileDialogDetailedView), QStringLiteral("History"));
    pages_->addTab(buildNotebookPage(), style()->standardIcon(QStyle::SP_FileIcon), QStringLiteral("Notebook"));
    pages_->addTab(buildSettingsPage(), style()->standardIcon(QStyle::SP_ComputerIcon), QStringLiteral("Tools settings"));

    auto* ok = named(new QPushButton(QStringLiteral("&OK"), this), "BitBtn5");
    auto* close = named(new QPushButton(QStringLiteral("&Close"), this), "BitBtn6");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(close);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);
    setFixedSize(595, 301);

    OnClick(ok, platform_, [this] { BitBtn5Click(); });
    OnClick(close, platform_, [this] { reject(); });
}

QWidget* TOptionsForm::buildHistoryPage() {
    auto* page = new QWidget;
    PremiersCheckBox = check("PremiersCheckBox", QStringLiteral("Prime numbers list :"), true, page);
    BitBtn1 = glyphButton("BitBtn1", QStyle::SP_DialogSaveButton, QStringLiteral("Save the Prime list into a file"), page);
    BitBtn2 = glyphButton("BitBtn2", QStyle::SP_DialogResetButton, QStringLiteral("Clear the Prime list"), page);
    PrintPBtn = glyphButton("PrintPBtn", QStyle::SP_FileDialogContentsView, QStringLiteral("Print the Prime #s' list"), page);
    Memo1 = named(new QListWidget(page), "Memo1");
    NonPremiersCheckBox = check("NonPremiersCheckBox", QStringLiteral("Composite numbers list :"), true, page);
    BitBtn3 = glyphButton("BitBtn3", QStyle::SP_DialogSaveButton, QStringLiteral("Save the composites  list into a file"), page);
    BitBtn4 = glyphButton("BitBtn4", QStyle::SP_DialogResetButton, QStringLiteral("Clear the composites list"), page);
    PrintNPBtn = glyphButton("PrintNPBtn", QStyle::SP_FileDialogContentsView, QStringLiteral("Print the composites #s' list"), page);
    Memo2 = named(new QListWidget(page), "Memo2");
    BitBtn1->setEnabled(false);
    BitBtn3->setEnabled(false);
    for (QListWidget* memo : {Memo1, Memo2}) {
        memo->setMouseTracking(true);
        memo->viewport()->setMouseTracking(true);
        memo->viewport()->installEventFilter(this);
    }
    auto* v = new QVBoxLayout(page);
    auto row = [&](QCheckBox* c, QPushButton* a, QPushButton* b, QPushButton* d) {
        auto* h = new QHBoxLayout;
        h->addWidget(c);
        h->addStretch();
        h->addWidget(a);
        h->addWidget(b);
        h->addWidget(d);
        v->addLayout(h);
    };
    row(PremiersCheckBox, BitBtn1, BitBtn2, PrintPBtn);
    v->addWidget(Memo1);
    row(NonPremiersCheckBox, BitBtn3, BitBtn4, PrintNPBtn);
    v->addWidget(Memo2);

    OnClick(BitBtn1, platform_, [this] { BitBtn8Click(); });
    OnClick(BitBtn2, platform_, [this] { BitBtn9Click(); });
    OnClick(BitBtn3, platform_, [this] { BitBtn10Click(); });
    OnClick(BitBtn4, platform_, [this] { BitBtn11Click(); });
    OnClick(PrintPBtn, platform_, [this] { PrintPBtnClick(); });
    OnClick(PrintNPBtn, platform_, [this] { PrintNPBtnClick(); });
    OnClick(PremiersCheckBox, platform_, [this] { PremiersCheckBoxClick(); });
    OnClick(NonPremiersCheckBox, platform_, [this] { CheckBox2Click(); });
    return page;
}

QWidget* TOptionsForm::buildNotebookPage() {
    auto* page = new QWidget;
    NoteEdit = named(new QTextEdit(page), "NoteEdit");
    NoteEdit->setReadOnly(true);
    NoteEdit->setAcceptRichText(false);
    NoteEdit->setLineWrapMode(QTextEdit::NoWrap);
    RefBox = check("RefBox", QStringLiteral("Auto-refresh"), true, page);
    CheckBox1 = check("CheckBox1", QStringLiteral("Edition mode"), false, page);
    auto* save = glyphButton("NoteSave", QStyle::SP_DialogSaveButton, QStringLiteral("Save the notebook contents above"), page);
    auto* erase = glyphButton("NoteErase", QStyle::SP_DialogResetButton, QStringLiteral("Clear all the notebook"), page);
    auto* v = new QVBoxLayout(page);
    v->addWidget(NoteEdit);
    auto* h = new QHBoxLayout;
    h->addWidget(RefBox);
    h->addWidget(CheckBox1);
    h->addStretch();
    h->addWidget(save);
    h->addWidget(erase);
    v->addLayout(h);
    OnClick(CheckBox1, platform_, [this] { CheckBox1Click(); });
    OnClick(erase, platform_, [this] { NoteEraseClick(); });
    OnClick(save, platform_, [this] { NoteSaveClick(); });
    return page;
}

QWidget* TOptionsForm::buildSettingsPage() {
    auto* page = new QWidget;
    auto* tester = new QGroupBox(QStringLiteral("The primacy Tester : "), page);
    LabeledEdit1 = named(new QLineEdit(DefaultPrime, tester), "LabeledEdit1");
    LabeledEdit2 = named(new QLineEdit(DefaultComposite, tester), "LabeledEdit2");
    for (QLineEdit* e : {LabeledEdit1, LabeledEdit2}) {
        e->setMaxLength(40);
        e->setToolTip(QStringLiteral("Please no more han 40 characers"));
    }
    SepareResult = check("SepareResult", QStringLiteral("Auto-separate results"), false, tester);
    auto* tv = new QVBoxLayout(tester);
    tv->addWidget(new QLabel(QStringLiteral("if a prime number is found..."), tester));
    tv->addWidget(LabeledEdit1);
    tv->addWidget(new QLabel(QStringLiteral("if not..."), tester));
    tv->addWidget(LabeledEdit2);
    tv->addWidget(SepareResult);
    WarnExit = check("WarnExit", QStringLiteral("Notify me before exit the program"), true, page);

    auto* divisors = new QGroupBox(QStringLiteral("Divisors finder : "), page);
    AutoImport = check("AutoImport", QStringLiteral("Auto import from the Tester"), false, divisors);
    HistoryList = check("HistoryList", QStringLiteral("History enabled"), true, divisors);
    AddToHisCheckBox = check("AddToHisCheckBox", QStringLiteral("Add found prime to History"), true, divisors);
    AutoExpand = check("AutoExpand", QStringLiteral("Auto expand list"), false, divisors);
    Messages = check("Messages", QStringLiteral("Show messages"), true, divisors);
    auto* dv = new QVBoxLayout(divisors);
    for (QCheckBox* c : {AutoImport, HistoryList, AddToHisCheckBox, AutoExpand, Messages}) dv->addWidget(c);

    auto* search = new QGroupBox(QStringLiteral(" Search engine : "), page);
    TabsRadioButton = named(new QRadioButton(QStringLiteral("Tabs"), search), "TabsRadioButton");
    BtnRadioButton = named(new QRadioButton(QStringLiteral("Buttons"), search), "BtnRadioButton");
    TabsRadioButton->setChecked(true);
    LHCheck = check("LHCheck", QStringLiteral("Estimations"), true, search);
    CTPNCheck = check("CTPNCheck", QStringLiteral("Count Twin prime #s"), true, search);
    auto* sv = new QVBoxLayout(search);
    for (QWidget* w : std::initializer_list<QWidget*>{TabsRadioButton, BtnRadioButton, LHCheck, CTPNCheck}) sv->addWidget(w);

    auto* all = new QGroupBox(QStringLiteral("Apply to all tools : "), page);
    FilterCheckBox = check("FilterCheckBox", QStringLiteral("Digit filter"), false, all);
    SortCheckBox = check("SortCheckBox", QStringLiteral("Sort the History"), false, all);
    auto* av = new QVBoxLayout(all);
    av->addWidget(FilterCheckBox);
    av->addWidget(SortCheckBox);

    for (QVBoxLayout* l : {tv, dv, sv, av}) {
        l->setSpacing(0);
        l->setContentsMargins(6, 0, 6, 2);
    }
    auto* left = new QVBoxLayout;
    left->addWidget(tester);
    left->addWidget(WarnExit);
    left->addWidget(all);
    auto* right = new QVBoxLayout;
    right->addWidget(divisors);
    right->addWidget(search);
    auto* h = new QHBoxLayout(page);
    h->setContentsMargins(2, 2, 2, 2);
    left->setSpacing(2);
    right->setSpacing(2);
    h->addLayout(left);
    h->addLayout(right);

    OnClick(TabsRadioButton, platform_, [this] { emit pageStyleChanged(true); });
    OnClick(BtnRadioButton, platform_, [this] { emit pageStyleChanged(false); });
    return page;
}

// The sixteen stored values, in their order: name and mirrored control (a check box, a radio
// button of the Tabs/Buttons pair, or a text edit).
std::vector<TOptionsForm::StoredValue> TOptionsForm::storedValues() const {
    return {
        {"PrimeList", PremiersCheckBox, nullptr},  {"NotPrimeList", NonPremiersCheckBox, nullptr},
        {"Message1", nullptr, LabeledEdit1},       {"Message2", nullptr, LabeledEdit2},
        {"Sep", SepareResult, nullptr},            {"Warn", WarnExit, nullptr},
        {"Filter", FilterCheckBox, nullptr},       {"Sort", SortCheckBox, nullptr},
        {"AutoImport", AutoImport, nullptr},       {"History", HistoryList, nullptr},
        {"AddToHistory", AddToHisCheckBox, nullptr}, {"AutoExpand", AutoExpand, nullptr},
        {"Messages", Messages, nullptr},           {"SETabApp", TabsRadioButton, nullptr},
        {"LH", LHCheck, nullptr},                  {"CTPN", CTPNCheck, nullptr},
    };
}

void TOptionsForm::FormCreate() {
    if (!store_.keyExists()) return;
    const StoreSession session(store_, false);
    if (!session.isOpen()) return;
    for (const StoredValue& v : storedValues()) {
        const QString name = QString::fromLatin1(v.name);
        if (!store_.valueExists(name)) continue;
        if (v.text) {
            v.text->setText(store_.readText(name));
        } else if (v.check == TabsRadioButton) {
            // Radio buttons of one group: check the one the value names.
            if (store_.readBool(name)) TabsRadioButton->setChecked(true);
            else BtnRadioButton->setChecked(true);
        } else {
            v.check->setChecked(store_.readBool(name));
        }
    }
    BtnRadioButton->setChecked(!TabsRadioButton->isChecked());
    if (BtnRadioButton->isChecked()) emit pageStyleChanged(false);
}

int TOptionsForm::showPage(int index) {
    pages_->setCurrentIndex(index);
    return exec();
}

void TOptionsForm::BitBtn5Click() {
    if (LabeledEdit1->text().isEmpty()) LabeledEdit1->setText(DefaultPrime);
    if (LabeledEdit2->text().isEmpty()) LabeledEdit2->setText(DefaultComposite);
    const StoreSession session(store_, true);
    for (const StoredValue& v : storedValues()) {
        const QString name = QString::fromLatin1(v.name);
        if (v.text) store_.writeText(name, v.text->text());
        else store_.writeBool(name, v.check->isChecked());
    }
    accept();
}

// The trailer goes at the end of the file only: the list itself keeps just the numbers.
void TOptionsForm::saveList(QListWidget* list, const QString& title, const QString& proposedName) {
    const auto path = platform_.saveFileName({title, QStringLiteral("text files|*.txt"), QStringLiteral("txt"), proposedName});
    if (!path) return;
    WriteTextFile(*path, ListItems(list) << Trailer);
}

void TOptionsForm::BitBtn8Click() {
    saveList(Memo1, QStringLiteral("Save the found prime numbers..."), QStringLiteral("prime numbers"));
}

void TOptionsForm::BitBtn10Click() {
    saveList(Memo2, QStringLiteral("Save the found numbers..."), QStringLiteral("not prime numbers"));
}

void TOptionsForm::BitBtn9Click() {
    if (Memo1->count() > 0) Memo1->clear();
}

void TOptionsForm::BitBtn11Click() {
    if (Memo2->count() > 0) Memo2->clear();
}

void TOptionsForm::printList(QListWidget* list) {
    if (list->count() == 0) {
        platform_.showMessage(QStringLiteral("The list is empty now, so you cannot print !"));
        return;
    }
    HourglassGuard hourglass;
    platform_.printLines(ListItems(list));   // every line, on as many pages as it takes
}

void TOptionsForm::PrintPBtnClick() { printList(Memo1); }
void TOptionsForm::PrintNPBtnClick() { printList(Memo2); }

void TOptionsForm::PremiersCheckBoxClick() {
    const bool on = PremiersCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Memo1, BitBtn1, BitBtn2, PrintPBtn}) w->setEnabled(on);
}

void TOptionsForm::CheckBox2Click() {
    const bool on = NonPremiersCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Memo2, BitBtn3, BitBtn4, PrintNPBtn}) w->setEnabled(on);
}

void TOptionsForm::CheckBox1Click() { NoteEdit->setReadOnly(!CheckBox1->isChecked()); }

void TOptionsForm::NoteEraseClick() { NoteEdit->clear(); }

void TOptionsForm::NoteSaveClick() {
    const auto path = platform_.saveFileName({QStringLiteral("Save the notebook..."), QStringLiteral("text files|*.txt"),
                                              QStringLiteral("txt"), QStringLiteral("notebook")});
    if (!path) return;
    WriteTextFile(*path, NoteEdit->toPlainText().split(QLatin1Char('\n')));
}

bool TOptionsForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (watched == Memo1->viewport() && Memo1->isEnabled()) BitBtn1->setEnabled(Memo1->count() > 0);
        if (watched == Memo2->viewport() && Memo2->isEnabled()) BitBtn3->setEnabled(Memo2->count() > 0);
    }
    return QDialog::eventFilter(watched, event);
}

bool TOptionsForm::digitFilter() const { return FilterCheckBox->isChecked(); }
bool TOptionsForm::sortHistory() const { return SortCheckBox->isChecked(); }
bool TOptionsForm::autoImport() const { return AutoImport->isChecked(); }
bool TOptionsForm::historyEnabled() const { return HistoryList->isChecked(); }
bool TOptionsForm::addFoundPrime() const { return AddToHisCheckBox->isChecked(); }
bool TOptionsForm::autoExpand() const { return AutoExpand->isChecked(); }
bool TOptionsForm::showMessages() const { return Messages->isChecked(); }
bool TOptionsForm::estimations() const { return LHCheck->isChecked(); }
bool TOptionsForm::countTwins() const { return CTPNCheck->isChecked(); }
bool TOptionsForm::tabPages() const { return TabsRadioButton->isChecked(); }
bool TOptionsForm::separateResults() const { return SepareResult->isChecked(); }
bool TOptionsForm::warnOnExit() const { return WarnExit->isChecked(); }
QString TOptionsForm::primeText() const { return LabeledEdit1->text(); }
QString TOptionsForm::compositeText() const { return LabeledEdit2->text(); }

void TOptionsForm::addPrime(const QString& text) {
    if (!IsInList(text, Memo1)) Memo1->addItem(text);
}

void TOptionsForm::recordVerdict(const QString& text, bool prime) {
    QListWidget* list = prime ? Memo1 : Memo2;
    const QCheckBox* on = prime ? PremiersCheckBox : NonPremiersCheckBox;
    if (on->isChecked() && !IsInList(text, list)) list->addItem(text);
}

void TOptionsForm::appendReport(const QStringList& lines) {
    if (RefBox->isChecked()) NoteEdit->clear();
    for (const QString& line : lines) NoteEdit->append(line);
}
