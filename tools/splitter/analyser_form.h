// The Splitter window: one number, a method (complete factorization, sample factor, next
// prime), the results as a Status/Factor grid and as a one-line product.
#pragma once

#include <QWidget>
#include <functional>

#include "tools/splitter/splitter.h"

struct Services;
class Closing;
class HistoryBoxes;
class StoredValues;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTextEdit;

class TAnalyserForm : public QWidget {
    Q_OBJECT
public:
    explicit TAnalyserForm(Services& services, QWidget* parent = nullptr);

    // What the main window's "&Splitter..." does before showing the window: reads ME into
    // MathCheckBox when the key and the value exist. False when the read failed: the error
    // was shown in the general error box and the window must not be shown.
    bool prepareToOpen();

private:
    void analBtnClick(Closing& closing);
    void BitBtn2Click();
    void BitBtn3Click();
    void MethodGroupClick();
    void EditionCheckClick();
    void analBtnMouseMove();

    void buildControls();
    void buildMethodGroup();
    void buildResults();
    void layOut();
    void connectHandlers();
    splitter::SplitterMethod method() const;
    void clearOutputs();
    void setValue(const QString& key, const QString& value);

    Services& services_;
    HistoryBoxes* history_;
    StoredValues* stored_;
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
};
