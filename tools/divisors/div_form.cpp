// The divisor finder window.
#include "tools/divisors/div_form.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "platform/files.h"
#include "platform/platform.h"
#include "platform/widgets.h"
#include "settings/settings_store.h"
#include "tools/divisors/divisor_tree_model.h"
#include "ui/convert.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/services.h"
#include "ui/tool_window.h"

namespace {

const QString SquareRootMark = QStringLiteral(" (Square root)");
const QString ListFilter = QStringLiteral("Text files (*.txt)|*.txt|All files|*.*");
const QString WidthValue = QStringLiteral("WWidth"), HeightValue = QStringLiteral("WHeight");
constexpr int DefaultWidth = 218, DefaultHeight = 250, MinWidth = 218, MinHeight = 215;

// The two pictures of the tree, drawn rather than shipped: a radical sign for the square
// root, a hooked arrow for a co-divisor.
QIcon DrawIcon(bool squareRoot) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    if (squareRoot) {
        p.setPen(QPen(QColor(0, 0, 160), 1.6));
        path.moveTo(1, 9);
        path.lineTo(4, 8);
        path.lineTo(7, 14);
        path.lineTo(10, 2);
        path.lineTo(15, 2);
    } else {
        p.setPen(QPen(QColor(0, 110, 0), 1.6));
        path.moveTo(3, 1);
        path.lineTo(3, 10);
        path.lineTo(13, 10);
        path.moveTo(10, 7);
        path.lineTo(13, 10);
        path.lineTo(10, 13);
    }
    p.drawPath(path);
    return QIcon(pixmap);
}

void SetTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QString Text(const std::string& s) { return QString::fromStdString(s); }

// The entries of a list file; nothing when the file cannot be read or holds no divisor list.
std::optional<std::vector<divisors::ListEntry>> ReadList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return divisors::ParseDivisorList(QString::fromLocal8Bit(bytes).toStdString());
}

// The number a list belongs to: its first entry times the first child. A list whose first
// entry is a square root without a child (the list of the square of a prime) gives that root
// squared. Nothing when the entries make no number.
std::optional<QString> RestoredNumber(const std::vector<divisors::ListEntry>& entries) {
    if (entries.empty()) return std::nullopt;
    QString a = Text(entries[0].text), b;
    if (entries.size() > 1 && entries[1].level == 1) b = Text(entries[1].text);
    else if (a.endsWith(SquareRootMark)) b = a = a.chopped(SquareRootMark.size());
    else return std::nullopt;
    if (auto exact = divisors::ProductText(a.trimmed().toStdString(), b.trimmed().toStdString())) return Text(*exact);
    const std::optional<long double> x = ParseFloat(a), y = ParseFloat(b);
    if (!x || !y || !std::isfinite(*x * *y)) return std::nullopt;
    return Text(divisors::PlainNumberText(*x * *y));
}

}  // namespace

