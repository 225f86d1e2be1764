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
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <new>
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

TSearchForm* SearchForm = nullptr;

namespace {

const QString LimitMessage = QStringLiteral("Sorry, you reached the highest limit of Quendra !");
const QString TwinFailure = QStringLiteral(
    "The Twin prime numbers' counter cannot proceed because of low free memory on your computer.\r\n"
    "This feature will be disabled now for more security. But you can activate it again whenever you want from the "
    "Options dialog box.");
const QString SavedMessage = QStringLiteral("OK, the file(s) was/were successfully saved.");

QStringList toQt(const std::vector<std::string>& lines) {
    QStringList out;
    out.reserve((qsizetype)lines.size());
    for (const std::string& l : lines) out << QString::fromStdString(l);
    return out;
}

// An empty field counts as 0; any other text must be a signed decimal 64-bit integer. The
// platform's conversion also reads "$1F" and "0x1F" as hexadecimal: a bound is decimal only.
int64_t readBound(const QComboBox* box) {
    const QString text = box->currentText();
    if (text.isEmpty()) return 0;
    for (const QChar c : text)
        if (c == QLatin1Char('$') || c == QLatin1Char('x') || c == QLatin1Char('X'))
            throw ConversionError(("'" + text + "' is not a valid integer value").toStdString());
    return StrToInt64(text);
}

QCheckBox* checkBox(const char* name, const QString& caption, const QString& hint, QWidget* parent) {
    auto* c = named(new QCheckBox(caption, parent), name);
    c->setToolTip(hint);
    return c;
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
    Platform& platform = services_.platform;

    // The bound fields, their history buttons, the search and close buttons.
    const QString boundHint = QStringLiteral(" < E18-1");
    LowInterval = MakeNumberBox("LowInterval", 18, boundHint, this);
    HighInterval = MakeNumberBox("HighInterval", 18, boundHint, this);
    LowInterval->setEditText(QStringLiteral("2"));
    HighInterval->setEditText(QStringLiteral("100"));
    const QString eraseHint = QStringLiteral("<<< Erase this History");
    auto* BitBtn3 = glyphButton("BitBtn3", QStyle::SP_DialogDiscardButton, eraseHint, this);
    auto* BitBtn5 = glyphButton("BitBtn5", QStyle::SP_DialogDiscardButton, eraseHint, this);
    auto* BitBtn4 = glyphButton("BitBtn4", QStyle::SP_ArrowLeft,
                                QStringLiteral("<<< Import the Tester's History into \"From\" field"), this);
    auto* BitBtn6 = glyphButton("BitBtn6", QStyle::SP_ArrowLeft,
                                QStringLiteral("<<< Import the Tester's History into \"To\" field"), this);
    GO = named(new QPushButton(style()->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("&Search"), this),
               "GO");
    GO->setDefault(true);
    GO->setCursor(Qt::PointingHandCursor);
    GO->setToolTip(QStringLiteral("Click here in order to start searching..."));
    GO->setMouseTracking(true);
    GO->installEventFilter(this);
    auto* BitBtn2 = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("&Close"), this),
                          "BitBtn2");
    BitBtn2->setAutoDefault(false);
    BitBtn2->setToolTip(QStringLiteral("Exit the Search engine"));

    buildPages();

    auto* summaryBox = named(new QGroupBox(QStringLiteral("  The research summary :   "), this), "GroupBox1");
    ResumeListBox = named(new QListWidget(summaryBox), "ResumeListBox");
    ResumeListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* summaryLayout = new QVBoxLayout(summaryBox);
    summaryLayout->setContentsMargins(4, 4, 4, 4);
    summaryLayout->addWidget(ResumeListBox);

    SelLabel = named(new QLabel(QStringLiteral("No Selection"), this), "SelLabel");
    SelLabel->setAlignment(Qt::AlignCenter);
    ValEdit = named(new QLineEdit(this), "ValEdit");
    ValEdit->setReadOnly(true);
    auto* valLabel = named(new QLabel(QStringLiteral("Value="), this), "ValLabel");
    valLabel->setBuddy(ValEdit);

    // The save button and the six boxes that choose its files.
    auto* BitBtn1 = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Save to file"), this),
                          "BitBtn1");
    BitBtn1->setAutoDefault(false);
    BitBtn1->setToolTip(QStringLiteral("Save the current numbers' list into files..."));
    IntroCheck = checkBox("IntroCheck", QStringLiteral("Intro"), QStringLiteral("Save the research summary"), this);
    IntroCheck->setChecked(true);
    part1Check = checkBox("part1Check", QStringLiteral("Part 1"), QStringLiteral("Save the Part 1"), this);
    const char* checkNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"};
    for (int k = 0; k < 4; ++k)
        partChecks_[k] = checkBox(checkNames[k], QStringLiteral("Part %1").arg(k + 2),
                                  QStringLiteral("Save the Part %1").arg(k + 2), this);

    // Layout: bounds, buttons and summary on the left; pages and the selection on the right.
    auto* bounds = new QGridLayout;
    bounds->setHorizontalSpacing(3);
    bounds->setColumnStretch(1, 1);
    auto* fromLabel = named(new QLabel(QStringLiteral("From :"), this), "Label1");
    fromLabel->setBuddy(LowInterval);
    auto* toLabel = named(new QLabel(QStringLiteral("To :"), this), "Label2");
    toLabel->setBuddy(HighInterval);
    bounds->addWidget(fromLabel, 0, 0);
    bounds->addWidget(LowInterval, 0, 1);
    bounds->addWidget(BitBtn3, 0, 2);
    bounds->addWidget(BitBtn4, 0, 3);
    bounds->addWidget(toLabel, 1, 0);
    bounds->addWidget(HighInterval, 1, 1);
    bounds->addWidget(BitBtn5, 1, 2);
    bounds->addWidget(BitBtn6, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(GO);
    buttons->addWidget(BitBtn2);
    auto* checks = new QGridLayout;
    checks->addWidget(IntroCheck, 0, 0);
    checks->addWidget(part1Check, 0, 1);
    checks->addWidget(partChecks_[0], 0, 2);
    checks->addWidget(partChecks_[1], 1, 0);
    checks->addWidget(partChecks_[2], 1, 1);
    checks->addWidget(partChecks_[3], 1, 2);
    auto* left = new QVBoxLayout;
    left->addLayout(bounds);
    left->addLayout(buttons);
    left->addWidget(summaryBox, 1);
    left->addLayout(checks);
    left->addWidget(BitBtn1);
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
    setFixedSize(566, 372);

    setPageStyle(services_.settings.tabPages());

    OnClick(GO, platform, [this] { GOClick(); });
    OnClick(BitBtn2, platform, [this] { accept(); });
    OnClick(BitBtn1, platform, [this] { BitBtn1Click(); });
    OnClick(BitBtn3, platform, [this] { BitBtn3Click(); });
    OnClick(BitBtn4, platform, [this] { BitBtn4Click(); });
    OnClick(BitBtn5, platform, [this] { BitBtn5Click(); });
    OnClick(BitBtn6, platform, [this] { BitBtn6Click(); });
    for (QComboBox* box : {LowInterval, HighInterval}) {
        connect(box, &QComboBox::editTextChanged, this,
                [this] { Guarded(services_.platform, [this] { LowIntervalChange(); }); });
        InstallDigitFilter(box, [this] { return services_.settings.digitFilter(); });
    }
}

