// The Splitter window: one number, a method (complete factorization, sample factor, next
// prime), the results as a Status/Factor grid and as a one-line product.
#pragma once

#include <QWidget>
#include <functional>

#include "tools/splitter/splitter.h"

struct Services;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTextEdit;
class TypedLengthLimit;

class TAnalyserForm : public QWidget {
    Q_OBJECT
public:
    explicit TAnalyserForm(Services& services, QWidget* parent = nullptr);

    // What the main window's "&Splitter..." does before showing the window: reads ME into
    // MathCheckBox when the key and the value exist. False when the read failed: the error
    // was shown in the general error box and the window must not be shown.
    bool readSettings();

    void analBtnClick();
    void BitBtn2Click();
    void BitBtn3Click();
    void MethodGroupClick();
    void EditionCheckClick();
    void analBtnMouseMove();
    void FormActivate();
    void FormHide();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    SplitterMethod method() const;
    void clearOutputs();
    void setValue(const QString& key, const QString& value);

    Services& services_;
    QComboBox* ComboBox1;
    QPushButton* analBtn;
    QPushButton* BitBtn3;
    QPushButton* BitBtn2;
    QGroupBox* MethodGroup;
    QRadioButton* methods_[3];
    QCheckBox* MathCheckBox;
    QCheckBox* EditionCheck;
    QTableWidget* ValueListEditor1;
    QTextEdit* RichEdit1;
    TypedLengthLimit* typedLimit_;
    bool sorted_ = false;  // the history's order as the last activation set it
};

// The program-wide instance, created at start-up.
extern TAnalyserForm* AnalyserForm;
