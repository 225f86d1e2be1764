// The search engine window: reads the bounds, runs the engine through the runner, and puts
// the parts, the pages, the summary and the check boxes in place.
#include "tools/search/search_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <optional>

#include "platform/files.h"
#include "platform/platform.h"
#include "platform/widgets.h"
#include "tools/search/search_engine.h"
#include "ui/convert.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/runner.h"
#include "ui/services.h"
#include "ui/tool_window.h"

namespace {

const QString LimitMessage = QStringLiteral("Sorry, you reached the highest limit of Quendra !");
const QString SavedMessage = QStringLiteral("OK, the file(s) was/were successfully saved.");

int64_t readBound(const QComboBox* box) { return search::ReadBound(box->currentText().toStdString()); }

QCheckBox* checkBox(const char* name, const QString& caption, const QString& hint, QWidget* parent) {
    auto* c = named(new QCheckBox(caption, parent), name);
    c->setToolTip(hint);
    return c;
}

QPushButton* iconButton(const char* name, QStyle::StandardPixmap icon, const QString& caption, const QString& hint,
                        QWidget* parent) {
    auto* b = named(new QPushButton(parent->style()->standardIcon(icon), caption, parent), name);
    b->setToolTip(hint);
    return b;
}

}  // namespace

TSearchForm::TSearchForm(Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      services_(services) {
    setObjectName(QStringLiteral("SearchForm"));
    setWindowTitle(QStringLiteral("Prime numbers Search Engine"));
    setFont(QFont(QStringLiteral("Arial")));
    setModal(true);
    buildBoundFields();
    buildPages();
    buildSummary();
    buildSaveChecks();
    layOut();
    setFixedSize(566, 372);
    setPageStyle(services_.settings.tabPages());
    connectHandlers();
}

// The bound fields, their history buttons, the search and close buttons.
void TSearchForm::buildBoundFields() {
    const QString boundHint = QStringLiteral(" < E18-1");
    LowInterval = MakeNumberBox("LowInterval", 18, boundHint, this);
    HighInterval = MakeNumberBox("HighInterval", 18, boundHint, this);
    LowInterval->setEditText(QStringLiteral("2"));
    HighInterval->setEditText(QStringLiteral("100"));
    histories_ = new HistoryBoxes(this, services_, {LowInterval, HighInterval});
    const QString eraseHint = QStringLiteral("<<< Erase this History");
    // Created in the order of the tab chain: both erase buttons, then both import buttons.
    historyButtons_[0] = glyphButton("BitBtn3", QStyle::SP_DialogDiscardButton, eraseHint, this);
    historyButtons_[2] = glyphButton("BitBtn5", QStyle::SP_DialogDiscardButton, eraseHint, this);
    historyButtons_[1] = glyphButton("BitBtn4", QStyle::SP_ArrowLeft,
                                     QStringLiteral("<<< Import the Tester's History into \"From\" field"), this);
    historyButtons_[3] = glyphButton("BitBtn6", QStyle::SP_ArrowLeft,
                                     QStringLiteral("<<< Import the Tester's History into \"To\" field"), this);
    GO = iconButton("GO", QStyle::SP_FileDialogContentsView, QStringLiteral("&Search"),
                    QStringLiteral("Click here in order to start searching..."), this);
    GO->setDefault(true);
    GO->setCursor(Qt::PointingHandCursor);
    BitBtn2 = iconButton("BitBtn2", QStyle::SP_DialogCloseButton, QStringLiteral("&Close"),
                         QStringLiteral("Exit the Search engine"), this);
    BitBtn2->setAutoDefault(false);
}

// The research summary and the selected entry.
void TSearchForm::buildSummary() {
    summaryBox_ = named(new QGroupBox(QStringLiteral("  The research summary :   "), this), "GroupBox1");
    ResumeListBox = named(new QListWidget(summaryBox_), "ResumeListBox");
    ResumeListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* summaryLayout = new QVBoxLayout(summaryBox_);
    summaryLayout->setContentsMargins(4, 4, 4, 4);
    summaryLayout->addWidget(ResumeListBox);
    SelLabel = named(new QLabel(QStringLiteral("No Selection"), this), "SelLabel");
    SelLabel->setAlignment(Qt::AlignCenter);
    ValEdit = named(new QLineEdit(this), "ValEdit");
    ValEdit->setReadOnly(true);
}

// The save button and the six boxes that choose its files.
void TSearchForm::buildSaveChecks() {
    BitBtn1 = iconButton("BitBtn1", QStyle::SP_DialogSaveButton, QStringLiteral("Save to file"),
                         QStringLiteral("Save the current numbers' list into files..."), this);
    BitBtn1->setAutoDefault(false);
    IntroCheck = checkBox("IntroCheck", QStringLiteral("Intro"), QStringLiteral("Save the research summary"), this);
    IntroCheck->setChecked(true);
    part1Check = checkBox("part1Check", QStringLiteral("Part 1"), QStringLiteral("Save the Part 1"), this);
    const char* checkNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"};
    for (int k = 0; k < 4; ++k)
        partChecks_[k] = checkBox(checkNames[k], QStringLiteral("Part %1").arg(k + 2),
                                  QStringLiteral("Save the Part %1").arg(k + 2), this);
}

// Bounds, buttons, summary and save boxes on the left; pages and the selection on the right.
void TSearchForm::layOut() {
    auto* bounds = new QGridLayout;
    bounds->setHorizontalSpacing(3);
    bounds->setColumnStretch(1, 1);
    // Each bound field shows its longest allowed text, 18 digits, whole.
    for (QComboBox* box : {LowInterval, HighInterval}) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = true;
        const QSize text(box->fontMetrics().horizontalAdvance(QString(18, QLatin1Char('9'))) + 8, box->sizeHint().height());
        box->setMinimumWidth(box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, box).width());
    }
    auto* fromLabel = named(new QLabel(QStringLiteral("From :"), this), "Label1");
    fromLabel->setBuddy(LowInterval);
    auto* toLabel = named(new QLabel(QStringLiteral("To :"), this), "Label2");
    toLabel->setBuddy(HighInterval);
    QWidget* const rows[2][4] = {{fromLabel, LowInterval, historyButtons_[0], historyButtons_[1]},
                                 {toLabel, HighInterval, historyButtons_[2], historyButtons_[3]}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c) bounds->addWidget(rows[r][c], r, c);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(GO);
    buttons->addWidget(BitBtn2);
    auto* checks = new QGridLayout;
    QCheckBox* const boxes[6] = {IntroCheck, part1Check, partChecks_[0], partChecks_[1], partChecks_[2], partChecks_[3]};
    for (int k = 0; k < 6; ++k) checks->addWidget(boxes[k], k / 3, k % 3);
    auto* left = new QVBoxLayout;
    left->addLayout(bounds);
    left->addLayout(buttons);
    left->addWidget(summaryBox_, 1);
    left->addLayout(checks);
    left->addWidget(BitBtn1);
    auto* valLabel = named(new QLabel(QStringLiteral("Value="), this), "ValLabel");
    valLabel->setBuddy(ValEdit);
    auto* value = new QHBoxLayout;
    value->addWidget(valLabel);
    value->addWidget(ValEdit, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(PageControl1, 1);
    right->addWidget(SelLabel);
    right->addLayout(value);
    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(8, 8, 8, 8);
    top->addLayout(left, 3);
    top->addLayout(right, 2);
}

