// The Super Calculator window: two operands, four operation buttons, one result field.
#pragma once

#include <QWidget>

#include "tools/calculator/calculator.h"

struct Services;
class QComboBox;
class QLineEdit;
class QPushButton;

class TCalcForm : public QWidget {
    Q_OBJECT
public:
    explicit TCalcForm(Services& services, QWidget* parent = nullptr);

private:
    void run(CalcOperation op);

    Services& services_;
    QComboBox* EditA;
    QComboBox* EditB;
    QLineEdit* ResEdit;
};