bool TSearchForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) Guarded(services_.platform, [this] { FormActivate(); });
    return QDialog::event(e);
}

bool TSearchForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == GO && (e->type() == QEvent::MouseMove || e->type() == QEvent::Enter))
        Guarded(services_.platform, [this] { GOMouseMove(); });
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

void TSearchForm::FormActivate() {
    LowInterval->setFocus();
    sortedHistory_ = services_.settings.sortHistory();
    if (!sortedHistory_) return;
    for (QComboBox* box : {LowInterval, HighInterval}) {
        const QSignalBlocker quiet(box);   // sorting keeps the text: no new preview
        SortHistory(box);
    }
}

void TSearchForm::GOClick() {
    if (services_.runner.busy()) return;
    Platform& platform = services_.platform;

    // The bounds are read before anything changes, so that a cancelled search leaves the
    // window as it was; a text that is no integer still empties the lists first.
    int64_t low = 0, high = 0;
    try {
        low = readBound(LowInterval);
        high = readBound(HighInterval);
    } catch (const ConversionError&) {
        for (QStringListModel* m : parts_) m->setStringList({});
        resetSelection();
        for (QCheckBox* c : partChecks_) c->setChecked(false);
        throw;
    }
    const search::Bounds bounds = search::ClampBounds(low, high);
    const bool countTwins = services_.settings.countTwins();
    const QDateTime start = platform.now();

    // The engine's result and its texts, made off the user-interface thread.
    search::SearchResult found;
    std::array<QStringList, search::PartCount> texts;
    std::optional<int64_t> twins;
    bool twinFailure = false;
    const bool completed = services_.runner.run(this, QStringLiteral("Searching prime numbers"), [&](Progress& progress) {
        progress.report(0, "Searching from " + search::WholeNumberText(bounds.low) + " to " +
                               search::WholeNumberText(bounds.high));
        found = search::SearchPrimes(bounds.low, bounds.high, progress);
        progress.report(1, "Filling the lists");
        const int filled = search::FilledPartsFor(found.primes.size());
        for (int k = 0; k < filled; ++k) {
            const auto part = search::PartOf(found.primes, k);
            texts[k].reserve((qsizetype)part.size() + 1);
            for (int64_t p : part) texts[k] << QString::number(p);
        }
        progress.check();
        if (!countTwins) return;
        // The count reads the entries of the lists, as a copy of their texts.
        try {
            std::vector<std::string> entries;
            entries.reserve(found.primes.size());
            for (const QStringList& part : texts)
                for (const QString& t : part) entries.push_back(t.toStdString());
            twins = search::CountTwinPairs(entries);
        } catch (const search::TwinCountError&) {
            twinFailure = true;
        } catch (const std::bad_alloc&) {
            twinFailure = true;
        }
    });
    if (!completed) return;

    // The lists, each non-empty one closed by the credit line (the twin count has read them
    // before), and the fields.
    for (int k = 0; k < search::PartCount; ++k) {
        if (!texts[k].isEmpty()) texts[k] << QString::fromLatin1(search::CreditLine);
        parts_[k]->setStringList(texts[k]);
    }
    resetSelection();
    SearchLow = bounds.low;
    SearchHigh = bounds.high;
    const QString lowText = QString::fromStdString(search::WholeNumberText(bounds.low));
    const QString highText = QString::fromStdString(search::WholeNumberText(bounds.high));
    LowInterval->setEditText(lowText);
    HighInterval->setEditText(highText);
    ImportHistory(LowInterval, {lowText}, sortedHistory_);
    ImportHistory(HighInterval, {highText}, sortedHistory_);
    setWindowTitle(QStringLiteral("Search Engine:  ") + lowText + QStringLiteral(" < Prime < ") + highText);
    if (found.limitReached) platform.showMessage(LimitMessage);

    // Pages and their captions.
    FilledParts = search::FilledPartsFor(found.primes.size());
    if (FilledParts >= 1) PageControl1->setTabVisible(0, true);
    for (int k = 1; k < search::PartCount; ++k) PageControl1->setTabVisible(k, k < FilledParts);
    for (int k = 0; k < search::PartCount; ++k)
        PageControl1->setTabText(k, QStringLiteral("Part %1/%2").arg(k + 1).arg(FilledParts));

    // The summary.
    if (twinFailure) {
        platform.showMessage(TwinFailure);
        services_.settings.setCountTwins(false);
        twins = 0;
    }
    const QDateTime end = platform.now();
    search::SummaryInput summary;
    summary.date = QLocale().toString(start.date(), QLocale::ShortFormat).toStdString();
    summary.start = Platform::longTimeText(start.time()).toStdString();
    summary.end = Platform::longTimeText(end.time()).toStdString();
    // Times of day only: past midnight the difference wraps around as the two times give it.
    summary.duration = Platform::longTimeText(QTime(0, 0).addMSecs(start.time().msecsTo(end.time()))).toStdString();
    summary.low = bounds.low;
    summary.high = bounds.high;
    for (int k = 0; k < FilledParts; ++k) {
        const auto part = search::PartOf(found.primes, k);
        summary.firstOfPart.push_back(part.front());
        summary.lastOfPart.push_back(part.back());
    }
    summary.total = (int64_t)found.primes.size();
    summary.estimate = search::PrimeCountEstimate((long double)bounds.low, (long double)bounds.high);
    if (countTwins) summary.twins = twins.value_or(0);
    ResumeListBox->clear();
    ResumeListBox->addItems(toQt(search::SummaryLines(summary)));

    for (QCheckBox* c : partChecks_) c->setChecked(false);
    IntroCheck->setChecked(true);
    part1Check->setChecked(true);
    for (int k = 0; k < 4; ++k) partChecks_[k]->setChecked(FilledParts >= k + 2);
    PageControl1->setCurrentIndex(0);
}