void TSearchForm::connectHandlers() {
    Platform& platform = services_.platform;
    OnClick(GO, platform, [this](Closing& closing) { GOClick(closing); });
    OnClick(BitBtn2, platform, [this] { accept(); });
    OnClick(BitBtn1, platform, [this] { BitBtn1Click(); });
    OnClick(historyButtons_[0], platform, [this] { BitBtn3Click(); });
    OnClick(historyButtons_[1], platform, [this] { BitBtn4Click(); });
    OnClick(historyButtons_[2], platform, [this] { BitBtn5Click(); });
    OnClick(historyButtons_[3], platform, [this] { BitBtn6Click(); });
    OnHover(GO, [this] { GOMouseMove(); });
    for (QComboBox* box : {LowInterval, HighInterval}) {
        OnSignal(box, &QComboBox::editTextChanged, platform, [this] { LowIntervalChange(); });
        InstallDigitFilter(box, [this] { return services_.settings.digitFilter(); });
        GuardPaste(box, services_.platform);
    }
}

bool TSearchForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease)
        for (int k = 0; k < search::PartCount; ++k)
            if (watched == reports_[k]->viewport()) Guarded(services_.platform, [this, k] { ReportClick(k); });
    return QDialog::eventFilter(watched, e);
}

void TSearchForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (centred_) return;   // centred once; afterwards the window opens where the user left it
    centred_ = true;
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void TSearchForm::GOClick(Closing& closing) {
    if (services_.runner.busy()) return;
    // The bounds are read before anything changes, so that a cancelled search leaves the
    // window as it was; a text that is no integer still empties the lists first.
    closing = [this] { clearResults(); };
    const int64_t low = readBound(LowInterval), high = readBound(HighInterval);
    closing.clear();
    const search::Bounds bounds = search::ClampBounds(low, high);
    const bool countTwins = services_.settings.countTwins();
    const QDateTime start = services_.platform.now();
    Findings found;
    if (!services_.runner.run(this, QStringLiteral("Searching prime numbers"),
                              [&](Progress& progress) { found = find(bounds, countTwins, progress); }))
        return;
    showLists(found, bounds);
    if (found.result.limitReached) services_.platform.showMessage(LimitMessage);
    FilledParts = search::FilledPartsFor(found.result.primes.size());
    showPages();
    showSummary(found, bounds, start);
    checkFilledParts();
}

