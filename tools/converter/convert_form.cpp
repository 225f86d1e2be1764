// The converter window.
#include "tools/converter/convert_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <limits>

#include "platform/platform.h"
#include "platform/widgets.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/runner.h"
#include "ui/services.h"
#include "ui/tool_window.h"

namespace {

QLineEdit* field(const char* name, const QString& hint, QWidget* parent) {
    auto* edit = named(new QLineEdit(parent), name);
    edit->setToolTip(hint);
    // No typing limit, and room for the longest result (F20 has 315653 digits).
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

void putResult(QLineEdit* edit, const std::optional<std::string>& text) {
    if (!text) return;
    edit->setText(QString::fromStdString(*text));
    edit->setCursorPosition(0);
}

}  // namespace

TConvertForm::TConvertForm(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Tool), services_(services) {
    setObjectName(QStringLiteral("ConvertForm"));
    setWindowTitle(QStringLiteral("Convertor"));

    CheckBox1 = named(new QCheckBox(this), "CheckBox1");
    CheckBox2 = named(new QCheckBox(this), "CheckBox2");
    CheckBox3 = named(new QCheckBox(this), "CheckBox3");
    CheckBox1->setChecked(true);
    CheckBox2->setChecked(true);
    CheckBox3->setChecked(false);
    IEdit = field("IEdit", QStringLiteral(" < E2500"), this);
    MEdit = field("MEdit", QStringLiteral("'M'a  +/- b     ( < 200 characters )"), this);
    FEdit = field("FEdit", QStringLiteral("'F'a  +/- b     ( < 50 characters )"), this);
    BitBtn4 = glyphButton("BitBtn4", QStyle::SP_ArrowRight, QStringLiteral("Convert the integer"), this);
    BitBtn1 = glyphButton("BitBtn1", QStyle::SP_ArrowRight, QStringLiteral("Convert the Mersenne expression"), this);
    BitBtn2 = glyphButton("BitBtn2", QStyle::SP_ArrowRight, QStringLiteral("Convert the Fermat expression"), this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(4);
    const struct {
        QCheckBox* check;
        const char* label;
        QLineEdit* edit;
        QPushButton* button;
    } rows[] = {{CheckBox1, "Integer ", IEdit, BitBtn4},
                {CheckBox2, "Mersenne ", MEdit, BitBtn1},
                {CheckBox3, "Fermat ", FEdit, BitBtn2}};
    int r = 0;
    for (const auto& row : rows) {
        auto* label = new QLabel(QString::fromLatin1(row.label), this);
        label->setBuddy(row.edit);
        grid->addWidget(row.check, r, 0);
        grid->addWidget(label, r, 1);
        grid->addWidget(row.edit, r, 2);
        grid->addWidget(row.button, r, 3);
        row.edit->installEventFilter(this);
        ++r;
    }
    grid->setColumnStretch(2, 1);

    Platform& platform = services_.platform;
    OnClick(BitBtn4, platform, [this] { convert(ConvertSource::Integer); });
    OnClick(BitBtn1, platform, [this] { convert(ConvertSource::Mersenne); });
    OnClick(BitBtn2, platform, [this] { convert(ConvertSource::Fermat); });
    makeDefault(BitBtn4);
    EnterPressesDefault(this);
    FocusOnShow(this, IEdit);

    setMinimumWidth(160);
    setFixedHeight(FixedHeight);
    resize(274, FixedHeight);
}

void TConvertForm::IEditClick() { makeDefault(BitBtn4); }
void TConvertForm::MEditClick() { makeDefault(BitBtn1); }
void TConvertForm::FEditClick() { makeDefault(BitBtn2); }

void TConvertForm::FormResize() {
    if (height() != FixedHeight) resize(width(), FixedHeight);
}

void TConvertForm::convert(ConvertSource source) {
    const QLineEdit* from = source == ConvertSource::Integer ? IEdit : source == ConvertSource::Mersenne ? MEdit : FEdit;
    const ConvertTargets targets{CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked()};
    const std::string text = from->text().toStdString();
    // The largest expressions take a noticeable moment (F20 has 315653 digits): the runner keeps
    // the window responsive. A failure (a refusal of an over-long text included) reaches the
    // guard, and a cancel returns, before any field is touched.
    ConvertResult result;
    const bool completed = services_.runner.run(this, QStringLiteral("Convertor"), [&](Progress& progress) {
        result = Convert(source, text, targets);
        progress.check();
    });
    if (!completed) return;
    putResult(IEdit, result.integer);
    putResult(MEdit, result.mersenne);
    putResult(FEdit, result.fermat);
}

void TConvertForm::makeDefault(QPushButton* button) {
    for (QPushButton* b : {BitBtn4, BitBtn1, BitBtn2}) b->setDefault(b == button);
}

void TConvertForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Guarded(services_.platform, [this] { FormResize(); });
}

bool TConvertForm::eventFilter(QObject* watched, QEvent* event) {
    // A field that gets the focus by any means (a click, Tab, a short-cut) makes its row's
    // button the default, as a click into it does.
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::FocusIn) {
        if (watched == IEdit) IEditClick();
        else if (watched == MEdit) MEditClick();
        else if (watched == FEdit) FEditClick();
    }
    return QWidget::eventFilter(watched, event);
}