void TSearchForm::LowIntervalChange() {
    if (!services_.settings.estimations()) return;
    std::optional<int64_t> estimate;
    try {
        estimate = search::PrimeCountEstimate(StrToFloat(LowInterval->currentText()), StrToFloat(HighInterval->currentText()));
    } catch (const ConversionError&) {
        estimate.reset();
    }
    ResumeListBox->clear();
    ResumeListBox->addItems(toQt(search::PreviewLines(estimate)));
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
            QStringList lines;
            for (int i = 0; i < ResumeListBox->count(); ++i) lines << ResumeListBox->item(i)->text();
            WriteTextFile(QString::fromStdString(search::SummaryFileName(base)), lines);
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
void TSearchForm::BitBtn4Click() { ImportHistory(LowInterval, services_.histories.testerHistory(), sortedHistory_); }
void TSearchForm::BitBtn6Click() { ImportHistory(HighInterval, services_.histories.testerHistory(), sortedHistory_); }

void TSearchForm::GOMouseMove() {
    const QString low = LowInterval->currentText(), high = HighInterval->currentText();
    if (!low.isEmpty() && !high.isEmpty())
        GO->setToolTip(QStringLiteral("Start searching all prime numbers \r\nbetween ") + low + QStringLiteral(" and ") + high);
    else
        GO->setToolTip(QStringLiteral("The both fields are empty, so the search is not possible..."));
}
