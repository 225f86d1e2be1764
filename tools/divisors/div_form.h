// The divisor finder window: a number, its divisors as a tree of divisor pairs, list files.
#pragma once

#include <QIcon>
#include <QWidget>
#include <functional>

#include "tools/divisors/divisors.h"

struct Services;
class HistoryBoxes;
class StoredValues;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTreeView;
class DivisorTreeModel;

class TDivForm : public QWidget {
    Q_OBJECT
public:
    explicit TDivForm(Services& services, QWidget* parent = nullptr);

    // What the main window's "All &dividers..." does before placing and showing the window:
    // reads the size stored as WWidth and WHeight (218 and 250 when absent) into the window
    // and, with "Auto import from the Tester" on, presses ImportButton. False when a stored
    // value has the wrong type: the error was shown and the window must not be shown.
    bool prepareToOpen();

private:
    void FindButtonClick();
    void ExpandButtonClick();
    void BitBtn5Click();
    void BitBtn1Click();
    void ImportButtonClick();
    void Copyfactor1Click();
    void BitBtn2Click();
    void BitBtn6Click();
    void ComboBox1Change();
    void FindButtonMouseMove();

    void buildControls();
    void layOut();
    void connectHandlers();
    divisors::Subject readNumber(const QString& text) const;

    Services& services_;
    HistoryBoxes* history_;
    StoredValues* stored_;
    QComboBox* ComboBox1;
    QPushButton* FindButton;
    QTreeView* DividersTree;
    DivisorTreeModel* model_;
    QLabel* Label2;
    QPushButton* BitBtn1;
    QPushButton* ImportButton;
    QPushButton* BitBtn2;
    QPushButton* BitBtn6;
    QPushButton* ExpandButton;
    QPushButton* BitBtn5;
    QMenu* ListPopupMenu;
    QIcon ImageList1[2];   // 0 marks the square root, 1 a co-divisor
};
