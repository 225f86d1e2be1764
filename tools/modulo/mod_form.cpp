// The Super Modulo window.
#include "tools/modulo/mod_form.h"

#include <algorithm>

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <limits>
#include <memory>

#include "bigint/types.h"
#include "platform/widgets.h"
#include "tools/modulo/modulo.h"
#include "ui/convert.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/runner.h"
#include "ui/services.h"
#include "ui/tool_window.h"

TModForm::TModForm(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Tool), services_(services) {
    setObjectName(QStringLiteral("ModForm"));
    setWindowTitle(QStringLiteral("Super Modulo"));

    auto* label1 = named(new QLabel(QStringLiteral("Expression="), this), "Label1");
    Ex = MakeNumberBox("Ex", 50, QStringLiteral("Expression form: a * b^c + d  (< 50 characters)"), this);
    auto* label2 = named(new QLabel(QStringLiteral("Factor ="), this), "Label2");
    Fac = MakeNumberBox("Fac", 18, QStringLiteral(" < E18"), this);
    Fac->setEditText(QStringLiteral("2"));
    GuardPaste(Ex, services_.platform);
    GuardPaste(Fac, services_.platform);
    BitBtn1 = named(new QPushButton(QStringLiteral("Modulo"), this), "BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn1->setCursor(Qt::PointingHandCursor);
    Label3 = named(new QLabel(this), "Label3");
    Label3->setAlignment(Qt::AlignCenter);
    BitBtn1->setFixedWidth(64);
    // The rest of the row, in a slightly smaller type: room for "Include the next 1000 divisors".
    Label3->setFixedWidth(177);
    QFont small = Label3->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    Label3->setFont(small);
    TrackBar1 = named(new QSlider(Qt::Horizontal, this), "TrackBar1");
    TrackBar1->setRange(0, 1000);
    TrackBar1->setValue(0);
    TrackBar1->setTickInterval(50);
    TrackBar1->setTickPosition(QSlider::TicksAbove);
    ListBox1 = named(new QListWidget(this), "ListBox1");
    Edit1 = named(new QLineEdit(this), "Edit1");
    Edit1->setReadOnly(true);

    auto* fields = new QGridLayout;
    fields->addWidget(label1, 0, 0);
    fields->addWidget(Ex, 0, 1);
    fields->addWidget(label2, 1, 0);
    fields->addWidget(Fac, 1, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(BitBtn1);
    buttonRow->addWidget(Label3);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addLayout(fields);
    column->addLayout(buttonRow);
    column->addWidget(TrackBar1);
    column->addWidget(ListBox1, 1);
    column->addWidget(Edit1);

    setTabOrder(Ex, Fac);
    setTabOrder(Fac, BitBtn1);
    setTabOrder(BitBtn1, TrackBar1);
    setTabOrder(TrackBar1, ListBox1);
    setTabOrder(ListBox1, Edit1);

    Platform& platform = services_.platform;
    OnClick(BitBtn1, platform, [this](Closing& closing) { BitBtn1Click(closing); });
    EnterPressesDefault(this);
    FocusOnShow(this, Ex);
    OnSignal(TrackBar1, &QSlider::valueChanged, platform, [this] { TrackBar1Change(); });
    // A click on a line, or moving the selection with the keys, shows the line as an equation.
    OnSignal(ListBox1, &QListWidget::itemClicked, platform, [this] { ListBox1Click(); });
    OnSignal(ListBox1, &QListWidget::itemSelectionChanged, platform, [this] { ListBox1Click(); });

    // 253 pixels wide when the font allows it, wider when the expression box needs the room to
    // show all of its 50 characters.
    const int fifty = Ex->fontMetrics().horizontalAdvance(QString(50, QLatin1Char('0')));
    Ex->setMinimumWidth(fifty + 40);   // the frame, the text margins and the drop-down arrow
    setFixedSize(std::max(253, sizeHint().width()), 286);
}



void TModForm::TrackBar1Change() {
    const int position = TrackBar1->value();
    Label3->setText(position == 0 ? QStringLiteral("Only this factor")
                                  : QStringLiteral("Include the next ") + QString::number(position) +
                                        QStringLiteral(" divisors"));
}

void TModForm::ListBox1Click() {
    const int row = ListBox1->currentRow();
    if (row < 0 || !ListBox1->item(row)->isSelected()) return;
    Edit1->setText(QStringLiteral("=") + ListBox1->item(row)->text() + QStringLiteral("(Mod ") +
                   QString::number(F + row) + QStringLiteral(")"));
}

void TModForm::BitBtn1Click(Closing& closing) {
    // A factor that is no number, or not above 0, empties the list.
    closing = [this] {
        ListBox1->clear();
        Edit1->clear();   // the equation describes a line of the emptied list
    };
    const int64_t first = StrToInt64(Fac->currentText());
    if (first <= 0) {
        F = first;
        return;
    }
    // A factor near the top of the 64-bit range (typed in hexadecimal) ends the run there.
    const int64_t more = TrackBar1->value();
    const int64_t last = modulo::RunEnd(first, more);
    const std::string expression = Ex->currentText().toStdString();
    // The lines made before a failing factor are shown, then the failure.
    auto lines = std::make_shared<std::vector<std::string>>();
    closing = [this, lines, first] { showLines(*lines, first); };
    if (!services_.runner.run(this, QStringLiteral("Super Modulo"), [&](Progress& progress) {
            modulo::ReduceOverFactors(expression, first, last, progress, *lines);
        }))
        closing.clear();   // cancelled: the window keeps what it showed
}

void TModForm::showLines(const std::vector<std::string>& lines, int64_t first) {
    {
        const QSignalBlocker quiet(ListBox1);
        ListBox1->clear();
        ListBox1->addItems(ToStringList(lines));
    }
    Edit1->clear();   // the equation of a line of the list replaced
    F = first;
}