TDivForm::TDivForm(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      services_(services) {
    setObjectName(QStringLiteral("DivForm"));
    setWindowTitle(QStringLiteral("All dividers..."));
    ImageList1[0] = DrawIcon(true);
    ImageList1[1] = DrawIcon(false);
    buildControls();
    layOut();
    connectHandlers();
    setMinimumSize(MinWidth, MinHeight);
    resize(DefaultWidth, DefaultHeight);
}

void TDivForm::buildControls() {
    ComboBox1 = MakeNumberBox("ComboBox1", 18, QStringLiteral(" < e19"), this);
    QFont bold = ComboBox1->font();
    bold.setBold(true);
    ComboBox1->setFont(bold);
    ComboBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    history_ = new HistoryBoxes(this, services_, {ComboBox1});

    FindButton = named(new QPushButton(QStringLiteral("Find"), this), "FindButton");
    FindButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    FindButton->setFont(bold);
    FindButton->setCursor(Qt::PointingHandCursor);
    FindButton->setToolTip(QStringLiteral("Find all dividers"));
    FindButton->setDefault(true);

    DividersTree = named(new QTreeView(this), "DividersTree");
    model_ = new DivisorTreeModel(ImageList1[0], ImageList1[1], this);
    DividersTree->setModel(model_);
    DividersTree->setHeaderHidden(true);
    DividersTree->setIndentation(19);
    DividersTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DividersTree->setUniformRowHeights(true);   // lets the view lay out 100000 rows at once
    // Whole 18-digit co-divisors: the column is as wide as its entries, scrolled sideways when
    // wider than the view.
    DividersTree->header()->setStretchLastSection(false);
    DividersTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    DividersTree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    DividersTree->setTextElideMode(Qt::ElideNone);
    DividersTree->setContextMenuPolicy(Qt::CustomContextMenu);

    Label2 = named(new QLabel(this), "Label2");
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);

    BitBtn1 = glyphButton("BitBtn1", QStyle::SP_TrashIcon, QStringLiteral("Erase current tool's History"), this);
    ImportButton = glyphButton("ImportButton", QStyle::SP_ArrowDown, QStringLiteral("Import the Tester's History"), this);
    BitBtn2 = glyphButton("BitBtn2", QStyle::SP_DialogSaveButton, QStringLiteral("Save the current list into a file"), this);
    BitBtn6 = glyphButton("BitBtn6", QStyle::SP_DialogOpenButton, QStringLiteral("Load a list from a saved file"), this);
    ExpandButton = glyphButton("ExpandButton", QStyle::SP_ToolBarVerticalExtensionButton, QStringLiteral("Expand the list"), this);
    BitBtn5 = glyphButton("BitBtn5", QStyle::SP_TitleBarShadeButton, QStringLiteral("Summary"), this);

    ListPopupMenu = named(new QMenu(this), "ListPopupMenu");
    named(ListPopupMenu->addAction(QStringLiteral("&Copy the selected factor")), "Copyfactor1");
}

void TDivForm::layOut() {
    auto* top = new QHBoxLayout;
    top->setSpacing(4);
    top->addWidget(ComboBox1, 1);
    top->addWidget(FindButton);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (QPushButton* b : {BitBtn1, ImportButton, BitBtn2, BitBtn6, ExpandButton, BitBtn5}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addLayout(top);
    column->addWidget(DividersTree, 1);
    column->addWidget(Label2);
    column->addLayout(buttons);
}

void TDivForm::connectHandlers() {
    Platform& platform = services_.platform;
    OnClick(FindButton, platform, [this] { FindButtonClick(); });
    OnClick(ExpandButton, platform, [this] { ExpandButtonClick(); });
    OnClick(BitBtn5, platform, [this] { BitBtn5Click(); });
    OnClick(BitBtn1, platform, [this] { BitBtn1Click(); });
    OnClick(ImportButton, platform, [this] { ImportButtonClick(); });
    OnClick(BitBtn2, platform, [this] { BitBtn2Click(); });
    OnClick(BitBtn6, platform, [this] { BitBtn6Click(); });
    OnTrigger(ListPopupMenu->actions().front(), platform, [this] { Copyfactor1Click(); });
    OnSignal(ComboBox1, &QComboBox::editTextChanged, platform, [this] { ComboBox1Change(); });
    connect(DividersTree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ListPopupMenu->popup(DividersTree->viewport()->mapToGlobal(at)); });
    InstallDigitFilter(ComboBox1, [this] { return services_.settings.digitFilter(); });
    GuardPaste(ComboBox1, services_.platform);
    OnHover(FindButton, [this] { FindButtonMouseMove(); });
    EnterPressesDefault(this);
    // The size is kept as WWidth and WHeight (218 and 250 when absent). Each value takes effect
    // as soon as it is read: a failing WHeight leaves the width already set.
    stored_ = new StoredValues(
        this, services_,
        [this](SettingsStore& store, bool key) {
            resize(key && store.valueExists(WidthValue) ? store.readInteger(WidthValue) : DefaultWidth, height());
            resize(width(), key && store.valueExists(HeightValue) ? store.readInteger(HeightValue) : DefaultHeight);
        },
        [this](SettingsStore& store) {
            store.writeInteger(WidthValue, width());
            store.writeInteger(HeightValue, height());
        });
}

bool TDivForm::prepareToOpen() {
    if (!stored_->read()) return false;
    if (services_.settings.autoImport()) ImportButton->click();
    return true;
}