void TSearchForm::clearResults() {
    for (QStringListModel* m : parts_) m->setStringList({});
    resetSelection();
    for (QCheckBox* c : partChecks_) c->setChecked(false);
    // The pages and their captions describe the lists: with the lists empty, no part is filled.
    FilledParts = 0;
    showPages();
}

// The search, the texts of the parts' lists and the twin count (which reads the same primes
// as the lists show), off the user-interface thread.
TSearchForm::Findings TSearchForm::find(const search::Bounds& bounds, bool countTwins, Progress& progress) {
    Findings found;
    progress.report(0, "Searching from " + search::WholeNumberText(bounds.low) + " to " +
                           search::WholeNumberText(bounds.high));
    found.result = search::SearchPrimes(bounds.low, bounds.high, progress);
    progress.report(1, "Filling the lists");
    const int filled = search::FilledPartsFor(found.result.primes.size());
    for (int k = 0; k < filled; ++k) {
        const auto part = search::PartOf(found.result.primes, k);
        found.texts[k].reserve((qsizetype)part.size() + 1);
        for (int64_t p : part) found.texts[k] << QString::number(p);
    }
    progress.check();
    if (countTwins) found.twins = search::CountTwinPairs(found.result.primes);
    return found;
}

// The lists, each non-empty one closed by the credit line, and the fields with their histories.
void TSearchForm::showLists(const Findings& found, const search::Bounds& bounds) {
    for (int k = 0; k < search::PartCount; ++k) {
        QStringList texts = found.texts[k];
        if (!texts.isEmpty()) texts << QString::fromLatin1(search::CreditLine);
        parts_[k]->setStringList(texts);
    }
    resetSelection();
    SearchLow = bounds.low;
    SearchHigh = bounds.high;
    const QString lowText = QString::fromStdString(search::WholeNumberText(bounds.low));
    const QString highText = QString::fromStdString(search::WholeNumberText(bounds.high));
    LowInterval->setEditText(lowText);
    HighInterval->setEditText(highText);
    histories_->add(LowInterval, lowText);
    histories_->add(HighInterval, highText);
    setWindowTitle(QStringLiteral("Search Engine:  ") + lowText + QStringLiteral(" < Prime < ") + highText);
}

// The pages of the filled parts and their captions.
void TSearchForm::showPages() {
    if (FilledParts >= 1) PageControl1->setTabVisible(0, true);
    for (int k = 1; k < search::PartCount; ++k) PageControl1->setTabVisible(k, k < FilledParts);
    for (int k = 0; k < search::PartCount; ++k)
        PageControl1->setTabText(k, QStringLiteral("Part %1/%2").arg(k + 1).arg(FilledParts));
}

