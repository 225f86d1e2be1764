// The Super Calculator window.
#include "tools/calculator/calc_form.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/services.h"
#include "ui/tool_window.h"

namespace {

QLabel* boldLabel(const QString& name, const QString& text, QWidget* parent, int pointDelta = 0) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont f = l->font();
    f.setBold(true);
    if (pointDelta) f.setPointSize(f.pointSize() + pointDelta);
    l->setFont(f);
    return l;
}

QComboBox* operandBox(const char* name, QWidget* parent) {
    QComboBox* box = MakeNumberBox(name, 200, QStringLiteral(" < E200"), parent);
    box->setFixedWidth(406);
    return box;
}

QPushButton* opButton(const QString& name, const QString& caption, const QString& hint,
                      QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    b->setToolTip(hint);
    return b;
}

}  // namespace

TCalcForm::TCalcForm(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Tool), services_(services) {
    setObjectName(QStringLiteral("CalcForm"));
    setWindowTitle(QStringLiteral("Super Calculator"));

    EditA = operandBox("EditA", this);
    EditB = operandBox("EditB", this);
    GuardPaste(EditA, services_.platform);
    GuardPaste(EditB, services_.platform);
    auto* gcf = opButton(QStringLiteral("BitBtn3"), QStringLiteral("GCF"),
                         QStringLiteral("Find the Greatest Common Factor"), this);
    auto* plus = opButton(QStringLiteral("BitBtn4"), QStringLiteral("A + B ="),
                          QStringLiteral("Perform an addition"), this);
    auto* minus = opButton(QStringLiteral("BitBtn5"), QStringLiteral("A - B ="),
                           QStringLiteral("Perform a substraction"), this);
    auto* times = opButton(QStringLiteral("BitBtn6"), QStringLiteral("A x B ="),
                           QStringLiteral("Perform a multiplication"), this);
    ResEdit = new QLineEdit(this);
    ResEdit->setObjectName(QStringLiteral("ResEdit"));
    ResEdit->setReadOnly(true);
    ResEdit->setToolTip(QStringLiteral("The results are here"));
    ResEdit->setFixedWidth(406);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setVerticalSpacing(4);
    grid->addWidget(boldLabel(QStringLiteral("Label1"), QStringLiteral("A="), this), 0, 0);
    grid->addWidget(EditA, 0, 1);
    grid->addWidget(boldLabel(QStringLiteral("Label2"), QStringLiteral("B="), this), 1, 0);
    grid->addWidget(EditB, 1, 1);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {gcf, plus, minus, times}) row->addWidget(b);
    grid->addLayout(row, 2, 1);
    grid->addWidget(boldLabel(QStringLiteral("ResLabel"), QStringLiteral("= "), this, 2), 3, 0);
    grid->addWidget(ResEdit, 3, 1);

    setTabOrder(EditA, EditB);
    setTabOrder(EditB, gcf);
    setTabOrder(gcf, plus);
    setTabOrder(plus, minus);
    setTabOrder(minus, times);
    setTabOrder(times, ResEdit);

    // On a conversion failure the guard shows the message and ResEdit keeps its text.
    Platform& platform = services_.platform;
    FocusOnShow(this, EditA);
    OnClick(gcf, platform, [this] { run(CalcOperation::Gcd); });
    OnClick(plus, platform, [this] { run(CalcOperation::Add); });
    OnClick(minus, platform, [this] { run(CalcOperation::Subtract); });
    OnClick(times, platform, [this] { run(CalcOperation::Multiply); });

    setFixedSize(432, 115);
}

void TCalcForm::run(CalcOperation op) {
    const std::string result = Calculate(op, EditA->currentText().toStdString(), EditB->currentText().toStdString());
    ResEdit->setText(QString::fromStdString(result));
    ResEdit->setCursorPosition(0);
}