divisors::Subject TDivForm::readNumber(const QString& text) const {
    // Integers are read exactly, whatever their length; anything else as the platform's
    // widest floating point, which also gives the failure message for text that is no number.
    if (auto whole = divisors::WholeSubject(text.trimmed().toStdString())) return *whole;
    const long double value = StrToFloat(text);
    return divisors::FloatSubject(value);
}

void TDivForm::FindButtonClick() {
    const divisors::Subject subject = readNumber(ComboBox1->currentText());
    const QString text = Text(subject.text);
    ComboBox1->setEditText(text);
    {
        HourglassGuard hourglass;
        if (services_.settings.historyEnabled()) history_->add(ComboBox1, text);
        // The model holds the pairs as numbers and the view asks only for the rows it shows:
        // 100000 entries arrive in one reset, in milliseconds.
        model_->setPairs(divisors::DivisorPairs(subject.w));
    }
    const int count = model_->entryCount();
    if (count == 0 && subject.w >= 2) {
        SetTextColor(Label2, QColor(255, 0, 0));
        Label2->setText(QStringLiteral("We\"ve found a prime number !"));
        services_.platform.beep();
        if (services_.settings.showMessages())
            services_.platform.showMessage(QStringLiteral("The number: \"") + text + QStringLiteral("\" is Prime !"));
        if (services_.settings.addFoundPrime()) services_.histories.addPrime(text);
    } else {
        // Numbers below 2 (0, 1, negatives) have no divisor between 1 and themselves but
        // are not prime either: they get the count line with 0.
        SetTextColor(Label2, QColor(0, 0, 0));
        Label2->setText(QStringLiteral("We\"ve found ") + QString::number(count) + QStringLiteral(" dividers"));
    }
    ComboBox1->setFocus();
    if (services_.settings.autoExpand()) ExpandButtonClick();
}

void TDivForm::ExpandButtonClick() { DividersTree->expandAll(); }

void TDivForm::BitBtn5Click() { DividersTree->collapseAll(); }

void TDivForm::BitBtn1Click() { EraseHistory(ComboBox1); }

void TDivForm::ImportButtonClick() { history_->importTesterHistory(ComboBox1); }

void TDivForm::Copyfactor1Click() {
    const QModelIndex current = DividersTree->currentIndex();
    if (current.isValid() && DividersTree->selectionModel()->isSelected(current))
        services_.platform.setClipboardText(current.data().toString());
}

void TDivForm::BitBtn2Click() {
    const auto name = services_.platform.saveFileName({QStringLiteral("Save thie current dividers' list into..."), ListFilter,
                                                       QStringLiteral("txt"),
                                                       QStringLiteral("Divisors list of ") + ComboBox1->currentText()});
    if (!name) return;
    WriteTextFile(*name, model_->lines());
    if (services_.settings.showMessages())
        services_.platform.showMessage(QStringLiteral("The File: \"") + QFileInfo(*name).absoluteFilePath() +
                                       QStringLiteral("\" was created !"));
}

void TDivForm::BitBtn6Click() {
    const auto name = services_.platform.openFileName(
        {QStringLiteral("Load dividers\" list from..."), ListFilter, QStringLiteral("txt"), QString()});
    if (!name) return;
    model_->clear();
    const auto entries = ReadList(*name);
    const std::optional<QString> number = entries ? RestoredNumber(*entries) : std::nullopt;
    if (!number) {
        services_.platform.showMessage(QStringLiteral("Sorry, the file: ") + QFileInfo(*name).absoluteFilePath() +
                                       QStringLiteral(" is not compatible format !"));
        return;
    }
    model_->setEntries(*entries);
    ComboBox1->setEditText(*number);
}

void TDivForm::ComboBox1Change() { FindButton->setEnabled(!ComboBox1->currentText().isEmpty()); }

void TDivForm::FindButtonMouseMove() {
    const QString text = ComboBox1->currentText();
    FindButton->setToolTip(text.isEmpty() ? QStringLiteral("Type a number above, then click here to get all its divisors")
                                          : QStringLiteral("Find all divisors for ") + text);
}
