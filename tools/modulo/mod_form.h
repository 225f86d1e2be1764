// The Super Modulo window: an expression, a factor and a run of further factors, one result
// line per factor, and the selected line as an equation.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

struct Services;
class Closing;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;

class TModForm : public QWidget {
    Q_OBJECT
public:
    explicit TModForm(Services& services, QWidget* parent = nullptr);

private:
    void BitBtn1Click(Closing& closing);
    void TrackBar1Change();
    void ListBox1Click();
    void showLines(const std::vector<std::string>& lines, int64_t first);

    Services& services_;
    QComboBox* Ex;
    QComboBox* Fac;
    QPushButton* BitBtn1;
    QLabel* Label3;
    QSlider* TrackBar1;
    QListWidget* ListBox1;
    QLineEdit* Edit1;
    // The first factor of the last computation: the result lines are numbered from it.
    int64_t F = 0;
};
