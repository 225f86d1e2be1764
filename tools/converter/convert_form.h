// The converter window: an integer, its nearest Mersenne expression and its nearest Fermat
// expression, each row converted into the other two.
#pragma once

#include <QWidget>

#include "tools/converter/converter.h"

struct Services;
class QCheckBox;
class QLineEdit;
class QPushButton;

class TConvertForm : public QWidget {
    Q_OBJECT
public:
    explicit TConvertForm(Services& services, QWidget* parent = nullptr);

    // The window's height never changes; only its width follows the user.
    static constexpr int FixedHeight = 103;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void IEditClick();
    void MEditClick();
    void FEditClick();
    void FormResize();
    void convert(ConvertSource source);
    void makeDefault(QPushButton* button);

    Services& services_;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QLineEdit* IEdit;
    QLineEdit* MEdit;
    QLineEdit* FEdit;
    QPushButton* BitBtn4;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};