void TSearchForm::showSummary(const Findings& found, const search::Bounds& bounds, const QDateTime& start) {
    const QDateTime end = services_.platform.now();
    search::SummaryInput summary;
    summary.date = QLocale().toString(start.date(), QLocale::ShortFormat).toStdString();
    summary.start = Platform::longTimeText(start.time()).toStdString();
    summary.end = Platform::longTimeText(end.time()).toStdString();
    // Times of day only: past midnight the difference wraps around as the two times give it.
    summary.duration = Platform::longTimeText(QTime(0, 0).addMSecs(start.time().msecsTo(end.time()))).toStdString();
    summary.low = bounds.low;
    summary.high = bounds.high;
    for (int k = 0; k < FilledParts; ++k) {
        const auto part = search::PartOf(found.result.primes, k);
        summary.firstOfPart.push_back(part.front());
        summary.lastOfPart.push_back(part.back());
    }
    summary.total = (int64_t)found.result.primes.size();
    summary.estimate = search::PrimeCountEstimate((long double)bounds.low, (long double)bounds.high);
    summary.twins = found.twins;
    ResumeListBox->clear();
    ResumeListBox->addItems(ToStringList(search::SummaryLines(summary)));
}

// The save boxes: the summary and every filled part.
void TSearchForm::checkFilledParts() {
    IntroCheck->setChecked(true);
    part1Check->setChecked(true);
    for (int k = 0; k < 4; ++k) partChecks_[k]->setChecked(FilledParts >= k + 2);
    PageControl1->setCurrentIndex(0);
}

void TSearchForm::LowIntervalChange() {
    if (!services_.settings.estimations()) return;
    const auto low = ParseFloat(LowInterval->currentText()), high = ParseFloat(HighInterval->currentText());
    std::optional<int64_t> estimate;
    if (low && high) estimate = search::PrimeCountEstimate(*low, *high);
    ResumeListBox->clear();
    ResumeListBox->addItems(ToStringList(search::PreviewLines(estimate)));
}

void TSearchForm::BitBtn1Click() {
    Platform& platform = services_.platform;
    const auto chosen = platform.saveFileName(FileDialogRequest{
        QStringLiteral("Save the list of prime numbers into..."), QStringLiteral("text file|*.txt"), QStringLiteral("txt"),
        QString::fromStdString(search::ProposedFileName(SearchLow, SearchHigh))});
    if (!chosen) return;
    {
        HourglassGuard hourglass;
        const std::string base = chosen->toStdString();
        if (FilledParts >= 1 && IntroCheck->isChecked()) {
            WriteTextFile(QString::fromStdString(search::SummaryFileName(base)), ListItems(ResumeListBox));
        }
        const std::array<const QCheckBox*, 5> wanted{part1Check, partChecks_[0], partChecks_[1], partChecks_[2],
                                                     partChecks_[3]};
        for (int k = 0; k < search::PartCount; ++k)
            if (FilledParts >= k + 1 && wanted[k]->isChecked())
                WriteTextFile(QString::fromStdString(search::PartFileName(base, k + 1)), parts_[k]->stringList());
    }
    if (services_.settings.showMessages()) platform.showMessage(SavedMessage);
}

// The history buttons keep the fields' texts, so no preview follows them.
void TSearchForm::BitBtn3Click() { EraseHistory(LowInterval); }
void TSearchForm::BitBtn5Click() { EraseHistory(HighInterval); }
void TSearchForm::BitBtn4Click() { histories_->importTesterHistory(LowInterval); }
void TSearchForm::BitBtn6Click() { histories_->importTesterHistory(HighInterval); }

void TSearchForm::GOMouseMove() {
    const QString low = LowInterval->currentText(), high = HighInterval->currentText();
    if (!low.isEmpty() && !high.isEmpty())
        GO->setToolTip(QStringLiteral("Start searching all prime numbers \r\nbetween ") + low + QStringLiteral(" and ") + high);
    else
        GO->setToolTip(QStringLiteral("The both fields are empty, so the search is not possible..."));
}
