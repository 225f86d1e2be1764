// The Super Calculator window: two operands, four operation buttons, one result field.
#pragma once

#include <QWidget>

#include "tools/calculator/calculator.h"

class Platform;
class QComboBox;
class QLineEdit;
class QPushButton;

class TCalcForm : public QWidget {
    Q_OBJECT
public:
    explicit TCalcForm(Platform& platform, QWidget* parent = nullptr);

    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();

private:
    void run(CalcOperation op);

    Platform& platform_;
    QComboBox* EditA;
    QComboBox* EditB;
    QLineEdit* ResEdit;
};

// The program-wide instance, created at start-up.
extern TCalcForm* CalcForm;
