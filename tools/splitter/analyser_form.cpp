// The Splitter window.
#include "tools/splitter/analyser_form.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTextEdit>

#include "platform/platform.h"
#include "platform/widgets.h"
#include "settings/settings_store.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/runner.h"
#include "ui/services.h"
#include "ui/tool_window.h"

using splitter::Analyse;
using splitter::SplitterMethod;
using splitter::SplitterResult;
using splitter::SplitterRow;

namespace {

struct MethodState {
    const char* item;
    const char* caption;
    int maxLength;
    const char* hint;
    bool titles;
    int keyWidth;
    const char* buttonHint;
};

const MethodState Methods[3] = {
    {"Complete Factorization", "Splitter: Factorization", 40, " < e40", true, 100, "Get the complete factorization of"},
    {"Sample Factor", "Splitter: Sample divisor", 50, " < e50", true, 110, "Get a sample divisor for"},
    {"Prime generator", "Splitter: Prime Generator", 40, " < e40", false, 65, "Reach for the next prime after"},
};

const QString MathValue = QStringLiteral("ME");

}  // namespace

TAnalyserForm::TAnalyserForm(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      services_(services) {
    setObjectName(QStringLiteral("AnalyserForm"));
    // The design's small type: the 100-pixel key column holds "factor10 is Composite".
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    buildControls();
    buildMethodGroup();
    buildResults();
    layOut();
    connectHandlers();
    // FormCreate: the first method.
    methods_[0]->setChecked(true);
    MethodGroupClick();
}

void TAnalyserForm::buildControls() {
    // The typing limit changes with the method (MethodGroupClick).
    ComboBox1 = MakeNumberBox("ComboBox1", 40, QString::fromLatin1(Methods[0].hint), this);
    history_ = new HistoryBoxes(this, services_, {ComboBox1});
    analBtn = named(new QPushButton(QStringLiteral("Analyze"), this), "analBtn");
    analBtn->setCursor(Qt::PointingHandCursor);
    analBtn->setDefault(true);
    BitBtn3 = glyphButton("BitBtn3", QStyle::SP_DialogResetButton, QStringLiteral("<<< Erase this History"), this);
    BitBtn2 = glyphButton("BitBtn2", QStyle::SP_ArrowDown, QStringLiteral("Import from the Tester"), this);

    MathCheckBox = named(new QCheckBox(QStringLiteral("Math expression"), this), "MathCheckBox");
    MathCheckBox->setChecked(true);
    EditionCheck = named(new QCheckBox(QStringLiteral("Edition mode"), this), "EditionCheck");
    EditionCheck->setToolTip(QStringLiteral("If checked, you can edit both the tableau and the math expression area"));
}

void TAnalyserForm::buildMethodGroup() {
    MethodGroup = named(new QGroupBox(QStringLiteral(" Method : "), this), "MethodGroup");
    auto* methodGrid = new QGridLayout(MethodGroup);
    methodGrid->setContentsMargins(4, 0, 2, 2);
    methodGrid->setVerticalSpacing(0);
    methodGrid->setHorizontalSpacing(2);
    for (int i = 0; i < 3; ++i) {
        methods_[i] = new QRadioButton(QString::fromLatin1(Methods[i].item), MethodGroup);
        methods_[i]->setObjectName(QStringLiteral("MethodGroupItem%1").arg(i));
        // Two columns filled top to bottom, as a radio group lays its items out.
        methodGrid->addWidget(methods_[i], i % 2, i / 2);
    }
}

void TAnalyserForm::buildResults() {
    ValueListEditor1 = named(new QTableWidget(0, 2, this), "ValueListEditor1");
    ValueListEditor1->setHorizontalHeaderLabels({QStringLiteral("Status"), QStringLiteral("Factor")});
    ValueListEditor1->verticalHeader()->setVisible(false);
    ValueListEditor1->verticalHeader()->setDefaultSectionSize(15);
    ValueListEditor1->verticalHeader()->setMinimumSectionSize(15);
    ValueListEditor1->horizontalHeader()->setStretchLastSection(true);
    ValueListEditor1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ValueListEditor1->setEditTriggers(QAbstractItemView::NoEditTriggers);

    RichEdit1 = named(new QTextEdit(this), "RichEdit1");
    RichEdit1->setReadOnly(true);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setAcceptRichText(false);
}

// Fixed design: 404 by 276 pixels, top to bottom as the user reads it.
void TAnalyserForm::layOut() {
    ComboBox1->setGeometry(8, 8, 228, 22);
    analBtn->setGeometry(242, 7, 90, 24);
    BitBtn3->move(340, 8);
    BitBtn2->move(370, 8);
    // 404 pixels wide at the default font; wider when the captions of the check boxes or of the
    // methods need it, so that none is cut or runs into the method group.
    const int checks = std::max({108, MathCheckBox->sizeHint().width(), EditionCheck->sizeHint().width()});
    const int group = std::max(280, MethodGroup->sizeHint().width());
    const int inner = std::max(388, checks + 6 + group);
    MathCheckBox->setGeometry(8, 42, checks, 20);
    EditionCheck->setGeometry(8, 64, checks, 20);
    MethodGroup->setGeometry(8 + inner - group, 34, group, 58);
    ValueListEditor1->setGeometry(8, 96, inner, 134);
    RichEdit1->setGeometry(8, 236, inner, 34);
    setFixedSize(inner + 16, 276);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAnalyserForm::connectHandlers() {
    Platform& platform = services_.platform;
    OnClick(analBtn, platform, [this](Closing& closing) { analBtnClick(closing); });
    OnClick(BitBtn2, platform, [this] { BitBtn2Click(); });
    OnClick(BitBtn3, platform, [this] { BitBtn3Click(); });
    OnClick(EditionCheck, platform, [this] { EditionCheckClick(); });
    for (QRadioButton* item : methods_)
        OnSignal(item, &QRadioButton::toggled, platform, [this, item] {
            if (item->isChecked()) MethodGroupClick();
        });
    InstallDigitFilter(ComboBox1, [this] { return services_.settings.digitFilter(); });
    GuardPaste(ComboBox1, services_.platform);
    OnHover(analBtn, [this] { analBtnMouseMove(); });
    EnterPressesDefault(this);
    stored_ = new StoredValues(
        this, services_,
        [this](SettingsStore& store, bool key) {
            if (key && store.valueExists(MathValue)) MathCheckBox->setChecked(store.readBool(MathValue));
        },
        [this](SettingsStore& store) { store.writeBool(MathValue, MathCheckBox->isChecked()); });
}

SplitterMethod TAnalyserForm::method() const {
    for (int i = 0; i < 3; ++i)
        if (methods_[i]->isChecked()) return static_cast<SplitterMethod>(i);
    return SplitterMethod::CompleteFactorization;
}

bool TAnalyserForm::prepareToOpen() { return stored_->read(); }

void TAnalyserForm::analBtnClick(Closing& closing) {
    closing = [this] { ComboBox1->setFocus(); };
    TBigInt n;
    BigFromDecimal(ComboBox1->currentText().toStdString(), n);
    if (BigCompareAbs(n, BigFromInt(1)) != cmpGreater) return;
    const SplitterMethod m = method();
    const bool math = MathCheckBox->isChecked();
    SplitterResult result;
    // A cancelled analysis leaves the history and the outputs as they were.
    if (!services_.runner.run(this, QStringLiteral("Analyze"), [&](Progress& progress) { result = Analyse(m, n, math, progress); }))
        return;
    history_->add(ComboBox1, QString::fromStdString(BigToDecimal(n)));
    clearOutputs();
    for (const SplitterRow& row : result.rows) setValue(QString::fromStdString(row.key), QString::fromStdString(row.value));
    if (!result.expression.empty()) RichEdit1->setPlainText(QString::fromStdString(result.expression));
    // The method's key width, or more when a row label such as "Next prime is" needs it.
    const int keyWidth = Methods[static_cast<int>(m)].keyWidth;
    ValueListEditor1->resizeColumnToContents(0);
    ValueListEditor1->setColumnWidth(0, std::max(keyWidth, ValueListEditor1->columnWidth(0)));
}

void TAnalyserForm::setValue(const QString& key, const QString& value) {
    for (int r = 0; r < ValueListEditor1->rowCount(); ++r)
        if (ValueListEditor1->item(r, 0) && ValueListEditor1->item(r, 0)->text() == key) {
            ValueListEditor1->item(r, 1)->setText(value);
            return;
        }
    const int r = ValueListEditor1->rowCount();
    ValueListEditor1->insertRow(r);
    ValueListEditor1->setItem(r, 0, new QTableWidgetItem(key));
    ValueListEditor1->setItem(r, 1, new QTableWidgetItem(value));
}

void TAnalyserForm::clearOutputs() {
    RichEdit1->clear();
    ValueListEditor1->setRowCount(0);
}

void TAnalyserForm::BitBtn2Click() { history_->importTesterHistory(ComboBox1); }

void TAnalyserForm::BitBtn3Click() { EraseHistory(ComboBox1); }

void TAnalyserForm::MethodGroupClick() {
    const MethodState& s = Methods[static_cast<int>(method())];
    setWindowTitle(QString::fromLatin1(s.caption));
    // The limit holds for typing only: a longer text already in the field stays.
    SetTypedLengthLimit(ComboBox1, s.maxLength);
    ComboBox1->setToolTip(QString::fromLatin1(s.hint));
    ValueListEditor1->horizontalHeader()->setVisible(s.titles);
    ValueListEditor1->setColumnWidth(0, s.keyWidth);
    clearOutputs();
}

void TAnalyserForm::EditionCheckClick() {
    const bool edit = EditionCheck->isChecked();
    RichEdit1->setReadOnly(!edit);
    ValueListEditor1->setEditTriggers(edit ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                                 QAbstractItemView::AnyKeyPressed
                                           : QAbstractItemView::NoEditTriggers);
}

void TAnalyserForm::analBtnMouseMove() {
    const QString text = ComboBox1->currentText();
    if (text.isEmpty()) {
        analBtn->setToolTip(QStringLiteral("Type a number, select a method then click here"));
        return;
    }
    analBtn->setToolTip(QString::fromLatin1(Methods[static_cast<int>(method())].buttonHint) +
                        QStringLiteral("\n\r") + text);
}
